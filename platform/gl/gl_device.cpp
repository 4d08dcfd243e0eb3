#include "platform/gl/gl_device.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "platform/gl/gl_font.h"

namespace platform::gl {

using d3dx::D3DXMATRIX;
using d3dx::Mesh;
using d3dx::MeshVertex;

namespace {

// Vertex attribute slots shared by every program.
constexpr GLuint kPosition = 0, kNormal = 1, kColor = 2, kUv = 3;

// The fixed-function vertex stage: transforms with the row-vector matrices of the device
// (uploaded as they are, which GLSL reads as their transposes), Direct3D's depth range 0..1
// moved to GL's -1..1, and the lighting formula of one directional light evaluated per
// vertex.
constexpr const char* kVertex3D = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUv;
uniform mat4 uWorld;
uniform mat4 uWorldViewProjection;
uniform bool uLighting;
uniform bool uLightOn;
uniform bool uHasColor;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialEmissive;
uniform vec4 uAmbientLight;
uniform vec4 uLightDiffuse;
uniform vec4 uLightAmbient;
uniform vec3 uToLight;
SHADING out vec4 vColor;
out vec2 vUv;
void main() {
    vec4 p = uWorldViewProjection * vec4(aPosition, 1.0);
    gl_Position = vec4(p.x, p.y, 2.0 * p.z - p.w, p.w);
    vUv = aUv;
    if (!uLighting) {
        vColor = uHasColor ? aColor : vec4(1.0);
        return;
    }
    // A vertex colour stands in for the material's diffuse colour.
    vec4 diffuse = uHasColor ? aColor : uMaterialDiffuse;
    vec3 c = uMaterialEmissive.rgb + uAmbientLight.rgb * uMaterialAmbient.rgb;
    if (uLightOn) {
        vec3 n = mat3(uWorld) * aNormal;
        float len = length(n);
        float d = len > 0.0 ? max(dot(n / len, uToLight), 0.0) : 0.0;
        c += uLightAmbient.rgb * uMaterialAmbient.rgb + d * uLightDiffuse.rgb * diffuse.rgb;
    }
    vColor = vec4(clamp(c, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}
)";

// Texture stage 0: modulate, select the texture, or off; no texture leaves the diffuse.
constexpr const char* kFragment3D = R"(
SHADING in vec4 vColor;
in vec2 vUv;
uniform bool uHasTexture;
uniform int uColorOp;
uniform int uAlphaOp;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec4 c = vColor;
    if (uHasTexture) {
        vec4 t = texture(uTexture, vUv);
        vec3 rgb = uColorOp == 4 ? t.rgb * c.rgb : (uColorOp == 2 ? t.rgb : c.rgb);
        float a = uAlphaOp == 4 ? t.a * c.a : (uAlphaOp == 2 ? t.a : c.a);
        c = vec4(rgb, a);
    }
    fragColor = c;
}
)";

// Quads in back-buffer pixels (top-left origin): pictures modulated by a colour, or glyph
// coverage giving the alpha of a colour.
constexpr const char* kVertex2D = R"(
layout(location = 0) in vec2 aPosition;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aUv;
uniform vec2 uTargetSize;
out vec4 vColor;
out vec2 vUv;
void main() {
    gl_Position = vec4(aPosition.x * 2.0 / uTargetSize.x - 1.0,
                       1.0 - aPosition.y * 2.0 / uTargetSize.y, 0.0, 1.0);
    vColor = aColor;
    vUv = aUv;
}
)";

constexpr const char* kFragment2D = R"(
in vec4 vColor;
in vec2 vUv;
uniform bool uCoverage;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec4 t = texture(uTexture, vUv);
    fragColor = uCoverage ? vec4(vColor.rgb, vColor.a * t.r) : t * vColor;
}
)";

