// The panel's mesh and texture caches, its background and sprite-sheet pictures, and the
// release of every GPU resource.
#include "panel3d/D3DPanelEx.h"
#include "panel3d/ResourcePictures.h"
#include "platform/resources.h"

namespace TekuUtility {

using namespace platform::d3dx;

namespace {

std::optional<std::span<const std::uint8_t>> FindPictureResource(std::int32_t resourceId) {
    const int id = resourceId & 0xFFFF;
    auto bytes = platform::FindResource(platform::ResourceType::RcData, id);
    if (!bytes) {
        bytes = platform::FindResource(platform::ResourceType::Bitmap, id);
    }
    return bytes;
}

}  // namespace

std::optional<platform::Image> LoadResourcePicture(std::int32_t resourceId) {
    const auto bytes = FindPictureResource(resourceId);
    return bytes ? platform::DecodeImage(*bytes) : std::nullopt;
}

std::optional<platform::ImageSize> ResourcePictureSize(std::int32_t resourceId) {
    const auto bytes = FindPictureResource(resourceId);
    return bytes ? platform::ImageInfo(*bytes) : std::nullopt;
}

const MeshCacheEntry* D3DPanelEx::getMesh(const std::string& fileName) {
    for (const auto& entry : meshCache_) {
        if (entry->name == fileName) {
            return entry.get();
        }
    }
    // A file that failed is remembered for the life of the device, as for textures:
    // parsing a damaged mesh again for every object on every frame stalls the game.
    for (const std::string& failed : failedMeshes_) {
        if (failed == fileName) {
            return nullptr;
        }
    }
    auto entry = std::make_unique<MeshCacheEntry>();
    if (!D3DXLoadMeshFromX(fileName, &entry->mesh, &entry->materials)) {
        failedMeshes_.push_back(fileName);
        return nullptr;
    }
    entry->name = fileName;
    entry->materialCount = static_cast<std::uint32_t>(entry->materials.size());
    D3DXVECTOR3 lo, hi;
    ComputeBoundingBox(entry->mesh, &lo, &hi);
    entry->localMin = {lo.x, lo.y, lo.z};
    entry->localMax = {hi.x, hi.y, hi.z};
    meshCache_.push_back(std::move(entry));
    return meshCache_.back().get();
}

const platform::gfx::Texture* D3DPanelEx::getTextureFromFile(const std::string& fileName) {
    for (const TextureCacheEntry& entry : textureCache_) {
        if (entry.name == fileName) {
            return entry.texture.get();
        }
    }
    TextureCacheEntry entry;
    entry.name = fileName;
    if (device_) {
        if (auto image = platform::LoadImageFile(fileName)) {
            entry.texture = device_->CreateTexture(*image);
        }
    }
    textureCache_.push_back(std::move(entry));
    return textureCache_.back().texture.get();
}

const platform::gfx::Texture* D3DPanelEx::getTextureFromResource(std::int32_t resourceId) {
    // A failing id is remembered as failing for the life of the device, like a failing file;
    // trying it again at every request would add an entry per frame without bound.
    for (const TextureCacheEntry& entry : textureCache_) {
        if (entry.name.empty() && entry.resourceId == resourceId) {
            return entry.texture.get();
        }
    }
    TextureCacheEntry entry;
    entry.resourceId = resourceId;
    if (device_) {
        if (auto image = LoadResourcePicture(resourceId)) {
            entry.texture = device_->CreateTexture(*image);
        }
    }
    textureCache_.push_back(std::move(entry));
    return textureCache_.back().texture.get();
}

namespace {

// The background surface has no alpha channel: every pixel is shown opaque.
std::optional<platform::Image> Opaque(std::optional<platform::Image> picture) {
    if (picture) {
        for (std::uint32_t& pixel : picture->pixels) {
            pixel |= 0xFF000000u;
        }
    }
    return picture;
}

}  // namespace

std::optional<platform::Image> D3DPanelEx::loadBackgroundFromFile(const std::string& fileName) {
    return Opaque(platform::LoadImageFile(fileName));
}

std::optional<platform::Image> D3DPanelEx::loadBackgroundFromResource(std::int32_t resourceId) {
    return Opaque(LoadResourcePicture(resourceId));
}

void D3DPanelEx::releaseResources(bool releaseDirect3D) {
    passObjects_.clear(device_.get());
    polygonScratch_.clear();
    backgroundSurface_.reset();
    textureCache_.clear();
    for (const auto& entry : meshCache_) {
        if (device_) {
            device_->ForgetMesh(entry->mesh);
        }
    }
    meshCache_.clear();
    failedMeshes_.clear();
    spriteSheet_.reset();
    sheetWidth_ = sheetHeight_ = 0;
    firstPersonCamera.device = nullptr;
    device_.reset();
    if (releaseDirect3D) {
        direct3D_.reset();
    }
}

}  // namespace TekuUtility
