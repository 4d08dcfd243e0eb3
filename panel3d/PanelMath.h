// The placement maths of the panel's frame, kept free of any device so that it can be checked
// on its own: projection aspect, object world matrices and world boxes, sprite-cell cut-outs,
// label rectangles, 3D text scale and material colours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "panel3d/SceneRecords.h"
#include "platform/d3dx/d3dx_math.h"
#include "platform/d3dx/mesh.h"
#include "platform/wintypes.h"

namespace TekuUtility {

using platform::RECT;
using platform::d3dx::D3DMATERIAL9;
using platform::d3dx::D3DXMATRIX;
using platform::d3dx::D3DXVECTOR3;

inline constexpr float kDegreesToRadians = 0.017453292f;
inline constexpr float kFieldOfView = 0.7853982f;
inline constexpr float kNearPlaneZ = 1.0f;
inline constexpr float kFarPlaneZ = 500.0f;

// Width / height as an integer quotient (1 for 640 x 480), never below 1 so that a panel
// taller than wide or of zero height still gets a usable projection.
float ProjectionAspect(int width, int height);
D3DXMATRIX ProjectionMatrix(int width, int height);

// The scene-wide world transform: RotationYawPitchRoll x Translation.
D3DXMATRIX SceneWorld(double yaw, double pitch, double roll, double tx, double ty, double tz);
// W = S x R x T of a mesh object, R its heading in degrees about Y.
D3DXMATRIX ObjectWorld(const D3DXMATRIX& scene, const MeshObject& object);
// The world box of four corners of a local box transformed by W: (min), (minX, minY, maxZ),
// (max), (maxX, maxY, minZ).
MeshObject::Bounds WorldBounds(const D3DXVECTOR3& localMin, const D3DXVECTOR3& localMax,
                               const D3DXMATRIX& world);

// Where a sprite cell's band is cut from the sheet and drawn.
struct SpriteCellPlacement {
    float sx = 1, sy = 1;  // the sprite's scaling
    RECT source;           // texels of the sheet
    D3DXVECTOR3 position;  // before the scaling
};
// Nothing when the sheet or the cell has no size (the scaling would be undefined).
std::optional<SpriteCellPlacement> PlaceSpriteCell(const SpriteCell& cell, int sheetWidth,
                                                   int sheetHeight);

// The rectangle a label is measured from: (x, y) to (x + 100, y + height).
RECT LabelRectangle(const TextLabel& label);

// The part of a label's text that can show on a panel of the given size: nothing when the
// label starts below or right of the panel; otherwise each line cut to the pixels left on its
// right (no glyph is narrower than a pixel) and no more lines than pixel rows below it. A
// table of millions of lines or one line of megabytes then costs what the panel shows. The
// result views the label's text, or scratch when lines had to be cut.
std::string_view LabelTextInPanel(const TextLabel& label, int panelWidth, int panelHeight,
                                  std::string* scratch);

// Uniform scale of a 3D text mesh: size / 44.
float Text3DScale(std::int32_t size);
// Diffuse and ambient from the COLORREF bytes / 255 with alpha 1; the rest zero.
D3DMATERIAL9 MaterialFromColorRef(platform::COLORREF color);
// A COLORREF as an opaque D3DCOLOR.
platform::D3DCOLOR OpaqueColor(platform::COLORREF color);

}  // namespace TekuUtility
