// GL storage of the device: streamed vertex lists, the buffers kept per mesh (with what
// identifies the mesh contents they were made from) and texture uploads.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/d3dx/mesh.h"

namespace platform::gl {

using d3dx::Mesh;

// A vertex buffer written at increasing offsets within a frame, so that no write waits for
// (or forces) the drawing of what an earlier draw call took from it; when full it gets fresh
// storage, the driver keeping the old one for as long as pending draws read it.
struct StreamBuffer {
    GLuint name = 0;
    std::size_t size = 0;
    std::size_t used = 0;

    // Copies bytes into the buffer bound to target at an offset that is a multiple of align;
    // returns that offset.
    std::size_t Write(GLenum target, const void* data, std::size_t bytes, std::size_t align);
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

    void Release();
};

// A hash of the mesh's contents (format, vertices, indices, subsets).
std::uint64_t MeshHash(const Mesh& mesh);
// Whether the buffers were made from this mesh's current storage.
bool Matches(const MeshBuffers& b, const Mesh& mesh);
// Records the mesh's storage as what the buffers stand for.
void Identify(MeshBuffers* b, const Mesh& mesh);
// New GL buffers for the mesh, faces grouped by subset; false for a malformed mesh.
bool Upload(const Mesh& mesh, MeshBuffers* b);

// Stores width x height texels (rows of `alignment`-aligned bytes, first row v = 0) in the
// texture, made when 0, and leaves it bound to GL_TEXTURE_2D. Filtering and wrapping come
// from the sampler bound at drawing time. Returns the texture.
GLuint StoreTexture(GLuint texture, GLint internalFormat, int width, int height, GLenum format,
                    int alignment, const void* pixels);

// Uploads width x height 0xAARRGGBB words (B, G, R, A bytes in memory) into the texture, made
// when 0, in the byte order of picture_format.h. The first row given is v = 0.
GLuint UploadPicture(const std::uint32_t* pixels, int width, int height, GLuint texture);

// Makes `framebuffer` (made when 0) read and draw all of `texture`, and leaves it bound.
GLuint FramebufferOf(GLuint texture, GLuint framebuffer);

}  // namespace platform::gl
