#include "platform/gfx/headless.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace platform::gfx {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

class HeadlessSurface : public Surface {
  public:
    HeadlessSurface(int width, int height) : width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }

  private:
    int width_;
    int height_;
};

class HeadlessSprite : public Sprite {
  public:
    explicit HeadlessSprite(HeadlessDevice* device) : device_(device) {}

    bool Begin(DWORD) override {
        begun_ = true;
        return true;
    }
    void SetTransform(const D3DXMATRIX& transform) override { transform_ = transform; }
    bool Draw(const Texture* texture, const RECT* src, const D3DXVECTOR3& position,
              D3DCOLOR color) override {
        const auto* t = dynamic_cast<const HeadlessTexture*>(texture);
        if (!begun_ || !t) {
            return false;
        }
        const RECT r = src ? *src : RECT{0, 0, t->Width(), t->Height()};
        if (device_->Logging()) {
            device_->Write(Format("sprite tex#%d src %d,%d,%d,%d at %g,%g scale %g,%g %08x",
                                  t->Serial(), r.left, r.top, r.right, r.bottom,
                                  static_cast<double>(position.x), static_cast<double>(position.y),
                                  static_cast<double>(transform_.m[0][0]),
                                  static_cast<double>(transform_.m[1][1]), color));
        }
        return true;
    }
    bool End() override {
        const bool was = begun_;
        begun_ = false;
        return was;
    }

  private:
    HeadlessDevice* device_;
    D3DXMATRIX transform_;
    bool begun_ = false;
};

class HeadlessFont : public Font {
  public:
    HeadlessFont(HeadlessDevice* device, FontDesc desc) : device_(device), desc_(std::move(desc)) {}

    int DrawText(Sprite*, std::string_view text, RECT* rect, UINT format, D3DCOLOR color) override {
        int width = 0, lines = 1;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == '\n') {
                const int w = HeadlessTextWidth(text.substr(start, i - start), desc_.height);
                width = w > width ? w : width;
                if (i < text.size()) {
                    ++lines;
                }
                start = i + 1;
            }
        }
        const int height = lines * desc_.height;
        if (format & DT_CALCRECT) {
            if (rect) {
                rect->right = rect->left + width;
                rect->bottom = rect->top + height;
            }
            return height;
        }
        const RECT r = rect ? *rect : RECT{};
        if (device_->Logging()) {
            device_->Write(Format("text '%.*s' %d,%d,%d,%d %08x", static_cast<int>(text.size()),
                                  text.data(), r.left, r.top, r.right, r.bottom, color));
        }
        return height;
    }

  private:
    HeadlessDevice* device_;
    FontDesc desc_;
};

}  // namespace

int HeadlessTextWidth(std::string_view line, int height) {
    const int perChar = height / 2 > 0 ? height / 2 : 1;
    return static_cast<int>(line.size()) * perChar;
}

void HeadlessDevice::Write(std::string line) {
    if (!logging_) {
        return;
    }
    if (log_.size() >= kLogLimit) {
        log_.erase(log_.begin(), log_.begin() + static_cast<std::ptrdiff_t>(kLogLimit / 2));
    }
    log_.push_back(std::move(line));
}

int HeadlessDevice::Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& line : log_) {
        n += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    }
    return n;
}

std::string HeadlessDevice::TextureName() const {
    const auto* t = dynamic_cast<const HeadlessTexture*>(GetTexture());
    return t ? Format("tex#%d", t->Serial()) : std::string("none");
}

void HeadlessDevice::Clear(D3DCOLOR color, float) {
    if (Logging()) {
        Write(Format("clear %08x", color));
    }
}

bool HeadlessDevice::BeginScene() {
    Write("begin");
    return true;
}

bool HeadlessDevice::EndScene() {
    Write("end");
    return true;
}

bool HeadlessDevice::Present() {
    Write("present");
    return true;
}

bool HeadlessDevice::CopyToBackBuffer(const Surface& surface) {
    if (surface.Width() > backWidth_ || surface.Height() > backHeight_) {
        Write("background failed");
        return false;
    }
    if (Logging()) {
        Write(Format("background %dx%d", surface.Width(), surface.Height()));
    }
    return true;
}

bool HeadlessDevice::DrawPrimitive(std::span<const ColorVertex> vertices) {
    if (vertices.size() < 3) {
        return false;
    }
    if (Logging()) {
        Write(Format("tris %zu %s", vertices.size() / 3, TextureName().c_str()));
    }
    return true;
}

bool HeadlessDevice::DrawIndexedPrimitive(std::span<const ColorVertex> vertices,
                                          std::span<const std::uint16_t> indices) {
    for (std::uint16_t i : indices) {
        if (i >= vertices.size()) {
            return false;
        }
    }
    if (indices.size() < 3) {
        return false;
    }
    if (Logging()) {
        Write(Format("indexed %zu/%zu %s", vertices.size(), indices.size(), TextureName().c_str()));
    }
    return true;
}

