// Extruded 3D text meshes: glyph outlines of a font face, flattened, filled front and back
// and joined by side walls.
#pragma once

#include <string>
#include <string_view>

#include "platform/d3dx/mesh.h"

namespace platform::d3dx {

struct TextMeshFont {
    std::string face;  // a face name as Windows programs give it ("Arial", "Tahoma", ...)
    bool bold = false;
    bool italic = false;
};

// Builds the mesh of text in em units (1.0 = the font's em): the baseline at y 0, the first
// glyph's origin at x 0, advancing along +x; the front face lies in the plane z 0 facing -z,
// the back face at z = extrusion facing +z; side walls have outward normals, smoothed where
// the outline bends by less than 45 degrees. Curves are flattened to at most deviation
// (em units; 0 or less means 0.001) from the outline. The vertex format is position + normal;
// every face has attribute 0. A face name the system lacks gets its substitute font. Text
// without any outline (empty, spaces) gives a mesh without faces and succeeds. Fails when
// no font file or no scalable outline can be had.
MeshResult D3DXCreateText(const TextMeshFont& font, std::wstring_view text, float deviation,
                          float extrusion, Mesh* out);

}  // namespace platform::d3dx
