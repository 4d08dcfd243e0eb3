// The panel's real frame drawn by the GL device, checked where the game fixes pixels.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>

#include "platform/d3dx/d3dx_math.h"
#include "platform/d3dx/mesh.h"
#include "platform/resources.h"
#include "tests/panel3d/panel_test_support.h"
#include "tests/platform/gl/gl_test_support.h"

namespace platform::gl {
namespace {

using TekuUtility::MeshObject;
using TekuUtility::SpriteCell;
using TekuUtility::Text3D;
using TekuUtility::TextLabel;
using TekuUtility::testing::BoxX;
using TekuUtility::testing::ScratchFolder;
using TekuUtility::testing::TestPanel;
using TekuUtility::testing::WriteFile;
using testing::Box;
using testing::Covered;
using testing::GlTest;
using testing::Near;

constexpr std::uint32_t kBlack = 0xFF000000u;

class GlPanelTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        panel_ = std::make_unique<TestPanel>();
        panel_->backColor = 0;  // black, as the main window sets it
    }
    // Sets the scene (which re-creates the device) and draws one frame.
    Image Draw(std::vector<SpriteCell> cells, std::vector<MeshObject> meshes,
               std::vector<TextLabel> labels, std::vector<Text3D> texts) {
        if (!panel_->device()) {
            panel_->start();
        }
        panel_->setScene({}, {}, std::move(cells), std::move(meshes), std::move(labels),
                         std::move(texts));
        return Frame();
    }
    Image Frame() {
        auto* device = dynamic_cast<GlDevice*>(panel_->device());
        if (!device) {
            ADD_FAILURE() << "the panel has no GL device";
            return {};
        }
        panel_->drawFrame();
        return device->ReadPixels();
    }
    GlDevice* Device() const { return dynamic_cast<GlDevice*>(panel_->device()); }

    std::unique_ptr<TestPanel> panel_;
};

TEST_F(GlPanelTest, TheBackgroundIsCopiedPixelForPixelToTheTopLeftCorner) {
    ScratchFolder folder;
    Image picture;
    picture.width = 320;
    picture.height = 200;
    picture.pixels.resize(320 * 200);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            picture.At(x, y) = 0xFF000000u | static_cast<std::uint32_t>(x * 7 % 256) << 16 |
                               static_cast<std::uint32_t>(y * 13 % 256) << 8 |
                               static_cast<std::uint32_t>((x ^ y) & 0xFF);
        }
    }
    picture.At(0, 0) = 0x00123456u;  // a transparent pixel still copies its colour
    ASSERT_TRUE(WritePngFile(folder.file("back.png"), picture));
    panel_->backgroundImageFile = folder.file("back.png");
    const Image image = Draw({}, {}, {}, {});
    int wrong = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            wrong += image.At(x, y) != (picture.At(x, y) | 0xFF000000u) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(image.At(320, 0), kBlack);
    EXPECT_EQ(image.At(0, 200), kBlack);
    EXPECT_EQ(image.At(639, 479), kBlack);
}

TEST_F(GlPanelTest, TheShippedBackgroundFillsThePanelUnchanged) {
    const char* source = std::getenv("KX_SOURCE_DIR");
    const std::string path = std::string(source ? source : ".") + "/data/sfondo.png";
    const auto picture = LoadImageFile(path);
    if (!picture) {
        GTEST_SKIP() << "no data set at " << path;
    }
    panel_->backgroundImageFile = path;
    const Image image = Draw({}, {}, {}, {});
    ASSERT_EQ(picture->width, 640);
    int wrong = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        wrong += image.pixels[i] != (picture->pixels[i] | 0xFF000000u) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(GlPanelTest, EnergyBandsShowTheirRowsOfTheSheetAtTheirPixel) {
    const auto bytes = FindResource(ResourceType::RcData, 1025);
    ASSERT_TRUE(bytes);
    const auto sheet = DecodeImage(*bytes);
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->width, 128);
    ASSERT_EQ(sheet->height, 168);
    panel_->spriteSheetResourceId = 1025;
    const Image image =
        Draw({{128, 24, 0, 0, 6, 20, 10, 0}, {128, 24, 6, 6, 6, 20, 100, 0}}, {}, {}, {});
    // The sheet's texels blended over black by their alpha.
    auto over = [](std::uint32_t texel) {
        const std::uint32_t a = texel >> 24;
        auto c = [&](int shift) { return ((texel >> shift) & 0xFF) * a / 255 << shift; };
        return 0xFF000000u | c(16) | c(8) | c(0);
    };
    int wrongTop = 0, wrongBottom = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 128; ++x) {
            wrongTop += Near(image.At(20 + x, 10 + y), over(sheet->At(x, y)), 2) ? 0 : 1;
            wrongBottom += Near(image.At(20 + x, 100 + y), over(sheet->At(x, 144 + y)), 2) ? 0 : 1;
        }
    }
    EXPECT_EQ(wrongTop, 0);
    EXPECT_EQ(wrongBottom, 0);
    // Nothing outside the two bands.
    EXPECT_EQ(image.At(19, 10), kBlack);
    EXPECT_EQ(image.At(148, 10), kBlack);
    EXPECT_EQ(image.At(20, 34), kBlack);
    EXPECT_EQ(image.At(20, 9), kBlack);
}

