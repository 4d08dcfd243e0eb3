// The triangle, quad and polygon-mesh passes: flat geometry drawn vertex by vertex, walls
// that push the camera back, triggers reported through hitCallback, and the distance to the
// nearest wall ahead.
#include <algorithm>
#include <cmath>
#include <span>

#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

namespace {

constexpr float kNearDistance = 4.0f;

gfx::ColorVertex Vertex(const Vertex3& v, platform::D3DCOLOR color, float u, float t) {
    const D3DXVECTOR3 p = ToVector3(v);
    return {p.x, p.y, p.z, color, u, t};
}

// Makes mesh a one- or two-face picking mesh of the transformed points, coloured white,
// reusing its storage.
void BuildPickingMesh(std::span<const D3DXVECTOR3> points, std::span<const std::uint32_t> indices,
                      Mesh* mesh) {
    mesh->fvf = kFvfPositionColorTex;
    mesh->vertices.assign(points.size(), MeshVertex{});
    for (std::size_t i = 0; i < points.size(); ++i) {
        mesh->vertices[i].position = points[i];
    }
    mesh->indices.assign(indices.begin(), indices.end());
    mesh->attributes.assign(indices.size() / 3, 0);
    mesh->use32BitIndices = false;
}

// Makes mesh an empty mesh of the given size, as D3DXCreateMesh would, reusing its storage;
// false for a size D3DXCreateMesh refuses.
bool ResetMesh(std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t fvf, Mesh* mesh) {
    constexpr std::uint32_t kMax = 1u << 24;
    if (faceCount == 0 || vertexCount == 0 || faceCount > kMax || vertexCount > kMax) {
        return false;
    }
    mesh->fvf = fvf;
    mesh->vertices.assign(vertexCount, MeshVertex{});
    mesh->indices.assign(std::size_t{faceCount} * 3, 0);
    mesh->attributes.assign(faceCount, 0);
    mesh->use32BitIndices = vertexCount > 0xFFFF;
    return true;
}

// Heading in whole degrees, 0..359.
int HeadingDegrees(float heading) {
    const double degrees = static_cast<double>(heading) / 0.0174533;
    if (!std::isfinite(degrees) || std::fabs(degrees) > 2e9) {
        return 0;
    }
    int h = static_cast<int>(degrees) % 360;
    if (h < 0) {
        h = 360 - (-h);
    }
    return h;
}

}  // namespace

bool D3DPanelEx::isInFrustum(float x, float y, float z) const {
    return firstPersonCamera.Contains(x, y, z);
}

RayHit D3DPanelEx::castRay(const Mesh& mesh, const D3DXVECTOR3& origin,
                           const D3DXVECTOR3& direction) const {
    const IntersectResult r = D3DXIntersect(mesh, origin, direction);
    RayHit hit;
    hit.hit = r.hit;
    if (r.hit) {
        hit.distance = r.distance;
        hit.point = origin + direction * r.distance;
    }
    return hit;
}

bool D3DPanelEx::isCameraNear(const Mesh& mesh) const {
    const int h = HeadingDegrees(firstPersonCamera.heading);
    const float x1 = (h > 260 && h < 280) ? 1.0f : -1.0f;
    const float x2 = (h > 80 && h < 100) ? -1.0f : 1.0f;
    const D3DXVECTOR3 rays[4] = {{0, 0, 1}, {x1, 0, 0}, {x2, 0, 0}, {0, 0, -1}};
    for (const D3DXVECTOR3& direction : rays) {
        const RayHit hit = castRay(mesh, firstPersonCamera.position, direction);
        if (hit.hit) {
            return std::fabs(hit.distance) <= kNearDistance;
        }
    }
    return false;
}

