// One whole tick of the game in a real window, from game state to swapped frame: the title
// and level 1 in the game's main window with the OpenGL device, at scale 1 and 2. Beside
// each, its floor: the same background, energy band, label and the scene's triangles drawn
// with one call each into the same window, no menus. Run on an X display (e.g. under
// xvfb-run), where the panel draws straight into the window as in the game; without one, on
// SDL's offscreen driver, whose windows cannot take that, so the panel's frames are copied.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "app/shell/FormMain.h"
#include "bench/scene_triangles.h"
#include "game/LevelBuilders.h"
#include "platform/desktop/desktop.h"
#include "platform/files.h"
#include "platform/gl/gl_device.h"
#include "platform/images/images.h"
#include "platform/sdlwin/child_view.h"
#include "platform/sdlwin/sdl_backend.h"
#include "platform/win/backend.h"
#include "platform/win/win32.h"

namespace {

using namespace platform;

const std::string kData = std::string(KX_SOURCE_DIR) + "/data";

bool DesktopStarted() {
    static const bool started = [] {
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
        }
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::string error;
        return desktop::Start(&error);
    }();
    return started;
}

// Runs what is queued, timers aside (the benchmark ticks itself), and what it changed.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageW(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// CPU time of the whole process (the GL rasteriser's threads included), in milliseconds.
double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Reports the process's CPU time per iteration since `start` as a counter.
void ReportProcessCpu(benchmark::State& state, double start) {
    state.counters["process_cpu_ms"] =
        benchmark::Counter(ProcessCpuMs() - start, benchmark::Counter::kAvgIterations);
}

enum class SceneKind { Title, Level1 };

// 7.5 s of level 1 at 30 ms a tick.
constexpr int kWarmUpTicks = 250;

// The game's main window at a scale, showing the title or level 1 running.
std::unique_ptr<MyApp::FormMain> OpenGame(benchmark::State& state, SceneKind kind, int scale) {
    if (!DesktopStarted()) {
        state.SkipWithError("no offscreen video");
        return nullptr;
    }
    auto form = std::make_unique<MyApp::FormMain>(nullptr, kData, MyApp::kWindowTitle);
    Pump();
    // Shown first (at its first-start scale), so that the size below is the one that stays.
    sdlwin::DrawPendingWindows();
    const RECT content = win::ContentRect(form->handle);
    sdlwin::ResizeMainWindow((content.right - content.left) * scale,
                             (content.bottom - content.top) * scale);
    if (form->fields.panel == nullptr || form->fields.panel->device() == nullptr) {
        state.SkipWithError("no GL device");
        return nullptr;
    }
    if (kind == SceneKind::Level1) {
        form->fields.energy = 100;
        MyApp::BuildLevel(form->fields, 1, [](MyApp::GameFields&, const std::string&) {});
        form->fields.levelRunning = true;
        // Played for a while first: the rocks come in over the first seconds, and from then
        // on the scene keeps about the same number of triangles.
        for (int tick = 0; tick < kWarmUpTicks; ++tick) {
            form->OnTimer();
            Pump();
        }
    }
    Pump();
    sdlwin::DrawPendingWindows();
    if (sdlwin::ChildViewScale(form->fields.panel->handle) != scale) {
        state.SkipWithError("the window did not take the scale");
        return nullptr;
    }
    return form;
}

void Tick(benchmark::State& state, SceneKind kind, int scale) {
    std::unique_ptr<MyApp::FormMain> form = OpenGame(state, kind, scale);
    if (!form) {
        return;
    }
    const double start = ProcessCpuMs();
    for (auto _ : state) {
        form->OnTimer();
        Pump();
        sdlwin::DrawPendingWindows();
        glFinish();
    }
    ReportProcessCpu(state, start);
    form.reset();
    Pump();
}

// The floor's drawing: one call per kind of thing the frame shows.
struct Floor {
    gfx::Device* device = nullptr;
    d3dx::Mesh triangles;
    std::unique_ptr<gfx::Surface> background;
    std::unique_ptr<gfx::Sprite> sprite;
    std::unique_ptr<gfx::Font> font;
    const gfx::Texture* sheet = nullptr;

