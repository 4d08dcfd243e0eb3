// How pictures (0xAARRGGBB words: B, G, R, A bytes in memory) are kept in GL textures.
#pragma once

#include <GL/glcorearb.h>

namespace platform::gl {

// Unsized, so that the driver may keep the given byte order, which is a window's. A software
// rasteriser then copies such a texture into a window's back buffer as plain memory, when
// the copy also turns the rows over (textures count rows from the bottom, window buffers
// are kept top row first): about twenty times cheaper than the per-pixel copy it makes of a
// sized RGBA8 texture.
inline constexpr GLint kPictureInternalFormat = GL_RGBA;
inline constexpr GLenum kPictureFormat = GL_BGRA;

}  // namespace platform::gl
