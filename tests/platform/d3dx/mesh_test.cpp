#include <gtest/gtest.h>

#include <string>

#include "platform/d3dx/mesh.h"

namespace platform::d3dx {
namespace {

// A 2-unit cube in quads: faces front, back, top, bottom, left, right; the first three use
// material 1 (red), the last three material 0 (grey, textured).
const char* kCube = R"(xof 0302txt 0032
Material Grey {
 0.5;0.5;0.5;1.0;;
 8.0;
 0.1;0.2;0.3;;
 0.0;0.0;0.0;;
 TextureFilename { "rock.png"; }
}
Mesh Cube {
 8;
 -1;-1;-1;, 1;-1;-1;, 1;1;-1;, -1;1;-1;,
 -1;-1;1;, 1;-1;1;, 1;1;1;, -1;1;1;;
 6;
 4;0,3,2,1;, 4;4,5,6,7;, 4;3,7,6,2;, 4;0,1,5,4;, 4;0,4,7,3;, 4;1,2,6,5;;
 MeshNormals {
  6;
  0;0;-1;, 0;0;1;, 0;1;0;, 0;-1;0;, -1;0;0;, 1;0;0;;
  6;
  4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;;
 }
 MeshMaterialList {
  2;
  6;
  1,1,1,0,0,0;;
  { Grey }
  Material Red { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }
 }
}
)";

MeshResult Load(std::string_view text, Mesh* mesh, std::vector<D3DXMATERIAL>* mats) {
    return LoadMeshFromXText(text, "cube.x", mesh, mats);
}

struct Loaded {
    Mesh mesh;
    std::vector<D3DXMATERIAL> mats;
};

// A mesh that must load.
Loaded LoadOk(std::string_view text) {
    Loaded l;
    const MeshResult r = Load(text, &l.mesh, &l.mats);
    EXPECT_TRUE(r) << r.error;
    return l;
}

// The normal of face f from its corners' winding (clockwise seen from its front).
D3DXVECTOR3 FaceNormal(const Mesh& m, std::size_t f) {
    const D3DXVECTOR3& a = m.vertices[m.indices[3 * f]].position;
    D3DXVECTOR3 e1 = m.vertices[m.indices[3 * f + 1]].position - a, n;
    D3DXVECTOR3 e2 = m.vertices[m.indices[3 * f + 2]].position - a;
    D3DXVec3Cross(&n, &e1, &e2);
    return n;
}

TEST(MeshLoad, CubeWithTwoMaterialsHasTwoSubsetsBoxAndNormals) {
    const auto [mesh, mats] = LoadOk(kCube);
    EXPECT_EQ(mesh.FaceCount(), 12u);
    EXPECT_EQ(mesh.VertexCount(), 24u);  // each corner split by its three face normals
    EXPECT_FALSE(mesh.use32BitIndices);
    EXPECT_TRUE(mesh.fvf & D3DFVF_NORMAL);

    ASSERT_EQ(mats.size(), 2u);
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Power, 8.0f);
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Specular.b, 0.3f);
    EXPECT_EQ(mats[0].textureFilename, "rock.png");
    EXPECT_FLOAT_EQ(mats[1].MatD3D.Diffuse.r, 1.0f);
    EXPECT_EQ(mats[1].textureFilename, "");

    // Faces grouped by material; subset 1 (red) holds the front, back and top, in file order.
    EXPECT_EQ(mesh.attributes, (std::vector<std::uint32_t>{0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}));
    EXPECT_FLOAT_EQ(mesh.vertices[mesh.indices[3 * 6]].normal.z, -1.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[mesh.indices[3 * 10]].normal.y, 1.0f);

    D3DXVECTOR3 lo, hi;
    ComputeBoundingBox(mesh, &lo, &hi);
    EXPECT_EQ(lo, (D3DXVECTOR3{-1, -1, -1}));
    EXPECT_EQ(hi, (D3DXVECTOR3{1, 1, 1}));

    // Every triangle winds clockwise seen from outside: its geometric normal agrees with
    // the file's normals.
    for (std::size_t f = 0; f < mesh.FaceCount(); ++f) {
        const D3DXVECTOR3 n = FaceNormal(mesh, f);
        EXPECT_GT(D3DXVec3Dot(&n, &mesh.vertices[mesh.indices[3 * f]].normal), 0) << "face " << f;
    }
}