float D3DPanelEx::distanceAhead(const Mesh& mesh) const {
    const int h = HeadingDegrees(firstPersonCamera.heading);
    D3DXVECTOR3 direction{0, 0, 1};
    if (h > 80 && h < 100) {
        direction = {1, 0, 0};
    } else if (h > 260 && h < 280) {
        direction = {-1, 0, 0};
    } else if (h > 170 && h < 190) {
        direction = {0, 0, -1};
    }
    const RayHit hit = castRay(mesh, firstPersonCamera.position, direction);
    return hit.hit ? hit.distance : -1.0f;
}

const gfx::Texture* D3DPanelEx::recordTexture(const std::string& file, std::int32_t id) {
    if (!file.empty()) {
        return getTextureFromFile(file);
    }
    if (id > 0) {
        return getTextureFromResource(id);
    }
    return nullptr;
}

bool D3DPanelEx::testHit(const Mesh& picking, bool wall, std::int32_t value, bool triggerStops) {
    bool near = isCameraNear(picking);
    if (near && wall) {
        beep();
        firstPersonCamera.position = firstPersonCamera.position + firstPersonCamera.look * -1.0f;
        firstPersonCamera.dirty = true;
        return false;
    }
    if (near && hitCallback) {
        const bool answer = hitCallback(parent, value);
        if (triggerStops) {
            stopDrawing = answer;
            return answer;
        }
        return false;
    }
    if (wall) {
        const float d = distanceAhead(picking);
        if (d > -1.0f && d < nearestHitDistance) {
            nearestHitDistance = d;
        }
    }
    return false;
}

void D3DPanelEx::drawTriangles() {
    for (SceneTriangle& t : triangles) {
        const gfx::Texture* texture = recordTexture(t.textureFile, t.textureResourceId);
        const platform::D3DCOLOR color = OpaqueColor(t.color);
        const gfx::ColorVertex vertices[3] = {Vertex(t.v1, color, 0, 0), Vertex(t.v2, color, 0, 1),
                                              Vertex(t.v3, color, 1, 1)};
        device_->SetFVF(texture ? gfx::kFvfColorTex : gfx::kFvfColor);
        if (texture) {
            device_->SetTexture(0, texture);
            device_->SetTextureStageState(0, gfx::TextureStageState::ColorOp, gfx::kTopModulate);
            device_->SetTextureStageState(0, gfx::TextureStageState::AlphaOp, gfx::kTopDisable);
        } else {
            device_->SetTexture(0, nullptr);
        }
        device_->DrawPrimitive(vertices);

        const D3DXMATRIX& world = device_->GetTransform(gfx::TransformState::World);
        D3DXVECTOR3 points[3];
        t.inView = true;
        for (std::size_t i = 0; i < 3; ++i) {
            const D3DXVECTOR3 p{vertices[i].x, vertices[i].y, vertices[i].z};
            D3DXVec3TransformCoord(&points[i], &p, &world);
            t.inView = t.inView && isInFrustum(points[i].x, points[i].y, points[i].z);
        }
        static constexpr std::uint32_t kFace[3] = {0, 1, 2};
        BuildPickingMesh(points, kFace, &pickingMesh_);
        if (testHit(pickingMesh_, t.id == 0, t.id, true)) {
            return;
        }
    }
}

