#include "platform/gl/gl_device.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "platform/gl/gl_buffers.h"
#include "platform/gl/gl_font.h"
#include "platform/gl/gl_programs.h"
#include "platform/gl/gl_surface.h"
#include "platform/win/rects.h"

namespace platform::gl {

using d3dx::D3DXMATRIX;
using d3dx::Mesh;
using d3dx::MeshVertex;

namespace {

GLenum BlendFactor(DWORD value) {
    switch (value) {
        case gfx::kBlendZero:
            return GL_ZERO;
        case gfx::kBlendOne:
            return GL_ONE;
        case 3:
            return GL_SRC_COLOR;
        case 4:
            return GL_ONE_MINUS_SRC_COLOR;
        case gfx::kBlendSrcAlpha:
            return GL_SRC_ALPHA;
        case gfx::kBlendInvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case 7:
            return GL_DST_ALPHA;
        case 8:
            return GL_ONE_MINUS_DST_ALPHA;
        case 9:
            return GL_DST_COLOR;
        case 10:
            return GL_ONE_MINUS_DST_COLOR;
        default:
            return GL_ONE;
    }
}

class GlTexture : public gfx::Texture {
  public:
    GlTexture(GLuint id, int width, int height) : id_(id), width_(width), height_(height) {}
    ~GlTexture() override { glDeleteTextures(1, &id_); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    GLuint Id() const { return id_; }

  private:
    GLuint id_;
    int width_;
    int height_;
};

// Whether the picture has a size and all its pixels.
bool Whole(const Image& picture) {
    return !picture.Empty() &&
           picture.pixels.size() >=
               static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
}

class GlSprite : public gfx::Sprite {
  public:
    explicit GlSprite(GlDevice* device) : device_(device) {}
    bool Begin(DWORD flags) override {
        if (begun_) {
            return false;
        }
        begun_ = true;
        flags_ = flags;
        return true;
    }
    void SetTransform(const D3DXMATRIX& transform) override { transform_ = transform; }
    bool Draw(const gfx::Texture* texture, const RECT* src, const d3dx::D3DXVECTOR3& position,
              D3DCOLOR color) override {
        const auto* t = dynamic_cast<const GlTexture*>(texture);
        if (!begun_ || !t || t->Width() <= 0 || t->Height() <= 0) {
            return false;
        }
        const RECT r = src ? *src : RECT{0, 0, t->Width(), t->Height()};
        const float w = static_cast<float>(r.right - r.left);
        const float h = static_cast<float>(r.bottom - r.top);
        const float tw = static_cast<float>(t->Width()), th = static_cast<float>(t->Height());
        const float u0 = static_cast<float>(r.left) / tw, u1 = static_cast<float>(r.right) / tw;
        const float v0 = static_cast<float>(r.top) / th, v1 = static_cast<float>(r.bottom) / th;
        const D3DXMATRIX& m = transform_;
        auto at = [&](float x, float y, float u, float v) {
            return GlDevice::Vertex2D{x * m.m[0][0] + y * m.m[1][0] + m.m[3][0],
                                      x * m.m[0][1] + y * m.m[1][1] + m.m[3][1], u, v, color};
        };
        const float x = position.x, y = position.y;
        const GlDevice::Vertex2D quad[6] = {at(x, y, u0, v0),         at(x + w, y, u1, v0),
                                            at(x + w, y + h, u1, v1), at(x, y, u0, v0),
                                            at(x + w, y + h, u1, v1), at(x, y + h, u0, v1)};
        device_->Draw2D(quad, t->Id(), GlDevice::Quads2D::Picture,
                        (flags_ & gfx::kSpriteAlphaBlend) != 0, true);
        return true;
    }
    bool End() override {
        const bool was = begun_;
        begun_ = false;
        return was;
    }

