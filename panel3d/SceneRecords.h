// The scene of the 3D panel: plain value records kept in seven ordered lists. Callers build
// lists, hand them to the panel in one setScene, then edit the records in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/wintypes.h"

namespace TekuUtility {

using platform::COLORREF;
using platform::D3DCOLOR;

// One placed instance of a mesh loaded from a .x file.
struct MeshObject {
    std::int32_t id = 0;
    std::int32_t tag = 3002;
    double x = 0, y = 0, z = 0;
    std::int32_t angle = 0;  // heading in whole degrees, about the object's own Y axis
    std::int32_t frame = 0;  // index into meshFiles of the mesh drawn now
    std::vector<std::string> meshFiles;
    bool visible = true;
    bool lit = false;
    // World box written by the panel each time the object is drawn; stale while hidden.
    struct Bounds {
        double minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
    } bounds;
    std::int32_t userValue = 0;  // game data; the game keeps a float's bits here
    std::int32_t hitCount = 0;
    platform::Ticks lastHitTime = platform::MonotonicNow();
    bool userFlag = false;

    MeshObject() = default;
    // A record at (x, y, z) with id 1 drawing the given files.
    MeshObject(double x_, double y_, double z_, std::vector<std::string> files)
        : id(1), x(x_), y(y_), z(z_), meshFiles(std::move(files)) {}
};

// 2D text in pixels from the panel's top-left corner.
struct TextLabel {
    std::string text;
    std::int32_t height = 12;
    std::string fontFace = "Tahoma";
    bool bold = false;
    bool italic = false;
    std::int32_t x = 0, y = 0;
    bool visible = true;
    D3DCOLOR color = 0;  // 0xAARRGGBB; 0 is fully transparent
};

// Extruded 3D text placed in the scene, scaled by size / 44.
struct Text3D {
    std::string text;
    std::int32_t size = 0;
    std::string fontFace;
    bool bold = false;
    bool italic = false;
    double x = 0, y = 0, z = 0;
    bool visible = true;
    COLORREF color = 0;

    Text3D() = default;
    Text3D(std::string text_, std::int32_t size_, std::string face, bool bold_, bool italic_,
           double x_, double y_, double z_, COLORREF color_)
        : text(std::move(text_)),
          size(size_),
          fontFace(std::move(face)),
          bold(bold_),
          italic(italic_),
          x(x_),
          y(y_),
          z(z_),
          color(color_) {}
};

// One horizontal band of the panel's sprite sheet, drawn at (x, y) in pixels.
struct SpriteCell {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t row = 0;
    std::int32_t row2 = 0;  // callers' copy of row; not read by the panel
    std::int32_t lastRow = 0;
    std::int32_t x = 0, y = 0;
    std::int32_t reserved = 0;
};

struct Vertex3 {
    double x = 0, y = 0, z = 0;
};

// A flat triangle: a wall when id is 0, a trigger reporting id otherwise.
struct SceneTriangle {
    std::int32_t id = 0;
    std::int32_t tag = 0;
    Vertex3 v1, v2, v3;
    COLORREF color = 0;
    std::int32_t textureResourceId = 0;
    std::string textureFile;
    bool inView = false;  // written by the panel every frame
};

// A flat quad drawn as triangles (1,2,3) and (4,2,1): a wall when tag is 1000, a trigger
// reporting tag otherwise.
struct SceneQuad {
    std::int32_t id = 0;
    std::int32_t tag = 0;
    Vertex3 v1, v2, v3, v4;
    COLORREF color = 0;
    std::int32_t textureResourceId = 0;
    std::string textureFile;
    bool inView = false;
};

struct PolygonVertex {
    double x = 0, y = 0, z = 0;
    COLORREF color = 0;
    float u = 0, v = 0;
};

// A free-form mesh given by explicit vertices and indices; no collision.
struct PolygonMesh {
    std::int32_t id = 0;
    std::int32_t tag = 0;
    std::int32_t faceCount = 0;
    std::vector<PolygonVertex> vertices;
    std::vector<std::uint16_t> indices;  // empty: vertices taken in order
    double x = 0, y = 0, z = 0;
    std::int32_t reserved = 0;
    std::int32_t textureResourceId = 0;
    std::string textureFile;
    bool visible = true;
};

// The seven lists of a scene, in member order.
struct SceneLists {
    std::vector<SceneTriangle> triangles;
    std::vector<SceneQuad> quads;
    std::vector<SpriteCell> spriteCells;
    std::vector<MeshObject> meshObjects;
    std::vector<TextLabel> textLabels;
    std::vector<Text3D> texts3D;
    std::vector<PolygonMesh> polygonMeshes;
};

// Index of the first record whose id equals the given one, or -1: a linear scan from the
// start, first match wins.
template <typename Record>
int FindIndexById(const std::vector<Record>& list, std::int32_t id) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace TekuUtility