TEST_F(GlPanelTest, LabelsAppearInTheirColourFromTheirCorner) {
    TextLabel invisible;
    invisible.text = "Punti 100";
    invisible.height = 20;
    invisible.x = 40;
    invisible.y = 50;
    invisible.color = 0;
    const Image none = Draw({}, {}, {invisible}, {});
    EXPECT_TRUE(Covered(none, kBlack).Empty());

    TextLabel white = invisible;
    white.color = 0xfffefefe;
    white.text = "Punti 100 e molti altri ancora";  // wider than 100 pixels: not cut
    white.bold = true;
    const Image image = Draw({}, {}, {white}, {});
    const Box box = Covered(image, kBlack);
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.left, 40);
    EXPECT_LE(box.left, 43);
    EXPECT_GE(box.top, 50);
    EXPECT_LE(box.top, 58);
    EXPECT_LE(box.bottom, 50 + 20);
    EXPECT_GT(box.right, 40 + 100);
    int nearWhite = 0;
    for (int y = box.top; y <= box.bottom; ++y) {
        for (int x = box.left; x <= box.right; ++x) {
            const std::uint32_t c = image.At(x, y);
            EXPECT_LE(testing::Red(c), 0xFE);
            nearWhite += testing::Red(c) >= 0xF8 && testing::Blue(c) >= 0xF8 ? 1 : 0;
        }
    }
    EXPECT_GT(nearWhite, 50);
}

// The projected pixel of a world point under the panel's default camera and projection.
std::pair<double, double> Project(const d3dx::D3DXVECTOR3& p) {
    d3dx::D3DXMATRIX view, projection, both;
    const d3dx::D3DXVECTOR3 eye{0, 0, -10}, at{0, 0, 0}, up{0, 1, 0};
    d3dx::D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    d3dx::D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 500.0f);
    d3dx::D3DXMatrixMultiply(&both, &view, &projection);
    d3dx::D3DXVECTOR3 ndc;
    d3dx::D3DXVec3TransformCoord(&ndc, &p, &both);
    return {(ndc.x + 1) * 0.5 * 640, (1 - ndc.y) * 0.5 * 480};
}

TEST_F(GlPanelTest, ALitMeshLandsAtItsProjectedPixelInItsLitColour) {
    ScratchFolder folder;
    const std::string file = WriteFile(folder.file("box.x"), BoxX(0.5f, 0.5f, 0.5f));
    panel_->setLight(0, 0, 0, 0, 0, 1);  // straight into the screen
    MeshObject box;
    box.id = 1;
    box.x = 2;
    box.y = 1;
    box.meshFiles = {file};
    box.lit = true;
    const Image image = Draw({}, {box}, {}, {});
    const Box covered = Covered(image, kBlack);
    ASSERT_FALSE(covered.Empty());
    const auto [px, py] = Project({2, 1, 0});
    EXPECT_NEAR((covered.left + covered.right) / 2.0, px, 3.0);
    EXPECT_NEAR((covered.top + covered.bottom) / 2.0, py, 3.0);
    // Seen from the left and below: the left edge is the back face's, the top edge the
    // front face's.
    EXPECT_NEAR(covered.left, Project({1.5f, 1.5f, 0.5f}).first, 1.5);
    EXPECT_NEAR(covered.top, Project({1.5f, 1.5f, -0.5f}).second, 1.5);

    // Ambient (0x80 x diffuse, the material's ambient being its diffuse) plus the light
    // along the front corners' normals.
    d3dx::Mesh mesh;
    std::vector<d3dx::D3DXMATERIAL> materials;
    ASSERT_TRUE(d3dx::D3DXLoadMeshFromX(file, &mesh, &materials));
    const d3dx::D3DCOLORVALUE diffuse = materials[0].MatD3D.Diffuse;
    // Per-vertex colours, interpolated: the front face's centre lies on its diagonal from
    // (-0.5, -0.5) to (0.5, 0.5), halfway between those two corners' colours.
    auto vertexColour = [&](float x, float y) {
        for (const auto& v : mesh.vertices) {
            if (v.position.x == x && v.position.y == y && v.position.z < 0) {
                d3dx::D3DXVECTOR3 n;
                d3dx::D3DXVec3Normalize(&n, &v.normal);
                const float d = std::max(-n.z, 0.0f);
                auto lit = [&](float c) { return std::min(1.0f, c * (128.0f / 255) + d * c); };
                return std::array<float, 3>{lit(diffuse.r), lit(diffuse.g), lit(diffuse.b)};
            }
        }
        return std::array<float, 3>{};
    };
    const auto a = vertexColour(-0.5f, -0.5f), b = vertexColour(0.5f, 0.5f);
    auto channel = [&](int i) {
        return static_cast<std::uint32_t>(std::lround((a[i] + b[i]) * 0.5f * 255));
    };
    const std::uint32_t expected = 0xFF000000u | channel(0) << 16 | channel(1) << 8 | channel(2);
    const auto [cx, cy] = Project({2, 1, -0.5f});
    const std::uint32_t seen = image.At(static_cast<int>(cx), static_cast<int>(cy));
    EXPECT_TRUE(Near(seen, expected, 3)) << std::hex << seen << " vs " << expected;

    box.lit = false;  // unlit and without vertex colours: white
    const Image unlit = Draw({}, {box}, {}, {});
    EXPECT_EQ(unlit.At(static_cast<int>(px), static_cast<int>(py)), 0xFFFFFFFFu);
}