  private:
    GlDevice* device_;
    D3DXMATRIX transform_;
    DWORD flags_ = 0;
    bool begun_ = false;
};

}  // namespace

struct GlState {
    GLuint fbo = 0, color = 0, depth = 0;
    int storedWidth = 0, storedHeight = 0;  // the size of fbo's buffers
    Program3D smooth, flat;
    GLuint program2D = 0;
    UniformI coverage2D;
    std::array<GLuint, GlDevice::kSamplings> samplers{};
    GLuint listVao = 0;
    StreamBuffer listVertices, listIndices;
    GLuint vao2D = 0;
    StreamBuffer vertices2D;
    std::vector<MeshBuffers> meshes;   // meshes drawn and not forgotten
    std::vector<MeshBuffers> retired;  // forgotten meshes, kept for an identical successor
};

namespace {
constexpr std::size_t kRetiredMeshes = 16;

// Gives the device's own framebuffer buffers of width x height pixels, unless it has them.
void StoreOwnFramebuffer(GlState& s, int width, int height) {
    if (s.storedWidth == width && s.storedHeight == height) {
        return;
    }
    glBindRenderbuffer(GL_RENDERBUFFER, s.color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, s.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    s.storedWidth = width;
    s.storedHeight = height;
}

// A length of back-buffer pixels in device pixels: up to the first whole pixel, the small
// allowance keeping exact products (1.25 * 4) from moving up through rounding error.
int DevicePixels(int length, double scale) {
    return static_cast<int>(std::ceil(length * scale - 1e-9));
}

// Where a back buffer `height` rows high lands in the target (its framebuffer's corner when
// none), in GL's bottom-up coordinates.
POINT TargetBottomLeft(const std::optional<GlDevice::Target>& t, int height) {
    return t ? POINT{t->origin.x, t->height - t->origin.y - height} : POINT{0, 0};
}

// The target's clip in GL's bottom-up coordinates (top is the lower edge).
RECT ClipInGlRows(const GlDevice::Target& t) {
    return RECT{t.clip.left, t.height - t.clip.bottom, t.clip.right, t.height - t.clip.top};
}
}  // namespace

GlDevice::GlDevice(int width, int height)
    : gfx::Device(width, height),
      gl_(std::make_unique<GlState>()),
      fbWidth_(width),
      fbHeight_(height) {}

void GlDevice::SetScale(double scale) {
    if (scale <= 0 || scale == scale_) {
        return;
    }
    scale_ = scale;
    fbWidth_ = std::max(1, DevicePixels(backWidth_, scale));
    fbHeight_ = std::max(1, DevicePixels(backHeight_, scale));
    // The device's own framebuffer follows when a frame is next drawn there: frames drawn in
    // place need none at the device size.
}

std::unique_ptr<GlDevice> GlDevice::Create(int width, int height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    std::unique_ptr<GlDevice> device(new GlDevice(width, height));
    if (!device->Init()) {
        return nullptr;
    }
    return device;
}

// The samplers of GlDevice::Sampling, in its order.
static void MakeSamplers(GLuint* samplers) {
    glGenSamplers(GlDevice::kSamplings, samplers);
    const std::array<std::pair<GLint, GLint>, GlDevice::kSamplings> sampling = {
        {{GL_LINEAR, GL_REPEAT}, {GL_LINEAR, GL_CLAMP_TO_EDGE}, {GL_NEAREST, GL_CLAMP_TO_EDGE}}};
    for (int i = 0; i < GlDevice::kSamplings; ++i) {
        const auto [filter, wrap] = sampling[static_cast<std::size_t>(i)];
        glSamplerParameteri(samplers[i], GL_TEXTURE_MIN_FILTER, filter);
        glSamplerParameteri(samplers[i], GL_TEXTURE_MAG_FILTER, filter);
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_S, wrap);
        glSamplerParameteri(samplers[i], GL_TEXTURE_WRAP_T, wrap);
    }
}

bool GlDevice::Init() {
    GlState& s = *gl_;
    glGenFramebuffers(1, &s.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glGenRenderbuffers(1, &s.color);
    glGenRenderbuffers(1, &s.depth);
    StoreOwnFramebuffer(s, fbWidth_, fbHeight_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, s.color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              s.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return false;
    }
    if (!s.smooth.Make("#define SHADING smooth\n") || !s.flat.Make("#define SHADING flat\n")) {
        return false;
    }
    s.program2D = MakeProgram2D();
    if (!s.program2D) {
        return false;
    }
    glUseProgram(s.program2D);
    glUniform2f(glGetUniformLocation(s.program2D, "uTargetSize"), static_cast<float>(backWidth_),
                static_cast<float>(backHeight_));
    glUniform1i(glGetUniformLocation(s.program2D, "uTexture"), 0);
    s.coverage2D.location = glGetUniformLocation(s.program2D, "uCoverage");

    MakeSamplers(s.samplers.data());
    glActiveTexture(GL_TEXTURE0);

    // Vertex lists: 24-byte vertices of position, colour (B, G, R, A bytes) and uv.
    glGenVertexArrays(1, &s.listVao);
    glBindVertexArray(s.listVao);
    glGenBuffers(1, &s.listVertices.name);
    glGenBuffers(1, &s.listIndices.name);
    glBindBuffer(GL_ARRAY_BUFFER, s.listVertices.name);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.listIndices.name);
    constexpr GLsizei stride = sizeof(gfx::ColorVertex);
    glEnableVertexAttribArray(kPosition);
    glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(gfx::ColorVertex, x)));
    glEnableVertexAttribArray(kColor);
    glVertexAttribPointer(kColor, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(gfx::ColorVertex, color)));
    glEnableVertexAttribArray(kUv);
    glVertexAttribPointer(kUv, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(gfx::ColorVertex, u)));

    glGenVertexArrays(1, &s.vao2D);
    glBindVertexArray(s.vao2D);
    glGenBuffers(1, &s.vertices2D.name);
    glBindBuffer(GL_ARRAY_BUFFER, s.vertices2D.name);
    constexpr GLsizei stride2D = sizeof(Vertex2D);
    glEnableVertexAttribArray(kPosition);
    glVertexAttribPointer(kPosition, 2, GL_FLOAT, GL_FALSE, stride2D,
                          reinterpret_cast<const void*>(offsetof(Vertex2D, x)));
    glEnableVertexAttribArray(kColor);
    glVertexAttribPointer(kColor, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride2D,
                          reinterpret_cast<const void*>(offsetof(Vertex2D, color)));
    glEnableVertexAttribArray(kUv);
    glVertexAttribPointer(kUv, 2, GL_FLOAT, GL_FALSE, stride2D,
                          reinterpret_cast<const void*>(offsetof(Vertex2D, u)));
    glBindVertexArray(0);

    // Direct3D's flat shading takes the colour of a triangle's first vertex.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glDepthFunc(GL_LEQUAL);
    fonts_ = std::make_unique<FontCache>();
    scratch2D_.reserve(6 * 256);
    return glGetError() == GL_NO_ERROR;
}

