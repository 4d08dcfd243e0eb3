#include "panel3d/PanelMath.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace TekuUtility {

using namespace platform::d3dx;

float ProjectionAspect(int width, int height) {
    const int quotient = height > 0 ? width / height : width;
    return static_cast<float>(std::max(quotient, 1));
}

D3DXMATRIX ProjectionMatrix(int width, int height) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, kFieldOfView, ProjectionAspect(width, height), kNearPlaneZ,
                               kFarPlaneZ);
    return m;
}

D3DXMATRIX SceneWorld(double yaw, double pitch, double roll, double tx, double ty, double tz) {
    D3DXMATRIX r, t, w;
    D3DXMatrixRotationYawPitchRoll(&r, static_cast<float>(yaw), static_cast<float>(pitch),
                                   static_cast<float>(roll));
    D3DXMatrixTranslation(&t, static_cast<float>(tx), static_cast<float>(ty),
                          static_cast<float>(tz));
    D3DXMatrixMultiply(&w, &r, &t);
    return w;
}

D3DXMATRIX ObjectWorld(const D3DXMATRIX& scene, const MeshObject& object) {
    D3DXMATRIX r, w;
    D3DXMatrixRotationYawPitchRoll(&r, static_cast<float>(object.angle) * kDegreesToRadians, 0, 0);
    const D3DXMATRIX t = TranslationTo(object);
    D3DXMatrixMultiply(&w, &scene, &r);
    D3DXMatrixMultiply(&w, &w, &t);
    return w;
}

MeshObject::Bounds WorldBounds(const D3DXVECTOR3& lo, const D3DXVECTOR3& hi,
                               const D3DXMATRIX& world) {
    const D3DXVECTOR3 corners[4] = {
        {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}};
    MeshObject::Bounds b;
    for (int i = 0; i < 4; ++i) {
        D3DXVECTOR3 p;
        D3DXVec3TransformCoord(&p, &corners[i], &world);
        if (i == 0) {
            b = {p.x, p.y, p.z, p.x, p.y, p.z};
            continue;
        }
        b.minX = std::min<double>(b.minX, p.x);
        b.minY = std::min<double>(b.minY, p.y);
        b.minZ = std::min<double>(b.minZ, p.z);
        b.maxX = std::max<double>(b.maxX, p.x);
        b.maxY = std::max<double>(b.maxY, p.y);
        b.maxZ = std::max<double>(b.maxZ, p.z);
    }
    return b;
}

std::optional<SpriteCellPlacement> PlaceSpriteCell(const SpriteCell& cell, int sheetWidth,
                                                   int sheetHeight) {
    if (sheetWidth <= 0 || sheetHeight <= 0 || cell.width <= 0 || cell.height <= 0 ||
        cell.lastRow < 0) {
        return std::nullopt;
    }
    SpriteCellPlacement p;
    p.sx = static_cast<float>(cell.width) / static_cast<float>(sheetWidth);
    p.sy = static_cast<float>(cell.lastRow + 1) * static_cast<float>(cell.height) /
           static_cast<float>(sheetHeight);
    const float top = static_cast<float>(cell.row) * static_cast<float>(cell.height) / p.sy;
    const float right = static_cast<float>(cell.width) / p.sx;
    const float bandHeight = static_cast<float>(cell.height) / p.sy;
    // Values beyond the range of a rectangle edge mean a cell far outside any sheet.
    constexpr float kLimit = 1e9f;
    if (!(std::fabs(top) < kLimit && right < kLimit && bandHeight < kLimit)) {
        return std::nullopt;
    }
    p.source.left = 0;
    p.source.top = static_cast<platform::LONG>(top);
    p.source.right = static_cast<platform::LONG>(right);
    p.source.bottom = static_cast<platform::LONG>(static_cast<float>(p.source.top) + bandHeight);
    p.position = {static_cast<float>(cell.x) / p.sx, static_cast<float>(cell.y) / p.sy, 0};
    return p;
}

RECT LabelRectangle(const TextLabel& label) {
    return {label.x, label.y, label.x + 100, label.y + label.height};
}

std::string_view LabelTextInPanel(const TextLabel& label, int panelWidth, int panelHeight,
                                  std::string* scratch) {
    if (label.x >= panelWidth || label.y >= panelHeight) {
        return {};
    }
    const auto lineLimit = static_cast<std::size_t>(std::int64_t{panelWidth} - label.x);
    const auto lineCount = static_cast<std::size_t>(std::int64_t{panelHeight} - label.y);
    const std::string_view text = label.text;
    if (text.size() <= lineLimit) {
        return text;  // no line can be longer than the whole text
    }
    std::string& shown = *scratch;
    shown.clear();
    std::size_t begin = 0;
    for (std::size_t line = 0; line < lineCount && begin <= text.size(); ++line) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (line > 0) {
            shown += '\n';
        }
        shown += text.substr(begin, std::min(end - begin, lineLimit));
        begin = end + 1;
    }
    return shown;
}

float Text3DScale(std::int32_t size) {
    return static_cast<float>(size) / 44.0f;
}

D3DMATERIAL9 MaterialFromColorRef(platform::COLORREF color) {
    D3DMATERIAL9 m;
    const D3DCOLORVALUE c{platform::GetRValue(color) / 255.0f, platform::GetGValue(color) / 255.0f,
                          platform::GetBValue(color) / 255.0f, 1.0f};
    m.Diffuse = c;
    m.Ambient = c;
    return m;
}

platform::D3DCOLOR OpaqueColor(platform::COLORREF color) {
    return platform::D3DCOLOR_ARGB(0xFF, platform::GetRValue(color), platform::GetGValue(color),
                                   platform::GetBValue(color));
}

}  // namespace TekuUtility
