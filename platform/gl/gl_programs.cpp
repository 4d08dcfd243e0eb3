#include "platform/gl/gl_programs.h"

namespace platform::gl {
namespace {

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

}  // namespace

bool Program3D::Make(const char* prelude) {
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

GLuint MakeProgram2D() {
    return Link("", kVertex2D, kFragment2D);
}

}  // namespace platform::gl
