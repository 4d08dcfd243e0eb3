// Costs of the mesh operations the panel pays on a level change (loading every mesh) and per
// frame (ray tests, 3D text meshes).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/d3dx/mesh.h"
#include "platform/d3dx/text_mesh.h"

namespace {

using namespace platform::d3dx;

std::vector<std::string> DataMeshes() {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e :
         std::filesystem::directory_iterator(std::filesystem::path(KX_SOURCE_DIR) / "data", ec)) {
        if (e.path().extension() == ".x") {
            files.push_back(e.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void BM_LoadAllDataMeshes(benchmark::State& state) {
    const auto files = DataMeshes();
    if (files.empty()) {
        state.SkipWithError("no data/*.x");
        return;
    }
    std::size_t faces = 0;
    for (auto _ : state) {
        for (const auto& f : files) {
            Mesh mesh;
            std::vector<D3DXMATERIAL> materials;
            if (!D3DXLoadMeshFromX(f, &mesh, &materials)) {
                state.SkipWithError(f.c_str());
                return;
            }
            faces += mesh.FaceCount();
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["faces/s"] =
        benchmark::Counter(static_cast<double>(faces), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadAllDataMeshes)->Unit(benchmark::kMillisecond);

void BM_IntersectLargestMesh(benchmark::State& state) {
    const auto files = DataMeshes();
    Mesh best;
    for (const auto& f : files) {
        Mesh mesh;
        std::vector<D3DXMATERIAL> materials;
        if (D3DXLoadMeshFromX(f, &mesh, &materials) && mesh.FaceCount() > best.FaceCount()) {
            best = std::move(mesh);
        }
    }
    if (best.FaceCount() == 0) {
        state.SkipWithError("no data/*.x");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(D3DXIntersect(best, {0.1f, 0.05f, -10}, {0, 0, 1}));
    }
    state.counters["faces"] = static_cast<double>(best.FaceCount());
}
BENCHMARK(BM_IntersectLargestMesh);

void BM_TextMesh(benchmark::State& state) {
    for (auto _ : state) {
        Mesh mesh;
        if (!D3DXCreateText({"Arial", true, false}, L"KRYX SPACE", 0.001f, 0.4f, &mesh)) {
            state.SkipWithError("no font");
            return;
        }
        benchmark::DoNotOptimize(mesh.vertices.data());
    }
}
BENCHMARK(BM_TextMesh)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
