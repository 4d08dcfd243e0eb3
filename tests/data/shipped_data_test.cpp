// The shipped data set: the checksum table agrees with the files, the meshes are well-formed
// text .x files of the agreed sizes, the pictures have the agreed formats, and the
// generator reproduces every file byte for byte.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/DataCheck.h"
#include "app/DataChecksums.h"
#include "platform/msgbox.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using kxtest::ReadBytes;
using kxtest::SourceDir;

const char* const kRows[] = {"sfondo.png",
                             "sfondoFase2.png",
                             "sfondo4liv.png",
                             "Nave.x",
                             "NaveColpita.x",
                             "astronauta.x",
                             "astronautaColpito.x",
                             "astronautafire.x",
                             "NaveHorz.x",
                             "NaveHorzColpita.x",
                             "asteroide.x",
                             "asteroide2.x",
                             "asteroideImpatto.x",
                             "asteroideImpatto2.x",
                             "asteroideesploso.x",
                             "esplosione.x",
                             "ufo.x",
                             "uforid1.x",
                             "uforidcolpito1.x",
                             "ufokryx.x",
                             "ufokryx2.x",
                             "ufocolpito.x",
                             "fire.x",
                             "fireblack.x",
                             "fireHorz.x",
                             "\\Livello1.bmp",
                             "\\LivelloCompletato.bmp",
                             "\\GiocoCompletato.bmp",
                             "\\gameover.bmp",
                             "\\Livello2.bmp",
                             "\\Livello3.bmp",
                             "\\Livello4.bmp",
                             "\\Livello5.bmp",
                             "\\Livello6.bmp",
                             "\\Livello7.bmp"};

std::string Bare(const std::string& row) {
    return row[0] == '\\' ? row.substr(1) : row;
}

std::vector<std::string> MeshNames() {
    std::vector<std::string> names;
    for (const char* row : kRows) {
        const std::string n = row;
        if (n.size() > 2 && n.substr(n.size() - 2) == ".x")
            names.push_back(n);
    }
    return names;
}

TEST(ChecksumTableTest, RowsInOrderWithWellFormedNonZeroChecksums) {
    ASSERT_EQ(MyApp::kKnownDataFiles.size(), std::size(kRows));
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        SCOPED_TRACE(kRows[i]);
        EXPECT_STREQ(MyApp::kKnownDataFiles[i].name, kRows[i]);
        const std::string sum = MyApp::kKnownDataFiles[i].checksum;
        ASSERT_EQ(sum.size(), 32u);
        for (char c : sum)
            EXPECT_TRUE(std::isdigit(c) || (c >= 'A' && c <= 'F')) << sum;
        // an all-zero entry would let a missing file pass the check
        EXPECT_NE(sum, std::string(32, '0'));
    }
}

TEST(ChecksumTableTest, EveryShippedFileMatchesItsRowAndPassesTheCheck) {
    int boxes = 0;
    auto previous = platform::SetMessageBoxHandler(
        [&boxes](platform::HWND, const std::string&, const std::string&, platform::UINT) {
            ++boxes;
            return platform::IDOK;
        });
    bool close = false;
    for (std::size_t i = 0; i < std::size(kRows); ++i) {
        const fs::path file = SourceDir() / "data" / Bare(kRows[i]);
        SCOPED_TRACE(file.string());
        ASSERT_TRUE(fs::is_regular_file(file));
        EXPECT_EQ(MyApp::XorFoldChecksum(file.string()), MyApp::kKnownDataFiles[i].checksum);
        // as the game calls it: the data folder and "\name"
        MyApp::CheckDataFile(close, nullptr,
                             (SourceDir() / "data").string() + "\\" + Bare(kRows[i]));
    }
    platform::SetMessageBoxHandler(previous);
    EXPECT_FALSE(close);
    EXPECT_EQ(boxes, 0);
}

// ---- .x meshes ----

struct XMesh {
    std::vector<std::array<double, 3>> positions, normals;
    std::vector<std::array<int, 3>> faces, normalFaces;
    std::vector<int> faceMaterials;
    struct Material {
        double rgba[4], power, specular[3], emissive[3];
    };
    std::vector<Material> materials;
};

