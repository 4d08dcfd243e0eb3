// sceneshot: draws the title scene and the opening scene of each level with the OpenGL device
// offscreen, from the shipped data, and writes them as PNG pictures.
//   sceneshot [data folder (default "data")] [output folder (default "docs")]
#include <cstdio>
#include <memory>
#include <string>

#include "app/shell/TitleScene.h"
#include "game/GameFields.h"
#include "game/LevelBuilders.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/gfx/device.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/gl_device.h"
#include "platform/images/images.h"

namespace {

// The 3D panel drawn without a window, at the main window's panel size.
class OffscreenPanel : public TekuUtility::D3DPanelEx {
  public:
    OffscreenPanel() : D3DPanelEx(nullptr) {
        width = 640;
        height = 480;
        backColor = 0;
    }
    using D3DPanelEx::drawFrame;
};

bool Shoot(OffscreenPanel& panel, const std::string& path) {
    auto* device = dynamic_cast<platform::gl::GlDevice*>(panel.device());
    if (!device) {
        std::fprintf(stderr, "sceneshot: the panel has no GL device\n");
        return false;
    }
    panel.drawFrame();
    if (!platform::WritePngFile(path, device->ReadPixels())) {
        std::fprintf(stderr, "sceneshot: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string data = argc > 1 ? argv[1] : "data";
    const std::string out = argc > 2 ? argv[2] : "docs";
    std::string error;
    auto context = platform::gl::OffscreenContext::Create(&error);
    if (!context) {
        std::fprintf(stderr, "sceneshot: %s\n", error.c_str());
        return 1;
    }
    platform::gfx::SetFactoryProvider([] { return std::make_unique<platform::gl::GlFactory>(); });

    bool ok = true;
    {
        OffscreenPanel panel;
        panel.initDevice(nullptr);
        MyApp::GameFields game;
        game.dataFolder = data;
        game.panel = &panel;
        game.highScores = {"1200 Anna 3", "800 Bruno 2", "150 Carla 1"};
        MyApp::BuildTitleScene(game);
        ok = Shoot(panel, out + "/scene-title.png") && ok;
        for (int level = 1; level <= 4; ++level) {
            game.level = level;
            game.energy = 100;
            game.score = 0;
            MyApp::BuildLevel(game, level, [](MyApp::GameFields&, const std::string&) {});
            ok = Shoot(panel, out + "/scene-level" + std::to_string(level) + ".png") && ok;
        }
    }
    platform::gfx::SetFactoryProvider(nullptr);
    return ok ? 0 : 1;
}