GLuint Compile(GLenum type, const char* prelude, const char* source) {
    GLuint shader = glCreateShader(type);
    const char* parts[] = {"#version 330 core\n", prelude, source};
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint Link(const char* prelude, const char* vertex, const char* fragment) {
    GLuint vs = Compile(GL_VERTEX_SHADER, prelude, vertex);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, prelude, fragment);
    GLuint program = 0;
    if (vs && fs) {
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vs) {
        glDeleteShader(vs);
    }
    if (fs) {
        glDeleteShader(fs);
    }
    return program;
}

// A uniform of the program in use with the value it was last given: an unchanged value is
// not sent again.
template <int N>
struct UniformF {
    GLint location = -1;
    std::array<float, N> value{};
    bool known = false;

    void Set(const float* v) {
        if (known && std::memcmp(value.data(), v, sizeof value) == 0) {
            return;
        }
        std::memcpy(value.data(), v, sizeof value);
        known = true;
        if constexpr (N == 16) {
            glUniformMatrix4fv(location, 1, GL_FALSE, v);
        } else if constexpr (N == 4) {
            glUniform4fv(location, 1, v);
        } else if constexpr (N == 3) {
            glUniform3fv(location, 1, v);
        } else {
            static_assert(N == 2);
            glUniform2fv(location, 1, v);
        }
    }
};

struct UniformI {
    GLint location = -1;
    GLint value = 0;
    bool known = false;

    void Set(GLint v) {
        if (!known || value != v) {
            glUniform1i(location, v);
            value = v;
            known = true;
        }
    }
};

std::array<float, 4> ColorFloats(const d3dx::D3DCOLORVALUE& c) {
    return {c.r, c.g, c.b, c.a};
}

std::array<float, 4> ColorFloats(D3DCOLOR c) {
    return {static_cast<float>((c >> 16) & 0xFF) / 255.0f,
            static_cast<float>((c >> 8) & 0xFF) / 255.0f, static_cast<float>(c & 0xFF) / 255.0f,
            static_cast<float>(c >> 24) / 255.0f};
}

struct Program3D {
    GLuint id = 0;
    UniformF<16> world, wvp;
    UniformI lighting, lightOn, hasColor, hasTexture, colorOp, alphaOp;
    UniformF<4> matDiffuse, matAmbient, matEmissive, ambientLight, lightDiffuse, lightAmbient;
    UniformF<3> toLight;

    bool Make(const char* prelude) {
        id = Link(prelude, kVertex3D, kFragment3D);
        if (!id) {
            return false;
        }
        auto at = [&](const char* name) { return glGetUniformLocation(id, name); };
        world.location = at("uWorld");
        wvp.location = at("uWorldViewProjection");
        lighting.location = at("uLighting");
        lightOn.location = at("uLightOn");
        hasColor.location = at("uHasColor");
        matDiffuse.location = at("uMaterialDiffuse");
        matAmbient.location = at("uMaterialAmbient");
        matEmissive.location = at("uMaterialEmissive");
        ambientLight.location = at("uAmbientLight");
        lightDiffuse.location = at("uLightDiffuse");
        lightAmbient.location = at("uLightAmbient");
        toLight.location = at("uToLight");
        hasTexture.location = at("uHasTexture");
        colorOp.location = at("uColorOp");
        alphaOp.location = at("uAlphaOp");
        // Every program samples texture unit 0.
        glUseProgram(id);
        glUniform1i(at("uTexture"), 0);
        return true;
    }
};

// A vertex buffer written at increasing offsets within a frame, so that no write waits for
// (or forces) the drawing of what an earlier draw call took from it; when full it gets fresh
// storage, the driver keeping the old one for as long as pending draws read it.
struct StreamBuffer {
    GLuint name = 0;
    std::size_t size = 0;
    std::size_t used = 0;

