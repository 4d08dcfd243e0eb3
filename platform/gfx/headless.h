// The headless device: draws nothing, keeps every piece of state in the Device base and
// writes a compact line per drawing call to its log, so tests can check what a frame would
// have drawn. Tests also make it fail at creation and lose it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/device.h"

namespace platform::gfx {

// Shared between a test and the headless makers it installs.
struct HeadlessControl {
    bool failHardware = false;   // CreateDevice(Hardware) fails
    bool failReference = false;  // CreateDevice(Reference) fails
    bool failFonts = false;      // CreateFont fails
    bool log = true;             // devices keep their draw log (benchmarks switch it off)
    int devicesCreated = 0;
};

class HeadlessTexture : public Texture {
  public:
    HeadlessTexture(int serial, int width, int height)
        : serial_(serial), width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int Serial() const { return serial_; }

  private:
    int serial_;
    int width_;
    int height_;
};

class HeadlessDevice : public Device {
  public:
    HeadlessDevice(int width, int height) : Device(width, height) {}

    // The log, one line per call that would draw: "clear ff000000", "begin", "end",
    // "present", "background 640x480" / "background failed", "tris 1 tex#2",
    // "indexed 4/6 none", "subset 0 faces 12 tex#1 lit", "sprite tex#3 src 0,0,128,24
    // at 20,10 scale 1,1 ffffffff", "text 'Punti' 20,10,70,22 fffefefe".
    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() {
        log_.clear();
        subsets_.clear();
    }
    // How many lines start with the prefix.
    int Count(const std::string& prefix) const;

    // Every subset drawn while SetRecordSubsets(true): the box of the vertices its faces use
    // (mesh coordinates) and the world transform it was drawn under.
    struct SubsetDraw {
        D3DXVECTOR3 min, max;
        D3DXMATRIX world;
    };
    const std::vector<SubsetDraw>& Subsets() const { return subsets_; }
    void SetRecordSubsets(bool record) { recordSubsets_ = record; }

    void SetCooperativeLevel(CooperativeLevel level) { level_ = level; }
    int TexturesCreated() const { return texturesCreated_; }

    CooperativeLevel TestCooperativeLevel() override { return level_; }
    void Clear(D3DCOLOR color, float depth) override;
    bool BeginScene() override;
    bool EndScene() override;
    bool Present() override;
    bool CopyToBackBuffer(const Surface& surface) override;
    bool DrawPrimitive(std::span<const ColorVertex> vertices) override;
    bool DrawIndexedPrimitive(std::span<const ColorVertex> vertices,
                              std::span<const std::uint16_t> indices) override;
    bool DrawSubset(const d3dx::Mesh& mesh, std::uint32_t attribId) override;
    std::unique_ptr<Texture> CreateTexture(const Image& picture) override;
    std::unique_ptr<Surface> CreateSurface(const Image& picture) override;
    std::unique_ptr<Sprite> CreateSprite() override;
    std::unique_ptr<Font> CreateFont(const FontDesc& desc) override;

    // Appends a line; a long-running user (a simulation) keeps only the most recent lines.
    void Write(std::string line);
    static constexpr std::size_t kLogLimit = 1 << 16;
    bool Logging() const { return logging_; }
    void SetLogging(bool on) { logging_ = on; }
    bool FailFonts() const { return failFonts_; }
    void SetFailFonts(bool fail) { failFonts_ = fail; }

  private:
    // The faces per subset of a mesh, with the storage they were counted in.
    struct FaceCounts {
        const void* indices = nullptr;
        std::size_t indexCount = 0;
        std::size_t vertexCount = 0;
        const void* attributes = nullptr;
        bool valid = true;  // every index names a vertex
        std::map<std::uint32_t, std::size_t> perSubset;
    };
    static FaceCounts CountFaces(const d3dx::Mesh& mesh);
    bool RecordSubset(const d3dx::Mesh& mesh, std::uint32_t attribId);
    std::string TextureName() const;

    static constexpr std::size_t kCountedMeshes = 512;
    std::map<const d3dx::Mesh*, FaceCounts> faceCounts_;
    bool logging_ = true;
    std::vector<std::string> log_;
    std::vector<SubsetDraw> subsets_;
    bool recordSubsets_ = false;
    CooperativeLevel level_ = CooperativeLevel::Ok;
    int texturesCreated_ = 0;
    bool failFonts_ = false;
};

// Text extent of the headless fonts: each character half the font height wide (at least one
// pixel), each line the font height tall.
int HeadlessTextWidth(std::string_view line, int height);

class HeadlessFactory : public Factory {
  public:
    explicit HeadlessFactory(std::shared_ptr<HeadlessControl> control = nullptr)
        : control_(std::move(control)) {}
    std::unique_ptr<Device> CreateDevice(DeviceType type, const DeviceParams& params) override;

  private:
    std::shared_ptr<HeadlessControl> control_;
};

// Installs headless makers sharing control for its lifetime, then restores the previous
// provider. With failFactory the provider gives no maker at all.
class ScopedHeadlessProvider {
  public:
    explicit ScopedHeadlessProvider(std::shared_ptr<HeadlessControl> control,
                                    bool failFactory = false);
    ~ScopedHeadlessProvider();
    ScopedHeadlessProvider(const ScopedHeadlessProvider&) = delete;
    ScopedHeadlessProvider& operator=(const ScopedHeadlessProvider&) = delete;

  private:
    FactoryProvider previous_;
};

}  // namespace platform::gfx