TEST_F(GlPanelTest, NearerMeshesHideFartherOnesWhateverTheirOrder) {
    ScratchFolder folder;
    std::string red = BoxX(1, 1, 0.2f);
    std::string green = red;
    green.replace(green.find("0.8;0.2;0.1"), 11, "0.1;0.8;0.1");
    MeshObject nearBox, farBox;
    nearBox.meshFiles = {WriteFile(folder.file("red.x"), red)};
    nearBox.lit = true;
    farBox.meshFiles = {WriteFile(folder.file("green.x"), green)};
    farBox.lit = true;
    farBox.z = 3;
    const Image image = Draw({}, {nearBox, farBox}, {}, {});
    const std::uint32_t centre = image.At(320, 240);
    EXPECT_GT(testing::Red(centre), testing::Green(centre)) << std::hex << centre;
}

TEST_F(GlPanelTest, Text3DOfSize22IsHalfTheHeightOfSize44) {
    Text3D big("H", 44, "Arial", false, false, -1, 0, 0, 0x00FFFFFF);
    const Box large = Covered(Draw({}, {}, {}, {big}), kBlack);
    Text3D small = big;
    small.size = 22;
    const Box half = Covered(Draw({}, {}, {}, {small}), kBlack);
    ASSERT_FALSE(large.Empty());
    ASSERT_FALSE(half.Empty());
    EXPECT_NEAR(static_cast<double>(half.Height()) / large.Height(), 0.5, 0.06);
    EXPECT_NEAR(static_cast<double>(half.Width()) / large.Width(), 0.5, 0.08);
    // Both stand on the same baseline at y = 0 (the screen's middle row, 240).
    EXPECT_NEAR(large.bottom, 240, 2);
    EXPECT_NEAR(half.bottom, 240, 2);
}

TEST_F(GlPanelTest, SteadyFramesReuseWhatTheyMadeAndDrawTheSamePicture) {
    ScratchFolder folder;
    panel_->spriteSheetResourceId = 1025;
    MeshObject box;
    box.meshFiles = {WriteFile(folder.file("box.x"), BoxX(0.5f, 0.5f, 0.5f))};
    box.lit = true;
    TextLabel label;
    label.text = "Punti 0";
    label.height = 16;
    label.color = 0xFFFFFF00u;
    Text3D title("Kryx", 30, "Arial", true, false, -3, 2, 0, 0x000080FF);
    const Image first = Draw({{128, 24, 0, 0, 6, 20, 10, 0}}, {box}, {label}, {title});
    const Image second = Frame();
    const std::size_t meshes = Device()->CachedMeshes();
    const std::size_t fonts = Device()->CachedFonts();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Frame().pixels, first.pixels);
    }
    EXPECT_EQ(second.pixels, first.pixels);
    EXPECT_EQ(Device()->CachedMeshes(), meshes);
    EXPECT_EQ(Device()->CachedFonts(), fonts);
    EXPECT_EQ(fonts, 1u);
}

TEST_F(GlPanelTest, TextsChangingEveryFrameKeepTheDeviceBounded) {
    TextLabel score;
    score.text = "Punteggio: 000000";
    score.height = 18;
    score.fontFace = "Arial";
    score.color = 0xfffefefe;
    Text3D title("0", 20, "Arial", true, false, -1, 0, 0, 0x00FFFFFF);
    Draw({}, {}, {score}, {title});
    for (int i = 0; i < 100; ++i) {
        panel_->textLabels[0].text = "Punteggio: " + std::to_string(i);
        panel_->texts3D[0].text = std::to_string(i);
        Frame();
    }
    // The text meshes the panel keeps and the device's copies of those it dropped.
    EXPECT_LE(Device()->CachedMeshes(), 2 * TekuUtility::PassObjectCache::kMaxTextMeshes);
    EXPECT_EQ(Device()->CachedFonts(), 1u);
    // Drawing the same text again after all that gives the same picture as the first time.
    panel_->texts3D[0].text = "42";
    panel_->textLabels[0].text = "Punteggio: 42";
    const Image later = Frame();
    Draw({}, {}, {panel_->textLabels[0]}, {panel_->texts3D[0]});
    EXPECT_EQ(Frame().pixels, later.pixels);
}

}  // namespace
}  // namespace platform::gl
