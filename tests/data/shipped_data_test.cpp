// The shipped data set: the checksum table agrees with the files, the meshes are text .x
// files the game's loader reads, of the agreed sizes, the pictures have the agreed formats, and the
// generator reproduces every file byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/d3dx/mesh.h"
#include "platform/msgbox.h"
#include "services/DataCheck.h"
#include "services/DataChecksums.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using kxtest::ReadBytes;
using kxtest::SourceDir;

// The files the checksum table names, pictures without their leading backslash.
std::vector<std::string> DataFiles() {
    std::vector<std::string> names;
    for (const MyApp::KnownDataFile& row : MyApp::kKnownDataFiles) {
        const std::string name = row.name;
        names.push_back(name[0] == '\\' ? name.substr(1) : name);
    }
    return names;
}

// Each row's checksum is the fold of its file (which also pins the format); an all-zero one
// would let a missing file pass the check.
TEST(ChecksumTableTest, EveryShippedFileMatchesItsRowAndPassesTheCheck) {
    const std::vector<std::string> files = DataFiles();
    int boxes = 0;
    auto previous = platform::SetMessageBoxHandler(
        [&boxes](platform::HWND, const std::string&, const std::string&, platform::UINT) {
            ++boxes;
            return platform::IDOK;
        });
    bool close = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const fs::path file = SourceDir() / "data" / files[i];
        SCOPED_TRACE(file.string());
        ASSERT_TRUE(fs::is_regular_file(file));
        EXPECT_EQ(MyApp::XorFoldChecksum(file.string()), MyApp::kKnownDataFiles[i].checksum);
        EXPECT_NE(std::string(MyApp::kKnownDataFiles[i].checksum), std::string(32, '0'));
        // as the game calls it: the data folder and "\name"
        MyApp::CheckDataFile(close, nullptr, (SourceDir() / "data").string() + "\\" + files[i]);
    }
    platform::SetMessageBoxHandler(previous);
    EXPECT_FALSE(close);
    EXPECT_EQ(boxes, 0);
}

// ---- .x meshes ----

using platform::d3dx::D3DXMATERIAL;
using platform::d3dx::Mesh;

struct LoadedMesh {
    Mesh mesh;
    std::vector<D3DXMATERIAL> materials;
    platform::d3dx::D3DXVECTOR3 min, max;
    double Size(int axis) const { return (&max.x)[axis] - (&min.x)[axis]; }
};

// Loads a shipped mesh with the game's own loader; fails the test when it does not load.
LoadedMesh LoadMesh(const std::string& name) {
    LoadedMesh m;
    const auto result = platform::d3dx::D3DXLoadMeshFromX((SourceDir() / "data" / name).string(),
                                                          &m.mesh, &m.materials);
    EXPECT_TRUE(result) << result.error;
    platform::d3dx::ComputeBoundingBox(m.mesh, &m.min, &m.max);
    return m;
}

TEST(MeshFilesTest, EveryMeshIsAConsistentTextMeshWithOutwardFaces) {
    for (const std::string& name : DataFiles()) {
        if (!name.ends_with(".x")) {
            continue;
        }
        SCOPED_TRACE(name);
        const auto bytes = ReadBytes(SourceDir() / "data" / name);
        ASSERT_EQ(
            std::string(bytes.begin(), bytes.begin() + std::min<std::size_t>(16, bytes.size())),
            "xof 0302txt 0032");
        const LoadedMesh loaded = LoadMesh(name);
        const Mesh& m = loaded.mesh;
        EXPECT_GE(m.FaceCount(), 12u);
        EXPECT_LE(m.FaceCount(), 3000u);
        ASSERT_FALSE(loaded.materials.empty());
        std::set<std::uint32_t> used(m.attributes.begin(), m.attributes.end());
        EXPECT_EQ(used.size(), loaded.materials.size()) << "a material no face uses";
        EXPECT_LT(*used.rbegin(), loaded.materials.size());
        for (const auto& v : m.vertices) {
            EXPECT_NEAR(platform::d3dx::D3DXVec3Length(&v.normal), 1.0f, 1e-3f);
        }
        // The winding (clockwise seen from the front in a left-handed frame) agrees with
        // the stored normals: cross(b - a, c - a) points the way the normals do.
        std::size_t agree = 0;
        for (std::size_t f = 0; f < m.FaceCount(); ++f) {
            const auto& a = m.vertices[m.indices[3 * f]];
            const auto& b = m.vertices[m.indices[3 * f + 1]];
            const auto& c = m.vertices[m.indices[3 * f + 2]];
            const auto u = b.position - a.position, v = c.position - a.position;
            platform::d3dx::D3DXVECTOR3 n;
            platform::d3dx::D3DXVec3Cross(&n, &u, &v);
            const auto sum = a.normal + b.normal + c.normal;
            agree += platform::d3dx::D3DXVec3Dot(&n, &sum) > 0 ? 1 : 0;
        }
        EXPECT_GE(agree, m.FaceCount() * 98 / 100) << agree << " of " << m.FaceCount();
        for (const D3DXMATERIAL& mat : loaded.materials) {
            EXPECT_TRUE(mat.textureFilename.empty());
            for (float v : {mat.MatD3D.Diffuse.r, mat.MatD3D.Diffuse.g, mat.MatD3D.Diffuse.b}) {
                EXPECT_GE(v, 0.0f);
                EXPECT_LE(v, 1.0f);
            }
            EXPECT_EQ(mat.MatD3D.Diffuse.a, 1.0f);
        }
    }
}