// A strict reader of the subset of the text .x syntax the generator writes: one Mesh with
// MeshNormals and MeshMaterialList of Materials. Throws std::string on any deviation.
class XReader {
  public:
    explicit XReader(const std::string& text) {
        std::size_t i = 16;
        while (i < text.size()) {
            const char c = text[i];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '{' || c == '}' || c == ';' || c == ',') {
                tokens_.push_back(std::string(1, c));
                ++i;
            } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ||
                       c == '_') {
                std::size_t j = i;
                while (j < text.size() &&
                       (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '-' ||
                        text[j] == '.' || text[j] == '_' || text[j] == '+')) {
                    ++j;
                }
                tokens_.push_back(text.substr(i, j - i));
                i = j;
            } else {
                throw std::string("unexpected character ") + c;
            }
        }
    }

    XMesh Read() {
        XMesh m;
        Expect("Mesh");
        Expect("{");
        const int nv = Int();
        Expect(";");
        for (int i = 0; i < nv; ++i) {
            m.positions.push_back(Vector());
            Expect(i + 1 < nv ? "," : ";");
        }
        m.faces = Faces();
        Expect("MeshNormals");
        Expect("{");
        const int nn = Int();
        Expect(";");
        for (int i = 0; i < nn; ++i) {
            m.normals.push_back(Vector());
            Expect(i + 1 < nn ? "," : ";");
        }
        m.normalFaces = Faces();
        Expect("}");
        Expect("MeshMaterialList");
        Expect("{");
        const int nm = Int();
        Expect(";");
        const int nfi = Int();
        Expect(";");
        for (int i = 0; i < nfi; ++i) {
            m.faceMaterials.push_back(Int());
            Expect(i + 1 < nfi ? "," : ";");
        }
        for (int i = 0; i < nm; ++i) {
            XMesh::Material mat{};
            Expect("Material");
            Expect("{");
            for (double& v : mat.rgba) {
                v = Number();
                Expect(";");
            }
            Expect(";");
            mat.power = Number();
            Expect(";");
            for (double& v : mat.specular) {
                v = Number();
                Expect(";");
            }
            Expect(";");
            for (double& v : mat.emissive) {
                v = Number();
                Expect(";");
            }
            Expect(";");
            Expect("}");
            m.materials.push_back(mat);
        }
        Expect("}");
        Expect("}");
        if (pos_ != tokens_.size())
            throw std::string("text after the mesh");
        return m;
    }

  private:
    std::vector<std::string> tokens_;
    std::size_t pos_ = 0;

    const std::string& Next() {
        if (pos_ >= tokens_.size())
            throw std::string("unexpected end");
        return tokens_[pos_++];
    }
    void Expect(const std::string& t) {
        const std::string& got = Next();
        if (got != t)
            throw "expected " + t + " got " + got + " at token " + std::to_string(pos_);
    }
    double Number() {
        const std::string& t = Next();
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        if (end != t.c_str() + t.size())
            throw "not a number: " + t;
        return v;
    }
    int Int() {
        const double v = Number();
        if (v != std::floor(v) || v < 0)
            throw std::string("not a count or index");
        return static_cast<int>(v);
    }
    std::array<double, 3> Vector() {
        std::array<double, 3> v{};
        for (double& c : v) {
            c = Number();
            Expect(";");
        }
        return v;
    }
    std::vector<std::array<int, 3>> Faces() {
        std::vector<std::array<int, 3>> faces;
        const int nf = Int();
        Expect(";");
        for (int i = 0; i < nf; ++i) {
            if (Int() != 3)
                throw std::string("face is not a triangle");
            Expect(";");
            std::array<int, 3> f{};
            f[0] = Int();
            Expect(",");
            f[1] = Int();
            Expect(",");
            f[2] = Int();
            Expect(";");
            Expect(i + 1 < nf ? "," : ";");
            faces.push_back(f);
        }
        return faces;
    }
};