    // Copies bytes into the buffer bound to target at an offset that is a multiple of align;
    // returns that offset.
    std::size_t Write(GLenum target, const void* data, std::size_t bytes, std::size_t align) {
        glBindBuffer(target, name);
        std::size_t offset = (used + align - 1) / align * align;
        if (offset + bytes > size) {
            size = std::max({bytes, size, kInitialSize});
            glBufferData(target, static_cast<GLsizeiptr>(size), nullptr, GL_STREAM_DRAW);
            offset = 0;
        }
        void* target_memory = glMapBufferRange(
            target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
            GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
        if (target_memory) {
            std::memcpy(target_memory, data, bytes);
            glUnmapBuffer(target);
        } else {
            glBufferSubData(target, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                            data);
        }
        used = offset + bytes;
        return offset;
    }
    static constexpr std::size_t kInitialSize = 64 * 1024;
};

// A subset's run of indices in a mesh's index buffer (faces sorted by subset).
struct SubsetRange {
    std::uint32_t attribId = 0;
    std::uint32_t first = 0;                // index offset
    std::uint32_t count = 0;                // indices
    std::uint32_t lowest = 0, highest = 0;  // vertex indices the run uses
};

// GL buffers of one mesh, with what identifies the mesh contents they were made from.
struct MeshBuffers {
    const Mesh* mesh = nullptr;
    const void* vertices = nullptr;
    std::size_t vertexCount = 0;
    const void* indices = nullptr;
    std::size_t indexCount = 0;
    const void* attributes = nullptr;
    std::uint64_t hash = 0;
    GLuint vao = 0, vbo = 0, ibo = 0;
    std::vector<SubsetRange> ranges;

    void Release() {
        glDeleteVertexArrays(1, &vao);
        glDeleteBuffers(1, &vbo);
        glDeleteBuffers(1, &ibo);
        vao = vbo = ibo = 0;
    }
};

std::uint64_t Hash(const void* data, std::size_t size, std::uint64_t h) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        h = (h ^ bytes[i]) * 1099511628211ull;
    }
    return h;
}

std::uint64_t MeshHash(const Mesh& mesh) {
    std::uint64_t h = 14695981039346656037ull;
    h = Hash(&mesh.fvf, sizeof mesh.fvf, h);
    h = Hash(mesh.vertices.data(), mesh.vertices.size() * sizeof(MeshVertex), h);
    h = Hash(mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t), h);
    return Hash(mesh.attributes.data(), mesh.attributes.size() * sizeof(std::uint32_t), h);
}

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

