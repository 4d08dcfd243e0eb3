// The 3D text pass: extruded text meshes, lit, scaled by size / 44 and placed in the scene.
#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"
#include "platform/d3dx/text_mesh.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

namespace {

constexpr float kChordDeviation = 0.001f;
constexpr float kExtrusion = 0.4f;
constexpr std::size_t kMaxFaceLength = 31;

}  // namespace

void D3DPanelEx::drawTexts3D() {
    for (const Text3D& record : texts3D) {
        if (!record.visible) {
            continue;
        }
        TextMeshFont font;
        font.face = record.fontFace.substr(0, kMaxFaceLength);
        font.bold = record.bold;
        font.italic = record.italic;
        Mesh glyphs;
        if (!D3DXCreateText(font, Widen(record.text), kChordDeviation, kExtrusion, &glyphs)) {
            continue;
        }
        device_->SetTexture(0, nullptr);
        applyLight();
        device_->SetMaterial(MaterialFromColorRef(record.color));
        const Mesh scaled =
            CloneMeshScaled(glyphs, kFvfPositionNormalTex, Text3DScale(record.size));

        const D3DXMATRIX saved = device_->GetTransform(gfx::TransformState::World);
        D3DXMATRIX t, world;
        D3DXMatrixTranslation(&t, static_cast<float>(record.x), static_cast<float>(record.y),
                              static_cast<float>(record.z));
        D3DXMatrixMultiply(&world, &saved, &t);
        device_->SetTransform(gfx::TransformState::World, world);
        device_->DrawSubset(scaled, 0);
        device_->SetTransform(gfx::TransformState::World, saved);
        device_->ForgetMesh(scaled);
    }
}

}  // namespace TekuUtility
