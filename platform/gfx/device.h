// The rendering device the 3D panel draws through: fixed-function state (transforms,
// material, one directional light, render states, texture stage 0), textures, mesh subsets,
// vertex lists, sprites, 2D text and the background copy. Implemented by the OpenGL device
// and by the headless device; both keep their state in the Device base, so what the panel
// reads back (GetTransform and the rest) is the same on screen and in tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/d3dx/d3dx_math.h"
#include "platform/d3dx/mesh.h"
#include "platform/images/images.h"
#include "platform/wintypes.h"

namespace platform::gfx {

using d3dx::D3DCOLORVALUE;
using d3dx::D3DMATERIAL9;
using d3dx::D3DXMATRIX;
using d3dx::D3DXVECTOR3;

enum class TransformState { World, View, Projection };

// What the device answers when asked whether it can draw.
enum class CooperativeLevel {
    Ok,
    DeviceLost,      // lost, cannot be reset yet: draw calls fail harmlessly
    DeviceNotReset,  // lost, can be re-created now
};

enum class DeviceType { Hardware, Reference };

// Render states with their Direct3D meaning; values are DWORDs as there.
enum class RenderState {
    Lighting,                  // bool
    CullMode,                  // kCullNone, kCullCW, kCullCCW
    ZEnable,                   // bool (depth test and write)
    ShadeMode,                 // kShadeFlat, kShadeGouraud
    DitherEnable,              // bool
    SpecularEnable,            // bool
    Ambient,                   // D3DCOLOR of the ambient light
    AlphaBlendEnable,          // bool (colour blending, source alpha / inverse source alpha)
    SeparateAlphaBlendEnable,  // bool: the alpha channel blends with the factors below
    SrcBlendAlpha,             // kBlendZero, kBlendOne, ...
    DestBlendAlpha,
    Count
};
inline constexpr DWORD kCullNone = 1, kCullCW = 2, kCullCCW = 3;
inline constexpr DWORD kShadeFlat = 1, kShadeGouraud = 2;
inline constexpr DWORD kBlendZero = 1, kBlendOne = 2, kBlendSrcAlpha = 5, kBlendInvSrcAlpha = 6;

enum class TextureStageState { ColorOp, AlphaOp };
inline constexpr DWORD kTopDisable = 1, kTopSelectArg1 = 2, kTopModulate = 4;

// The vertex formats of vertex lists (same 24-byte layout; TEX1 says the uv are used).
inline constexpr std::uint32_t kFvfColor = d3dx::D3DFVF_XYZ | d3dx::D3DFVF_DIFFUSE;
inline constexpr std::uint32_t kFvfColorTex = d3dx::kFvfPositionColorTex;

// One vertex of a vertex list: position, D3DCOLOR, one uv pair; 24 bytes.
struct ColorVertex {
    float x = 0, y = 0, z = 0;
    D3DCOLOR color = 0xFFFFFFFFu;
    float u = 0, v = 0;
};
static_assert(sizeof(ColorVertex) == 24);

enum class LightType { Point = 1, Spot = 2, Directional = 3 };

struct Light {
    LightType type = LightType::Directional;
    D3DCOLORVALUE diffuse, specular, ambient;
    D3DXVECTOR3 position, direction;
    float range = 0;
};

// Text formats of Font::DrawText, with their Win32 values.
inline constexpr UINT DT_LEFT = 0x0000, DT_CENTER = 0x0001, DT_NOCLIP = 0x0100,
                      DT_CALCRECT = 0x0400;

// A texture created from a decoded picture; its size is in texels.
class Texture {
  public:
    virtual ~Texture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

// A picture the device keeps to copy to the back buffer as it is (an offscreen plain
// surface); its size is in pixels.
class Surface {
  public:
    virtual ~Surface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

// Sprite flags of Sprite::Begin.
inline constexpr DWORD kSpriteAlphaBlend = 0x10;

// Draws texture rectangles in screen pixels under a 2D transform (row-vector matrix; a
// scaling for the panel).
class Sprite {
  public:
    virtual ~Sprite() = default;
    virtual bool Begin(DWORD flags) = 0;
    virtual void SetTransform(const D3DXMATRIX& transform) = 0;
    // Draws src (texels; the whole texture when null) of the texture with its top-left corner
    // at position (before the transform), modulated by color. False when texture is null.
    virtual bool Draw(const Texture* texture, const RECT* src, const D3DXVECTOR3& position,
                      D3DCOLOR color) = 0;
    virtual bool End() = 0;
};

struct FontDesc {
    int height = 12;  // pixels
    int weight = 0;   // 700 bold; 0 the default (normal)
    bool italic = false;
    std::string face;  // "Tahoma", "Arial"...; unknown faces are substituted
};

// A 2D font for one size and face.
class Font {
  public:
    virtual ~Font() = default;
    // With DT_CALCRECT: moves rect's right and bottom edges to fit the text, draws nothing.
    // Otherwise draws the text into rect with the format (DT_CENTER, DT_NOCLIP) in color
    // (alpha included), through the sprite when given. Returns the text height in pixels.
    virtual int DrawText(Sprite* sprite, std::string_view text, RECT* rect, UINT format,
                         D3DCOLOR color) = 0;
};

// The rendering device of one panel.
class Device {
  public:
    Device(int backBufferWidth, int backBufferHeight);
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    int BackBufferWidth() const { return backWidth_; }
    int BackBufferHeight() const { return backHeight_; }

