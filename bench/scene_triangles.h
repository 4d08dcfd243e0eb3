// The triangles of a panel's scene gathered into one mesh, for the benchmarks' one-draw floors.
#pragma once

#include <string>

#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"
#include "platform/d3dx/text_mesh.h"
#include "toolkit/GUIElement.h"

namespace kx_bench {

using namespace platform;

// Appends the mesh's faces moved by world.
inline void AppendMoved(const d3dx::Mesh& mesh, const d3dx::D3DXMATRIX& world, d3dx::Mesh* all) {
    const auto base = static_cast<std::uint32_t>(all->vertices.size());
    for (auto v : mesh.vertices) {
        d3dx::D3DXVec3TransformCoord(&v.position, &v.position, &world);
        d3dx::D3DXVec3TransformNormal(&v.normal, &v.normal, &world);
        all->vertices.push_back(v);
    }
    for (std::uint32_t index : mesh.indices) {
        all->indices.push_back(base + index);
    }
}

// Every visible mesh object's and 3D text's faces of the panel's scene in world space (the
// scene's own rotation and translation applied), in one mesh of one subset: what a frame
// draws, for a one-draw floor drawn with an identity world.
inline d3dx::Mesh SceneTriangles(TekuUtility::D3DPanelEx& panel) {
    d3dx::Mesh all;
    all.fvf = d3dx::kFvfPositionNormalTex;
    // The panel's own placement of the scene: drawn with an identity world, the mesh lands
    // where the frame puts each object.
    const d3dx::D3DXMATRIX scene = TekuUtility::SceneWorld(
        panel.sceneRotation.yaw, panel.sceneRotation.pitch, panel.sceneRotation.roll,
        panel.sceneTranslation.x, panel.sceneTranslation.y, panel.sceneTranslation.z);
    for (const auto& object : panel.meshObjects) {
        if (!object.visible || object.meshFiles.empty()) {
            continue;
        }
        const auto* entry = panel.getMesh(object.meshFiles[static_cast<std::size_t>(object.frame)]);
        if (!entry) {
            continue;
        }
        AppendMoved(entry->mesh, TekuUtility::ObjectWorld(scene, object), &all);
    }
    for (const auto& text : panel.texts3D) {
        d3dx::TextMeshFont font;
        font.face = text.fontFace;
        font.bold = text.bold;
        font.italic = text.italic;
        d3dx::Mesh glyphs;
        if (!text.visible ||
            !d3dx::D3DXCreateText(font, TekuUtility::Widen(text.text), 0.001f, 0.4f, &glyphs)) {
            continue;
        }
        const float s = TekuUtility::Text3DScale(text.size);
        d3dx::D3DXMATRIX scale, world;
        d3dx::D3DXMatrixScaling(&scale, s, s, s);
        const d3dx::D3DXMATRIX t = d3dx::TranslationTo(text);
        d3dx::D3DXMATRIX placed;
        d3dx::D3DXMatrixMultiply(&placed, &scene, &t);
        d3dx::D3DXMatrixMultiply(&world, &scale, &placed);
        AppendMoved(glyphs, world, &all);
    }
    all.attributes.assign(all.indices.size() / 3, 0);
    return all;
}

}  // namespace kx_bench
