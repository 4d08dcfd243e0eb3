// Walls, triggers, rays and polygon meshes seen from the first-person camera.
#include <gtest/gtest.h>

#include <vector>

#include "panel_test_support.h"

namespace TekuUtility {
namespace {

using testing::StartedPanel;

// A triangle across the camera's line of sight (x = y = 0) at depth z.
SceneTriangle TriangleAt(float z, std::int32_t id) {
    return {.id = id, .v1 = {-5, -5, z}, .v2 = {5, -5, z}, .v3 = {0, 5, z}, .textureFile = ""};
}

// The shared diagonal passes beside the line of sight, inside the first triangle.
SceneQuad QuadAt(float z, std::int32_t tag) {
    return {.tag = tag,
            .v1 = {-5, -6, z},
            .v2 = {5, 4, z},
            .v3 = {-5, 4, z},
            .v4 = {5, -6, z},
            .textureFile = ""};
}

// A one-triangle mesh for the ray casts.
platform::d3dx::Mesh TriangleMesh(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c) {
    platform::d3dx::Mesh mesh;
    EXPECT_TRUE(platform::d3dx::D3DXCreateMesh(1, 3, platform::d3dx::kFvfPositionColorTex, &mesh));
    mesh.vertices[0].position = a;
    mesh.vertices[1].position = b;
    mesh.vertices[2].position = c;
    mesh.indices = {0, 1, 2};
    return mesh;
}

std::vector<std::int32_t> reported;
bool answer = false;
bool Report(GUIElement*, std::int32_t value) {
    reported.push_back(value);
    return answer;
}

class PanelPickingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reported.clear();
        answer = false;
        panel.hitCallback = &Report;
        label.text = "dopo";
    }
    StartedPanel panel;
    TextLabel label;
};

TEST_F(PanelPickingTest, NearWallsBeepAndPushTheCameraBackAndTheNearestWallIsMeasured) {
    panel.triangles = {TriangleAt(-7, 0)};  // 3 units ahead of the camera at z -10
    panel.drawFrame();
    EXPECT_EQ(panel.beeps, 1);
    EXPECT_FLOAT_EQ(panel.firstPersonCamera.position.z, -11);
    EXPECT_TRUE(panel.firstPersonCamera.dirty);
    panel.drawFrame();  // 4 ahead: still near
    EXPECT_FLOAT_EQ(panel.firstPersonCamera.position.z, -12);
    panel.drawFrame();  // 5 ahead: measured, not pushed
    EXPECT_EQ(panel.beeps, 2);
    EXPECT_FLOAT_EQ(panel.nearestHitDistance, 5);
    // The rebuilt view follows the camera.
    EXPECT_FLOAT_EQ(panel.device()->GetTransform(platform::gfx::TransformState::View).m[3][2], 12);

    // The nearest of several walls counts (quads tagged 1000 are walls), measured every frame.
    SceneQuad far = QuadAt(30, 1000);
    far.id = 0;
    panel.triangles = {TriangleAt(0, 0)};
    panel.quads = {far};
    panel.drawFrame();
    EXPECT_FLOAT_EQ(panel.nearestHitDistance, 12);
    panel.triangles = {};
    panel.drawFrame();
    EXPECT_FLOAT_EQ(panel.nearestHitDistance, 42);
    EXPECT_TRUE(reported.empty());
    panel.quads = {};
    panel.drawFrame();
    EXPECT_FLOAT_EQ(panel.nearestHitDistance, 1000000);
    EXPECT_EQ(panel.beeps, 2);
}

TEST_F(PanelPickingTest, TriggersReportAndOnlyATriangleAnsweringTrueStopsTheFrame) {
    panel.triangles = {TriangleAt(-8, 9), TriangleAt(20, 4)};
    panel.quads = {QuadAt(-8, 0), QuadAt(-8, 77)};
    panel.textLabels = {label};
    panel.drawFrame();
    // The far triangle is not reached; a quad tagged 0 reports 0; triggers are not measured.
    EXPECT_EQ(reported, (std::vector<std::int32_t>{9, 0, 77}));
    EXPECT_FALSE(panel.stopDrawing);
    EXPECT_EQ(panel.headless()->Count("text 'dopo'"), 1);
    EXPECT_FLOAT_EQ(panel.nearestHitDistance, 1000000);
    EXPECT_EQ(panel.beeps, 0);
    panel.hitCallback = nullptr;  // without a callback a trigger counts as not hit
    panel.drawFrame();
    EXPECT_EQ(reported.size(), 3u);

    // Answering true: quads go on, a triangle stops the frame but presents it.
    panel.hitCallback = &Report;
    answer = true;
    reported.clear();
    panel.triangles = {};
    panel.headless()->ClearLog();
    panel.drawFrame();
    EXPECT_EQ(reported, (std::vector<std::int32_t>{0, 77}));
    EXPECT_FALSE(panel.stopDrawing);
    EXPECT_EQ(panel.headless()->Count("indexed 4/6"), 2);
    EXPECT_EQ(panel.headless()->Count("text 'dopo'"), 1);
    panel.triangles = {TriangleAt(-8, 9), TriangleAt(0, 0)};
    reported.clear();
    panel.headless()->ClearLog();
    panel.drawFrame();
    EXPECT_EQ(reported, std::vector<std::int32_t>{9});
    EXPECT_TRUE(panel.stopDrawing);
    EXPECT_EQ(panel.headless()->Count("tris"), 1);  // the second triangle is not drawn
    EXPECT_EQ(panel.headless()->Count("indexed"), 0);
    EXPECT_EQ(panel.headless()->Count("text"), 0);
    EXPECT_FLOAT_EQ(panel.nearestHitDistance, 1000000);
    EXPECT_EQ(panel.headless()->Log().back(), "present");
}

TEST_F(PanelPickingTest, PolygonMeshesNeedThreeVerticesAndValidIndices) {
    PolygonMesh two;
    two.faceCount = 1;
    two.vertices.resize(2);
    PolygonMesh three = two;
    three.vertices.resize(3);
    three.x = 4;
    PolygonMesh wrongIndex = three;
    wrongIndex.indices = {0, 1, 9};
    PolygonMesh hidden = three;
    hidden.visible = false;
    PolygonMesh noFaces = three;
    noFaces.faceCount = 0;
    panel.polygonMeshes = {two, three, wrongIndex, hidden, noFaces};
    panel.drawFrame();
    EXPECT_EQ(panel.headless()->Count("subset"), 1);
    EXPECT_EQ(panel.device()->GetTransform(platform::gfx::TransformState::World).m[3][0], 0);
}

TEST_F(PanelPickingTest, RaysGiveDistanceAndPoint) {
    const platform::d3dx::Mesh mesh = TriangleMesh({-1, -1, 6}, {1, -1, 6}, {0, 1, 6});
    const RayHit hit = panel.castRay(mesh, {0, 0, 0}, {0, 0, 2});
    ASSERT_TRUE(hit.hit);
    EXPECT_FLOAT_EQ(hit.distance, 3);
    EXPECT_FLOAT_EQ(hit.point.z, 6);
    EXPECT_FALSE(panel.castRay(mesh, {0, 0, 0}, {1, 0, 0}).hit);
    EXPECT_FLOAT_EQ(panel.distanceAhead(mesh), 16);  // from the camera at z -10
    EXPECT_FALSE(panel.isCameraNear(mesh));
}

}  // namespace
}  // namespace TekuUtility
