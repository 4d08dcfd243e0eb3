// Scalable pictures: a mesh drawn as flat-shaded SVG polygons, far ones first.
#pragma once

#include <string>

#include "tools/datagen/mesh.h"

namespace datagen {

// The mesh seen as RenderMesh sees it (orthographic), in a size x size SVG document.
std::string MeshSvg(const Mesh& mesh, int size, double yaw, double pitch, double zoom);

}  // namespace datagen