// Uploads width x height 0xAARRGGBB words (B, G, R, A bytes in memory) into the texture, made
// when 0. The first row given is v = 0.
GLuint UploadPicture(const std::uint32_t* pixels, int width, int height, GLuint texture) {
    if (!texture) {
        glGenTextures(1, &texture);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return texture;
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

// Texture sampling modes, as sampler objects (texture objects keep their own defaults).
enum Sampling { kLinearRepeat, kLinearClamp, kNearestClamp, kSamplings };

struct GlState {
    GLuint fbo = 0, color = 0, depth = 0;
    Program3D smooth, flat;
    GLuint program2D = 0;
    UniformI coverage2D;
    std::array<GLuint, kSamplings> samplers{};
    GLuint listVao = 0;
    StreamBuffer listVertices, listIndices;
    GLuint vao2D = 0;
    StreamBuffer vertices2D;
    // The background picture, its rows bottom first so that a plain framebuffer copy puts it
    // upright, read through a framebuffer of its own.
    GLuint background = 0, backgroundFbo = 0;
    int backgroundWidth = 0, backgroundHeight = 0;
    std::vector<std::uint32_t> backgroundPixels;  // the picture the texture was made from
    std::vector<MeshBuffers> meshes;              // meshes drawn and not forgotten
    std::vector<MeshBuffers> retired;  // forgotten meshes, kept for an identical successor
};

namespace {
constexpr std::size_t kRetiredMeshes = 16;
}

GlDevice::GlDevice(int width, int height)
    : gfx::Device(width, height), gl_(std::make_unique<GlState>()) {}

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

bool GlDevice::Init() {
    GlState& s = *gl_;
    glGenFramebuffers(1, &s.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glGenRenderbuffers(1, &s.color);
    glBindRenderbuffer(GL_RENDERBUFFER, s.color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, backWidth_, backHeight_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, s.color);
    glGenRenderbuffers(1, &s.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, s.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, backWidth_, backHeight_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              s.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return false;
    }
    if (!s.smooth.Make("#define SHADING smooth\n") || !s.flat.Make("#define SHADING flat\n")) {
        return false;
    }
    s.program2D = Link("", kVertex2D, kFragment2D);
    if (!s.program2D) {
        return false;
    }
    glUseProgram(s.program2D);
    glUniform2f(glGetUniformLocation(s.program2D, "uTargetSize"), static_cast<float>(backWidth_),
                static_cast<float>(backHeight_));
    glUniform1i(glGetUniformLocation(s.program2D, "uTexture"), 0);
    s.coverage2D.location = glGetUniformLocation(s.program2D, "uCoverage");

    glGenSamplers(kSamplings, s.samplers.data());
    const std::array<std::pair<GLint, GLint>, kSamplings> sampling = {
        {{GL_LINEAR, GL_REPEAT}, {GL_LINEAR, GL_CLAMP_TO_EDGE}, {GL_NEAREST, GL_CLAMP_TO_EDGE}}};
    for (int i = 0; i < kSamplings; ++i) {
        const auto [filter, wrap] = sampling[static_cast<std::size_t>(i)];
        const GLuint sampler = s.samplers[static_cast<std::size_t>(i)];
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, filter);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap);
    }
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
    glDeleteSamplers(kSamplings, s.samplers.data());
    glDeleteFramebuffers(1, &s.backgroundFbo);
    glDeleteTextures(1, &s.background);
    glDeleteProgram(s.smooth.id);
    glDeleteProgram(s.flat.id);
    glDeleteProgram(s.program2D);
    const GLuint renderbuffers[] = {s.color, s.depth};
    glDeleteRenderbuffers(2, renderbuffers);
    glDeleteFramebuffers(1, &s.fbo);
}

unsigned GlDevice::Framebuffer() const {
    return gl_->fbo;
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
    into->width = backWidth_;
    into->height = backHeight_;
    const auto row = static_cast<std::size_t>(backWidth_);
    into->pixels.resize(row * static_cast<std::size_t>(backHeight_));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gl_->fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, backWidth_, backHeight_, GL_BGRA, GL_UNSIGNED_BYTE, into->pixels.data());
    // GL's rows run from the bottom.
    std::uint32_t* pixels = into->pixels.data();
    for (int y = 0; y < backHeight_ / 2; ++y) {
        std::swap_ranges(pixels + row * static_cast<std::size_t>(y),
                         pixels + row * static_cast<std::size_t>(y + 1),
                         pixels + row * static_cast<std::size_t>(backHeight_ - 1 - y));
    }
}

void GlDevice::Clear(D3DCOLOR color, float depth) {
    glBindFramebuffer(GL_FRAMEBUFFER, gl_->fbo);
    glViewport(0, 0, backWidth_, backHeight_);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(color & 0xFF) / 255.0f,
                 static_cast<float>(color >> 24) / 255.0f);
    glClearDepth(depth);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

bool GlDevice::BeginScene() {
    glBindFramebuffer(GL_FRAMEBUFFER, gl_->fbo);
    glViewport(0, 0, backWidth_, backHeight_);
    return true;
}

bool GlDevice::EndScene() {
    return true;
}

bool GlDevice::Present() {
    // Whatever the hook does in this context must not change what our vertex arrays hold.
    glBindVertexArray(0);
    if (presentHook_) {
        presentHook_(gl_->fbo, backWidth_, backHeight_);
    } else {
        glFlush();
    }
    return true;
}

