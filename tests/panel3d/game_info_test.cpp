// The game-info file: "data\file.x" under the current folder, one MY_GAME_INFO object.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "panel_test_support.h"

namespace TekuUtility {
namespace {

using testing::ScratchFolder;

// Runs the test in a fresh current folder.
class GameInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    ScratchFolder folder;

  private:
    std::filesystem::path previous_;
};

TEST_F(GameInfoTest, SaveThenLoadRestoresRotationAndCamera) {
    D3DPanelEx saved(nullptr);
    saved.sceneRotation.yaw = 0.5;
    saved.sceneRotation.pitch = -0.25;
    saved.cameraX = 1;
    saved.cameraY = 2;
    saved.cameraZ = -3;
    saved.sceneTranslation.x = 9;  // not kept
    ASSERT_TRUE(saved.saveGameInfo());
    std::ifstream in(folder.file("data/file.x"));
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text.rfind("xof 0302txt 0032", 0), 0u);
    EXPECT_NE(text.find("MY_GAME_INFO"), std::string::npos);
    EXPECT_EQ(text.find("template"), std::string::npos);  // the reader registers it

    D3DPanelEx loaded(nullptr);
    ASSERT_TRUE(loaded.loadGameInfo());
    EXPECT_NEAR(loaded.sceneRotation.yaw, 0.5, 1e-6);
    EXPECT_NEAR(loaded.sceneRotation.pitch, -0.25, 1e-6);
    EXPECT_EQ(loaded.sceneRotation.roll, 0);
    EXPECT_NEAR(loaded.cameraX, 1, 1e-6);
    EXPECT_NEAR(loaded.cameraY, 2, 1e-6);
    EXPECT_NEAR(loaded.cameraZ, -3, 1e-6);
    EXPECT_EQ(loaded.sceneTranslation.x, 0);
}

}  // namespace
}  // namespace TekuUtility
