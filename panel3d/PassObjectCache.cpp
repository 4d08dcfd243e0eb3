#include "panel3d/PassObjectCache.h"

#include <algorithm>

#include "panel3d/PanelMath.h"
#include "platform/d3dx/text_mesh.h"
#include "toolkit/GUIElement.h"

namespace TekuUtility {

using namespace platform::d3dx;
namespace gfx = platform::gfx;

namespace {

constexpr float kChordDeviation = 0.001f;
constexpr float kExtrusion = 0.4f;
constexpr std::size_t kMaxFaceLength = 31;

}  // namespace

gfx::Sprite* PassObjectCache::sprite(gfx::Device& device) {
    if (!sprite_) {
        sprite_ = device.CreateSprite();
    }
    return sprite_.get();
}

gfx::Font* PassObjectCache::labelFont(gfx::Device& device, const TextLabel& label) {
    for (FontEntry& entry : fonts_) {
        if (entry.height == label.height && entry.bold == label.bold &&
            entry.italic == label.italic && entry.face == label.fontFace) {
            entry.lastUsed = frame_;
            return entry.font.get();
        }
    }
    if (fonts_.size() >= kMaxFonts) {
        fonts_.erase(std::min_element(
            fonts_.begin(), fonts_.end(),
            [](const FontEntry& a, const FontEntry& b) { return a.lastUsed < b.lastUsed; }));
    }
    gfx::FontDesc desc;
    desc.height = label.height;
    desc.weight = label.bold ? 700 : 0;
    desc.italic = label.italic;
    desc.face = label.fontFace;
    FontEntry entry;
    entry.height = label.height;
    entry.bold = label.bold;
    entry.italic = label.italic;
    entry.face = label.fontFace;
    entry.font = device.CreateFont(desc);
    entry.lastUsed = frame_;
    fonts_.push_back(std::move(entry));
    return fonts_.back().font.get();
}

const Mesh* PassObjectCache::textMesh(gfx::Device& device, const Text3D& record) {
    for (const auto& entry : meshes_) {
        if (entry->size == record.size && entry->bold == record.bold &&
            entry->italic == record.italic && entry->text == record.text &&
            entry->face == record.fontFace) {
            entry->lastUsed = frame_;
            return entry->ok ? &entry->mesh : nullptr;
        }
    }
    if (meshes_.size() >= kMaxTextMeshes) {
        const auto oldest = std::min_element(
            meshes_.begin(), meshes_.end(),
            [](const auto& a, const auto& b) { return a->lastUsed < b->lastUsed; });
        dropMesh(static_cast<std::size_t>(oldest - meshes_.begin()), &device);
    }
    auto entry = std::make_unique<MeshEntry>();
    entry->text = record.text;
    entry->face = record.fontFace;
    entry->bold = record.bold;
    entry->italic = record.italic;
    entry->size = record.size;
    entry->lastUsed = frame_;
    TextMeshFont font;
    font.face = record.fontFace.substr(0, kMaxFaceLength);
    font.bold = record.bold;
    font.italic = record.italic;
    Mesh glyphs;
    if (D3DXCreateText(font, Widen(record.text), kChordDeviation, kExtrusion, &glyphs)) {
        entry->mesh = CloneMeshScaled(glyphs, kFvfPositionNormalTex, Text3DScale(record.size));
        entry->ok = true;
    }
    meshes_.push_back(std::move(entry));
    return meshes_.back()->ok ? &meshes_.back()->mesh : nullptr;
}

void PassObjectCache::dropMesh(std::size_t index, gfx::Device* device) {
    if (device && meshes_[index]->ok) {
        device->ForgetMesh(meshes_[index]->mesh);
    }
    meshes_.erase(meshes_.begin() + static_cast<std::ptrdiff_t>(index));
}

void PassObjectCache::endFrame(gfx::Device& device) {
    const auto stale = [this](std::uint64_t lastUsed) { return frame_ - lastUsed > kKeepFrames; };
    std::erase_if(fonts_, [&](const FontEntry& e) { return stale(e.lastUsed); });
    for (std::size_t i = meshes_.size(); i-- > 0;) {
        if (stale(meshes_[i]->lastUsed)) {
            dropMesh(i, &device);
        }
    }
    ++frame_;
}

void PassObjectCache::clear(gfx::Device* device) {
    for (std::size_t i = meshes_.size(); i-- > 0;) {
        dropMesh(i, device);
    }
    fonts_.clear();
    sprite_.reset();
}

}  // namespace TekuUtility
