// One headless frame of the 3D panel: the shared per-frame work (camera, frustum, world
// matrices and boxes, cache lookups, the passes) without any drawing. The headless device
// runs without its draw log and counts each mesh's faces once, so the figures are the
// panel's own.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "panel3d/D3DPanelEx.h"
#include "platform/gfx/headless.h"

namespace {

using namespace TekuUtility;

const std::string kData = std::string(KX_SOURCE_DIR) + "\\data";

std::shared_ptr<platform::gfx::HeadlessControl> Quiet() {
    auto control = std::make_shared<platform::gfx::HeadlessControl>();
    control->log = false;
    return control;
}

class BenchPanel : public D3DPanelEx {
  public:
    BenchPanel() : D3DPanelEx(nullptr) {
        width = 640;
        height = 480;
        initDevice(nullptr);
    }
    using D3DPanelEx::drawFrame;
};

// The ship, its shot, ten rocks, ten saucers, the energy bar and the score line, as level 3
// has them.
void LevelLikeScene(BenchPanel* panel) {
    std::vector<MeshObject> objects;
    MeshObject ship(0, -2, 0, {kData + "\\Nave.x", kData + "\\NaveColpita.x"});
    ship.lit = true;
    objects.push_back(ship);
    MeshObject shot(0, -2, 2, {kData + "\\fire.x"});
    shot.id = 2;
    objects.push_back(shot);
    for (int i = 0; i < 10; ++i) {
        MeshObject rock(
            i - 5.0, 3, 20.0 + i,
            {kData + "\\asteroide.x", kData + "\\asteroide2.x", kData + "\\asteroideImpatto.x",
             kData + "\\asteroideImpatto2.x", kData + "\\esplosione.x", kData + "\\fire.x"});
        rock.id = 1001 + i;
        rock.frame = i % 2;
        rock.lit = true;
        objects.push_back(rock);
    }
    for (int i = 0; i < 10; ++i) {
        MeshObject saucer(
            i * 1.5 - 7, 4, 30,
            {kData + "\\uforid1.x", kData + "\\uforidcolpito1.x", kData + "\\ufokryx.x",
             kData + "\\ufokryx2.x", kData + "\\esplosione.x"});
        saucer.id = 2001 + i;
        saucer.lit = true;
        objects.push_back(saucer);
    }
    TextLabel score;
    score.text = "PUNTI: 000120";
    score.x = 200;
    score.y = 10;
    score.height = 16;
    score.color = 0xfffefefe;
    panel->spriteSheetResourceId = 1025;
    panel->setScene({}, {}, {{128, 24, 0, 0, 6, 20, 10, 0}}, objects, {score}, {});
}

void BM_LevelLikeFrame(benchmark::State& state) {
    platform::gfx::ScopedHeadlessProvider quiet(Quiet());
    BenchPanel panel;
    LevelLikeScene(&panel);
    panel.drawFrame();  // loads the meshes once
    for (auto _ : state) {
        panel.drawFrame();
        for (MeshObject& object : panel.meshObjects) {
            object.angle = (object.angle + 3) % 360;
        }
    }
    benchmark::DoNotOptimize(panel.meshObjects[3].bounds.minX);
}
BENCHMARK(BM_LevelLikeFrame);

void BM_ThousandObjectFrame(benchmark::State& state) {
    platform::gfx::ScopedHeadlessProvider quiet(Quiet());
    BenchPanel panel;
    std::vector<MeshObject> objects;
    const char* files[] = {"\\asteroide.x", "\\asteroide2.x", "\\ufo.x", "\\fire.x"};
    for (int i = 0; i < 1000; ++i) {
        MeshObject object((i % 40) - 20.0, (i / 40) % 25 - 12.0, 10.0 + i % 7,
                          {kData + files[i % 4]});
        object.id = 1000 + i;
        object.angle = i % 360;
        object.lit = (i % 2) == 0;
        objects.push_back(object);
    }
    panel.setScene({}, {}, {}, objects, {}, {});
    panel.drawFrame();
    for (auto _ : state) {
        panel.drawFrame();
    }
    benchmark::DoNotOptimize(panel.meshObjects[999].bounds.maxZ);
}
BENCHMARK(BM_ThousandObjectFrame);

}  // namespace
