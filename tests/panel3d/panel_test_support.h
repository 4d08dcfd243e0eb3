// Shared pieces of the panel tests: a panel that draws on the headless device without a
// window, hand-made .x boxes and a scratch folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "panel3d/D3DPanelEx.h"
#include "platform/gfx/headless.h"

namespace TekuUtility::testing {

// A panel whose frame can be drawn without a window, on a headless device of its own size.
class TestPanel : public D3DPanelEx {
  public:
    explicit TestPanel(int w = 640, int h = 480) : D3DPanelEx(nullptr) {
        width = w;
        height = h;
    }
    using D3DPanelEx::drawFrame;
    void beep() override { ++beeps; }
    platform::gfx::HeadlessDevice* headless() const {
        return dynamic_cast<platform::gfx::HeadlessDevice*>(device());
    }
    // A device as Create would make it, for the window-less panel.
    void start() { initDevice(nullptr); }
    int beeps = 0;
};

// A TestPanel with its device made.
struct StartedPanel : TestPanel {
    explicit StartedPanel(int w = 640, int h = 480) : TestPanel(w, h) { start(); }
};

// A folder under /tmp removed at the end of the test.
class ScratchFolder {
  public:
    ScratchFolder() {
        char pattern[] = "/tmp/kx_panel_XXXXXX";
        path_ = mkdtemp(pattern) ? pattern : "";
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A .x text file of an axis-aligned box centred at the origin with the given half sizes, one
// material (with a texture name when given).
inline std::string BoxX(float hx, float hy, float hz, const std::string& texture = "") {
    std::ostringstream s;
    s << "xof 0302txt 0032\nMesh box {\n8;\n";
    for (int i = 0; i < 8; ++i) {
        s << ((i & 1) ? hx : -hx) << ";" << ((i & 2) ? hy : -hy) << ";" << ((i & 4) ? hz : -hz)
          << ";" << (i == 7 ? ";\n" : ",\n");
    }
    const int faces[12][3] = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 4, 6}, {0, 6, 2},
                              {1, 3, 7}, {1, 7, 5}, {0, 1, 5}, {0, 5, 4}, {2, 6, 7}, {2, 7, 3}};
    s << "12;\n";
    for (int f = 0; f < 12; ++f) {
        s << "3;" << faces[f][0] << "," << faces[f][1] << "," << faces[f][2]
          << (f == 11 ? ";;\n" : ";,\n");
    }
    s << "MeshMaterialList {\n1;\n12;\n";
    for (int f = 0; f < 12; ++f) {
        s << "0" << (f == 11 ? ";\n" : ",\n");
    }
    s << "Material {\n0.8;0.2;0.1;1.0;;\n10.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n";
    if (!texture.empty()) {
        s << "TextureFilename {\n\"" << texture << "\";\n}\n";
    }
    s << "}\n}\n}\n";
    return s.str();
}

inline std::string WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace TekuUtility::testing