bool GlDevice::CopyToBackBuffer(const Image& picture) {
    if (picture.Empty() || picture.width > backWidth_ || picture.height > backHeight_ ||
        picture.pixels.size() <
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return false;
    }
    GlState& s = *gl_;
    const std::size_t count =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    // The picture usually is the same every frame: upload it only when it changed.
    const bool same = s.background && s.backgroundWidth == picture.width &&
                      s.backgroundHeight == picture.height &&
                      std::memcmp(s.backgroundPixels.data(), picture.pixels.data(),
                                  count * sizeof(std::uint32_t)) == 0;
    if (!same) {
        s.backgroundPixels.assign(picture.pixels.begin(),
                                  picture.pixels.begin() + static_cast<std::ptrdiff_t>(count));
        // Bottom row first, and opaque: the back buffer has no alpha channel of its own.
        std::vector<std::uint32_t> rows(count);
        const auto width = static_cast<std::size_t>(picture.width);
        for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y) {
            const std::uint32_t* from =
                picture.pixels.data() + (static_cast<std::size_t>(picture.height) - 1 - y) * width;
            std::uint32_t* to = rows.data() + y * width;
            for (std::size_t x = 0; x < width; ++x) {
                to[x] = from[x] | 0xFF000000u;
            }
        }
        s.background = UploadPicture(rows.data(), picture.width, picture.height, s.background);
        s.backgroundWidth = picture.width;
        s.backgroundHeight = picture.height;
        if (!s.backgroundFbo) {
            glGenFramebuffers(1, &s.backgroundFbo);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, s.backgroundFbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s.background,
                               0);
    }
    // A copy without scaling or blending: the picture's pixels land unchanged.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.backgroundFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.fbo);
    const int top = backHeight_ - picture.height;  // GL counts rows from the bottom
    glBlitFramebuffer(0, 0, picture.width, picture.height, 0, top, picture.width,
                      top + picture.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    return true;
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
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glViewport(0, 0, backWidth_, backHeight_);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    ApplyBlend(blend);
    glUseProgram(s.program2D);
    s.coverage2D.Set(kind == Quads2D::Coverage ? 1 : 0);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Glyph coverage is read texel for texel.
    glBindSampler(0, s.samplers[kind == Quads2D::Picture && linear ? kLinearClamp : kNearestClamp]);
    glBindVertexArray(s.vao2D);
    const std::size_t offset =
        s.vertices2D.Write(GL_ARRAY_BUFFER, quads.data(), quads.size_bytes(), sizeof(Vertex2D));
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(offset / sizeof(Vertex2D)),
                 static_cast<GLsizei>(quads.size()));
}