TEST(MeshFilesTest, MeshesAreCentredAndSizedForTheCollisionMargins) {
    struct Want {
        int axis;  // 0 x, 1 y, 2 z, 3 every side
        double lo, hi;
    };
    const std::vector<std::pair<std::vector<std::string>, std::vector<Want>>> wants = {
        {{"Nave.x", "NaveColpita.x", "NaveHorz.x", "NaveHorzColpita.x"},
         {{0, 0.9, 1.1}, {1, 0, 1}, {2, 0.8, 1.4}}},
        {{"astronauta.x", "astronautaColpito.x", "astronautafire.x"}, {{1, 0.9, 1.1}}},
        {{"asteroide.x", "asteroide2.x", "asteroideImpatto.x", "asteroideImpatto2.x",
          "asteroideesploso.x"},
         {{3, 0.5, 0.9}}},
        {{"esplosione.x"}, {{0, 1.35, 1.65}, {1, 1.35, 1.65}, {2, 1.35, 1.65}}},
        {{"ufo.x", "ufocolpito.x", "uforid1.x", "uforidcolpito1.x"},
         {{0, 1.35, 1.65}, {2, 1.35, 1.65}}},
        // About 2 high: a large saucer returning at y +-4.5 must stay within a shot's reach.
        {{"ufokryx.x", "ufokryx2.x"}, {{0, 2.7, 3.3}, {1, 1.95, 2.3}, {2, 2.7, 3.3}}},
        {{"fire.x", "fireblack.x", "fireHorz.x"}, {{0, 0.1, 0.2}, {1, 0.1, 0.2}, {2, 1.0, 1.6}}},
    };
    for (const auto& [names, list] : wants) {
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            const LoadedMesh m = LoadMesh(name);
            EXPECT_NEAR(m.min.x + m.max.x, 0.0, 0.01);
            EXPECT_NEAR(m.min.y + m.max.y, 0.0, 0.01);
            EXPECT_NEAR(m.min.z + m.max.z, 0.0, 0.01);
            for (const Want& w : list) {
                for (int a = w.axis == 3 ? 0 : w.axis; a <= (w.axis == 3 ? 2 : w.axis); ++a) {
                    EXPECT_GE(m.Size(a), w.lo) << "axis " << a;
                    EXPECT_LE(m.Size(a), w.hi) << "axis " << a;
                }
            }
        }
    }
}

TEST(MeshFilesTest, TouchedAndHitVariantsAreTheSameShapeTintedRed) {
    const std::pair<const char*, const char*> pairs[] = {{"Nave.x", "NaveColpita.x"},
                                                         {"NaveHorz.x", "NaveHorzColpita.x"},
                                                         {"astronauta.x", "astronautaColpito.x"},
                                                         {"asteroide.x", "asteroideImpatto.x"},
                                                         {"asteroide2.x", "asteroideImpatto2.x"},
                                                         {"ufo.x", "ufocolpito.x"},
                                                         {"uforid1.x", "uforidcolpito1.x"},
                                                         {"ufokryx.x", "ufokryx2.x"}};
    for (const auto& [base, variant] : pairs) {
        SCOPED_TRACE(variant);
        const LoadedMesh a = LoadMesh(base), b = LoadMesh(variant);
        ASSERT_EQ(a.mesh.vertices.size(), b.mesh.vertices.size());
        for (std::size_t i = 0; i < a.mesh.vertices.size(); ++i) {
            ASSERT_EQ(a.mesh.vertices[i].position, b.mesh.vertices[i].position);
        }
        EXPECT_EQ(a.mesh.indices, b.mesh.indices);
        ASSERT_EQ(a.materials.size(), b.materials.size());
        for (const D3DXMATERIAL& m : b.materials) {
            EXPECT_GT(m.MatD3D.Diffuse.r, m.MatD3D.Diffuse.g);
            EXPECT_GT(m.MatD3D.Diffuse.r, m.MatD3D.Diffuse.b);
            EXPECT_GE(m.MatD3D.Emissive.r, 0.15f);
        }
    }
}

// ---- pictures ----

TEST(PictureFilesTest, BackgroundsArePngAndLevelPicturesAre24BitBmp) {
    for (const std::string& name : DataFiles()) {
        SCOPED_TRACE(name);
        const auto bytes = ReadBytes(SourceDir() / "data" / name);
        if (name.ends_with(".png")) {
            ASSERT_GE(bytes.size(), 33u);
            EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
            EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
            EXPECT_EQ(kxtest::Be32(&bytes[16]), 640u);
            EXPECT_EQ(kxtest::Be32(&bytes[20]), 480u);
        } else if (name.ends_with(".bmp")) {
            kxtest::ExpectBmp24(bytes, 640, 480);
        }
    }
}

// ---- the generator ----

TEST(DataGeneratorTest, RegeneratesEveryCommittedFileByteForByte) {
    kxtest::ScratchDir out("datagen");
    const std::string command =
        std::string("\"") + KX_DATAGEN_PATH + "\" \"" + out.Path().string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<fs::path> files = {"services/DataChecksums.cpp", "docs/data-preview.png"};
    for (const std::string& name : DataFiles()) {
        files.push_back(fs::path("data") / name);
    }
    for (const auto& e : fs::directory_iterator(out.Path() / "resources")) {
        files.push_back(fs::path("resources") / e.path().filename());
    }
    EXPECT_EQ(files.size(), 2u + MyApp::kKnownDataFiles.size() + 7u);
    for (const fs::path& rel : files) {
        SCOPED_TRACE(rel.string());
        const auto made = ReadBytes(out.Path() / rel);
        ASSERT_FALSE(made.empty());
        EXPECT_TRUE(made == ReadBytes(SourceDir() / rel)) << "differs from the committed file";
    }
}

}  // namespace