    void Draw() {
        device->Clear(0xFF000000u, 1.0f);
        device->BeginScene();
        device->CopyToBackBuffer(*background);
        device->SetTransform(gfx::TransformState::World, d3dx::D3DXMATRIX{});
        device->SetRenderState(gfx::RenderState::Lighting, 1);
        device->SetRenderState(gfx::RenderState::ZEnable, 1);
        device->SetTexture(0, nullptr);
        device->DrawSubset(triangles, 0);
        sprite->Begin(gfx::kSpriteAlphaBlend);
        const RECT band{0, 0, 128, 24};
        sprite->Draw(sheet, &band, d3dx::D3DXVECTOR3{20, 10, 0}, 0xFFFFFFFFu);
        sprite->End();
        RECT text{480, 10, 640, 30};
        font->DrawText(nullptr, "PUNTI: 000120", &text, 0, 0xFFFEFEFEu);
        device->EndScene();
    }
};

void TickFloor(benchmark::State& state, SceneKind kind, int scale) {
    std::unique_ptr<MyApp::FormMain> form = OpenGame(state, kind, scale);
    if (!form) {
        return;
    }
    // One frame of the game first: it sets the camera the floor draws through.
    form->OnTimer();
    Pump();
    TekuUtility::D3DPanelEx& panel = *form->fields.panel;
    Floor floor;
    floor.device = panel.device();
    floor.triangles = kx_bench::SceneTriangles(panel);
    // The scene's own picture, of which the panel keeps the top-left part that fits.
    floor.background = floor.device->CreateSurface(
        CropToTopLeft(LoadImageFile(NativePath(panel.backgroundImageFile)).value_or(Image{}),
                      floor.device->BackBufferWidth(), floor.device->BackBufferHeight()));
    if (!floor.background) {
        state.SkipWithError("no background picture");
        return;
    }
    floor.sprite = floor.device->CreateSprite();
    floor.font = floor.device->CreateFont(gfx::FontDesc{16, 700, false, "Arial"});
    floor.sheet = panel.spriteSheet();
    auto* window = static_cast<SDL_Window*>(sdlwin::NativeWindowOf(form->handle));
    const RECT view = win::RectInSurface(panel.handle, true);
    const RECT content = win::ContentRect(form->handle);
    int height = 0;
    SDL_GL_GetDrawableSize(window, nullptr, &height);
    floor.Draw();
    const bool inPlace = static_cast<gl::GlDevice*>(floor.device)->InPlace().has_value();
    const GLuint framebuffer = static_cast<gl::GlDevice*>(floor.device)->Framebuffer();
    const int x0 = (view.left - content.left) * scale;
    const int y0 = (view.top - content.top) * scale;
    const double start = ProcessCpuMs();
    for (auto _ : state) {
        floor.Draw();  // into the window, as the panel draws, or else copied there
        SDL_GL_MakeCurrent(window, SDL_GL_GetCurrentContext());
        if (!inPlace) {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            glBlitFramebuffer(0, 0, 640 * scale, 480 * scale, x0, height - y0 - 480 * scale,
                              x0 + 640 * scale, height - y0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        SDL_GL_SwapWindow(window);
        glFinish();
    }
    ReportProcessCpu(state, start);
    state.counters["triangles"] = static_cast<double>(floor.triangles.FaceCount());
    form.reset();
    Pump();
}

BENCHMARK_CAPTURE(Tick, title_x1, SceneKind::Title, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TickFloor, title_x1, SceneKind::Title, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tick, level1_x1, SceneKind::Level1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TickFloor, level1_x1, SceneKind::Level1, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tick, title_x2, SceneKind::Title, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TickFloor, title_x2, SceneKind::Title, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Tick, level1_x2, SceneKind::Level1, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TickFloor, level1_x2, SceneKind::Level1, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