bool HeadlessDevice::DrawSubset(const d3dx::Mesh& mesh, std::uint32_t attribId) {
    if (recordSubsets_) {
        return RecordSubset(mesh, attribId);
    }
    // The faces of each subset are counted once per mesh: repeated draws of a mesh cost a
    // lookup, so that frames on this device time the panel rather than the stand-in.
    if (faceCounts_.size() >= kCountedMeshes && faceCounts_.count(&mesh) == 0) {
        faceCounts_.clear();  // meshes made per frame (texts) come and go
    }
    FaceCounts& counts = faceCounts_[&mesh];
    if (counts.indices != mesh.indices.data() || counts.indexCount != mesh.indices.size() ||
        counts.vertexCount != mesh.vertices.size() || counts.attributes != mesh.attributes.data()) {
        counts = CountFaces(mesh);
    }
    if (!counts.valid) {
        return false;
    }
    auto it = counts.perSubset.find(attribId);
    const std::size_t faces = it == counts.perSubset.end() ? 0 : it->second;
    if (Logging()) {
        Write(Format("subset %u faces %zu %s%s", attribId, faces, TextureName().c_str(),
                     GetRenderState(RenderState::Lighting) ? " lit" : ""));
    }
    return true;
}

HeadlessDevice::FaceCounts HeadlessDevice::CountFaces(const d3dx::Mesh& mesh) {
    FaceCounts counts;
    counts.indices = mesh.indices.data();
    counts.indexCount = mesh.indices.size();
    counts.vertexCount = mesh.vertices.size();
    counts.attributes = mesh.attributes.data();
    const std::size_t faceCount = std::min(mesh.attributes.size(), mesh.indices.size() / 3);
    for (std::size_t f = 0; f < faceCount; ++f) {
        for (std::size_t k = 0; k < 3; ++k) {
            if (mesh.indices[f * 3 + k] >= mesh.vertices.size()) {
                counts.valid = false;
            }
        }
        ++counts.perSubset[mesh.attributes[f]];
    }
    return counts;
}

bool HeadlessDevice::RecordSubset(const d3dx::Mesh& mesh, std::uint32_t attribId) {
    std::size_t faces = 0;
    SubsetDraw draw;
    draw.world = GetTransform(TransformState::World);
    const std::size_t faceCount = std::min(mesh.attributes.size(), mesh.indices.size() / 3);
    for (std::size_t f = 0; f < faceCount; ++f) {
        if (mesh.attributes[f] != attribId) {
            continue;
        }
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t index = mesh.indices[f * 3 + k];
            if (index >= mesh.vertices.size()) {
                return false;
            }
            const D3DXVECTOR3& p = mesh.vertices[index].position;
            if (faces == 0 && k == 0) {
                draw.min = draw.max = p;
            }
            draw.min = {std::min(draw.min.x, p.x), std::min(draw.min.y, p.y),
                        std::min(draw.min.z, p.z)};
            draw.max = {std::max(draw.max.x, p.x), std::max(draw.max.y, p.y),
                        std::max(draw.max.z, p.z)};
        }
        ++faces;
    }
    subsets_.push_back(draw);
    Write(Format("subset %u faces %zu %s%s", attribId, faces, TextureName().c_str(),
                 GetRenderState(RenderState::Lighting) ? " lit" : ""));
    return true;
}

std::unique_ptr<Texture> HeadlessDevice::CreateTexture(const Image& picture) {
    if (picture.Empty()) {
        return nullptr;
    }
    ++texturesCreated_;
    return std::make_unique<HeadlessTexture>(texturesCreated_, picture.width, picture.height);
}

std::unique_ptr<Surface> HeadlessDevice::CreateSurface(const Image& picture) {
    if (picture.Empty()) {
        return nullptr;
    }
    return std::make_unique<HeadlessSurface>(picture.width, picture.height);
}

std::unique_ptr<Sprite> HeadlessDevice::CreateSprite() {
    return std::make_unique<HeadlessSprite>(this);
}

std::unique_ptr<Font> HeadlessDevice::CreateFont(const FontDesc& desc) {
    if (failFonts_) {
        return nullptr;
    }
    return std::make_unique<HeadlessFont>(this, desc);
}

std::unique_ptr<Device> HeadlessFactory::CreateDevice(DeviceType type, const DeviceParams& params) {
    if (control_) {
        if ((type == DeviceType::Hardware && control_->failHardware) ||
            (type == DeviceType::Reference && control_->failReference)) {
            return nullptr;
        }
        ++control_->devicesCreated;
    }
    auto device = std::make_unique<HeadlessDevice>(params.width, params.height);
    device->SetFailFonts(control_ && control_->failFonts);
    device->SetLogging(!control_ || control_->log);
    return device;
}

ScopedHeadlessProvider::ScopedHeadlessProvider(std::shared_ptr<HeadlessControl> control,
                                               bool failFactory)
    : previous_(SetFactoryProvider([control, failFactory]() -> std::unique_ptr<Factory> {
          if (failFactory) {
              return nullptr;
          }
          return std::make_unique<HeadlessFactory>(control);
      })) {}

ScopedHeadlessProvider::~ScopedHeadlessProvider() {
    SetFactoryProvider(std::move(previous_));
}

}  // namespace platform::gfx
