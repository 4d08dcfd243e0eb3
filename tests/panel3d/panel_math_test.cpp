// Placement maths of the frame (projection aspect, world boxes, sprite cells, labels and 3D
// text) and the scene records' hit time and lookup.
#include "panel3d/PanelMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace TekuUtility {
namespace {

TEST(PanelMathTest, AspectIsTheIntegerQuotient) {
    EXPECT_EQ(ProjectionAspect(640, 480), 1.0f);
    EXPECT_EQ(ProjectionAspect(1280, 480), 2.0f);
    // Taller than wide or without height: still a usable projection.
    EXPECT_EQ(ProjectionAspect(300, 400), 1.0f);
    EXPECT_EQ(ProjectionAspect(300, 0), 300.0f);
    const D3DXMATRIX p = ProjectionMatrix(640, 480);
    EXPECT_FLOAT_EQ(p.m[0][0], p.m[1][1]);  // aspect 1: no horizontal stretch
}

// The heading's own effect on the box is seen in PanelFrameTest.
TEST(PanelMathTest, TheSceneTransformAppliesBeforeTheObjectsOwn) {
    MeshObject object;
    object.x = 5;
    const D3DXMATRIX scene = SceneWorld(0, 0, 0, 0, 10, 0);
    const auto moved = WorldBounds({-1, -1, -1}, {1, 1, 1}, ObjectWorld(scene, object));
    EXPECT_NEAR(moved.minY, 9.0, 1e-5);
    EXPECT_NEAR(moved.minX, 4.0, 1e-5);

    // A scene turned by a quarter turn turns the object in place before it is moved: the
    // box stays centred on the object's own position with x and z swapped.
    const D3DXMATRIX turned = SceneWorld(1.5707963, 0, 0, 0, 0, 0);
    const auto swapped = WorldBounds({-2, -0.5f, -1}, {2, 0.5f, 1}, ObjectWorld(turned, object));
    EXPECT_NEAR((swapped.minX + swapped.maxX) / 2, 5.0, 1e-5);
    EXPECT_NEAR((swapped.minZ + swapped.maxZ) / 2, 0.0, 1e-5);
    EXPECT_NEAR(swapped.maxZ - swapped.minZ, 4.0, 1e-5);
}

// Where the cells are cut and placed is seen in PanelFrameTest's device log.
TEST(PanelMathTest, EmptyCellsOrNoSheetPlaceNothing) {
    EXPECT_FALSE(PlaceSpriteCell({128, 24, 0, 0, 6, 20, 10, 0}, 0, 0));
    EXPECT_FALSE(PlaceSpriteCell({128, 0, 0, 0, 6, 20, 10, 0}, 128, 168));
    EXPECT_FALSE(PlaceSpriteCell({0, 24, 0, 0, 6, 20, 10, 0}, 128, 168));
}

TEST(PanelMathTest, LabelsText3DAndColours) {
    const RECT r = LabelRectangle({.text = "", .height = 16, .x = 20, .y = 450});
    EXPECT_EQ((std::vector<decltype(r.left)>{r.left, r.top, r.right, r.bottom}),
              (std::vector<decltype(r.left)>{20, 450, 120, 466}));

    const D3DMATERIAL9 m = MaterialFromColorRef(platform::RGB(255, 0, 51));
    EXPECT_EQ(m.Diffuse.r, 1.0f);
    EXPECT_EQ(m.Diffuse.g, 0.0f);
    EXPECT_FLOAT_EQ(m.Diffuse.b, 0.2f);
    EXPECT_EQ(m.Diffuse.a, 1.0f);
    EXPECT_EQ(m.Ambient.b, m.Diffuse.b);

    EXPECT_EQ(OpaqueColor(platform::kNoColor), 0xFFFFFFFFu);
    EXPECT_EQ(OpaqueColor(platform::RGB(1, 2, 3)), 0xFF010203u);
}

// A new record counts as hit at the moment it was made, so hit pauses run from its creation.
TEST(SceneRecordsTest, NewMeshObjectsTakeTheirHitTimeFromTheClock) {
    platform::ScopedFakeClock clock(1234 * platform::kTicksPerMs);
    EXPECT_EQ(MeshObject().lastHitTime, 1234 * platform::kTicksPerMs);
    EXPECT_EQ(MeshObject(1.5, -2, 3, {"a.x"}).lastHitTime, 1234 * platform::kTicksPerMs);
}

TEST(SceneRecordsTest, LookupTakesTheFirstMatch) {
    std::vector<MeshObject> list(4);
    list[0].id = 5;
    list[1].id = list[2].id = 7;
    list[3].id = 9;
    EXPECT_EQ(FindIndexById(list, 7), 1);
    EXPECT_EQ(FindIndexById(list, 9), 3);
    EXPECT_EQ(FindIndexById(list, 8), -1);
    EXPECT_EQ(FindIndexById(std::vector<MeshObject>{}, 0), -1);
}

}  // namespace
}  // namespace TekuUtility