void GlDevice::ApplyFixedState(bool hasNormals, bool hasColor) {
    GlState& s = *gl_;
    glBindFramebuffer(GL_FRAMEBUFFER, s.fbo);
    glViewport(0, 0, backWidth_, backHeight_);
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
    glBindTexture(GL_TEXTURE_2D, texture ? texture->Id() : 0);
    glBindSampler(0, s.samplers[kLinearRepeat]);

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

namespace {

bool Matches(const MeshBuffers& b, const Mesh& mesh) {
    return b.vertices == mesh.vertices.data() && b.vertexCount == mesh.vertices.size() &&
           b.indices == mesh.indices.data() && b.indexCount == mesh.indices.size() &&
           b.attributes == mesh.attributes.data();
}

void Identify(MeshBuffers* b, const Mesh& mesh) {
    b->mesh = &mesh;
    b->vertices = mesh.vertices.data();
    b->vertexCount = mesh.vertices.size();
    b->indices = mesh.indices.data();
    b->indexCount = mesh.indices.size();
    b->attributes = mesh.attributes.data();
}

// New GL buffers for the mesh, faces grouped by subset; false for a malformed mesh.
bool Upload(const Mesh& mesh, MeshBuffers* b) {
    const std::size_t faces = std::min(mesh.indices.size() / 3, mesh.attributes.size());
    for (std::size_t i = 0; i < faces * 3; ++i) {
        if (mesh.indices[i] >= mesh.vertices.size()) {
            return false;
        }
    }
    std::vector<std::uint32_t> order(faces);
    for (std::size_t f = 0; f < faces; ++f) {
        order[f] = static_cast<std::uint32_t>(f);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t c) {
        return mesh.attributes[a] < mesh.attributes[c];
    });
    std::vector<std::uint32_t> sorted;
    sorted.reserve(faces * 3);
    b->ranges.clear();
    for (std::uint32_t f : order) {
        const std::uint32_t attrib = mesh.attributes[f];
        if (b->ranges.empty() || b->ranges.back().attribId != attrib) {
            const std::uint32_t first = mesh.indices[f * 3];
            b->ranges.push_back(
                {attrib, static_cast<std::uint32_t>(sorted.size()), 0, first, first});
        }
        SubsetRange& range = b->ranges.back();
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t index = mesh.indices[f * 3 + static_cast<std::size_t>(k)];
            sorted.push_back(index);
            range.lowest = std::min(range.lowest, index);
            range.highest = std::max(range.highest, index);
        }
        range.count += 3;
    }
    glGenVertexArrays(1, &b->vao);
    glBindVertexArray(b->vao);
    glGenBuffers(1, &b->vbo);
    glBindBuffer(GL_ARRAY_BUFFER, b->vbo);
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &b->ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b->ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sorted.size() * sizeof(std::uint32_t)), sorted.data(),
                 GL_STATIC_DRAW);
    constexpr GLsizei stride = sizeof(MeshVertex);
    glEnableVertexAttribArray(kPosition);
    glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, position)));
    if (mesh.fvf & d3dx::D3DFVF_NORMAL) {
        glEnableVertexAttribArray(kNormal);
        glVertexAttribPointer(kNormal, 3, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(MeshVertex, normal)));
    }
    glEnableVertexAttribArray(kColor);
    glVertexAttribPointer(kColor, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, color)));
    glEnableVertexAttribArray(kUv);
    glVertexAttribPointer(kUv, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, u)));
    glBindVertexArray(0);
    return true;
}

}  // namespace

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
    if (picture.Empty() || picture.pixels.size() < static_cast<std::size_t>(picture.width) *
                                                       static_cast<std::size_t>(picture.height)) {
        return nullptr;
    }
    // The top row is v = 0, as in Direct3D.
    const GLuint id = UploadPicture(picture.pixels.data(), picture.width, picture.height, 0);
    return std::make_unique<GlTexture>(id, picture.width, picture.height);
}

std::unique_ptr<gfx::Sprite> GlDevice::CreateSprite() {
    return std::make_unique<GlSprite>(this);
}

std::unique_ptr<gfx::Font> GlDevice::CreateFont(const gfx::FontDesc& desc) {
    FontFace* face = fonts_ ? fonts_->Get(desc) : nullptr;
    if (!face) {
        return nullptr;
    }
    return std::make_unique<GlFont>(this, face);
}

void BlitToFramebuffer(const GlDevice& device, unsigned target, int targetHeight, int x, int top) {
    const int w = device.BackBufferWidth(), h = device.BackBufferHeight();
    const int bottom = targetHeight - top - h;  // GL counts rows from the bottom
    glBindFramebuffer(GL_READ_FRAMEBUFFER, device.Framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glBlitFramebuffer(0, 0, w, h, x, bottom, x + w, bottom + h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, device.Framebuffer());
}

std::unique_ptr<gfx::Device> GlFactory::CreateDevice(gfx::DeviceType,
                                                     const gfx::DeviceParams& params) {
    return GlDevice::Create(params.width, params.height);
}

}  // namespace platform::gl