TEST(MeshLoad, MissingNormalsAreComputedPointingOut) {
    std::string text = kCube;
    const auto start = text.find(" MeshNormals");
    const auto end = text.find(" MeshMaterialList");
    text.erase(start, end - start);
    const auto [mesh, mats] = LoadOk(text);
    EXPECT_EQ(mesh.VertexCount(), 8u);
    for (const auto& v : mesh.vertices) {
        EXPECT_NEAR(D3DXVec3Length(&v.normal), 1.0f, 1e-5f);
        EXPECT_GT(D3DXVec3Dot(&v.normal, &v.position), 1.0f);  // outward, along the diagonal
    }
}

TEST(MeshLoad, FramesApplyTheirTransformsAndMergeMeshes) {
    const char* text = R"(xof 0302txt 0032
Mesh Shared { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
Frame Outer {
 FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 10,0,0,1;; }
 { Shared }
 Frame Inner {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1;; }
  Mesh { 3; 0;0;0;, 0;0;1;, 0;1;0;; 1; 3;0,1,2;; }
 }
}
)";
    const auto [mesh, mats] = LoadOk(text);
    // The top-level mesh is placed only by the frame that references it.
    EXPECT_EQ(mesh.FaceCount(), 2u);
    EXPECT_EQ(mats.size(), 2u);  // one white default material per mesh
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Diffuse.g, 1.0f);
    D3DXVECTOR3 lo, hi;
    ComputeBoundingBox(mesh, &lo, &hi);
    // Shared: scaled by 2 then moved to x 10. Inner: moved by z 5 inside Outer, so
    // z (0..1 + 5) * 2 = 10..12, and x 10.
    EXPECT_EQ(lo, (D3DXVECTOR3{10, 0, 0}));
    EXPECT_EQ(hi, (D3DXVECTOR3{12, 2, 12}));
}

TEST(MeshLoad, MirroringFrameKeepsFacesFacingOut) {
    const char* text = R"(xof 0302txt 0032
Frame { FrameTransformMatrix { -1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
 Mesh { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;;
  MeshNormals { 1; 0;0;-1;; 1; 3;0,0,0;; } } }
)";
    const auto [mesh, mats] = LoadOk(text);
    ASSERT_EQ(mesh.FaceCount(), 1u);
    EXPECT_LT(FaceNormal(mesh, 0).z, 0);
    EXPECT_FLOAT_EQ(mesh.vertices[mesh.indices[0]].normal.z, -1.0f);
}

TEST(MeshLoad, EmptyMaterialListGivesTheDefaultMaterial) {
    const char* text =
        "xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
        " MeshMaterialList { 0; 0;; } }\n";
    const auto [mesh, mats] = LoadOk(text);
    ASSERT_EQ(mats.size(), 1u);
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Diffuse.b, 1.0f);
    EXPECT_EQ(mesh.attributes, std::vector<std::uint32_t>{0});
}

TEST(MeshLoad, UvsColoursAndFansOfPolygons) {
    const char* text = R"(xof 0303txt 0032
Mesh Pent {
 5; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;1;0;;
 1; 5;0,1,2,3,4;;
 MeshTextureCoords { 5; 0;0;, 1;0;, 1;1;, 0.5;1;, 0;1;; }
 MeshVertexColors { 2; 0;1;0;0;1;;, 4;0;0;1;0.5;;; }
}
)";
    const auto [mesh, mats] = LoadOk(text);
    ASSERT_EQ(mesh.FaceCount(), 3u);  // fan of a pentagon
    EXPECT_EQ(mesh.fvf, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1 | D3DFVF_DIFFUSE);
    for (std::size_t f = 0; f < 3; ++f) {
        EXPECT_EQ(mesh.indices[3 * f], mesh.indices[0]);  // every triangle shares corner 0
    }
    EXPECT_EQ(mesh.vertices[0].color, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(mesh.vertices[3].u, 0.5f);
    EXPECT_EQ(mesh.vertices[4].color, 0x800000FFu);
    EXPECT_EQ(mesh.vertices[1].color, 0xFFFFFFFFu);
}