GlDevice::~GlDevice() {
    fonts_.reset();
    GlState& s = *gl_;
    for (MeshBuffers& m : s.meshes) {
        m.Release();
    }
    for (MeshBuffers& m : s.retired) {
        m.Release();
    }
    const GLuint buffers[] = {s.listVertices.name, s.listIndices.name, s.vertices2D.name};
    glDeleteBuffers(3, buffers);
    const GLuint arrays[] = {s.listVao, s.vao2D};
    glDeleteVertexArrays(2, arrays);
    glDeleteSamplers(GlDevice::kSamplings, s.samplers.data());
    glDeleteProgram(s.smooth.id);
    glDeleteProgram(s.flat.id);
    glDeleteProgram(s.program2D);
    const GLuint renderbuffers[] = {s.color, s.depth};
    glDeleteRenderbuffers(2, renderbuffers);
    glDeleteFramebuffers(1, &s.fbo);
}

unsigned GlDevice::Framebuffer() const {
    ClearNow();  // whoever takes the framebuffer sees the frame as it stands
    return OwnFramebuffer();
}

std::size_t GlDevice::CachedMeshes() const {
    return gl_->meshes.size() + gl_->retired.size();
}

std::size_t GlDevice::CachedFonts() const {
    return fonts_ ? fonts_->Size() : 0;
}

void GlDevice::Finish() const {
    glFinish();
}

Image GlDevice::ReadPixels() const {
    Image image;
    ReadPixels(&image);
    return image;
}

