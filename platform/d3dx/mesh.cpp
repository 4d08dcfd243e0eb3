#include "platform/d3dx/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform::d3dx {

std::size_t D3DXGetFVFVertexSize(std::uint32_t fvf) {
    std::size_t size = 0;
    if (fvf & D3DFVF_XYZ) {
        size += 12;
    }
    if (fvf & D3DFVF_NORMAL) {
        size += 12;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        size += 4;
    }
    if (fvf & D3DFVF_TEX1) {
        size += 8;
    }
    return size;
}

bool D3DXComputeBoundingBox(const D3DXVECTOR3* first, std::size_t count, std::size_t stride,
                            D3DXVECTOR3* min, D3DXVECTOR3* max) {
    if (!first || !min || !max || stride < sizeof(D3DXVECTOR3)) {
        return false;
    }
    D3DXVECTOR3 lo, hi;
    const auto* bytes = reinterpret_cast<const unsigned char*>(first);
    for (std::size_t i = 0; i < count; ++i) {
        D3DXVECTOR3 p;
        std::memcpy(&p, bytes + i * stride, sizeof p);
        if (i == 0) {
            lo = hi = p;
            continue;
        }
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    *min = lo;
    *max = hi;
    return true;
}

void ComputeBoundingBox(const Mesh& mesh, D3DXVECTOR3* min, D3DXVECTOR3* max) {
    *min = *max = D3DXVECTOR3{};
    if (!mesh.vertices.empty()) {
        D3DXComputeBoundingBox(&mesh.vertices[0].position, mesh.vertices.size(), sizeof(MeshVertex),
                               min, max);
    }
}

IntersectResult D3DXIntersect(const Mesh& mesh, const D3DXVECTOR3& origin,
                              const D3DXVECTOR3& direction) {
    // Two-sided Moller-Trumbore in double precision.
    struct V {
        double x, y, z;
    };
    auto sub = [](V a, V b) { return V{a.x - b.x, a.y - b.y, a.z - b.z}; };
    auto dot = [](V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
    auto cross = [](V a, V b) {
        return V{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    auto toV = [](const D3DXVECTOR3& p) { return V{p.x, p.y, p.z}; };

    IntersectResult result;
    const V o = toV(origin), d = toV(direction);
    const std::size_t faces = mesh.FaceCount();
    const std::size_t vcount = mesh.vertices.size();
    for (std::size_t f = 0; f < faces; ++f) {
        const std::uint32_t i0 = mesh.indices[3 * f], i1 = mesh.indices[3 * f + 1],
                            i2 = mesh.indices[3 * f + 2];
        if (i0 >= vcount || i1 >= vcount || i2 >= vcount) {
            continue;
        }
        const V a = toV(mesh.vertices[i0].position);
        const V e1 = sub(toV(mesh.vertices[i1].position), a);
        const V e2 = sub(toV(mesh.vertices[i2].position), a);
        const V p = cross(d, e2);
        const double det = dot(e1, p);
        if (det == 0 || !std::isfinite(det)) {
            continue;
        }
        const double inv = 1.0 / det;
        const V s = sub(o, a);
        const double u = dot(s, p) * inv;
        if (u < 0 || u > 1) {
            continue;
        }
        const V q = cross(s, e1);
        const double v = dot(d, q) * inv;
        if (v < 0 || u + v > 1) {
            continue;
        }
        const double t = dot(e2, q) * inv;
        if (t < 0) {
            continue;
        }
        ++result.hitCount;
        if (!result.hit || t < result.distance) {
            result.hit = true;
            result.faceIndex = static_cast<std::uint32_t>(f);
            result.u = static_cast<float>(u);
            result.v = static_cast<float>(v);
            result.distance = static_cast<float>(t);
        }
    }
    return result;
}

bool D3DXCreateMesh(std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t fvf,
                    Mesh* out) {
    constexpr std::uint32_t kMax = 1u << 24;
    if (faceCount == 0 || vertexCount == 0 || faceCount > kMax || vertexCount > kMax || !out) {
        return false;
    }
    Mesh m;
    m.fvf = fvf;
    m.vertices.assign(vertexCount, MeshVertex{});
    m.indices.assign(std::size_t{faceCount} * 3, 0);
    m.attributes.assign(faceCount, 0);
    m.use32BitIndices = vertexCount > 0xFFFF;
    *out = std::move(m);
    return true;
}

Mesh CloneMeshScaled(const Mesh& mesh, std::uint32_t fvf, float scale) {
    Mesh m = mesh;
    m.fvf = fvf;
    for (auto& v : m.vertices) {
        v.position = v.position * scale;
        if (!(mesh.fvf & D3DFVF_NORMAL)) {
            v.normal = {};
        }
        if (!(mesh.fvf & D3DFVF_DIFFUSE)) {
            v.color = 0xFFFFFFFFu;
        }
        if (!(mesh.fvf & D3DFVF_TEX1)) {
            v.u = v.v = 0;
        }
    }
    return m;
}

void ComputeNormals(Mesh* mesh) {
    std::vector<D3DXVECTOR3> sums(mesh->vertices.size());
    const std::size_t vcount = mesh->vertices.size();
    for (std::size_t f = 0; f < mesh->FaceCount(); ++f) {
        const std::uint32_t i[3] = {mesh->indices[3 * f], mesh->indices[3 * f + 1],
                                    mesh->indices[3 * f + 2]};
        if (i[0] >= vcount || i[1] >= vcount || i[2] >= vcount) {
            continue;
        }
        const D3DXVECTOR3 a = mesh->vertices[i[0]].position;
        const D3DXVECTOR3 e1 = mesh->vertices[i[1]].position - a;
        const D3DXVECTOR3 e2 = mesh->vertices[i[2]].position - a;
        D3DXVECTOR3 n;  // length = twice the area: weights by area
        D3DXVec3Cross(&n, &e1, &e2);
        for (std::uint32_t k : i) {
            sums[k] = sums[k] + n;
        }
    }
    for (std::size_t v = 0; v < vcount; ++v) {
        D3DXVec3Normalize(&mesh->vertices[v].normal, &sums[v]);
    }
    mesh->fvf |= D3DFVF_NORMAL;
}

}  // namespace platform::d3dx