TEST(MeshLoad, BadContentFailsWithFileAndLineAndLeavesOutputsAlone) {
    struct Case {
        const char* text;
        const char* where;
        const char* words;
    };
    const Case cases[] = {
        {"xof 0302txt 0032\n\nMesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,7;; }\n",
         "cube.x:3:", "uses vertex 7 of 3"},
        {"xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
         " MeshMaterialList { 1; 1; 3;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }\n",
         "cube.x:3:", "uses material 3 of 1"},
        {"xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
         " MeshMaterialList { 2; 1; 0;; { Nowhere } } }\n",
         "cube.x:3:", "unknown material 'Nowhere'"},
        {"xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
         " MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }\n",
         "cube.x:3:", "uses normal 1 of 1"},
        {"xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
         " MeshTextureCoords { 1; 0;0;; } }\n",
         "cube.x:3:", "one pair per vertex"},
        {"xof 0302txt 0032\nHeader { 1; 0; 1; }\n", "cube.x:", "no Mesh"},
        {"xof 0302bin 0032\x03\x00\x00", "cube.x:1:", "binary"},
        {"xof 0302txt 0032\nFrame f { { f } }\n", "cube.x:2:", "nested too deeply"},
    };
    for (const auto& c : cases) {
        Mesh mesh;
        mesh.indices = {9, 9, 9};
        std::vector<D3DXMATERIAL> mats(5);
        const MeshResult r = Load(c.text, &mesh, &mats);
        ASSERT_FALSE(r) << c.text;
        EXPECT_EQ(r.error.rfind(c.where, 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.words), std::string::npos) << r.error;
        EXPECT_EQ(mesh.indices.size(), 3u);
        EXPECT_EQ(mats.size(), 5u);
    }
}

TEST(MeshIntersect, NearestFaceDistanceAlongTheDirection) {
    const Mesh cube = LoadOk(kCube).mesh;
    IntersectResult hit = D3DXIntersect(cube, {0.2f, 0.3f, -10}, {0, 0, 1});
    ASSERT_TRUE(hit.hit);
    EXPECT_FLOAT_EQ(hit.distance, 9.0f);

    // The distance is in units of the direction's length.
    hit = D3DXIntersect(cube, {0.2f, 0.3f, -10}, {0, 0, 2});
    EXPECT_FLOAT_EQ(hit.distance, 4.5f);
    // Faces are hit from behind too: from the centre the nearest wall is 1 away.
    hit = D3DXIntersect(cube, {0, 0.1f, 0.2f}, {-1, 0, 0});
    ASSERT_TRUE(hit.hit);
    EXPECT_FLOAT_EQ(hit.distance, 1.0f);
    // Behind the origin, or beside the cube: no hit.
    EXPECT_FALSE(D3DXIntersect(cube, {0, 0, -10}, {0, 0, -1}).hit);
    EXPECT_FALSE(D3DXIntersect(cube, {5, 0, -10}, {0, 0, 1}).hit);
    EXPECT_FALSE(D3DXIntersect(cube, {0, 0, -10}, {0, 0, 0}).hit);

    // A generated one-triangle picking mesh, as the panel builds them.
    Mesh tri;
    ASSERT_TRUE(D3DXCreateMesh(1, 3, kFvfPositionColorTex, &tri));
    tri.vertices[0].position = {-1, -1, 3};
    tri.vertices[1].position = {0, 1, 3};
    tri.vertices[2].position = {1, -1, 3};
    tri.indices = {0, 1, 2};
    hit = D3DXIntersect(tri, {0, 0, 0}, {0, 0, 1});
    ASSERT_TRUE(hit.hit);
    EXPECT_FLOAT_EQ(hit.distance, 3.0f);
}

TEST(MeshGenerated, CreateAndScaledClone) {
    Mesh m;
    EXPECT_FALSE(D3DXCreateMesh(0, 3, kFvfPositionColorTex, &m));
    EXPECT_FALSE(D3DXCreateMesh(1, 0, kFvfPositionColorTex, &m));
    ASSERT_TRUE(D3DXCreateMesh(2, 4, kFvfPositionColorTex, &m));
    EXPECT_EQ(m.FaceCount(), 2u);
    EXPECT_EQ(m.attributes.size(), 2u);
    m.vertices[1].position = {1, 2, 3};
    m.vertices[1].color = 0xFF00FF00u;
    m.vertices[1].normal = {0, 0, 5};  // not part of the format: dropped by the clone
    const Mesh c = CloneMeshScaled(m, kFvfPositionNormalTex, 0.5f);
    EXPECT_EQ(c.fvf, kFvfPositionNormalTex);
    EXPECT_EQ(c.vertices[1].position, (D3DXVECTOR3{0.5f, 1, 1.5f}));
    EXPECT_EQ(c.vertices[1].normal, (D3DXVECTOR3{}));
    EXPECT_EQ(c.vertices[1].color, 0xFF00FF00u);

    D3DXVECTOR3 lo{9, 9, 9}, hi{9, 9, 9};
    EXPECT_TRUE(D3DXComputeBoundingBox(&c.vertices[0].position, 0, sizeof(MeshVertex), &lo, &hi));
    EXPECT_EQ(lo, (D3DXVECTOR3{}));
    EXPECT_FALSE(D3DXComputeBoundingBox(&c.vertices[0].position, 1, 4, &lo, &hi));
}

}  // namespace
}  // namespace platform::d3dx
