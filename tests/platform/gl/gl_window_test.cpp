// A window drawn through OpenGL: the panel's framebuffer copied in place shows exactly what
// the device drew, the window's picture around it; at other shapes and scales the content is
// scaled and centred between black bars.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL.h>

#include <optional>
#include <utility>

#include "platform/sdlwin/gl_window.h"
#include "platform/win/headless.h"
#include "platform/win/win32.h"
#include "tests/platform/gl/gl_test_support.h"

namespace platform::gl::testing {
namespace {

constexpr int kContentW = 100, kContentH = 80;

// A 64 x 48 picture whose pixels differ from their neighbours.
Image Gradient() {
    Image picture{64, 48, {}};
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            picture.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(y * 5 << 16 | x * 4));
        }
    }
    return picture;
}

class GlWindowTest : public GlTest {
  protected:
    void Open(int width, int height) {
        window_ = SDL_CreateWindow("kx gl window", 0, 0, width, height,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        shown_ = sdlwin::GlWindow::Create(window_, SDL_GL_GetCurrentContext());
        ASSERT_TRUE(shown_);
        // The window's picture: every pixel its own colour.
        surface_.Resize(kContentW, kContentH);
        for (int y = 0; y < kContentH; ++y) {
            for (int x = 0; x < kContentW; ++x) {
                surface_.At(x, y) = 0xFF000000u | static_cast<std::uint32_t>(x << 16 | y << 8 | 7);
            }
        }
        shown_->SetPicture(surface_, RECT{0, 0, kContentW, kContentH}, surface_.changed);
    }
    void TearDown() override {
        shown_.reset();
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
        }
        if (SharedContext(nullptr) != nullptr) {
            SharedContext(nullptr)->MakeCurrent();
        }
        GlTest::TearDown();
    }
    SDL_Window* window_ = nullptr;
    std::unique_ptr<sdlwin::GlWindow> shown_;
    win::Surface surface_;
};

TEST_F(GlWindowTest, ThePanelsFramebufferShowsInPlacePixelForPixelAtScaleOne) {
    Open(kContentW, kContentH);
    std::unique_ptr<GlDevice> device = GlDevice::Create(64, 48);
    ASSERT_TRUE(device);
    const Image picture = Gradient();
    device->Clear(0xFF000000u, 1.0f);
    ASSERT_TRUE(device->CopyToBackBuffer(*device->CreateSurface(picture)));
    const Image drawn = device->ReadPixels();
    sdlwin::ChildFrame frame;
    frame.width = 64;
    frame.height = 48;
    frame.framebuffer = device->Framebuffer();
    const RECT at{10, 20, 74, 68};
    shown_->Draw(win::Letterbox(SIZE{kContentW, kContentH}, shown_->DrawableSize()),
                 {sdlwin::PlacedFrame{at, &frame}});
    const Image window = shown_->ReadBack();
    ASSERT_EQ(window.width, kContentW);
    for (int y = 0; y < kContentH; ++y) {
        for (int x = 0; x < kContentW; ++x) {
            const bool inPanel = x >= at.left && x < at.right && y >= at.top && y < at.bottom;
            const std::uint32_t want =
                inPanel ? drawn.At(x - at.left, y - at.top) : surface_.At(x, y);
            ASSERT_EQ(window.At(x, y), want) << x << "," << y;
        }
    }
}

