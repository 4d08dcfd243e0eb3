#include "platform/gl/gl_buffers.h"

#include <algorithm>
#include <cstring>

#include "platform/gl/gl_programs.h"
#include "platform/gl/picture_format.h"

namespace platform::gl {

using d3dx::MeshVertex;

namespace {

std::uint64_t Hash(const void* data, std::size_t size, std::uint64_t h) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        h = (h ^ bytes[i]) * 1099511628211ull;
    }
    return h;
}

}  // namespace

std::size_t StreamBuffer::Write(GLenum target, const void* data, std::size_t bytes,
                                std::size_t align) {
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

void MeshBuffers::Release() {
    glDeleteVertexArrays(1, &vao);
    glDeleteBuffers(1, &vbo);
    glDeleteBuffers(1, &ibo);
    vao = vbo = ibo = 0;
}

std::uint64_t MeshHash(const Mesh& mesh) {
    std::uint64_t h = 14695981039346656037ull;
    h = Hash(&mesh.fvf, sizeof mesh.fvf, h);
    h = Hash(mesh.vertices.data(), mesh.vertices.size() * sizeof(MeshVertex), h);
    h = Hash(mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t), h);
    return Hash(mesh.attributes.data(), mesh.attributes.size() * sizeof(std::uint32_t), h);
}

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

GLuint StoreTexture(GLuint texture, GLint internalFormat, int width, int height, GLenum format,
                    int alignment, const void* pixels) {
    if (!texture) {
        glGenTextures(1, &texture);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE,
                 pixels);
    return texture;
}

GLuint UploadPicture(const std::uint32_t* pixels, int width, int height, GLuint texture) {
    return StoreTexture(texture, kPictureInternalFormat, width, height, kPictureFormat, 4, pixels);
}

GLuint FramebufferOf(GLuint texture, GLuint framebuffer) {
    if (framebuffer == 0) {
        glGenFramebuffers(1, &framebuffer);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return framebuffer;
}

}  // namespace platform::gl
