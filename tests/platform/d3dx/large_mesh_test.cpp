// Large meshes: their arrays are packed, read and written like small ones, and loading one
// costs a small multiple of the file's size.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/d3dx/mesh.h"
#include "platform/xfile/reader.h"
#include "platform/xfile/writer.h"

namespace platform::d3dx {
namespace {

// A Mesh of n vertices (i % 7, i % 5, -(i % 3)) and n - 2 triangles (i, i + 1, i + 2).
std::string StripMesh(int n) {
    std::string s = "xof 0302txt 0032\nMesh strip {\n" + std::to_string(n) + ";\n";
    for (int i = 0; i < n; ++i) {
        s += std::to_string(i % 7) + ";" + std::to_string(i % 5) + ";-" + std::to_string(i % 3) +
             (i + 1 < n ? ";,\n" : ";;\n");
    }
    s += std::to_string(n - 2) + ";\n";
    for (int i = 0; i + 2 < n; ++i) {
        s += "3;" + std::to_string(i) + "," + std::to_string(i + 1) + "," + std::to_string(i + 2) +
             (i + 3 < n ? ";,\n" : ";;\n");
    }
    return s + "}\n";
}

class StripMeshTest : public ::testing::TestWithParam<int> {};

TEST_P(StripMeshTest, ReadsWritesAndLoadsAlike) {
    const int n = GetParam();
    const std::string text = StripMesh(n);
    xfile::TemplateRegistry registry;
    xfile::XDocument doc;
    ASSERT_TRUE(xfile::ReadXText(text, "strip.x", &registry, &doc));
    const xfile::XValue& vertices = *doc.objects.at(0).data.Field("vertices");
    EXPECT_EQ(vertices.packed != nullptr, n >= 1024);
    ASSERT_EQ(vertices.Count(), static_cast<std::size_t>(n));
    const xfile::XValue v = vertices.Element(static_cast<std::size_t>(n - 1));
    EXPECT_EQ(v.Field("x")->AsFloat(), (n - 1) % 7);
    EXPECT_EQ(v.Field("z")->AsFloat(), -((n - 1) % 3));
    const xfile::XValue face = doc.objects[0].data.Field("faces")->Element(4);
    ASSERT_EQ(face.items.size(), 2u);
    EXPECT_EQ(face.items[0].name, "nFaceVertexIndices");
    EXPECT_EQ(face.items[1].items.at(2).AsInt(), 6);

    std::string written;
    ASSERT_TRUE(xfile::WriteXText(doc.objects, registry, &written));
    xfile::XDocument again;
    ASSERT_TRUE(xfile::ReadXText(written, "again.x", &registry, &again));
    EXPECT_EQ(again.objects[0]
                  .data.Field("faces")
                  ->Element(static_cast<std::size_t>(n - 3))
                  .items[1]
                  .items[0]
                  .AsInt(),
              n - 3);

    Mesh mesh;
    std::vector<D3DXMATERIAL> materials;
    ASSERT_TRUE(LoadMeshFromXText(text, "strip.x", &mesh, &materials));
    EXPECT_EQ(mesh.indices.size(), static_cast<std::size_t>(3 * (n - 2)));
    EXPECT_EQ(mesh.vertices.at(mesh.indices.back()).position.x, (n - 1) % 7);
}

INSTANTIATE_TEST_SUITE_P(Sizes, StripMeshTest, ::testing::Values(1023, 1024));

constexpr double kAllowedRatio = 8;

// The peak is measured in a child process of its own, from what it held before loading.
TEST(LargeMeshMemoryTest, PeakStaysWithinAFewTimesTheFileSize) {
#if defined(KX_ASAN)
    GTEST_SKIP() << "under AddressSanitizer the peak measures its quarantine, not the reader";
#endif
    const std::string path = std::filesystem::temp_directory_path() /
                             ("kx_large_mesh_" + std::to_string(::getpid()) + ".x");
    std::ofstream(path) << StripMesh(300000);
    const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        Mesh mesh;
        std::vector<D3DXMATERIAL> materials;
        const bool ok = D3DXLoadMeshFromX(path, &mesh, &materials).ok;
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        const double grownMb =
            ok ? static_cast<double>(after.ru_maxrss - before.ru_maxrss) / 1e3 : -1;
        [[maybe_unused]] const auto written = ::write(fds[1], &grownMb, sizeof grownMb);
        ::_exit(0);
    }
    double grownMb = -1;
    [[maybe_unused]] const auto got = ::read(fds[0], &grownMb, sizeof grownMb);
    ::waitpid(child, nullptr, 0);
    ::close(fds[0]);
    ::close(fds[1]);
    std::filesystem::remove(path);
    const std::string figures =
        std::to_string(fileMb) + " MB file, peak grew " + std::to_string(grownMb) + " MB";
    std::printf("%s\n", figures.c_str());
    ASSERT_GE(grownMb, 0) << "the mesh did not load";
    EXPECT_LT(grownMb, kAllowedRatio * fileMb) << figures;
}

}  // namespace
}  // namespace platform::d3dx