TEST_F(GlWindowTest, APanelAtScaleTwoRendersAtDeviceSizeAndShowsOneToOne) {
    Open(2 * kContentW, 2 * kContentH);
    Image picture;
    picture.width = 32;
    picture.height = 24;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            picture.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(y * 8 << 8 | x * 6));
        }
    }
    const auto render = [&](double scale) {
        std::unique_ptr<GlDevice> device = GlDevice::Create(32, 24);
        device->SetScale(scale);
        device->Clear(0xFF000000u, 1.0f);
        EXPECT_TRUE(device->CopyToBackBuffer(*device->CreateSurface(picture)));
        return device;
    };
    const Image one = render(1.0)->ReadPixels();
    std::unique_ptr<GlDevice> device = render(2.0);
    const Image drawn = device->ReadPixels();
    ASSERT_EQ(drawn.width, 64);
    ASSERT_EQ(drawn.height, 48);
    // Against the picture at scale 1: each device pixel within 8 per channel of the logical
    // pixel it belongs to (filtering blends neighbours that differ by 6 to 8).
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_TRUE(Near(drawn.At(x, y), one.At(x / 2, y / 2), 8)) << x << "," << y;
        }
    }
    sdlwin::ChildFrame frame;
    frame.width = 64;
    frame.height = 48;
    frame.framebuffer = device->Framebuffer();
    frame.scale = 2.0;
    const RECT at{10, 20, 42, 44};
    const win::ScaleMap map = win::Letterbox(SIZE{kContentW, kContentH}, shown_->DrawableSize());
    shown_->Draw(map, {sdlwin::PlacedFrame{at, &frame}});
    const Image window = shown_->ReadBack();
    const RECT d = map.ToDevice(at);
    for (int y = d.top; y < d.bottom; ++y) {
        for (int x = d.left; x < d.right; ++x) {
            ASSERT_EQ(window.At(x, y), drawn.At(x - d.left, y - d.top)) << x << "," << y;
        }
    }
}

TEST_F(GlWindowTest, APictureDrawnAgainInPartShowsTheNewPartAndKeepsTheRest) {
    Open(kContentW, kContentH);
    for (int x = 30; x < 40; ++x) {
        surface_.At(x, 50) = 0xFF123456u;
    }
    shown_->SetPicture(surface_, RECT{0, 0, kContentW, kContentH}, RECT{30, 50, 40, 51});
    shown_->Draw(win::Letterbox(SIZE{kContentW, kContentH}, shown_->DrawableSize()), {});
    const Image window = shown_->ReadBack();
    EXPECT_EQ(window.At(35, 50), 0xFF123456u);
    EXPECT_EQ(window.At(35, 49), surface_.At(35, 49));
    EXPECT_EQ(window.At(80, 70), surface_.At(80, 70));
}

TEST_F(GlWindowTest, AWiderWindowScalesTheContentAndCentresItBetweenBars) {
    Open(300, 160);  // twice the content's height; 100 pixels to spare across
    const win::ScaleMap map = win::Letterbox(SIZE{kContentW, kContentH}, shown_->DrawableSize());
    ASSERT_EQ(map.scale, 2.0);
    shown_->Draw(map, {});
    const Image window = shown_->ReadBack();
    EXPECT_EQ(window.At(0, 80), 0xFF000000u);
    EXPECT_EQ(window.At(49, 80), 0xFF000000u);
    EXPECT_EQ(window.At(250, 80), 0xFF000000u);
    for (const POINT p : {POINT{0, 0}, POINT{37, 11}, POINT{99, 79}}) {
        const POINT d = map.ToDevice(p);
        // Each logical pixel covers a 2 x 2 block, copied as it is.
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(window.At(d.x + k % 2, d.y + k / 2), surface_.At(p.x, p.y)) << p.x;
        }
    }
}

// Blocks of 2 x 2 device pixels in `area` that show something other than `background`, and
// how many of them are of one colour (as text scaled up from logical pixels would be).
std::pair<int, int> InkedAndUniformBlocks(const Image& image, const RECT& area,
                                          std::uint32_t background) {
    int inked = 0;
    int uniform = 0;
    for (int y = area.top; y + 1 < area.bottom; y += 2) {
        for (int x = area.left; x + 1 < area.right; x += 2) {
            const std::uint32_t c[] = {image.At(x, y), image.At(x + 1, y), image.At(x, y + 1),
                                       image.At(x + 1, y + 1)};
            if (c[0] == background && c[1] == background && c[2] == background &&
                c[3] == background) {
                continue;
            }
            ++inked;
            uniform += c[0] == c[1] && c[0] == c[2] && c[0] == c[3] ? 1 : 0;
        }
    }
    return {inked, uniform};
}

