#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/d3dx/d3dx_math.h"
#include "platform/gl/gl_device.h"
#include "platform/gl/gl_font.h"
#include "tests/platform/gl/gl_test_support.h"

namespace platform::gl {
namespace {

using d3dx::D3DXMATRIX;
using gfx::ColorVertex;
using gfx::RenderState;
using testing::GlTest;
using testing::Near;

constexpr std::uint32_t kBlack = 0xFF000000u;

// Copies a device's back buffer 1:1 into another framebuffer with its top-left corner at
// (x, top) counted from that framebuffer's top-left corner, as a present hook may.
void BlitToFramebuffer(const GlDevice& device, unsigned target, int targetHeight, int x, int top) {
    const int w = device.BackBufferWidth(), h = device.BackBufferHeight();
    const int bottom = targetHeight - top - h;  // GL counts rows from the bottom
    glBindFramebuffer(GL_READ_FRAMEBUFFER, device.Framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glBlitFramebuffer(0, 0, w, h, x, bottom, x + w, bottom + h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

class GlDeviceTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        device_ = GlDevice::Create(64, 48);
        ASSERT_TRUE(device_);
        device_->SetFVF(gfx::kFvfColor);
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetRenderState(RenderState::CullMode, gfx::kCullNone);
        device_->Clear(kBlack, 1.0f);
        device_->BeginScene();
    }
    // A quad over the whole target at clip depth z (identity matrices: positions are clip
    // coordinates).
    bool FullQuad(float z, D3DCOLOR color) {
        const ColorVertex v[6] = {{-1, -1, z, color}, {-1, 1, z, color}, {1, 1, z, color},
                                  {-1, -1, z, color}, {1, 1, z, color},  {1, -1, z, color}};
        return device_->DrawPrimitive(v);
    }
    std::unique_ptr<GlDevice> device_;
};

TEST_F(GlDeviceTest, ClipSpaceTopIsTheFirstRowAndColoursKeepTheirChannels) {
    // A triangle over the upper left half of clip space.
    const ColorVertex v[3] = {
        {-1, 1, 0.5f, 0xFF102030u}, {1, 1, 0.5f, 0xFF102030u}, {-1, -1, 0.5f, 0xFF102030u}};
    ASSERT_TRUE(device_->DrawPrimitive(v));
    const Image image = device_->ReadPixels();
    EXPECT_EQ(image.At(1, 1), 0xFF102030u);
    EXPECT_EQ(image.At(62, 46), kBlack);
}

TEST_F(GlDeviceTest, DepthRunsFromZeroToOneAsInDirect3D) {
    ASSERT_TRUE(FullQuad(0.2f, 0xFFFF0000u));
    ASSERT_TRUE(FullQuad(0.8f, 0xFF00FF00u));  // behind: hidden by the depth test
    EXPECT_EQ(device_->ReadPixels().At(32, 24), 0xFFFF0000u);
    // In front of the near plane: clipped away, though GL's own range would keep it.
    ASSERT_TRUE(FullQuad(-0.1f, 0xFF0000FFu));
    EXPECT_EQ(device_->ReadPixels().At(32, 24), 0xFFFF0000u);
    // Without the depth test the later quad wins.
    device_->SetRenderState(RenderState::ZEnable, 0);
    ASSERT_TRUE(FullQuad(0.9f, 0xFF00FF00u));
    EXPECT_EQ(device_->ReadPixels().At(32, 24), 0xFF00FF00u);
}

TEST_F(GlDeviceTest, CullingFollowsTheScreenWindingOfDirect3D) {
    device_->SetRenderState(RenderState::CullMode, gfx::kCullCCW);
    // Clockwise on a screen whose y runs down: kept. The left half of the target.
    const ColorVertex cw[3] = {
        {-1, 1, 0.5f, 0xFFFFFFFFu}, {0, 1, 0.5f, 0xFFFFFFFFu}, {-1, -1, 0.5f, 0xFFFFFFFFu}};
    // Counter-clockwise: culled. The right half.
    const ColorVertex ccw[3] = {
        {1, 1, 0.5f, 0xFFFFFFFFu}, {0.1f, 1, 0.5f, 0xFFFFFFFFu}, {1, -1, 0.5f, 0xFFFFFFFFu}};
    device_->DrawPrimitive(cw);
    device_->DrawPrimitive(ccw);
    const Image image = device_->ReadPixels();
    EXPECT_EQ(image.At(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(image.At(61, 2), kBlack);
}

// One triangle over the whole target facing the viewer (normal -z).
d3dx::Mesh FacingTriangle() {
    d3dx::Mesh mesh;
    mesh.fvf = d3dx::kFvfPositionNormalTex;
    mesh.vertices.resize(3);
    mesh.vertices[0].position = {-3, 3, 0.5f};
    mesh.vertices[1].position = {3, 3, 0.5f};
    mesh.vertices[2].position = {-3, -3, 0.5f};
    for (auto& v : mesh.vertices) {
        v.normal = {0, 0, -1};
    }
    mesh.indices = {0, 1, 2};
    mesh.attributes = {0};
    return mesh;
}

TEST_F(GlDeviceTest, LightingAddsTheAmbientAndTheDirectionalDiffuseTerms) {
    const d3dx::Mesh mesh = FacingTriangle();
    d3dx::D3DMATERIAL9 material;
    material.Diffuse = {0.4f, 0.6f, 0.2f, 1};
    material.Ambient = {0.2f, 0.2f, 0.2f, 1};
    device_->SetMaterial(material);
    gfx::Light light;
    light.diffuse = {1, 1, 1, 0};
    light.direction = {0, 0, 5};  // shining away from the viewer onto the face; normalised
    device_->SetLight(0, light);
    device_->LightEnable(0, true);
    device_->SetRenderState(RenderState::Lighting, 1);
    device_->SetRenderState(RenderState::Ambient, 0x80808080u);
    ASSERT_TRUE(device_->DrawSubset(mesh, 0));
    // 0.502 x ambient + 1 x diffuse.
    EXPECT_TRUE(Near(device_->ReadPixels().At(4, 4), 0xFF80B34Du, 2))
        << std::hex << device_->ReadPixels().At(4, 4);

    light.direction = {0, 0, -1};  // from behind the face: ambient only
    device_->SetLight(0, light);
    device_->Clear(kBlack, 1.0f);
    device_->DrawSubset(mesh, 0);
    EXPECT_TRUE(Near(device_->ReadPixels().At(4, 4), 0xFF1A1A1Au, 2));

    device_->SetRenderState(RenderState::Lighting, 0);  // unlit and no vertex colour: white
    device_->Clear(kBlack, 1.0f);
    device_->DrawSubset(mesh, 0);
    EXPECT_EQ(device_->ReadPixels().At(4, 4), 0xFFFFFFFFu);
    EXPECT_TRUE(device_->DrawSubset(mesh, 7));  // a subset without faces draws nothing
}

TEST_F(GlDeviceTest, TextureStageModulatesTheDiffuseColour) {
    Image picture;
    picture.width = picture.height = 2;
    picture.pixels.assign(4, 0xFF8040FFu);
    auto texture = device_->CreateTexture(picture);
    ASSERT_TRUE(texture);
    device_->SetTexture(0, texture.get());
    device_->SetFVF(gfx::kFvfColorTex);
    FullQuad(0.5f, 0xFF808080u);
    EXPECT_TRUE(Near(device_->ReadPixels().At(10, 10), 0xFF402080u, 2));
    device_->SetTextureStageState(0, gfx::TextureStageState::ColorOp, gfx::kTopSelectArg1);
    FullQuad(0.4f, 0xFF808080u);
    EXPECT_TRUE(Near(device_->ReadPixels().At(10, 10), 0xFF8040FFu, 1));
}

TEST_F(GlDeviceTest, ScaledSpritesPlaceTheirCornerAtThePixel) {
    Image sheet;
    sheet.width = 8;
    sheet.height = 4;
    sheet.pixels.assign(32, 0xFF00FF00u);
    auto texture = device_->CreateTexture(sheet);
    auto sprite = device_->CreateSprite();
    ASSERT_TRUE(sprite->Begin(gfx::kSpriteAlphaBlend));
    D3DXMATRIX scaling;
    d3dx::D3DXMatrixTransformation2D(&scaling, 0.5f, 2.0f);
    sprite->SetTransform(scaling);
    // At (10, 5) after the scaling: 4 by 8 pixels.
    ASSERT_TRUE(sprite->Draw(texture.get(), nullptr, {20, 2.5f, 0}, 0xFFFFFFFFu));
    EXPECT_FALSE(sprite->Draw(nullptr, nullptr, {0, 0, 0}, 0xFFFFFFFFu));
    sprite->End();
    const testing::Box box = testing::Covered(device_->ReadPixels(), kBlack);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.Width(), 4);
    EXPECT_EQ(box.Height(), 8);
}

TEST_F(GlDeviceTest, AScaledBackgroundFollowsTheScale) {
    const Image picture{40, 30, std::vector<std::uint32_t>(40 * 30, 0xFF00FF00u)};
    const std::unique_ptr<gfx::Surface> surface = device_->CreateSurface(picture);
    const auto show = [&](double scale) {
        device_->SetScale(scale);
        device_->Clear(kBlack, 1.0f);
        EXPECT_TRUE(device_->CopyToBackBuffer(*surface));
        return testing::Covered(device_->ReadPixels(), kBlack);
    };
    testing::Box box = show(2.0);
    EXPECT_EQ(device_->ReadPixels().At(70, 50), 0xFF00FF00u);
    EXPECT_EQ(box.Width(), 80);
    box = show(1.5);  // the picture at the new scale's size
    EXPECT_EQ(box.Width(), 60);
    EXPECT_EQ(box.Height(), 45);
}

// The colour clear waits for the first drawing; it must still show wherever the frame does
// not draw, whatever was drawn in the frame before.
TEST_F(GlDeviceTest, TheClearColourShowsWhereTheFrameDoesNotDraw) {
    constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;
    const auto whole =
        device_->CreateSurface(Image{64, 48, std::vector<std::uint32_t>(64 * 48, kGreen)});
    const auto part =
        device_->CreateSurface(Image{16, 8, std::vector<std::uint32_t>(16 * 8, kBlue)});
    ASSERT_TRUE(device_->CopyToBackBuffer(*whole));  // last frame: green everywhere
    device_->Clear(kRed, 1.0f);
    ASSERT_TRUE(device_->CopyToBackBuffer(*part));
    const Image frame = device_->ReadPixels();
    EXPECT_EQ(frame.At(2, 2), kBlue);
    EXPECT_EQ(frame.At(40, 30), kRed);
    ASSERT_TRUE(device_->CopyToBackBuffer(*whole));
    device_->Clear(kRed, 1.0f);
    EXPECT_EQ(device_->ReadPixels().At(40, 30), kRed);
    device_->Clear(kRed, 1.0f);
    ASSERT_TRUE(device_->CopyToBackBuffer(*whole));
    EXPECT_EQ(device_->ReadPixels().At(40, 30), kGreen);
}

TEST_F(GlDeviceTest, FontsAreMeasuredInCellsAndSharedBetweenHandles) {
    gfx::FontDesc desc;
    desc.height = 20;
    desc.face = "Tahoma";
    auto a = device_->CreateFont(desc);
    auto b = device_->CreateFont(desc);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(device_->CachedFonts(), 1u);
    RECT shortRect{5, 5, 105, 25}, longRect{5, 5, 105, 25}, twoLines{0, 0, 100, 20};
    EXPECT_EQ(a->DrawText(nullptr, "Punti", &shortRect, gfx::DT_CALCRECT, 0), 20);
    a->DrawText(nullptr, "Punti 1234567890 Punti", &longRect, gfx::DT_CALCRECT, 0);
    EXPECT_EQ(shortRect.bottom, 25);
    EXPECT_GT(shortRect.right, 5 + 20);
    EXPECT_GT(longRect.right, 105);  // wider than the starting rectangle: it grows
    EXPECT_EQ(a->DrawText(nullptr, "uno\ndue", &twoLines, gfx::DT_CALCRECT, 0), 40);
    desc.weight = 700;
    auto bold = device_->CreateFont(desc);
    RECT boldRect{5, 5, 105, 25};
    bold->DrawText(nullptr, "Punti", &boldRect, gfx::DT_CALCRECT, 0);
    EXPECT_GT(boldRect.right, shortRect.right);
    EXPECT_EQ(device_->CachedFonts(), 2u);
}

TEST_F(GlDeviceTest, PresentingCanPlaceThePanelInsideALargerFramebuffer) {
    auto panel = GlDevice::Create(32, 16);
    ASSERT_TRUE(panel);
    panel->Clear(0xFFFF0000u, 1.0f);
    int hooked = 0;
    panel->SetPresentHook([&](unsigned framebuffer, int width, int height) {
        EXPECT_EQ(framebuffer, panel->Framebuffer());
        EXPECT_EQ(width, 32);
        EXPECT_EQ(height, 16);
        BlitToFramebuffer(*panel, device_->Framebuffer(), 48, 10, 5);
        ++hooked;
    });
    ASSERT_TRUE(panel->Present());
    EXPECT_EQ(hooked, 1);
    const testing::Box box = testing::Covered(device_->ReadPixels(), kBlack);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.Width(), 32);
    EXPECT_EQ(box.Height(), 16);
}

TEST(GlText, AnsiBytesMapToTheirCharacters) {
    EXPECT_EQ(CharFromAnsi('A'), U'A');
    EXPECT_EQ(CharFromAnsi(0xE8), U'\u00e8');
    EXPECT_EQ(CharFromAnsi(0x80), U'\u20ac');
    EXPECT_EQ(CharFromAnsi(0x81), U'\u0081');
}

}  // namespace
}  // namespace platform::gl
