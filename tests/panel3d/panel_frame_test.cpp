// One frame of the panel: camera, projection, frustum, mesh objects and their world boxes,
// the order of the passes, sprites and labels.
#include <gtest/gtest.h>

#include "panel3d/PanelMath.h"
#include "panel_test_support.h"

namespace TekuUtility {
namespace {

using testing::BoxX;
using testing::ScratchFolder;
using testing::StartedPanel;
using testing::TestPanel;
using testing::WriteFile;
namespace gfx = platform::gfx;

TEST(PanelFrameTest, DefaultCameraLooksAlongZFromMinusTen) {
    StartedPanel panel;
    panel.drawFrame();
    // The first frame's frustum uses the new device's identity projection: near plane z = -11.
    EXPECT_NEAR(panel.firstPersonCamera.frustum[kNearPlane].d, 11.0f, 1e-5);

    // From the second frame on: the origin is in view; behind, beyond or far aside are not.
    panel.drawFrame();
    EXPECT_TRUE(panel.isInFrustum(0, 0, 0));
    EXPECT_TRUE(panel.isInFrustum(0, 0, 400));
    EXPECT_FALSE(panel.isInFrustum(0, 0, -10.5f));
    EXPECT_FALSE(panel.isInFrustum(0, 0, 491));
    // At z 0, ten units ahead, the half-width and half-height are 10 tan(pi / 8) = 4.14.
    EXPECT_TRUE(panel.isInFrustum(4, 0, 0));
    EXPECT_FALSE(panel.isInFrustum(4.3f, 0, 0));
    EXPECT_TRUE(panel.isInFrustum(-4, 4, 0));
    EXPECT_FALSE(panel.isInFrustum(0, -4.3f, 0));
    EXPECT_NEAR(panel.firstPersonCamera.frustum[kNearPlane].c, 1.0f, 1e-6);
    EXPECT_NEAR(panel.firstPersonCamera.frustum[kNearPlane].d, 9.4995f, 1e-3);
}

TEST(PanelFrameTest, MeshObjectBoundsFollowTheHeadingAndStayWhileHidden) {
    ScratchFolder folder;
    const std::string ship = WriteFile(folder.file("long.x"), BoxX(2, 0.5f, 1));
    StartedPanel panel;
    MeshObject turned(5, 0, 0, {ship});
    turned.angle = 90;
    MeshObject hidden(0, 0, 0, {ship});
    hidden.visible = false;
    MeshObject missing(0, 0, 0, {folder.file("nessuno.x")});
    missing.bounds = {1, 2, 3, 4, 5, 6};
    MeshObject badFrame(0, 0, 0, {ship});
    badFrame.frame = 3;
    panel.meshObjects = {turned, hidden, missing, badFrame};
    panel.drawFrame();

    const auto& b = panel.meshObjects[0].bounds;
    EXPECT_NEAR(b.maxX - b.minX, 2.0, 1e-5);
    EXPECT_NEAR(b.maxZ - b.minZ, 4.0, 1e-5);
    EXPECT_NEAR(b.minX, 4.0, 1e-5);
    EXPECT_EQ(panel.meshObjects[1].bounds.maxX, 0);  // never drawn: zeros
    EXPECT_EQ(panel.meshObjects[2].bounds.maxZ, 6);  // unloadable: untouched
    EXPECT_EQ(panel.meshObjects[3].bounds.maxX, 0);
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 12"), 1);

    // Moved and hidden: the box is the one of the last frame it was drawn in.
    panel.meshObjects[0].x = 50;
    panel.meshObjects[0].visible = false;
    panel.drawFrame();
    EXPECT_NEAR(panel.meshObjects[0].bounds.minX, 4.0, 1e-5);
    // The world transform is restored after each object.
    EXPECT_EQ(panel.device()->GetTransform(gfx::TransformState::World).m[3][0], 0);
}

TEST(PanelFrameTest, LitObjectsGetTheLightSetUp) {
    ScratchFolder folder;
    const std::string box = WriteFile(folder.file("box.x"), BoxX(1, 1, 1));
    StartedPanel panel;
    panel.setLight(1, 2, 3, 0, 0, 5);
    MeshObject lit(0, 0, 0, {box});
    lit.lit = true;
    panel.meshObjects = {MeshObject(0, 0, 0, {box}), lit};
    panel.drawFrame();
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 12 none lit"), 1);
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 12 none"), 2);
    const gfx::Device& d = *panel.device();
    EXPECT_EQ(d.GetLight().direction.z, 1.0f);
    EXPECT_EQ(d.GetLight().position.y, 2.0f);
    EXPECT_EQ(d.GetLight().range, 1000.0f);
    EXPECT_TRUE(d.IsLightEnabled());
    EXPECT_EQ(d.GetRenderState(gfx::RenderState::Ambient), 0x80808080u);
    EXPECT_EQ(d.GetRenderState(gfx::RenderState::ZEnable), 1u);
    // The mesh's own material, its ambient replaced by its diffuse colour.
    EXPECT_FLOAT_EQ(d.GetMaterial().Ambient.r, 0.8f);
    EXPECT_FLOAT_EQ(d.GetMaterial().Diffuse.g, 0.2f);
}

TEST(PanelFrameTest, LabelsStartAtTheirPositionWhateverTheirLength) {
    StartedPanel panel;
    // wider than 100 pixels
    const TextLabel score{.text = "PUNTI: 000120 - LIVELLO 1 - ENERGIA",
                          .height = 16,
                          .x = 20,
                          .y = 450,
                          .color = 0xfffefefe};
    panel.textLabels = {score, {.text = "nascosto", .x = 20, .y = 450, .visible = false}};
    panel.drawFrame();
    const int width = platform::gfx::HeadlessTextWidth(score.text, 16);
    ASSERT_GT(width, 100);
    EXPECT_EQ(panel.headless()->Count("text '" + score.text + "' 20,450," +
                                      std::to_string(20 + width) + ",466 fffefefe"),
              1);
    EXPECT_EQ(panel.headless()->Count("text 'nascosto'"), 0);
}

TEST(PanelFrameTest, EnergyBarBandsFromTheSheetResource) {
    TestPanel panel;
    panel.spriteSheetResourceId = 1025;
    panel.start();
    if (!panel.spriteSheet()) {
        GTEST_SKIP() << "the energy-bar resource is not embedded in this build";
    }
    ASSERT_EQ(panel.spriteSheet()->Width(), 128);
    ASSERT_EQ(panel.spriteSheet()->Height(), 168);
    panel.spriteCells = {
        {128, 24, 0, 0, 6, 20, 10, 0}, {128, 24, 6, 6, 6, 20, 10, 0}, {64, 24, 3, 3, 6, 20, 40, 0}};
    panel.drawFrame();
    const auto* d = panel.headless();
    EXPECT_EQ(d->Count("sprite tex#1 src 0,0,128,24 at 20,10 scale 1,1 ffffffff"), 1);
    EXPECT_EQ(d->Count("sprite tex#1 src 0,144,128,168 at 20,10 scale 1,1"), 1);
    EXPECT_EQ(d->Count("sprite tex#1 src 0,72,128,96 at 40,40 scale 0.5,1"), 1);
    EXPECT_EQ(panel.device()->GetRenderState(gfx::RenderState::SeparateAlphaBlendEnable), 1u);
    EXPECT_EQ(panel.device()->GetRenderState(gfx::RenderState::SrcBlendAlpha), gfx::kBlendZero);
    EXPECT_EQ(panel.device()->GetRenderState(gfx::RenderState::DestBlendAlpha), gfx::kBlendOne);
}

TEST(PanelFrameTest, Texts3DAreScaledBySizeOver44AndPlaced) {
    StartedPanel panel;
    Text3D hidden("Nascosto", 44, "Arial", false, false, 0, 0, 0, 0);
    hidden.visible = false;
    panel.headless()->SetRecordSubsets(true);
    panel.texts3D = {Text3D("Kryx", 44, "Arial", true, false, -3, 1, 2, platform::RGB(255, 0, 0)),
                     hidden, Text3D("Kryx", 22, "Arial", true, false, 4, 0, 0, 0)};
    panel.drawFrame();
    const auto& subsets = panel.headless()->Subsets();
    ASSERT_EQ(subsets.size(), 2u);
    const float full = subsets[0].max.x - subsets[0].min.x;
    const float half = subsets[1].max.x - subsets[1].min.x;
    EXPECT_GT(full, 1.0f);  // four glyphs of about half an em each
    EXPECT_NEAR(half, full / 2, 1e-4);
    EXPECT_NEAR(subsets[0].max.z - subsets[0].min.z, 0.4f, 1e-4);  // the extrusion
    EXPECT_EQ(subsets[0].world.m[3][0], -3.0f);
    EXPECT_EQ(subsets[0].world.m[3][2], 2.0f);
    EXPECT_EQ(subsets[1].world.m[3][0], 4.0f);
    EXPECT_EQ(panel.headless()->Count("subset 0 faces"), 2);
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 0"), 0);
    // Lit, in the material of the last text's colour, with depth testing on.
    const gfx::Device& d = *panel.device();
    EXPECT_EQ(d.GetRenderState(gfx::RenderState::Lighting), 1u);
    EXPECT_EQ(d.GetRenderState(gfx::RenderState::ZEnable), 1u);
    EXPECT_EQ(d.GetMaterial().Diffuse.r, 0.0f);
    EXPECT_EQ(d.GetMaterial().Ambient.a, 1.0f);
}

TEST(PanelFrameTest, PassesRunInTheirOrder) {
    ScratchFolder folder;
    const std::string box = WriteFile(folder.file("box.x"), BoxX(1, 1, 1));
    StartedPanel panel;
    // A trigger triangle without callback: drawn, nothing else.
    panel.triangles = {
        {.id = 5, .v1 = {0, 0, 50}, .v2 = {1, 0, 50}, .v3 = {0, 1, 50}, .textureFile = ""}};
    panel.quads = {{.v1 = {0, 0, 60},
                    .v2 = {1, 0, 60},
                    .v3 = {1, 1, 60},
                    .v4 = {0, 1, 60},
                    .textureFile = ""}};
    panel.meshObjects = {MeshObject(0, 0, 0, {box})};
    panel.polygonMeshes = {{.faceCount = 1,
                            .vertices = std::vector<PolygonVertex>(3),
                            .indices = {},
                            .textureFile = ""}};
    panel.textLabels = {{.text = "L"}};
    panel.spriteCells = {{128, 24, 0, 0, 6, 20, 10, 0}};  // no sheet: not drawn
    panel.drawFrame();
    std::vector<std::string> kinds;
    for (const std::string& line : panel.headless()->Log()) {
        kinds.push_back(line.substr(0, line.find(' ')));
    }
    const std::vector<std::string> expected = {"clear",  "begin", "tris", "indexed", "subset",
                                               "subset", "text",  "end",  "present"};
    EXPECT_EQ(kinds, expected);
}

}  // namespace
}  // namespace TekuUtility
