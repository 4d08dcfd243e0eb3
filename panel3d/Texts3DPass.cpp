// The 3D text pass: extruded text meshes, lit, scaled by size / 44 and placed in the scene.
// The scaled meshes are kept from frame to frame (PassObjectCache).
#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

void D3DPanelEx::drawTexts3D() {
    for (const Text3D& record : texts3D) {
        if (!record.visible) {
            continue;
        }
        const Mesh* scaled = passObjects_.textMesh(*device_, record);
        if (!scaled) {
            continue;
        }
        device_->SetTexture(0, nullptr);
        applyLight();
        device_->SetMaterial(MaterialFromColorRef(record.color));

        const D3DXMATRIX saved = device_->GetTransform(gfx::TransformState::World);
        const D3DXMATRIX t = TranslationTo(record);
        D3DXMATRIX world;
        D3DXMatrixMultiply(&world, &saved, &t);
        device_->SetTransform(gfx::TransformState::World, world);
        device_->DrawSubset(*scaled, 0);
        device_->SetTransform(gfx::TransformState::World, saved);
    }
}

}  // namespace TekuUtility
