// The faces the program names are drawn with installed faces of about the same widths, so
// that texts laid out for them keep their size.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/d3dx/text_mesh.h"
#include "platform/fonts/fonts.h"

namespace platform {
namespace {

// Width in em of the ink of a text in a face, from its outlines.
double InkWidth(const std::string& face, bool bold, const std::wstring& text) {
    d3dx::TextMeshFont font;
    font.face = face;
    font.bold = bold;
    d3dx::Mesh mesh;
    if (!d3dx::D3DXCreateText(font, text, 0.001f, 0.4f, &mesh) || mesh.vertices.empty()) {
        return 0;
    }
    float lo = mesh.vertices[0].position.x, hi = lo;
    for (const auto& v : mesh.vertices) {
        lo = std::min(lo, v.position.x);
        hi = std::max(hi, v.position.x);
    }
    return hi - lo;
}

TEST(FaceMapping, TahomaIsDrawnAtTahomasWidth) {
    // Tahoma Bold sets the title "Kryx Space" about 5.3 em wide; Verdana-wide substitutes run
    // a fifth wider, far past the right edge of the title screen.
    const double width = InkWidth("Tahoma", true, L"Kryx Space");
    EXPECT_GT(width, 5.0);
    EXPECT_LT(width, 5.5);
    // DejaVu Sans Bold, the previous choice, gives about 6.2 em.
    EXPECT_LT(width, InkWidth("DejaVu Sans", true, L"Kryx Space") * 0.9);
}

}  // namespace
}  // namespace platform
