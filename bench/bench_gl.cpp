// One frame of level 1's opening scene drawn by the OpenGL device at 640 x 480 (llvmpipe on
// the build machines), and the floor: the same triangles, already in world space, in one
// buffer drawn with one call. The ratio of the two says what the panel's per-object drawing
// costs over the bare triangles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

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

// The level-1 scene in a panel with the GL device.
struct LevelScene {
    BenchPanel panel;
    MyApp::GameFields game;
    gl::GlDevice* device = nullptr;

    bool Build() {
        gfx::SetFactoryProvider([] { return std::make_unique<gl::GlFactory>(); });
        panel.initDevice(nullptr);
        game.dataFolder = std::string(KX_SOURCE_DIR) + "/data";
        game.panel = &panel;
        game.energy = 100;
        MyApp::BuildLevel(game, 1, [](MyApp::GameFields&, const std::string&) {});
        device = dynamic_cast<gl::GlDevice*>(panel.device());
        return device != nullptr;
    }
};

void BM_GlLevelFrame(benchmark::State& state) {
    if (!Context()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    LevelScene scene;
    if (!scene.Build()) {
        state.SkipWithError("no GL device");
        return;
    }
    scene.panel.drawFrame();  // loads meshes and fonts
    scene.device->Finish();
    for (auto _ : state) {
        scene.panel.drawFrame();
        scene.device->Finish();
    }
    std::size_t triangles = 0;
    for (const auto& object : scene.panel.meshObjects) {
        if (object.visible && !object.meshFiles.empty()) {
            if (const auto* entry =
                    scene.panel.getMesh(object.meshFiles[static_cast<std::size_t>(object.frame)])) {
                triangles += entry->mesh.FaceCount();
            }
        }
    }
    state.counters["triangles"] = static_cast<double>(triangles);
}
BENCHMARK(BM_GlLevelFrame)->Unit(benchmark::kMillisecond);

void BM_GlOneDrawFloor(benchmark::State& state) {
    if (!Context()) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    LevelScene scene;
    if (!scene.Build()) {
        state.SkipWithError("no GL device");
        return;
    }
    scene.panel.drawFrame();  // camera, projection and every object's placement
    // Every visible object's faces moved into world space, in one mesh of one subset.
    d3dx::Mesh all;
    all.fvf = d3dx::kFvfPositionNormalTex;
    for (const auto& object : scene.panel.meshObjects) {
        if (!object.visible || object.meshFiles.empty()) {
            continue;
        }
        const auto* entry =
            scene.panel.getMesh(object.meshFiles[static_cast<std::size_t>(object.frame)]);
        if (!entry) {
            continue;
        }
        d3dx::D3DXMATRIX r, t, world;
        d3dx::D3DXMatrixRotationYawPitchRoll(&r, static_cast<float>(object.angle) * 0.017453292f, 0,
                                             0);
        d3dx::D3DXMatrixTranslation(&t, static_cast<float>(object.x), static_cast<float>(object.y),
                                    static_cast<float>(object.z));
        d3dx::D3DXMatrixMultiply(&world, &r, &t);
        const auto base = static_cast<std::uint32_t>(all.vertices.size());
        for (auto v : entry->mesh.vertices) {
            d3dx::D3DXVec3TransformCoord(&v.position, &v.position, &world);
            d3dx::D3DXVec3TransformNormal(&v.normal, &v.normal, &world);
            all.vertices.push_back(v);
        }
        for (std::uint32_t index : entry->mesh.indices) {
            all.indices.push_back(base + index);
        }
    }
    all.attributes.assign(all.indices.size() / 3, 0);
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
BENCHMARK(BM_GlOneDrawFloor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
