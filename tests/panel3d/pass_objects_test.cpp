// What the sprite, label and 3D-text passes keep between frames: reused while the scene stays
// the same, bounded while texts change, dropped with the device, and never changing what the
// frame draws.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "panel_test_support.h"
#include "platform/gfx/headless.h"

namespace TekuUtility {
namespace {

using testing::StartedPanel;
namespace gfx = platform::gfx;

TextLabel Label(const std::string& text, int height, int x, int y) {
    return {
        .text = text, .height = height, .fontFace = "Arial", .x = x, .y = y, .color = 0xfffefefe};
}

Text3D Title(const std::string& text) {
    return Text3D(text, 40, "Tahoma", true, false, -2, 2, -3, 0x00FFC000);
}

class PassObjectsTest : public ::testing::Test {
  protected:
    const PassObjectCache& cache() const { return panel_.passObjects(); }
    gfx::HeadlessDevice& log() const { return *panel_.headless(); }

    StartedPanel panel_;
};

TEST_F(PassObjectsTest, ASteadySceneMakesItsFontsAndTextMeshesOnceAndANewSceneDropsThem) {
    panel_.setScene({}, {}, {}, {},
                    {Label("Punteggio: 000000", 18, 480, 10), Label("TOP TEN", 18, 120, 100),
                     Label("01", 12, 10, 125)},
                    {Title("Kryx Space"), Title("2021")});
    panel_.drawFrame();
    // Labels of one height and face share a font; each 3D text has its mesh.
    EXPECT_EQ(cache().fontCount(), 2u);
    EXPECT_EQ(cache().textMeshCount(), 2u);
    const std::vector<std::string> first = log().Log();
    for (int i = 0; i < 5; ++i) {
        log().ClearLog();
        panel_.drawFrame();
        EXPECT_EQ(log().Log(), first);
    }
    EXPECT_EQ(cache().fontCount(), 2u);
    EXPECT_EQ(cache().textMeshCount(), 2u);
    panel_.setScene({}, {}, {}, {}, {}, {});  // re-creates the device
    EXPECT_EQ(cache().fontCount(), 0u);
    EXPECT_EQ(cache().textMeshCount(), 0u);
}

TEST_F(PassObjectsTest, TextsThatChangeEveryFrameDoNotPileUp) {
    panel_.setScene({}, {}, {}, {}, {Label("0", 18, 480, 10)}, {Title("0")});
    for (int i = 0; i < 200; ++i) {
        panel_.textLabels[0].text = std::to_string(i);
        panel_.texts3D[0].text = std::to_string(i);
        panel_.drawFrame();
        ASSERT_LE(cache().textMeshCount(), PassObjectCache::kMaxTextMeshes);
        // A label's text never makes a font of its own.
        ASSERT_EQ(cache().fontCount(), 1u);
    }
}

TEST_F(PassObjectsTest, WhatIsNoLongerDrawnIsDroppedAfterAWhile) {
    panel_.setScene({}, {}, {}, {}, {Label("a", 18, 0, 0), Label("b", 30, 0, 40)},
                    {Title("Kryx"), Title("Space")});
    panel_.drawFrame();
    ASSERT_EQ(cache().fontCount(), 2u);
    ASSERT_EQ(cache().textMeshCount(), 2u);
    panel_.textLabels[1].visible = false;
    panel_.texts3D[1].visible = false;
    for (std::uint64_t i = 0; i < PassObjectCache::kKeepFrames; ++i) {
        panel_.drawFrame();
    }
    // Hidden for a short while: kept, so that showing it again is free.
    EXPECT_EQ(cache().fontCount(), 2u);
    EXPECT_EQ(cache().textMeshCount(), 2u);
    panel_.drawFrame();
    EXPECT_EQ(cache().fontCount(), 1u);
    EXPECT_EQ(cache().textMeshCount(), 1u);
    // Shown again, it is made again and drawn as before.
    panel_.textLabels[1].visible = true;
    panel_.texts3D[1].visible = true;
    log().ClearLog();
    panel_.drawFrame();
    EXPECT_EQ(log().Count("text 'b'"), 1);
    EXPECT_EQ(log().Count("subset 0"), 2);
    EXPECT_EQ(cache().fontCount(), 2u);
    EXPECT_EQ(cache().textMeshCount(), 2u);
}

TEST_F(PassObjectsTest, ManyDistinctStylesInOneFrameStayCappedAndAllDraw) {
    std::vector<TextLabel> labels;
    std::vector<Text3D> texts;
    const int count = static_cast<int>(PassObjectCache::kMaxFonts) + 4;
    for (int i = 0; i < count; ++i) {
        labels.push_back(Label("x", 10 + i, 0, 20 * i));
        texts.push_back(Title(std::string("t").append(std::to_string(i))));
    }
    panel_.setScene({}, {}, {}, {}, labels, texts);
    panel_.drawFrame();
    EXPECT_EQ(log().Count("text 'x'"), count);
    EXPECT_EQ(log().Count("subset 0"), count);
    EXPECT_LE(cache().fontCount(), PassObjectCache::kMaxFonts);
    EXPECT_LE(cache().textMeshCount(), PassObjectCache::kMaxTextMeshes);
}

TEST(PassObjectsFailureTest, AFontThatCannotBeMadeSkipsItsLabelsOnly) {
    auto control = std::make_shared<gfx::HeadlessControl>();
    control->failFonts = true;
    gfx::ScopedHeadlessProvider scope(control);
    StartedPanel panel;
    panel.setScene({}, {}, {}, {}, {Label("a", 18, 0, 0)}, {Title("Kryx")});
    for (int i = 0; i < 3; ++i) {
        panel.headless()->ClearLog();
        panel.drawFrame();
        EXPECT_EQ(panel.headless()->Count("text"), 0);
        EXPECT_EQ(panel.headless()->Count("subset 0"), 1);
        EXPECT_EQ(panel.headless()->Count("present"), 1);
    }
}

}  // namespace
}  // namespace TekuUtility
