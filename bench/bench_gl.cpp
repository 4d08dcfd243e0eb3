// One frame of the title scene and of level 1's opening scene drawn by the OpenGL device at
// 640 x 480 (llvmpipe on the build machines), each against its floor: the same triangles
// (meshes and 3D texts), already in world space, in one buffer drawn with one call. The ratio
// of the two says what the panel's per-object drawing costs over the bare triangles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "app/shell/TitleScene.h"
#include "bench/scene_triangles.h"
#include "game/GameFields.h"
#include "game/LevelBuilders.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/gl_device.h"

namespace {

using namespace platform;

class BenchPanel : public TekuUtility::D3DPanelEx {
  public:
    BenchPanel() : D3DPanelEx(nullptr) {
        width = 640;
        height = 480;
        backColor = 0;
    }
    using D3DPanelEx::drawFrame;
};

gl::OffscreenContext* Context() {
    static std::unique_ptr<gl::OffscreenContext> context = gl::OffscreenContext::Create();
    return context.get();
}

enum class SceneKind { Title, Level1 };

// A game scene in a panel with the GL device.
struct Scene {
    BenchPanel panel;
    MyApp::GameFields game;
    gl::GlDevice* device = nullptr;

    bool Build(SceneKind kind) {
        gfx::SetFactoryProvider([] { return std::make_unique<gl::GlFactory>(); });
        panel.initDevice(nullptr);
        game.dataFolder = std::string(KX_SOURCE_DIR) + "/data";
        game.panel = &panel;
        game.energy = 100;
        if (kind == SceneKind::Title) {
            game.highScores = {"1200 Anna 3", "800 Bruno 2", "150 Carla 1"};
            MyApp::BuildTitleScene(game);
        } else {
            MyApp::BuildLevel(game, 1, [](MyApp::GameFields&, const std::string&) {});
        }
        device = dynamic_cast<gl::GlDevice*>(panel.device());
        return device != nullptr;
    }

    d3dx::Mesh AllTriangles() { return kx_bench::SceneTriangles(panel); }
};

// Builds the scene in a GL panel; false, with the benchmark marked skipped, when there is no
// GL context or device.
bool Prepare(benchmark::State& state, SceneKind kind, Scene& scene) {
    if (!Context()) {
        state.SkipWithError("no OpenGL context");
        return false;
    }
    if (!scene.Build(kind)) {
        state.SkipWithError("no GL device");
        return false;
    }
    return true;
}

// One frame through the panel; with readBack, then read back into a reused picture as the
// desktop does to show it in the window.
void PanelFrame(benchmark::State& state, SceneKind kind, bool readBack = false) {
    Scene scene;
    if (!Prepare(state, kind, scene)) {
        return;
    }
    Image frame;
    auto finish = [&] {
        if (readBack) {
            scene.device->ReadPixels(&frame);
        } else {
            scene.device->Finish();
        }
    };
    scene.panel.drawFrame();  // loads meshes and fonts, makes the text meshes
    finish();
    for (auto _ : state) {
        scene.panel.drawFrame();
        finish();
    }
    state.counters["triangles"] = static_cast<double>(scene.AllTriangles().FaceCount());
}

void OneDrawFloor(benchmark::State& state, SceneKind kind) {
    Scene scene;
    if (!Prepare(state, kind, scene)) {
        return;
    }
    scene.panel.drawFrame();  // camera, projection and every object's placement
    const d3dx::Mesh all = scene.AllTriangles();
    gfx::Device& device = *scene.device;
    d3dx::D3DXMATRIX identity;
    device.SetTransform(gfx::TransformState::World, identity);
    d3dx::D3DMATERIAL9 material;
    material.Diffuse = material.Ambient = {0.7f, 0.7f, 0.7f, 1};
    device.SetMaterial(material);
    device.SetTexture(0, nullptr);
    device.SetRenderState(gfx::RenderState::Lighting, 1);
    device.SetRenderState(gfx::RenderState::ZEnable, 1);
    for (auto _ : state) {
        device.Clear(0xFF000000u, 1.0f);
        device.DrawSubset(all, 0);
        device.Present();
        scene.device->Finish();
    }
    state.counters["triangles"] = static_cast<double>(all.FaceCount());
}

BENCHMARK_CAPTURE(PanelFrame, title, SceneKind::Title)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OneDrawFloor, title, SceneKind::Title)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PanelFrame, level1, SceneKind::Level1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OneDrawFloor, level1, SceneKind::Level1)->Unit(benchmark::kMillisecond);
// The level frame as the desktop shows it: drawn, then read back for the window.
BENCHMARK_CAPTURE(PanelFrame, level1_read_back, SceneKind::Level1, true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