void GlDevice::ReadPixels(Image* into) const {
    into->width = fbWidth_;
    into->height = fbHeight_;
    const auto row = static_cast<std::size_t>(fbWidth_);
    into->pixels.resize(row * static_cast<std::size_t>(fbHeight_));
    ClearNow();
    const POINT at = TargetBottomLeft(target_, fbHeight_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target_ ? target_->framebuffer : OwnFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(at.x, at.y, fbWidth_, fbHeight_, GL_BGRA, GL_UNSIGNED_BYTE, into->pixels.data());
    // GL's rows run from the bottom.
    std::uint32_t* pixels = into->pixels.data();
    for (int y = 0; y < fbHeight_ / 2; ++y) {
        std::swap_ranges(pixels + row * static_cast<std::size_t>(y),
                         pixels + row * static_cast<std::size_t>(y + 1),
                         pixels + row * static_cast<std::size_t>(fbHeight_ - 1 - y));
    }
}

void GlDevice::Clear(D3DCOLOR color, float depth) {
    if (scaleSource_) {
        SetScale(scaleSource_());  // a frame starts with a clear
    }
    target_ = targetSource_ ? targetSource_() : std::nullopt;
    BindTarget();
    // Both clears wait until something is drawn or read: a background copied over the whole
    // back buffer first makes the colour clear needless (a whole pass over the pixels), and a
    // copy made before any other work of the frame needs no wait for the rasteriser.
    pendingClear_ = color;
    pendingDepth_ = depth;
}

void GlDevice::ClearNow() const {
    ClearColourNow();
    if (!pendingDepth_) {
        return;
    }
    const float depth = *pendingDepth_;
    pendingDepth_.reset();
    BindTarget();
    // A window's depth and stencil serve only the panel: cleared whole, which is cheaper than
    // a clear within the scissor.
    const bool whole = target_ && target_->ownDepth;
    if (whole) {
        glDisable(GL_SCISSOR_TEST);
    }
    glDepthMask(GL_TRUE);
    glClearDepth(depth);
    glClearStencil(0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (whole) {
        glEnable(GL_SCISSOR_TEST);
    }
}

void GlDevice::ClearColourNow() const {
    if (!pendingClear_) {
        return;
    }
    const D3DCOLOR color = *pendingClear_;
    pendingClear_.reset();
    BindTarget();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(color & 0xFF) / 255.0f,
                 static_cast<float>(color >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

bool GlDevice::BeginScene() {
    BindTarget();
    return true;
}

GLuint GlDevice::OwnFramebuffer() const {
    StoreOwnFramebuffer(*gl_, fbWidth_, fbHeight_);
    return gl_->fbo;
}

void GlDevice::BindTarget() const {
    if (!target_) {
        glBindFramebuffer(GL_FRAMEBUFFER, OwnFramebuffer());
        glViewport(0, 0, fbWidth_, fbHeight_);
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    const POINT at = TargetBottomLeft(target_, fbHeight_);
    const RECT clip = ClipInGlRows(*target_);
    glBindFramebuffer(GL_FRAMEBUFFER, target_->framebuffer);
    glViewport(at.x, at.y, fbWidth_, fbHeight_);
    glEnable(GL_SCISSOR_TEST);
    glScissor(clip.left, clip.top, std::max(0, clip.right - clip.left),
              std::max(0, clip.bottom - clip.top));
}

bool GlDevice::EndScene() {
    return true;
}

bool GlDevice::Present() {
    ClearNow();
    // Whatever the hook does in this context must not change what our vertex arrays hold.
    glBindVertexArray(0);
    if (presentHook_) {
        presentHook_(target_ ? target_->framebuffer : OwnFramebuffer(), fbWidth_, fbHeight_);
    } else {
        glFlush();
    }
    return true;
}

bool GlDevice::CopyToBackBuffer(const gfx::Surface& surface) {
    const auto* picture = dynamic_cast<const GlSurface*>(&surface);
    if (picture == nullptr || picture->Width() > backWidth_ || picture->Height() > backHeight_) {
        return false;
    }
    // A copy without blending: at scale 1 the picture's pixels land unchanged, at other
    // scales filtered to the device size.
    const int w = DevicePixels(picture->Width(), scale_);
    const int h = DevicePixels(picture->Height(), scale_);
    if (w >= fbWidth_ && h >= fbHeight_) {
        pendingClear_.reset();  // every pixel is the picture's
    } else {
        ClearColourNow();
    }
    const GLuint from = picture->At(w, h);
    BindTarget();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    const POINT at = TargetBottomLeft(target_, fbHeight_);
    const int bottom = at.y + fbHeight_ - h;  // GL counts rows from the bottom
    // Only the part inside the target's clip is copied, without the scissor: a copy under a
    // scissor cannot be a memory copy. In GL's rows, from the bottom:
    const RECT clip = target_ ? ClipInGlRows(*target_) : RECT{0, 0, fbWidth_, fbHeight_};
    const RECT to = win::Intersect(RECT{at.x, bottom, at.x + w, bottom + h}, clip);
    if (to.right <= to.left || to.bottom <= to.top) {
        return true;
    }
    glDisable(GL_SCISSOR_TEST);
    // The picture's top row first: turned over into GL's rows.
    glBlitFramebuffer(to.left - at.x, h - (to.top - bottom), to.right - at.x,
                      h - (to.bottom - bottom), to.left, to.top, to.right, to.bottom,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (target_) {
        glEnable(GL_SCISSOR_TEST);
    }
    return true;
}

void GlDevice::BindTexture(unsigned texture, Sampling sampling) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindSampler(0, gl_->samplers[sampling]);
}

void GlDevice::ApplyBlend(bool blend) {
    if (!blend) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    if (GetRenderState(gfx::RenderState::SeparateAlphaBlendEnable)) {
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                            BlendFactor(GetRenderState(gfx::RenderState::SrcBlendAlpha)),
                            BlendFactor(GetRenderState(gfx::RenderState::DestBlendAlpha)));
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void GlDevice::Draw2D(std::span<const Vertex2D> quads, unsigned texture, Quads2D kind, bool blend,
                      bool linear) {
    if (quads.empty()) {
        return;
    }
    GlState& s = *gl_;
    ClearNow();
    BindTarget();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    ApplyBlend(blend);
    glUseProgram(s.program2D);
    s.coverage2D.Set(kind == Quads2D::Coverage ? 1 : 0);
    // Glyph coverage is read texel for texel.
    BindTexture(texture, kind == Quads2D::Picture && linear ? kLinearClamp : kNearestClamp);
    glBindVertexArray(s.vao2D);
    const std::size_t offset =
        s.vertices2D.Write(GL_ARRAY_BUFFER, quads.data(), quads.size_bytes(), sizeof(Vertex2D));
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(offset / sizeof(Vertex2D)),
                 static_cast<GLsizei>(quads.size()));
}

void GlDevice::ApplyFixedState(bool hasNormals, bool hasColor) {
    GlState& s = *gl_;
    ClearNow();
    BindTarget();
    Program3D& p =
        GetRenderState(gfx::RenderState::ShadeMode) == gfx::kShadeFlat ? s.flat : s.smooth;
    glUseProgram(p.id);

    const D3DXMATRIX& world = GetTransform(gfx::TransformState::World);
    D3DXMATRIX worldView, wvp;
    d3dx::D3DXMatrixMultiply(&worldView, &world, &GetTransform(gfx::TransformState::View));
    d3dx::D3DXMatrixMultiply(&wvp, &worldView, &GetTransform(gfx::TransformState::Projection));
    p.world.Set(&world.m[0][0]);
    p.wvp.Set(&wvp.m[0][0]);

    const bool lighting = GetRenderState(gfx::RenderState::Lighting) != 0;
    p.lighting.Set(lighting ? 1 : 0);
    p.hasColor.Set(hasColor ? 1 : 0);
    if (lighting) {
        const d3dx::D3DMATERIAL9& m = GetMaterial();
        p.matDiffuse.Set(ColorFloats(m.Diffuse).data());
        p.matAmbient.Set(ColorFloats(m.Ambient).data());
        p.matEmissive.Set(ColorFloats(m.Emissive).data());
        p.ambientLight.Set(ColorFloats(GetRenderState(gfx::RenderState::Ambient)).data());
        const gfx::Light& light = GetLight();
        const bool directional = light.type == gfx::LightType::Directional;
        p.lightOn.Set(IsLightEnabled() && directional ? 1 : 0);
        p.lightDiffuse.Set(ColorFloats(light.diffuse).data());
        p.lightAmbient.Set(ColorFloats(light.ambient).data());
        d3dx::D3DXVECTOR3 toLight{-light.direction.x, -light.direction.y, -light.direction.z};
        d3dx::D3DXVec3Normalize(&toLight, &toLight);
        const float toLightFloats[3] = {toLight.x, toLight.y, toLight.z};
        p.toLight.Set(toLightFloats);
    }
    if (!hasNormals) {
        glVertexAttrib3f(kNormal, 0, 0, 0);
    }

    const auto* texture = dynamic_cast<const GlTexture*>(GetTexture());
    const DWORD colorOp = GetTextureStageState(gfx::TextureStageState::ColorOp);
    p.hasTexture.Set(texture && colorOp != gfx::kTopDisable ? 1 : 0);
    p.colorOp.Set(static_cast<GLint>(colorOp));
    p.alphaOp.Set(static_cast<GLint>(GetTextureStageState(gfx::TextureStageState::AlphaOp)));
    BindTexture(texture ? texture->Id() : 0, kLinearRepeat);

    if (GetRenderState(gfx::RenderState::ZEnable)) {
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    // Both APIs judge winding as it is seen on screen: culling counter-clockwise faces
    // keeps the clockwise ones as front faces.
    const DWORD cull = GetRenderState(gfx::RenderState::CullMode);
    if (cull == gfx::kCullCW || cull == gfx::kCullCCW) {
        glEnable(GL_CULL_FACE);
        glFrontFace(cull == gfx::kCullCCW ? GL_CW : GL_CCW);
        glCullFace(GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }
    ApplyBlend(GetRenderState(gfx::RenderState::AlphaBlendEnable) != 0);
}

bool GlDevice::DrawVertices(std::span<const gfx::ColorVertex> vertices,
                            std::span<const std::uint16_t> indices) {
    GlState& s = *gl_;
    const std::uint32_t fvf = GetFVF();
    ApplyFixedState(false, fvf == 0 || (fvf & d3dx::D3DFVF_DIFFUSE) != 0);
    glBindVertexArray(s.listVao);
    const std::size_t first =
        s.listVertices.Write(GL_ARRAY_BUFFER, vertices.data(), vertices.size_bytes(),
                             sizeof(gfx::ColorVertex)) /
        sizeof(gfx::ColorVertex);
    if (indices.empty()) {
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(first),
                     static_cast<GLsizei>(vertices.size() / 3 * 3));
    } else {
        const std::size_t offset = s.listIndices.Write(GL_ELEMENT_ARRAY_BUFFER, indices.data(),
                                                       indices.size_bytes(), sizeof(std::uint16_t));
        glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(indices.size() / 3 * 3),
                                 GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(offset),
                                 static_cast<GLint>(first));
    }
    return true;
}

bool GlDevice::DrawPrimitive(std::span<const gfx::ColorVertex> vertices) {
    if (vertices.size() < 3) {
        return false;
    }
    return DrawVertices(vertices, {});
}

bool GlDevice::DrawIndexedPrimitive(std::span<const gfx::ColorVertex> vertices,
                                    std::span<const std::uint16_t> indices) {
    if (indices.size() < 3) {
        return false;
    }
    for (std::uint16_t i : indices) {
        if (i >= vertices.size()) {
            return false;
        }
    }
    return DrawVertices(vertices, indices);
}

bool GlDevice::DrawSubset(const Mesh& mesh, std::uint32_t attribId) {
    GlState& s = *gl_;
    MeshBuffers* buffers = nullptr;
    for (std::size_t i = 0; i < s.meshes.size(); ++i) {
        if (s.meshes[i].mesh != &mesh) {
            continue;
        }
        if (Matches(s.meshes[i], mesh)) {
            buffers = &s.meshes[i];
        } else {  // a different mesh now lives at this address
            s.meshes[i].Release();
            s.meshes.erase(s.meshes.begin() + static_cast<std::ptrdiff_t>(i));
        }
        break;
    }
    if (!buffers) {
        // A mesh made anew with the same contents as one forgotten (the text of a label drawn
        // every frame) takes over its buffers.
        const std::uint64_t hash = MeshHash(mesh);
        MeshBuffers fresh;
        for (std::size_t i = 0; i < s.retired.size(); ++i) {
            if (s.retired[i].hash == hash && s.retired[i].vertexCount == mesh.vertices.size() &&
                s.retired[i].indexCount == mesh.indices.size()) {
                fresh = std::move(s.retired[i]);
                s.retired.erase(s.retired.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
        if (!fresh.vao) {
            if (!Upload(mesh, &fresh)) {
                fresh.Release();
                return false;
            }
            fresh.hash = hash;
        }
        Identify(&fresh, mesh);
        s.meshes.push_back(std::move(fresh));
        buffers = &s.meshes.back();
    }
    const SubsetRange* range = nullptr;
    for (const SubsetRange& r : buffers->ranges) {
        if (r.attribId == attribId) {
            range = &r;
            break;
        }
    }
    if (!range || range->count == 0) {
        return true;  // a subset without faces draws nothing
    }
    ApplyFixedState((mesh.fvf & d3dx::D3DFVF_NORMAL) != 0, (mesh.fvf & d3dx::D3DFVF_DIFFUSE) != 0);
    glBindVertexArray(buffers->vao);
    glDrawRangeElements(GL_TRIANGLES, range->lowest, range->highest,
                        static_cast<GLsizei>(range->count), GL_UNSIGNED_INT,
                        reinterpret_cast<const void*>(static_cast<std::uintptr_t>(range->first) *
                                                      sizeof(std::uint32_t)));
    return true;
}

void GlDevice::ForgetMesh(const Mesh& mesh) {
    GlState& s = *gl_;
    for (std::size_t i = 0; i < s.meshes.size(); ++i) {
        if (s.meshes[i].mesh == &mesh) {
            MeshBuffers retiring = std::move(s.meshes[i]);
            s.meshes.erase(s.meshes.begin() + static_cast<std::ptrdiff_t>(i));
            retiring.mesh = nullptr;
            if (s.retired.size() >= kRetiredMeshes) {
                s.retired.front().Release();
                s.retired.erase(s.retired.begin());
            }
            s.retired.push_back(std::move(retiring));
            return;
        }
    }
}

std::unique_ptr<gfx::Texture> GlDevice::CreateTexture(const Image& picture) {
    if (!Whole(picture)) {
        return nullptr;
    }
    // The top row is v = 0, as in Direct3D.
    const GLuint id = UploadPicture(picture.pixels.data(), picture.width, picture.height, 0);
    return std::make_unique<GlTexture>(id, picture.width, picture.height);
}

std::unique_ptr<gfx::Surface> GlDevice::CreateSurface(const Image& picture) {
    if (!Whole(picture)) {
        return nullptr;
    }
    return std::make_unique<GlSurface>(picture);
}

std::unique_ptr<gfx::Sprite> GlDevice::CreateSprite() {
    return std::make_unique<GlSprite>(this);
}

std::unique_ptr<gfx::Font> GlDevice::CreateFont(const gfx::FontDesc& desc) {
    FontFace* face = fonts_ ? fonts_->Get(desc) : nullptr;
    if (!face) {
        return nullptr;
    }
    return std::make_unique<GlFont>(this, face, desc);
}

FontFace* GlDevice::DeviceFace(const gfx::FontDesc& desc, FontFace* logical) {
    if (scale_ == 1.0 || !fonts_) {
        return logical;
    }
    gfx::FontDesc scaled = desc;
    scaled.height = std::max(1, static_cast<int>(std::lround(desc.height * scale_)));
    FontFace* face = fonts_->Get(scaled);
    return face ? face : logical;
}

std::unique_ptr<gfx::Device> GlFactory::CreateDevice(gfx::DeviceType,
                                                     const gfx::DeviceParams& params) {
    return GlDevice::Create(params.width, params.height);
}

}  // namespace platform::gl
