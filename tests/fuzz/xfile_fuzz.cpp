// Feeds arbitrary bytes to the .x reader and the mesh loader. Besides "no crash, no leak,
// no undefined behaviour" it checks that whatever reads also writes and reads back.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/d3dx/mesh.h"
#include "platform/xfile/reader.h"
#include "platform/xfile/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    platform::d3dx::Mesh mesh;
    std::vector<platform::d3dx::D3DXMATERIAL> materials;
    const auto loaded = platform::d3dx::LoadMeshFromXText(text, "fuzz.x", &mesh, &materials);
    if (loaded) {
        for (std::uint32_t i : mesh.indices) {
            if (i >= mesh.vertices.size()) {
                std::abort();
            }
        }
        for (std::uint32_t a : mesh.attributes) {
            if (a >= materials.size()) {
                std::abort();
            }
        }
    } else if (loaded.error.rfind("fuzz.x:", 0) != 0) {
        std::abort();  // every message names the source
    }

    platform::xfile::TemplateRegistry registry;
    platform::xfile::XDocument doc;
    if (!platform::xfile::ReadXText(text, "fuzz.x", &registry, &doc)) {
        return 0;
    }
    // A file that redefines a template may hold objects of the older definition, which the
    // writer checks against the newer one: only template-free files must round-trip.
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (lower.find("template") != std::string::npos) {
        return 0;
    }
    std::string written;
    if (!platform::xfile::WriteXText(doc.objects, registry, &written)) {
        std::abort();
    }
    platform::xfile::XDocument again;
    if (!platform::xfile::ReadXText(written, "written.x", &registry, &again) ||
        again.objects.size() != doc.objects.size()) {
        std::abort();
    }
    return 0;
}
