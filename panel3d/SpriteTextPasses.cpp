// The sprite-cell and 2D label passes: bands of the sprite sheet and texts placed in pixels
// from the panel's top-left corner, drawn over the 3D scene.
#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

void D3DPanelEx::drawSpriteCells() {
    for (const SpriteCell& cell : spriteCells) {
        std::unique_ptr<gfx::Sprite> sprite = device_->CreateSprite();
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
    for (const TextLabel& label : textLabels) {
        if (!label.visible) {
            continue;
        }
        std::unique_ptr<gfx::Sprite> sprite = device_->CreateSprite();
        if (!sprite) {
            continue;
        }
        gfx::FontDesc desc;
        desc.height = label.height;
        desc.weight = label.bold ? 700 : 0;
        desc.italic = label.italic;
        desc.face = label.fontFace;
        std::unique_ptr<gfx::Font> font = device_->CreateFont(desc);
        if (!font) {
            continue;
        }
        sprite->Begin(gfx::kSpriteAlphaBlend);
        platform::RECT rect = LabelRectangle(label);
        font->DrawText(sprite.get(), label.text, &rect, gfx::DT_CALCRECT, label.color);
        font->DrawText(sprite.get(), label.text, &rect, gfx::DT_CENTER | gfx::DT_NOCLIP,
                       label.color);
        sprite->End();
    }
}

}  // namespace TekuUtility
