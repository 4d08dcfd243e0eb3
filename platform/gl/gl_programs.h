// The GL programs of the device: the fixed-function pipeline done in shaders (one program
// per shading mode) and the program for 2D quads, with the uniforms they are driven through.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <array>
#include <cstring>

#include "platform/d3dx/mesh.h"
#include "platform/wintypes.h"

namespace platform::gl {

// Vertex attribute slots shared by every program.
constexpr GLuint kPosition = 0, kNormal = 1, kColor = 2, kUv = 3;

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

inline std::array<float, 4> ColorFloats(const d3dx::D3DCOLORVALUE& c) {
    return {c.r, c.g, c.b, c.a};
}

inline std::array<float, 4> ColorFloats(D3DCOLOR c) {
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

    // Compiles and links the fixed-function program with the prelude (the shading mode).
    bool Make(const char* prelude);
};

// The 2D program: quads in back-buffer pixels, pictures or glyph coverage. 0 on failure.
GLuint MakeProgram2D();

}  // namespace platform::gl