TEST_F(GlWindowTest, PanelTextAtScaleTwoIsRasterisedAtDeviceSize) {
    std::unique_ptr<GlDevice> device = GlDevice::Create(64, 32);
    ASSERT_TRUE(device);
    device->SetScale(2.0);
    std::unique_ptr<gfx::Font> font = device->CreateFont(gfx::FontDesc{16, 700, false, "Arial"});
    ASSERT_TRUE(font);
    device->Clear(0xFF000000u, 1.0f);
    device->BeginScene();
    RECT text{2, 2, 62, 30};
    font->DrawText(nullptr, "Kryx", &text, 0, 0xFFFFFFFFu);
    device->EndScene();
    const auto [inked, uniform] =
        InkedAndUniformBlocks(device->ReadPixels(), RECT{0, 0, 128, 64}, 0xFF000000u);
    ASSERT_GT(inked, 30);
    EXPECT_LT(uniform * 2, inked) << uniform << " of " << inked << " blocks are single-coloured";
}

// The pixels of `area` in `image`, row by row.
std::vector<std::uint32_t> Part(const Image& image, const testing::Box& area) {
    std::vector<std::uint32_t> part;
    for (int y = area.top; y <= area.bottom; ++y) {
        for (int x = area.left; x <= area.right; ++x) {
            part.push_back(image.At(x, y));
        }
    }
    return part;
}

TEST_F(GlWindowTest, PanelTextAtAFractionalScaleKeepsItsPixelsWhereverItStands) {
    // A glyph snapped to device pixels shows the same pixels at any logical position; placed
    // between pixels it would be resampled, some columns doubled and others lost. At 1.25
    // the 30 logical pixels take 38 device pixels, not quite 1.25 times as many.
    std::unique_ptr<GlDevice> device = GlDevice::Create(30, 30);
    ASSERT_TRUE(device);
    device->SetScale(1.25);
    std::unique_ptr<gfx::Font> font = device->CreateFont(gfx::FontDesc{20, 400, false, "Arial"});
    ASSERT_TRUE(font);
    std::vector<std::vector<std::uint32_t>> seen;
    for (const int at : {1, 2, 3, 4}) {
        device->Clear(0xFF000000u, 1.0f);
        RECT text{at, at, 30, 30};
        font->DrawText(nullptr, "W", &text, 0, 0xFFFFFFFFu);
        const Image drawn = device->ReadPixels();
        seen.push_back(Part(drawn, testing::Covered(drawn, 0xFF000000u)));
        EXPECT_EQ(seen.front(), seen.back()) << "at " << at;
    }
}

TEST_F(GlWindowTest, ALabelShownAtScaleTwoIsDrawnAtDeviceSizeWithSharpEdges) {
    headless::Install();
    headless::Reset();
    const HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kContentW,
                                     kContentH, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExW(0, L"STATIC", L"Kryx Space", WS_CHILD | WS_VISIBLE | SS_LEFT, 4, 20, 90, 30,
                    top, nullptr, nullptr, nullptr);
    win::SetSurfaceScale(top, 2.0);
    headless::RunUntilIdle();
    Open(2 * kContentW, 2 * kContentH);
    shown_->SetPicture(*win::TopLevelSurface(top), RECT{0, 0, kContentW, kContentH},
                       win::TakeSurfaceChanges(top));
    const win::ScaleMap map = win::Letterbox(SIZE{kContentW, kContentH}, shown_->DrawableSize());
    ASSERT_EQ(map.scale, 2.0);
    shown_->Draw(map, {});
    const Image window = shown_->ReadBack();
    headless::Reset();
    // Text scaled up from logical pixels would fill whole 2 x 2 blocks; drawn at device size
    // most blocks along the strokes mix ink and background or two shades of ink.
    const auto [inked, uniform] =
        InkedAndUniformBlocks(window, RECT{8, 40, 190, 102}, window.At(2, 2));
    ASSERT_GT(inked, 50);
    EXPECT_LT(uniform * 2, inked) << uniform << " of " << inked << " blocks are single-coloured";
}

