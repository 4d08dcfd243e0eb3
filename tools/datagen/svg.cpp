#include "tools/datagen/svg.h"

#include <algorithm>
#include <cstdio>

#include "tools/datagen/image.h"

namespace datagen {
namespace {

int Channel(float c) {
    return static_cast<int>(std::clamp(c, 0.0f, 1.0f) * 255.0f + 0.5f);
}

}  // namespace

std::string MeshSvg(const Mesh& mesh, int size, double yaw, double pitch, double zoom) {
    std::vector<ShadedTriangle> tris = ProjectMesh(mesh, size, size, yaw, pitch, 0.0, zoom);
    auto depth = [](const ShadedTriangle& t) { return t.z[0] + t.z[1] + t.z[2]; };
    std::stable_sort(
        tris.begin(), tris.end(),
        [&](const ShadedTriangle& a, const ShadedTriangle& b) { return depth(a) > depth(b); });
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                  "viewBox=\"0 0 %d %d\">\n",
                  size, size, size, size);
    std::string svg = buf;
    for (const ShadedTriangle& t : tris) {
        const float r = (t.shade[0].r + t.shade[1].r + t.shade[2].r) / 3;
        const float g = (t.shade[0].g + t.shade[1].g + t.shade[2].g) / 3;
        const float b = (t.shade[0].b + t.shade[1].b + t.shade[2].b) / 3;
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", Channel(r), Channel(g), Channel(b));
        // A thin outline of the same colour closes the hairline seams between neighbours.
        std::snprintf(buf, sizeof buf,
                      "<path d=\"M%.2f %.2fL%.2f %.2fL%.2f %.2fZ\" fill=\"%s\" stroke=\"%s\" "
                      "stroke-width=\"0.4\" stroke-linejoin=\"round\"/>\n",
                      t.sx[0], t.sy[0], t.sx[1], t.sy[1], t.sx[2], t.sy[2], colour, colour);
        svg += buf;
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace datagen
