// The CPU mesh the 3D panel draws and measures: vertices, triangles, a subset id per face and
// the materials read from a .x file, with the D3DX operations on it (loading, bounding box,
// ray intersection, generated meshes, scaled clones).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3dx/d3dx_math.h"

namespace platform::d3dx {

// Flexible-vertex-format bits, with their Direct3D values. A mesh's fvf says which vertex
// fields are meaningful; MeshVertex always has room for all of them.
inline constexpr std::uint32_t D3DFVF_XYZ = 0x002;
inline constexpr std::uint32_t D3DFVF_NORMAL = 0x010;
inline constexpr std::uint32_t D3DFVF_DIFFUSE = 0x040;
inline constexpr std::uint32_t D3DFVF_TEX1 = 0x100;

// Vertex formats the panel uses.
inline constexpr std::uint32_t kFvfPositionNormalTex = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
inline constexpr std::uint32_t kFvfPositionColorTex = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Size in bytes of one vertex of the format as Direct3D would lay it out
// (position 12, normal 12, diffuse 4, one uv pair 8): 24 for kFvfPositionColorTex.
std::size_t D3DXGetFVFVertexSize(std::uint32_t fvf);

struct D3DCOLORVALUE {
    float r = 0, g = 0, b = 0, a = 0;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse, Ambient, Specular, Emissive;
    float Power = 0;
};

// A material with the texture file name exactly as the .x file writes it (empty: none).
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    std::string textureFilename;
};

struct MeshVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    std::uint32_t color = 0xFFFFFFFFu;  // D3DCOLOR, 0xAARRGGBB
    float u = 0, v = 0;
};

struct Mesh {
    std::uint32_t fvf = kFvfPositionNormalTex;
    std::vector<MeshVertex> vertices;
    // Three indices per face. Always held as 32-bit values; use32BitIndices tells whether the
    // mesh would need 32-bit indices on a device (more than 65535 vertices).
    std::vector<std::uint32_t> indices;
    std::vector<std::uint32_t> attributes;  // one subset id per face
    bool use32BitIndices = false;

    std::size_t FaceCount() const { return indices.size() / 3; }
    std::size_t VertexCount() const { return vertices.size(); }
};

// Outcome of a load: ok, or a message naming the file and (for a syntax or content error) the
// line, e.g. "data/Nave.x:12: expected ';' after the vertex count".
struct MeshResult {
    bool ok = false;
    std::string error;
    explicit operator bool() const { return ok; }
};

// Loads a .x text file (a game path, backslashes allowed): every Mesh in it, at any depth of
// its Frame hierarchy, with the frames' transforms applied and all meshes merged into one.
// Faces are triangulated (fans), sorted by material; subset i uses materials[i]. Normals come
// from MeshNormals (vertices split where a position has several normals) or are computed
// (area-weighted, smooth per position) when missing. A mesh without a material list (or
// with an empty one) gets one white material. Binary, compressed or malformed files fail
// with a message; nothing is changed in mesh/materials on failure.
MeshResult D3DXLoadMeshFromX(std::string_view path, Mesh* mesh,
                             std::vector<D3DXMATERIAL>* materials);
// The same from text already in memory; sourceName is used in the messages.
MeshResult LoadMeshFromXText(std::string_view text, std::string_view sourceName, Mesh* mesh,
                             std::vector<D3DXMATERIAL>* materials);

// The axis-aligned box of count positions read with the given stride in bytes from first.
// With count 0 min and max are both zero.
bool D3DXComputeBoundingBox(const D3DXVECTOR3* first, std::size_t count, std::size_t stride,
                            D3DXVECTOR3* min, D3DXVECTOR3* max);
// The local box of a mesh's vertices.
void ComputeBoundingBox(const Mesh& mesh, D3DXVECTOR3* min, D3DXVECTOR3* max);

// Result of a ray test: the nearest face hit with distance >= 0 along the direction (in
// units of the direction's length; the point is origin + distance * direction) and the
// barycentric coordinates (u, v) of the hit within the face. Faces are hit from both sides.
struct IntersectResult {
    bool hit = false;
    std::uint32_t faceIndex = 0;
    float u = 0, v = 0;
    float distance = 0;
    std::uint32_t hitCount = 0;  // faces hit in total
};
IntersectResult D3DXIntersect(const Mesh& mesh, const D3DXVECTOR3& origin,
                              const D3DXVECTOR3& direction);

// A new mesh of faceCount faces and vertexCount vertices of the given format, all zero
// (indices 0, attributes 0); fails (false) for zero counts or more than 2^24 of either.
bool D3DXCreateMesh(std::uint32_t faceCount, std::uint32_t vertexCount, std::uint32_t fvf,
                    Mesh* out);

// A copy of the mesh with the given vertex format and every position multiplied by scale
// (normals unchanged); fields the source format lacks take their defaults.
Mesh CloneMeshScaled(const Mesh& mesh, std::uint32_t fvf, float scale);

// Sets every vertex normal to the area-weighted average of the normals of the faces using
// it, for left-handed clockwise front faces (normal = (b - a) x (c - a), normalised).
void ComputeNormals(Mesh* mesh);

}  // namespace platform::d3dx
