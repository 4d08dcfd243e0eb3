// The sprite-cell and 2D label passes: bands of the sprite sheet and texts placed in pixels
// from the panel's top-left corner, drawn over the 3D scene. The sprite and the fonts are kept
// from frame to frame (PassObjectCache).
#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

void D3DPanelEx::drawSpriteCells() {
    gfx::Sprite* sprite = passObjects_.sprite(*device_);
    for (const SpriteCell& cell : spriteCells) {
        if (!sprite) {
            continue;
        }
        const auto placement = PlaceSpriteCell(cell, sheetWidth_, sheetHeight_);
        if (!placement) {
            continue;  // no sheet: nothing to cut the band from
        }
        device_->SetRenderState(gfx::RenderState::SeparateAlphaBlendEnable, 1);
        device_->SetRenderState(gfx::RenderState::SrcBlendAlpha, gfx::kBlendZero);
        device_->SetRenderState(gfx::RenderState::DestBlendAlpha, gfx::kBlendOne);
        sprite->Begin(gfx::kSpriteAlphaBlend);
        D3DXMATRIX scaling;
        D3DXMatrixTransformation2D(&scaling, placement->sx, placement->sy);
        sprite->SetTransform(scaling);
        sprite->Draw(spriteSheet_.get(), &placement->source, placement->position, 0xFFFFFFFFu);
        sprite->End();
    }
}

void D3DPanelEx::drawTextLabels() {
    const int panelWidth = device_->BackBufferWidth(), panelHeight = device_->BackBufferHeight();
    std::string cut;  // allocates only for lines longer than the panel is wide
    for (const TextLabel& label : textLabels) {
        if (!label.visible || label.x >= panelWidth || label.y >= panelHeight) {
            continue;  // starts outside the panel: nothing of it shows
        }
        gfx::Sprite* sprite = passObjects_.sprite(*device_);
        if (!sprite) {
            continue;
        }
        gfx::Font* font = passObjects_.labelFont(*device_, label);
        if (!font) {
            continue;
        }
        sprite->Begin(gfx::kSpriteAlphaBlend);
        // The sprite is shared with the cells: labels are drawn unscaled.
        sprite->SetTransform(D3DXMATRIX{});
        const std::string_view text = LabelTextInPanel(label, panelWidth, panelHeight, &cut);
        platform::RECT rect = LabelRectangle(label);
        font->DrawText(sprite, text, &rect, gfx::DT_CALCRECT, label.color);
        font->DrawText(sprite, text, &rect, gfx::DT_CENTER | gfx::DT_NOCLIP, label.color);
        sprite->End();
    }
}

}  // namespace TekuUtility