// A frame drawn straight into the back buffer of a window with bars at its sides, at scales 1
// and 2: the same pixels as the device's own framebuffer gives, the picture kept around it, the
// bars black, and once the back buffer has been shown without the frame being drawn again,
// black rather than an old frame.
class InPlaceTest : public GlWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(InPlaceTest, AFrameDrawnInPlaceMatchesTheOffscreenOneUntilTheBufferIsShown) {
    const int scale = GetParam();
    Open(scale * kContentW + 40, scale * kContentH);
    const win::ScaleMap map = win::Letterbox(SIZE{kContentW, kContentH}, shown_->DrawableSize());
    ASSERT_EQ(map.scale, scale);
    ASSERT_EQ(map.origin.x, 20);
    std::unique_ptr<GlDevice> device = GlDevice::Create(64, 48);
    ASSERT_TRUE(device);
    device->SetScale(scale);
    device->SetFVF(gfx::kFvfColor);
    device->SetRenderState(gfx::RenderState::Lighting, 0);
    const Image picture = Gradient();
    // A background, and two triangles that meet the depth test, as the panel's frame has them.
    const auto frame = [&] {
        device->Clear(0xFF000000u, 1.0f);
        device->BeginScene();
        EXPECT_TRUE(device->CopyToBackBuffer(*device->CreateSurface(picture)));
        const gfx::ColorVertex near[3] = {{-0.8f, 0.9f, 0.3f, 0xFF20C040u},
                                          {0.7f, 0.2f, 0.3f, 0xFF20C040u},
                                          {-0.5f, -0.9f, 0.3f, 0xFF20C040u}};
        const gfx::ColorVertex far[3] = {{-0.9f, -0.2f, 0.6f, 0xFFE0E010u},
                                         {0.9f, 0.9f, 0.6f, 0xFFE0E010u},
                                         {0.6f, -0.8f, 0.6f, 0xFFE0E010u}};
        EXPECT_TRUE(device->DrawPrimitive(near));
        EXPECT_TRUE(device->DrawPrimitive(far));
        device->EndScene();
        return device->ReadPixels();
    };
    const Image offscreen = frame();

    const RECT at{10, 20, 74, 68};
    const RECT d = map.ToDevice(at);
    const SIZE drawable = shown_->DrawableSize();
    device->SetTargetSource([&] {
        shown_->PrepareForFrame(map);
        return std::optional<GlDevice::Target>{
            GlDevice::Target{0, drawable.cx, drawable.cy, POINT{d.left, d.top}, d, true}};
    });
    EXPECT_EQ(frame().pixels, offscreen.pixels);
    ASSERT_TRUE(device->InPlace());

    sdlwin::ChildFrame shownFrame;
    shownFrame.width = device->FramebufferWidth();
    shownFrame.height = device->FramebufferHeight();
    shownFrame.scale = scale;
    shownFrame.inPlace = true;
    shownFrame.origin = POINT{d.left, d.top};
    shownFrame.drawable = drawable;
    shownFrame.fresh = true;
    const std::vector<sdlwin::PlacedFrame> views{{at, &shownFrame, nullptr}};
    shown_->Draw(map, views);
    Image window = shown_->ReadBack();
    for (int y = 0; y < drawable.cy; ++y) {
        for (int x = 0; x < drawable.cx; ++x) {
            const bool inFrame = x >= d.left && x < d.right && y >= d.top && y < d.bottom;
            const bool bar = x < 20 || x >= drawable.cx - 20;
            const std::uint32_t want = inFrame ? offscreen.At(x - d.left, y - d.top)
                                       : bar   ? 0xFF000000u
                                               : surface_.At((x - 20) / scale, y / scale);
            ASSERT_EQ(window.At(x, y), want) << x << "," << y;
        }
    }
    shownFrame.fresh = false;  // shown since: the back buffer no longer holds it
    shown_->Draw(map, views);
    window = shown_->ReadBack();
    EXPECT_EQ(window.At(d.left + 5, d.top + 5), 0xFF000000u);
    EXPECT_EQ(window.At(d.right - 1, d.bottom - 1), 0xFF000000u);
    EXPECT_EQ(window.At(d.left - 1, d.top), surface_.At(at.left - 1, at.top));
}