void D3DPanelEx::drawQuads() {
    static constexpr std::uint16_t kIndices[6] = {0, 1, 2, 3, 1, 0};
    for (SceneQuad& q : quads) {
        const gfx::Texture* texture = recordTexture(q.textureFile, q.textureResourceId);
        const platform::D3DCOLOR color = OpaqueColor(q.color);
        const gfx::ColorVertex vertices[4] = {Vertex(q.v1, color, 0, 1), Vertex(q.v2, color, 1, 0),
                                              Vertex(q.v3, color, 0, 0), Vertex(q.v4, color, 1, 1)};
        device_->SetFVF(texture ? gfx::kFvfColorTex : gfx::kFvfColor);
        if (texture) {
            device_->SetTexture(0, texture);
            device_->SetTextureStageState(0, gfx::TextureStageState::ColorOp, gfx::kTopModulate);
            device_->SetTextureStageState(0, gfx::TextureStageState::AlphaOp, gfx::kTopDisable);
        } else {
            device_->SetTexture(0, nullptr);
        }
        device_->DrawIndexedPrimitive(vertices, kIndices);

        const D3DXMATRIX& world = device_->GetTransform(gfx::TransformState::World);
        D3DXVECTOR3 points[4];
        q.inView = true;
        for (std::size_t i = 0; i < 4; ++i) {
            const D3DXVECTOR3 p{vertices[i].x, vertices[i].y, vertices[i].z};
            D3DXVec3TransformCoord(&points[i], &p, &world);
            q.inView = q.inView && isInFrustum(points[i].x, points[i].y, points[i].z);
        }
        static constexpr std::uint32_t kFaces[6] = {0, 1, 2, 3, 1, 0};
        BuildPickingMesh(points, kFaces, &pickingMesh_);
        // A quad trigger's answer never stops the frame.
        testHit(pickingMesh_, q.tag == 1000, q.tag, false);
    }
}

void D3DPanelEx::drawPolygonMeshes() {
    if (polygonScratch_.size() < polygonMeshes.size()) {
        polygonScratch_.resize(polygonMeshes.size());
    }
    for (std::size_t k = 0; k < polygonMeshes.size(); ++k) {
        const PolygonMesh& record = polygonMeshes[k];
        if (!record.visible) {
            continue;
        }
        const gfx::Texture* texture = recordTexture(record.textureFile, record.textureResourceId);
        if (record.vertices.size() <= 2 || record.faceCount <= 0) {
            continue;
        }
        // The record's own scratch mesh: made anew in place every frame, so that the record
        // may change between frames without anything being allocated again.
        Mesh& mesh = polygonScratch_[k];
        if (!ResetMesh(static_cast<std::uint32_t>(record.faceCount),
                       static_cast<std::uint32_t>(record.vertices.size()), kFvfPositionColorTex,
                       &mesh)) {
            continue;
        }
        for (std::size_t i = 0; i < record.vertices.size(); ++i) {
            const PolygonVertex& v = record.vertices[i];
            mesh.vertices[i].position = ToVector3(v);
            mesh.vertices[i].color = OpaqueColor(v.color);
            mesh.vertices[i].u = v.u;
            mesh.vertices[i].v = v.v;
        }
        const std::size_t slots = mesh.indices.size();
        bool valid = true;
        if (record.indices.empty()) {
            const std::size_t n = std::min(record.vertices.size(), slots);
            for (std::size_t i = 0; i < n; ++i) {
                mesh.indices[i] = static_cast<std::uint32_t>(i);
            }
        } else {
            const std::size_t n = std::min(record.indices.size(), slots);
            for (std::size_t i = 0; i < n; ++i) {
                mesh.indices[i] = record.indices[i];
                // An index past the vertices would read outside the mesh: skip the record.
                valid = valid && record.indices[i] < record.vertices.size();
            }
        }
        if (!valid) {
            continue;
        }
        const D3DXMATRIX saved = device_->GetTransform(gfx::TransformState::World);
        const D3DXMATRIX t = TranslationTo(record);
        D3DXMATRIX world;
        D3DXMatrixMultiply(&world, &saved, &t);
        device_->SetTransform(gfx::TransformState::World, world);
        if (texture) {
            device_->SetFVF(gfx::kFvfColorTex);
            device_->SetTexture(0, texture);
            device_->SetTextureStageState(0, gfx::TextureStageState::ColorOp, gfx::kTopModulate);
            device_->SetTextureStageState(0, gfx::TextureStageState::AlphaOp, gfx::kTopDisable);
        } else {
            device_->SetTexture(0, nullptr);
        }
        device_->DrawSubset(mesh, 0);
        device_->SetTransform(gfx::TransformState::World, saved);
        device_->ForgetMesh(mesh);
    }
}

}  // namespace TekuUtility