    virtual CooperativeLevel TestCooperativeLevel() = 0;

    // Frame.
    virtual void Clear(D3DCOLOR color, float depth) = 0;  // render target and depth, stencil 0
    virtual bool BeginScene() = 0;
    virtual bool EndScene() = 0;
    virtual bool Present() = 0;
    // Copies the surface 1:1 to the back buffer's top-left corner; false (nothing copied)
    // when it is larger than the back buffer.
    virtual bool CopyToBackBuffer(const Surface& surface) = 0;

    // State: kept here for every device; implementations override to act on it and call
    // the base.
    virtual void SetTransform(TransformState which, const D3DXMATRIX& m);
    const D3DXMATRIX& GetTransform(TransformState which) const;
    virtual void SetRenderState(RenderState state, DWORD value);
    DWORD GetRenderState(RenderState state) const;
    virtual void SetMaterial(const D3DMATERIAL9& material);
    const D3DMATERIAL9& GetMaterial() const { return material_; }
    virtual void SetLight(int index, const Light& light);  // one light: index 0
    const Light& GetLight() const { return light_; }
    virtual void LightEnable(int index, bool enable);
    bool IsLightEnabled() const { return lightEnabled_; }
    virtual void SetTexture(int stage, const Texture* texture);  // stage 0 only
    const Texture* GetTexture() const { return texture_; }
    virtual void SetTextureStageState(int stage, TextureStageState state, DWORD value);
    DWORD GetTextureStageState(TextureStageState state) const;
    virtual void SetFVF(std::uint32_t fvf);
    std::uint32_t GetFVF() const { return fvf_; }

    // Drawing with the current state.
    // A triangle list of vertices.size() / 3 triangles.
    virtual bool DrawPrimitive(std::span<const ColorVertex> vertices) = 0;
    // An indexed triangle list of indices.size() / 3 triangles.
    virtual bool DrawIndexedPrimitive(std::span<const ColorVertex> vertices,
                                      std::span<const std::uint16_t> indices) = 0;
    // The faces of one subset (attribute id) of a mesh, with its normals when lit.
    virtual bool DrawSubset(const d3dx::Mesh& mesh, std::uint32_t attribId) = 0;
    // Says that a mesh drawn before is about to be destroyed (a device may keep copies of
    // meshes it has drawn, keyed by address).
    virtual void ForgetMesh(const d3dx::Mesh& mesh) { (void)mesh; }

    // Objects of this device; null on failure.
    virtual std::unique_ptr<Texture> CreateTexture(const Image& picture) = 0;
    // Null when the picture is empty.
    virtual std::unique_ptr<Surface> CreateSurface(const Image& picture) = 0;
    virtual std::unique_ptr<Sprite> CreateSprite() = 0;
    virtual std::unique_ptr<Font> CreateFont(const FontDesc& desc) = 0;

  protected:
    int backWidth_ = 0;
    int backHeight_ = 0;

  private:
    std::array<D3DXMATRIX, 3> transforms_{};
    std::array<DWORD, static_cast<std::size_t>(RenderState::Count)> renderStates_{};
    D3DMATERIAL9 material_{};
    Light light_{};
    bool lightEnabled_ = false;
    const Texture* texture_ = nullptr;
    DWORD colorOp_ = kTopModulate;
    DWORD alphaOp_ = kTopSelectArg1;
    std::uint32_t fvf_ = 0;
};

// What the window handle and size of a panel give a new device.
struct DeviceParams {
    HWND window = nullptr;
    int width = 0;  // back buffer = the window's client size
    int height = 0;
};

// The device maker of one panel (the Direct3D object): made once per panel, asked for a
// device at each (re-)creation.
class Factory {
  public:
    virtual ~Factory() = default;
    virtual std::unique_ptr<Device> CreateDevice(DeviceType type, const DeviceParams& params) = 0;
};

// The process-wide choice of device maker: the game installs the OpenGL one, tests keep the
// headless default or install their own. A provider may return null (no renderer at all).
using FactoryProvider = std::function<std::unique_ptr<Factory>()>;
// Installs a provider and returns the previous one; an empty provider restores the default
// (headless).
FactoryProvider SetFactoryProvider(FactoryProvider provider);
// A new device maker from the installed provider (may be null).
std::unique_ptr<Factory> MakeFactory();

}  // namespace platform::gfx
