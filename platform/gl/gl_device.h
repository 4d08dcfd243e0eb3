// The OpenGL 3.3 core device: the fixed-function pipeline the panel relies on (one
// directional light, Gouraud shading, texture stage 0, depth test, blending) done in shaders,
// drawn into a framebuffer of its own that Present hands to the window (or that tests and
// tools read back). Needs a current GL context for its whole life.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/gfx/device.h"

namespace platform::gl {

class FontCache;
class FontFace;
struct GlState;

class GlDevice : public gfx::Device {
  public:
    // Null when the framebuffer or the shaders cannot be made.
    static std::unique_ptr<GlDevice> Create(int width, int height);
    ~GlDevice() override;

    // Called by Present with the device's framebuffer (a GL framebuffer name), e.g. to blit it
    // into the panel's rectangle of a window; with the target's when the frame was drawn in
    // place.
    using PresentHook = std::function<void(unsigned framebuffer, int width, int height)>;
    void SetPresentHook(PresentHook hook) { presentHook_ = std::move(hook); }
    unsigned Framebuffer() const;
    // A part of another framebuffer (0: the current window's) that frames are drawn straight
    // into: the back buffer's top-left corner at `origin`, nothing drawn outside `clip`
    // (device pixels from the top-left corner of the framebuffer, width x height large).
    // When its depth and stencil serve the device alone, a frame clears them whole (far
    // cheaper than within the clip on a software rasteriser).
    struct Target {
        unsigned framebuffer = 0;
        int width = 0;
        int height = 0;
        POINT origin{};
        RECT clip{};
        bool ownDepth = false;
    };
    // Asked at the start of every frame, after the scale: a target takes the frame, none
    // leaves it in the device's own framebuffer.
    void SetTargetSource(std::function<std::optional<Target>()> source) {
        targetSource_ = std::move(source);
    }
    // Where the current frame is drawn in place, if it is.
    const std::optional<Target>& InPlace() const { return target_; }
    // Renders at `scale` device pixels per back-buffer pixel: the framebuffer grows, while
    // everything given to the device (viewport, sprites, text, pictures) stays in back-buffer
    // pixels. The source, when set, is asked at the start of every frame.
    void SetScale(double scale);
    void SetScaleSource(std::function<double()> source) { scaleSource_ = std::move(source); }
    double Scale() const { return scale_; }
    int FramebufferWidth() const { return fbWidth_; }
    int FramebufferHeight() const { return fbHeight_; }

    // Waits until every command given so far has been carried out (for timing).
    void Finish() const;
    // The back buffer as a picture, top row first (what a screenshot of the panel shows), read
    // from wherever the frame was drawn.
    Image ReadPixels() const;
    // The same into a picture whose storage is reused from call to call.
    void ReadPixels(Image* into) const;
    // Objects kept between frames: GL meshes, 2D font faces, glyphs.
    std::size_t CachedMeshes() const;
    std::size_t CachedFonts() const;
    // The face of a font rasterised at the device's scale (the face itself at scale 1).
    FontFace* DeviceFace(const gfx::FontDesc& desc, FontFace* logical);

    gfx::CooperativeLevel TestCooperativeLevel() override { return gfx::CooperativeLevel::Ok; }
    void Clear(D3DCOLOR color, float depth) override;
    bool BeginScene() override;
    bool EndScene() override;
    bool Present() override;
    bool CopyToBackBuffer(const gfx::Surface& surface) override;
    bool DrawPrimitive(std::span<const gfx::ColorVertex> vertices) override;
    bool DrawIndexedPrimitive(std::span<const gfx::ColorVertex> vertices,
                              std::span<const std::uint16_t> indices) override;
    bool DrawSubset(const d3dx::Mesh& mesh, std::uint32_t attribId) override;
    void ForgetMesh(const d3dx::Mesh& mesh) override;
    std::unique_ptr<gfx::Texture> CreateTexture(const Image& picture) override;
    std::unique_ptr<gfx::Surface> CreateSurface(const Image& picture) override;
    std::unique_ptr<gfx::Sprite> CreateSprite() override;
    std::unique_ptr<gfx::Font> CreateFont(const gfx::FontDesc& desc) override;

    // 2D drawing in back-buffer pixels for sprites and text (vertices: x, y, u, v, colour).
    struct Vertex2D {
        float x, y, u, v;
        D3DCOLOR color;
    };
    enum class Quads2D { Picture, Coverage };
    void Draw2D(std::span<const Vertex2D> quads, unsigned texture, Quads2D kind, bool blend,
                bool linear);
    std::vector<Vertex2D>& Scratch2D() { return scratch2D_; }

    // Texture sampling modes, as sampler objects (texture objects keep their own defaults).
    enum Sampling { kLinearRepeat, kLinearClamp, kNearestClamp, kSamplings };

  private:
    GlDevice(int width, int height);
    void BindTexture(unsigned texture, Sampling sampling);
    // Binds the framebuffer frames go to, with the viewport over the back buffer and the
    // scissor over the target's clip.
    void BindTarget() const;
    // The device's own framebuffer, its buffers at the device size.
    unsigned OwnFramebuffer() const;
    // Carries out the clears the frame began with that are still to do: both, or the colour's.
    void ClearNow() const;
    void ClearColourNow() const;
    bool Init();
    void ApplyFixedState(bool hasNormals, bool hasColor);
    void ApplyBlend(bool blend);
    bool DrawVertices(std::span<const gfx::ColorVertex> vertices,
                      std::span<const std::uint16_t> indices);

    std::unique_ptr<GlState> gl_;
    std::unique_ptr<FontCache> fonts_;
    std::vector<Vertex2D> scratch2D_;
    PresentHook presentHook_;
    std::function<double()> scaleSource_;
    std::function<std::optional<Target>()> targetSource_;
    std::optional<Target> target_;
    mutable std::optional<D3DCOLOR> pendingClear_;  // put off until something is drawn
    mutable std::optional<float> pendingDepth_;
    double scale_ = 1.0;
    int fbWidth_ = 0;
    int fbHeight_ = 0;
};

// Makes GL devices in the context current when asked (the panel's device maker).
class GlFactory : public gfx::Factory {
  public:
    std::unique_ptr<gfx::Device> CreateDevice(gfx::DeviceType type,
                                              const gfx::DeviceParams& params) override;
};

}  // namespace platform::gl
