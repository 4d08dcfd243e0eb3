// The headless device's log and the device-maker seam.
#include <gtest/gtest.h>

#include "platform/gfx/device.h"
#include "platform/gfx/headless.h"

namespace platform::gfx {
namespace {

using d3dx::D3DXMATRIX;
using Lines = std::vector<std::string>;

Image Picture(int width, int height) {
    return {width, height,
            std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 0xFF000000u)};
}

TEST(HeadlessDeviceTest, BackgroundCopyFailsWhenLargerThanTheBackBuffer) {
    HeadlessDevice device(640, 480);
    const auto copy = [&](int width, int height) {
        return device.CopyToBackBuffer(*device.CreateSurface(Picture(width, height)));
    };
    EXPECT_TRUE(copy(640, 480));
    EXPECT_TRUE(copy(10, 480));
    EXPECT_FALSE(copy(641, 480));
    EXPECT_FALSE(copy(640, 481));
    EXPECT_EQ(device.Count("background failed"), 2);
    EXPECT_FALSE(device.CreateSurface(Image{}));
}

TEST(HeadlessDeviceTest, LogsDrawsWithTheBoundTexture) {
    HeadlessDevice device(100, 100);
    ColorVertex v[4];
    const std::uint16_t indices[6] = {0, 1, 2, 3, 1, 0};
    const std::uint16_t outside[3] = {0, 1, 4};
    EXPECT_TRUE(device.DrawPrimitive(std::span<const ColorVertex>(v, 3)));
    auto texture = device.CreateTexture(Picture(8, 4));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->Width(), 8);
    device.SetTexture(0, texture.get());
    EXPECT_TRUE(device.DrawIndexedPrimitive(v, indices));
    EXPECT_FALSE(device.DrawIndexedPrimitive(v, outside));
    EXPECT_FALSE(device.CreateTexture(Image{}));
    EXPECT_EQ(device.Log(), (Lines{"tris 1 none", "indexed 4/6 tex#1"}));
}

TEST(HeadlessDeviceTest, SpritesNeedATextureAndABegin) {
    HeadlessDevice device(640, 480);
    auto sheet = device.CreateTexture(Picture(128, 168));
    auto sprite = device.CreateSprite();
    const RECT band{0, 144, 128, 168};
    EXPECT_FALSE(sprite->Draw(sheet.get(), &band, {20, 10, 0}, 0xFFFFFFFFu));
    ASSERT_TRUE(sprite->Begin(kSpriteAlphaBlend));
    D3DXMATRIX scale;
    d3dx::D3DXMatrixScaling(&scale, 0.5f, 1, 1);
    sprite->SetTransform(scale);
    EXPECT_FALSE(sprite->Draw(nullptr, &band, {20, 10, 0}, 0xFFFFFFFFu));
    EXPECT_TRUE(sprite->Draw(sheet.get(), &band, {40, 10, 0}, 0xFFFFFFFFu));
    EXPECT_TRUE(sprite->End());
    EXPECT_EQ(device.Log(), Lines{"sprite tex#1 src 0,144,128,168 at 40,10 scale 0.5,1 ffffffff"});
}

TEST(HeadlessDeviceTest, TextMeasureGrowsTheRectangleAndDrawsNothing) {
    HeadlessDevice device(640, 480);
    auto font = device.CreateFont({20, 700, false, "Tahoma"});
    ASSERT_TRUE(font);
    RECT rect{10, 5, 110, 25};
    const std::string text(30, 'W');
    EXPECT_EQ(font->DrawText(nullptr, text, &rect, DT_CALCRECT, 0xFF00FF00u), 20);
    EXPECT_TRUE(device.Log().empty());
    font->DrawText(nullptr, "Ciao", &rect, DT_CENTER | DT_NOCLIP, 0xFF00FF00u);
    // Measured 300 wide, more than the 100 pixels it started with.
    EXPECT_EQ(device.Log(), Lines{"text 'Ciao' 10,5,310,25 ff00ff00"});
}

TEST(HeadlessDeviceTest, SubsetsAreCountedCheckedAndOptionallyMeasured) {
    HeadlessDevice device(100, 100);
    d3dx::Mesh mesh;
    ASSERT_TRUE(d3dx::D3DXCreateMesh(2, 4, d3dx::kFvfPositionNormalTex, &mesh));
    mesh.vertices[1].position = {2, 0, 0};
    mesh.vertices[2].position = {0, 3, 0};
    mesh.vertices[3].position = {9, 9, 9};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    mesh.attributes = {0, 1};
    EXPECT_TRUE(device.DrawSubset(mesh, 0));
    EXPECT_TRUE(device.Subsets().empty());
    device.SetRecordSubsets(true);
    EXPECT_TRUE(device.DrawSubset(mesh, 0));
    ASSERT_EQ(device.Subsets().size(), 1u);
    EXPECT_EQ(device.Subsets()[0].max, (d3dx::D3DXVECTOR3{2, 3, 0}));  // not vertex 3's
    mesh.indices[5] = 4;                                               // past the vertices: refused
    EXPECT_FALSE(device.DrawSubset(mesh, 1));
    EXPECT_EQ(device.Log().back(), "subset 0 faces 1 none lit");

    // The log keeps the most recent lines only.
    for (std::size_t i = 0; i < HeadlessDevice::kLogLimit + 10; ++i) {
        device.Present();
    }
    EXPECT_LE(device.Log().size(), HeadlessDevice::kLogLimit);
    EXPECT_GT(device.Log().size(), HeadlessDevice::kLogLimit / 2);
}

TEST(FactoryProviderTest, HeadlessByDefaultAndBackAfterAScriptedProvider) {
    {
        ScopedHeadlessProvider scope(std::make_shared<HeadlessControl>(), /*failFactory=*/true);
        EXPECT_FALSE(MakeFactory());
    }
    auto factory = MakeFactory();
    ASSERT_TRUE(factory);
    auto device = factory->CreateDevice(DeviceType::Hardware, {nullptr, 320, 200});
    ASSERT_TRUE(device);
    EXPECT_EQ(device->BackBufferWidth(), 320);
    EXPECT_EQ(device->TestCooperativeLevel(), CooperativeLevel::Ok);
}

}  // namespace
}  // namespace platform::gfx
