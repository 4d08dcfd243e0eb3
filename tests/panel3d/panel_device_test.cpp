// Device creation and re-creation of the panel: failures, setScene, lost devices.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel_test_support.h"
#include "platform/msgbox.h"

namespace TekuUtility {
namespace {

using testing::StartedPanel;
using testing::TestPanel;
namespace gfx = platform::gfx;

// Records the message boxes shown while alive.
class BoxRecorder {
  public:
    BoxRecorder()
        : previous_(platform::SetMessageBoxHandler([this](platform::HWND, const std::string& text,
                                                          const std::string& caption,
                                                          platform::UINT type) {
              boxes.push_back(text + "|" + caption + "|" + std::to_string(type));
              return 1;
          })) {}
    ~BoxRecorder() { platform::SetMessageBoxHandler(previous_); }
    std::vector<std::string> boxes;

  private:
    platform::MessageBoxHandler previous_;
};

TEST(PanelDeviceTest, CreationFailuresShowTheirMessages) {
    auto control = std::make_shared<gfx::HeadlessControl>();
    BoxRecorder recorder;
    {
        gfx::ScopedHeadlessProvider scope(control, /*failFactory=*/true);
        TestPanel panel;
        panel.stopDrawing = true;
        panel.start();
        EXPECT_EQ(panel.device(), nullptr);
        EXPECT_TRUE(panel.stopDrawing);  // left as it was when there is no renderer at all
    }
    EXPECT_EQ(recorder.boxes, std::vector<std::string>{
                                  "Inizializzazione DirectX fallita.|errore|" +
                                  std::to_string(platform::MB_ICONERROR | platform::MB_TASKMODAL)});
    {
        gfx::ScopedHeadlessProvider scope(control);
        control->failHardware = true;
        StartedPanel panel;
        EXPECT_NE(panel.device(), nullptr);  // the reference device stands in
        control->failReference = true;
        TestPanel none;
        none.stopDrawing = true;
        none.start();
        EXPECT_EQ(none.device(), nullptr);
        EXPECT_FALSE(none.stopDrawing);
    }
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[1].substr(0, recorder.boxes[1].find('|')),
              "Inizializzazione DirectX fallita (CreateDevice).");
}

TEST(PanelDeviceTest, SetSceneNeedsADeviceAndThenRecreatesItAndPlacesTheCamera) {
    auto control = std::make_shared<gfx::HeadlessControl>();
    gfx::ScopedHeadlessProvider scope(control);
    TestPanel panel;
    EXPECT_EQ(panel.device(), nullptr);  // construction makes none
    panel.renderFrame();                 // nor does a paint without a window
    panel.textLabels.resize(2);
    panel.setScene({}, {}, {}, {MeshObject(1, 2, 3, {"a.x"})}, {}, {});
    EXPECT_EQ(panel.textLabels.size(), 2u);
    EXPECT_TRUE(panel.meshObjects.empty());
    EXPECT_EQ(panel.device(), nullptr);

    panel.start();
    EXPECT_EQ(control->devicesCreated, 1);
    panel.polygonMeshes.resize(1);
    panel.cameraX = 1;
    panel.cameraZ = -20;
    panel.firstPersonCamera.dirty = false;
    panel.stopDrawing = true;
    panel.setScene({}, {}, {}, {MeshObject(1, 2, 3, {"a.x"})}, {}, {});
    EXPECT_EQ(panel.meshObjects.size(), 1u);
    EXPECT_TRUE(panel.textLabels.empty());
    EXPECT_TRUE(panel.polygonMeshes.empty());  // setScene always empties the seventh list
    EXPECT_EQ(control->devicesCreated, 2);
    EXPECT_EQ(panel.firstPersonCamera.device, panel.device());
    EXPECT_EQ(panel.firstPersonCamera.position.x, 1.0f);
    EXPECT_EQ(panel.firstPersonCamera.position.z, -20.0f);
    EXPECT_TRUE(panel.firstPersonCamera.dirty);
    EXPECT_FALSE(panel.stopDrawing);
    EXPECT_EQ(panel.device()->GetRenderState(gfx::RenderState::CullMode), gfx::kCullNone);
    EXPECT_EQ(panel.device()->GetRenderState(gfx::RenderState::Lighting), 0u);
}

TEST(PanelDeviceTest, ResettableLostDeviceIsRebuiltKeepingTheScene) {
    auto control = std::make_shared<gfx::HeadlessControl>();
    gfx::ScopedHeadlessProvider scope(control);
    StartedPanel panel;
    panel.polygonMeshes = {
        {.faceCount = 1, .vertices = {{}, {.x = 1}, {.y = 1}}, .indices = {}, .textureFile = ""}};
    panel.textLabels = {{.text = "Punti"}};

    panel.headless()->SetCooperativeLevel(gfx::CooperativeLevel::DeviceLost);
    panel.drawFrame();  // still lost: drawn all the same, the calls fail harmlessly
    EXPECT_EQ(control->devicesCreated, 1);

    panel.headless()->SetCooperativeLevel(gfx::CooperativeLevel::DeviceNotReset);
    panel.drawFrame();
    EXPECT_EQ(control->devicesCreated, 2);
    EXPECT_EQ(panel.polygonMeshes.size(), 1u);  // survives, unlike through setScene
    EXPECT_EQ(panel.textLabels.size(), 1u);
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 1"), 1);
    EXPECT_EQ(panel.headless()->Count("text 'Punti'"), 1);
    EXPECT_EQ(panel.headless()->Count("present"), 1);

    // A rebuild that cannot make a device leaves the panel blank instead of drawing.
    BoxRecorder recorder;
    control->failHardware = control->failReference = true;
    panel.headless()->SetCooperativeLevel(gfx::CooperativeLevel::DeviceNotReset);
    panel.drawFrame();
    EXPECT_EQ(panel.device(), nullptr);
    EXPECT_EQ(recorder.boxes.size(), 1u);
}

TEST(PanelDeviceTest, BackgroundCopiedWhenItFitsTheBackBuffer) {
    testing::ScratchFolder folder;
    platform::Image picture;
    picture.width = 640;
    picture.height = 480;
    picture.pixels.assign(640 * 480, 0x00102030u);
    ASSERT_TRUE(platform::WritePngFile(folder.file("sfondo.png"), picture));

    TestPanel panel;
    panel.backgroundImageFile = folder.path() + "\\sfondo.png";
    panel.start();
    ASSERT_TRUE(panel.hasBackground());
    panel.drawFrame();
    EXPECT_EQ(panel.headless()->Count("background 640x480"), 1);

    // A picture larger than the back buffer (a bordered panel): its top-left part is copied.
    TestPanel small(320, 200);
    small.backgroundImageFile = panel.backgroundImageFile;
    small.start();
    small.drawFrame();
    EXPECT_EQ(small.headless()->Count("background 320x200"), 1);

    TestPanel missing;
    missing.backgroundImageFile = folder.path() + "\\nessuno.png";
    missing.backgroundResourceId = 1006;  // not used: the file name wins
    missing.start();
    EXPECT_FALSE(missing.hasBackground());
}

}  // namespace
}  // namespace TekuUtility