XMesh LoadMesh(const std::string& name) {
    const auto bytes = ReadBytes(SourceDir() / "data" / name);
    const std::string text(bytes.begin(), bytes.end());
    if (text.compare(0, 16, "xof 0302txt 0032") != 0)
        throw std::string("bad header");
    return XReader(text).Read();
}

struct Box3 {
    double min[3] = {1e9, 1e9, 1e9}, max[3] = {-1e9, -1e9, -1e9};
    double Size(int a) const { return max[a] - min[a]; }
};

Box3 BoundsOf(const XMesh& m) {
    Box3 b;
    for (const auto& p : m.positions) {
        for (int a = 0; a < 3; ++a) {
            b.min[a] = std::min(b.min[a], p[a]);
            b.max[a] = std::max(b.max[a], p[a]);
        }
    }
    return b;
}

TEST(MeshFilesTest, EveryMeshIsAConsistentTextMeshWithOutwardFaces) {
    for (const std::string& name : MeshNames()) {
        SCOPED_TRACE(name);
        XMesh m;
        try {
            m = LoadMesh(name);
        } catch (const std::string& e) {
            ADD_FAILURE() << e;
            continue;
        }
        EXPECT_GE(m.faces.size(), 12u);
        EXPECT_LE(m.faces.size(), 3000u);
        EXPECT_EQ(m.normals.size(), m.positions.size());
        EXPECT_EQ(m.normalFaces, m.faces);
        ASSERT_EQ(m.faceMaterials.size(), m.faces.size());
        ASSERT_FALSE(m.materials.empty());
        std::set<int> used;
        for (int mat : m.faceMaterials) {
            ASSERT_LT(mat, static_cast<int>(m.materials.size()));
            used.insert(mat);
        }
        EXPECT_EQ(used.size(), m.materials.size()) << "a material no face uses";
        for (const auto& n : m.normals) {
            EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-3);
        }
        // The winding (clockwise seen from the front in a left-handed frame) agrees with
        // the stored normals: cross(b - a, c - a) points the way the normals do.
        int agree = 0, total = 0;
        for (const auto& f : m.faces) {
            for (int k : f)
                ASSERT_LT(k, static_cast<int>(m.positions.size()));
            const auto &a = m.positions[f[0]], &b = m.positions[f[1]], &c = m.positions[f[2]];
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                 u[0] * v[1] - u[1] * v[0]};
            double dot = 0;
            for (int k : f) {
                for (int a2 = 0; a2 < 3; ++a2)
                    dot += n[a2] * m.normals[k][a2];
            }
            ++total;
            if (dot > 0)
                ++agree;
        }
        EXPECT_GE(agree, total * 98 / 100) << agree << " of " << total;
        for (const auto& mat : m.materials) {
            for (double v : mat.rgba) {
                EXPECT_GE(v, 0.0);
                EXPECT_LE(v, 1.0);
            }
            EXPECT_EQ(mat.rgba[3], 1.0);
        }
    }
}

