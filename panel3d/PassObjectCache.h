// What the sprite, label and 3D-text passes keep from one frame to the next for one device:
// the sprite object, the label fonts and the scaled 3D text meshes, so that drawing the same
// scene again makes nothing new. Entries not used for a while are dropped, and the counts are
// capped, so texts that change every tick do not pile up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "panel3d/SceneRecords.h"
#include "platform/d3dx/mesh.h"
#include "platform/gfx/device.h"

namespace TekuUtility {

class PassObjectCache {
  public:
    // Entries unused for more frames than this are dropped at the end of a frame.
    static constexpr std::uint64_t kKeepFrames = 30;
    // At most this many fonts and text meshes each; the least recently used goes first.
    static constexpr std::size_t kMaxFonts = 16;
    static constexpr std::size_t kMaxTextMeshes = 16;

    PassObjectCache() = default;
    PassObjectCache(const PassObjectCache&) = delete;
    PassObjectCache& operator=(const PassObjectCache&) = delete;

    // The sprite object of the device, made on first use; null when the device cannot make
    // one.
    platform::gfx::Sprite* sprite(platform::gfx::Device& device);
    // The font of a label's height, weight, style and face; null when the device cannot make
    // it (remembered until the entry is dropped).
    platform::gfx::Font* labelFont(platform::gfx::Device& device, const TextLabel& label);
    // The text mesh of a record scaled by size / 44 (position + normal + uv); null when it
    // cannot be made (remembered until the entry is dropped).
    const platform::d3dx::Mesh* textMesh(platform::gfx::Device& device, const Text3D& record);

    // Ends a frame: drops entries unused for more than kKeepFrames frames. Dropped meshes are
    // reported to the device, which may hold copies of them.
    void endFrame(platform::gfx::Device& device);
    // Drops everything (the device is about to go); device may be null.
    void clear(platform::gfx::Device* device);

    std::size_t fontCount() const { return fonts_.size(); }
    std::size_t textMeshCount() const { return meshes_.size(); }

  private:
    struct FontEntry {
        std::int32_t height = 0;
        bool bold = false;
        bool italic = false;
        std::string face;
        std::unique_ptr<platform::gfx::Font> font;
        std::uint64_t lastUsed = 0;
    };
    struct MeshEntry {
        std::string text;
        std::string face;
        bool bold = false;
        bool italic = false;
        std::int32_t size = 0;
        bool ok = false;
        platform::d3dx::Mesh mesh;
        std::uint64_t lastUsed = 0;
    };

    void dropMesh(std::size_t index, platform::gfx::Device* device);

    std::unique_ptr<platform::gfx::Sprite> sprite_;
    std::vector<FontEntry> fonts_;
    // Held by pointer: a device may know a mesh by its address.
    std::vector<std::unique_ptr<MeshEntry>> meshes_;
    std::uint64_t frame_ = 1;
};

}  // namespace TekuUtility