INSTANTIATE_TEST_SUITE_P(Scales, InPlaceTest, ::testing::Values(1, 2));

// A panel partly outside what it may draw (its target's clip), on any side, copies its
// background only inside the clip, upright.
TEST_F(GlWindowTest, ABackgroundDrawnInPlaceKeepsToTheClip) {
    Open(kContentW, kContentH);
    std::unique_ptr<GlDevice> device = GlDevice::Create(64, 48);
    ASSERT_TRUE(device);
    const Image picture = Gradient();
    const std::unique_ptr<gfx::Surface> background = device->CreateSurface(picture);
    constexpr std::uint32_t kMagenta = 0xFFFF00FFu;
    const RECT at{10, 20, 74, 68};
    const SIZE drawable = shown_->DrawableSize();
    for (const RECT clip :
         {RECT{20, 20, 74, 68}, RECT{10, 30, 74, 68}, RECT{10, 20, 60, 68}, RECT{10, 20, 74, 60}}) {
        device->SetTargetSource([&] {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDisable(GL_SCISSOR_TEST);
            glClearColor(1, 0, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            return std::optional<GlDevice::Target>{
                GlDevice::Target{0, drawable.cx, drawable.cy, POINT{at.left, at.top}, clip, true}};
        });
        device->Clear(0xFF000000u, 1.0f);
        ASSERT_TRUE(device->CopyToBackBuffer(*background));
        const Image window = shown_->ReadBack();
        for (int y = 0; y < drawable.cy; ++y) {
            for (int x = 0; x < drawable.cx; ++x) {
                const bool inClip =
                    x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                ASSERT_EQ(window.At(x, y), inClip ? picture.At(x - at.left, y - at.top) : kMagenta)
                    << x << "," << y << " in a clip from " << clip.left << "," << clip.top;
            }
        }
    }
}

// The device's own framebuffer is not grown for frames drawn in place, and is when a frame
// goes there again.
TEST_F(GlWindowTest, TheDevicesOwnFramebufferGrowsOnlyForFramesDrawnThere) {
    Open(2 * kContentW, 2 * kContentH);
    std::unique_ptr<GlDevice> device = GlDevice::Create(64, 48);
    ASSERT_TRUE(device);
    const GLuint own = device->Framebuffer();
    const auto storedWidth = [own] {
        GLint buffer = 0, width = 0;
        glBindFramebuffer(GL_FRAMEBUFFER, own);
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &buffer);
        glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(buffer));
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
        return width;
    };
    const Image picture = Gradient();
    const std::unique_ptr<gfx::Surface> background = device->CreateSurface(picture);
    const auto frame = [&] {
        device->Clear(0xFF000000u, 1.0f);
        EXPECT_TRUE(device->CopyToBackBuffer(*background));
        device->Present();
        return device->ReadPixels();
    };
    device->SetScale(2.0);
    const SIZE drawable = shown_->DrawableSize();
    const RECT at{10, 20, 138, 116};
    device->SetTargetSource([&] {
        return std::optional<GlDevice::Target>{
            GlDevice::Target{0, drawable.cx, drawable.cy, POINT{at.left, at.top}, at, true}};
    });
    const Image inPlace = frame();
    EXPECT_EQ(storedWidth(), 64);
    device->SetTargetSource({});  // the window can no longer take frames
    const Image offscreen = frame();
    EXPECT_EQ(storedWidth(), 128);
    ASSERT_EQ(offscreen.width, 128);
    EXPECT_EQ(offscreen.pixels, inPlace.pixels);
}

}  // namespace
}  // namespace platform::gl::testing