TEST(MeshFilesTest, MeshesAreCentredAndSizedForTheCollisionMargins) {
    struct Want {
        int axis;  // 0 x, 1 y, 2 z, 3 the largest extent
        double lo, hi;
    };
    const std::map<std::string, std::vector<Want>> wants = {
        {"Nave.x", {{0, 0.9, 1.1}, {2, 0.8, 1.4}}},
        {"NaveHorz.x", {{0, 0.9, 1.1}, {2, 0.8, 1.4}}},
        {"astronauta.x", {{1, 0.9, 1.1}}},
        {"astronautafire.x", {{1, 0.9, 1.1}}},
        {"asteroide.x", {{3, 0.5, 0.9}}},
        {"asteroide2.x", {{3, 0.5, 0.9}}},
        {"asteroideesploso.x", {{3, 0.5, 1.0}}},
        {"esplosione.x", {{0, 1.3, 1.7}, {1, 1.3, 1.7}}},
        {"ufo.x", {{0, 1.35, 1.65}, {2, 1.35, 1.65}}},
        {"uforid1.x", {{0, 1.35, 1.65}, {2, 1.35, 1.65}}},
        // About 2 high: a large saucer returning at y +-4.5 must stay within a shot's reach.
        {"ufokryx.x", {{0, 2.7, 3.3}, {1, 1.95, 2.3}, {2, 2.7, 3.3}}},
        {"fire.x", {{0, 0.1, 0.2}, {1, 0.1, 0.2}, {2, 1.0, 1.6}}},
        {"fireblack.x", {{0, 0.1, 0.2}, {1, 0.1, 0.2}, {2, 1.0, 1.6}}},
        {"fireHorz.x", {{0, 0.1, 0.2}, {1, 0.1, 0.2}, {2, 1.0, 1.6}}},
    };
    for (const auto& [name, list] : wants) {
        SCOPED_TRACE(name);
        const Box3 b = BoundsOf(LoadMesh(name));
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(b.min[a] + b.max[a], 0.0, 0.01) << "axis " << a;
        for (const Want& w : list) {
            const double size =
                w.axis == 3 ? std::max({b.Size(0), b.Size(1), b.Size(2)}) : b.Size(w.axis);
            EXPECT_GE(size, w.lo) << "axis " << w.axis;
            EXPECT_LE(size, w.hi) << "axis " << w.axis;
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
        const XMesh a = LoadMesh(base), b = LoadMesh(variant);
        EXPECT_EQ(a.positions, b.positions);
        EXPECT_EQ(a.faces, b.faces);
        ASSERT_EQ(a.materials.size(), b.materials.size());
        for (const auto& m : b.materials) {
            EXPECT_GT(m.rgba[0], m.rgba[1]);
            EXPECT_GT(m.rgba[0], m.rgba[2]);
            EXPECT_GE(m.emissive[0], 0.15);
        }
    }
}

// ---- pictures ----

TEST(PictureFilesTest, BackgroundsArePngAndLevelPicturesAre24BitBmp) {
    for (const char* row : kRows) {
        const std::string name = Bare(row);
        SCOPED_TRACE(name);
        const auto bytes = ReadBytes(SourceDir() / "data" / name);
        if (name.size() > 4 && name.substr(name.size() - 4) == ".png") {
            ASSERT_GE(bytes.size(), 33u);
            EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
            EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
            EXPECT_EQ(kxtest::Be32(&bytes[16]), 640u);
            EXPECT_EQ(kxtest::Be32(&bytes[20]), 480u);
        } else if (name.size() > 4 && name.substr(name.size() - 4) == ".bmp") {
            ASSERT_GE(bytes.size(), 54u);
            EXPECT_EQ(bytes[0], 'B');
            EXPECT_EQ(bytes[1], 'M');
            EXPECT_EQ(kxtest::Le32(&bytes[2]), bytes.size());
            EXPECT_EQ(kxtest::Le32(&bytes[14]), 40u);
            EXPECT_EQ(kxtest::Le32(&bytes[18]), 640u);
            EXPECT_EQ(kxtest::Le32(&bytes[22]), 480u);
            EXPECT_EQ(kxtest::Le16(&bytes[28]), 24u);
            EXPECT_EQ(kxtest::Le32(&bytes[30]), 0u);  // uncompressed
            EXPECT_EQ(bytes.size(), 54u + 640u * 480u * 3u);
        }
    }
}

// ---- the generator ----

TEST(DataGeneratorTest, RegeneratesEveryCommittedFileByteForByte) {
    kxtest::ScratchDir out("datagen");
    const std::string command =
        std::string("\"") + KX_DATAGEN_PATH + "\" \"" + out.Path().string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<fs::path> files = {"app/DataChecksums.cpp", "docs/data-preview.png"};
    for (const char* row : kRows)
        files.push_back(fs::path("data") / Bare(row));
    for (const auto& e : fs::directory_iterator(out.Path() / "resources")) {
        files.push_back(fs::path("resources") / e.path().filename());
    }
    EXPECT_EQ(files.size(), 2u + std::size(kRows) + 7u);
    for (const fs::path& rel : files) {
        SCOPED_TRACE(rel.string());
        const auto made = ReadBytes(out.Path() / rel);
        ASSERT_FALSE(made.empty());
        EXPECT_TRUE(made == ReadBytes(SourceDir() / rel)) << "differs from the committed file";
    }
}

}  // namespace
