#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/d3dx/mesh.h"

namespace platform::d3dx {
namespace {

std::vector<std::filesystem::path> DataMeshes() {
    const char* root = std::getenv("KX_SOURCE_DIR");
    const std::filesystem::path data = std::filesystem::path(root ? root : ".") / "data";
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(data, ec)) {
        if (e.path().extension() == ".x") {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every shipped mesh loads, has faces, materials for every subset and unit normals; the
// boxes are printed for the record.
TEST(DataSet, EveryShippedMeshLoads) {
    const auto files = DataMeshes();
    if (files.empty()) {
        GTEST_SKIP() << "no data/*.x yet";
    }
    for (const auto& path : files) {
        Mesh mesh;
        std::vector<D3DXMATERIAL> mats;
        const MeshResult r = D3DXLoadMeshFromX(path.string(), &mesh, &mats);
        ASSERT_TRUE(r) << r.error;
        EXPECT_GT(mesh.FaceCount(), 0u) << path;
        ASSERT_FALSE(mats.empty()) << path;
        for (std::uint32_t a : mesh.attributes) {
            EXPECT_LT(a, mats.size()) << path;
        }
        for (const auto& v : mesh.vertices) {
            ASSERT_NEAR(D3DXVec3Length(&v.normal), 1.0f, 1e-3f) << path;
        }
        D3DXVECTOR3 lo, hi;
        ComputeBoundingBox(mesh, &lo, &hi);
        std::printf("%-24s %5zu faces %2zu materials  box (%.3f %.3f %.3f)..(%.3f %.3f %.3f)\n",
                    path.filename().string().c_str(), mesh.FaceCount(), mats.size(), lo.x, lo.y,
                    lo.z, hi.x, hi.y, hi.z);
    }
}

}  // namespace
}  // namespace platform::d3dx
