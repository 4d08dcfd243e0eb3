#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx/text_mesh.h"

// fontconfig keeps a few hundred bytes of its own past exit; that is the library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace platform::d3dx {
namespace {

Mesh MakeText(std::wstring_view text, const char* face = "Arial", float depth = 0.4f,
              bool bold = false) {
    Mesh mesh;
    const MeshResult r = D3DXCreateText({face, bold, false}, text, 0.001f, depth, &mesh);
    EXPECT_TRUE(r) << r.error;
    return mesh;
}

struct Box {
    D3DXVECTOR3 lo, hi;
};
Box BoxOf(const Mesh& m) {
    Box b;
    ComputeBoundingBox(m, &b.lo, &b.hi);
    return b;
}

TEST(TextMesh, GlyphsSitOnTheBaselineInEmUnitsExtrudedAlongZ) {
    const Mesh h = MakeText(L"H");
    ASSERT_GT(h.FaceCount(), 0u);
    EXPECT_EQ(h.fvf, D3DFVF_XYZ | D3DFVF_NORMAL);
    const Box b = BoxOf(h);
    EXPECT_NEAR(b.lo.y, 0.0f, 1e-4f);  // capital letters stand on the baseline
    EXPECT_GT(b.hi.y, 0.6f);           // cap height of a sans face: about 0.7 em
    EXPECT_LT(b.hi.y, 0.8f);
    EXPECT_GT(b.lo.x, 0.0f);  // left side bearing
    EXPECT_FLOAT_EQ(b.lo.z, 0.0f);
    EXPECT_FLOAT_EQ(b.hi.z, 0.4f);

    // A second glyph advances along +x by the first one's advance width.
    const Box hh = BoxOf(MakeText(L"HH"));
    const float advance = hh.hi.x - b.hi.x;
    EXPECT_GT(advance, b.hi.x - b.lo.x);
    EXPECT_LT(advance, 1.0f);
    EXPECT_FLOAT_EQ(hh.hi.y, b.hi.y);

    const Box deep = BoxOf(MakeText(L"H", "Arial", 1.5f));
    EXPECT_FLOAT_EQ(deep.hi.z, 1.5f);
    // "y" descends below the baseline.
    const Mesh kryx = MakeText(L"Kryx");
    EXPECT_LT(BoxOf(kryx).lo.y, -0.1f);
    // The panel draws text through a scaled clone: the normals go along.
    EXPECT_EQ(CloneMeshScaled(kryx, kFvfPositionNormalTex, 0.5f).vertices[0].normal,
              kryx.vertices[0].normal);
}

TEST(TextMesh, TheBoldTahomaTitleEndsInsideThePanelWithAMargin) {
    // The title screen draws "Kryx Space" in bold Tahoma, size 40 (40/44 of the mesh), from
    // x = -2 at z = -3; the camera at z = -10 sees x up to 7 * tan(pi/8) at that depth.
    const Mesh title = MakeText(L"Kryx Space", "Tahoma", 0.4f, true);
    const float right = -2.0f + BoxOf(title).hi.x * 40.0f / 44.0f;
    const float edge = 7.0f * std::tan(3.14159265f / 8.0f);
    EXPECT_LT(right, edge - 0.1f);  // about 11 pixels of margin
    EXPECT_GT(right, edge - 1.0f);  // still a wide title, not shrunk away
}

TEST(TextMesh, FacesWindClockwiseFromOutsideAndMatchTheirNormals) {
    const Mesh m = MakeText(L"Og&");
    std::size_t front = 0, back = 0, walls = 0;
    for (std::size_t f = 0; f < m.FaceCount(); ++f) {
        const MeshVertex& a = m.vertices[m.indices[3 * f]];
        const MeshVertex& b = m.vertices[m.indices[3 * f + 1]];
        const MeshVertex& c = m.vertices[m.indices[3 * f + 2]];
        D3DXVECTOR3 e1 = b.position - a.position, e2 = c.position - a.position, g;
        D3DXVec3Cross(&g, &e1, &e2);
        D3DXVECTOR3 avg = a.normal + b.normal + c.normal;
        ASSERT_GT(D3DXVec3Dot(&g, &avg), 0) << "face " << f;
        ASSERT_NEAR(D3DXVec3Length(&a.normal), 1.0f, 1e-4f);
        if (a.normal.z < -0.5f) {
            ++front;
        } else if (a.normal.z > 0.5f) {
            ++back;
        } else {
            ++walls;
        }
    }
    EXPECT_EQ(front, back);
    EXPECT_GT(front, 0u);
    EXPECT_GT(walls, 0u);
}

TEST(TextMesh, HolesStayOpen) {
    const Mesh o = MakeText(L"O");
    const Box b = BoxOf(o);
    const float cx = (b.lo.x + b.hi.x) / 2, cy = (b.lo.y + b.hi.y) / 2;
    // Through the middle of the letter: nothing. Through its left stroke: the front face
    // at z 0, seen from the camera at z -10.
    EXPECT_FALSE(D3DXIntersect(o, {cx, cy, -10}, {0, 0, 1}).hit);
    const IntersectResult stroke = D3DXIntersect(o, {b.lo.x + 0.02f, cy, -10}, {0, 0, 1});
    ASSERT_TRUE(stroke.hit);
    EXPECT_NEAR(stroke.distance, 10.0f, 1e-5f);
}

TEST(TextMesh, BlankTextAndUnknownFaces) {
    Mesh m;
    m.indices = {1, 2, 3};
    ASSERT_TRUE(D3DXCreateText({"Arial", false, false}, L"", 0.001f, 0.4f, &m));
    EXPECT_EQ(m.FaceCount(), 0u);
    ASSERT_TRUE(D3DXCreateText({"Arial", false, false}, L"  \n", 0.001f, 0.4f, &m));
    EXPECT_EQ(m.FaceCount(), 0u);
    // A face the system lacks is drawn in its substitute.
    EXPECT_GT(MakeText(L"A", "No Such Face 123").FaceCount(), 0u);
    // Bold glyphs are wider than regular ones.
    const Box bb = BoxOf(MakeText(L"l", "Arial", 0.4f, true)), rb = BoxOf(MakeText(L"l"));
    EXPECT_GT(bb.hi.x - bb.lo.x, rb.hi.x - rb.lo.x);
}

}  // namespace
}  // namespace platform::d3dx
