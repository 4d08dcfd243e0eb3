#include "tools/datagen/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace datagen {

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
Vec3 Normalize(Vec3 a) {
    const double l = Length(a);
    return l > 1e-12 ? a * (1.0 / l) : Vec3{0, 1, 0};
}

namespace {
constexpr double kPi = 3.14159265358979323846;
}

int Mesh::AddMaterial(const Material& m) {
    materials.push_back(m);
    return static_cast<int>(materials.size()) - 1;
}

void Mesh::AddPart(const std::vector<Vec3>& points, const std::vector<std::array<int, 3>>& tris,
                   int material, bool smooth, const Vec3* centre) {
    Vec3 c{};
    if (centre) {
        c = *centre;
    } else {
        for (const Vec3& p : points) {
            c = c + p;
        }
        c = c * (1.0 / static_cast<double>(std::max<std::size_t>(points.size(), 1)));
    }
    // Orient every triangle outwards; the renderer works with clockwise front faces in a
    // left-handed frame, which makes cross(b - a, c - a) the outward normal.
    std::vector<std::array<int, 3>> oriented;
    std::vector<Vec3> faceNormals;
    for (auto t : tris) {
        const Vec3 a = points[t[0]], b = points[t[1]], d = points[t[2]];
        Vec3 n = Cross(b - a, d - a);
        if (Length(n) < 1e-12) {
            continue;  // degenerate
        }
        const Vec3 mid = (a + b + d) * (1.0 / 3.0);
        if (Dot(n, mid - c) < 0) {
            std::swap(t[1], t[2]);
            n = n * -1.0;
        }
        oriented.push_back(t);
        faceNormals.push_back(Normalize(n));
    }
    if (smooth) {
        const int base = static_cast<int>(positions.size());
        std::vector<Vec3> acc(points.size());
        for (std::size_t i = 0; i < oriented.size(); ++i) {
            for (int k : oriented[i]) {
                acc[k] = acc[k] + faceNormals[i];
            }
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            positions.push_back(points[i]);
            normals.push_back(Normalize(acc[i]));
        }
        for (const auto& t : oriented) {
            faces.push_back({base + t[0], base + t[1], base + t[2]});
            faceMaterials.push_back(material);
        }
    } else {
        for (std::size_t i = 0; i < oriented.size(); ++i) {
            const int base = static_cast<int>(positions.size());
            for (int k : oriented[i]) {
                positions.push_back(points[k]);
                normals.push_back(faceNormals[i]);
            }
            faces.push_back({base, base + 1, base + 2});
            faceMaterials.push_back(material);
        }
    }
}

void Mesh::Append(const Mesh& other) {
    const int base = static_cast<int>(positions.size());
    const int matBase = static_cast<int>(materials.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    normals.insert(normals.end(), other.normals.begin(), other.normals.end());
    for (const auto& f : other.faces) {
        faces.push_back({f[0] + base, f[1] + base, f[2] + base});
    }
    for (int m : other.faceMaterials) {
        faceMaterials.push_back(m + matBase);
    }
    materials.insert(materials.end(), other.materials.begin(), other.materials.end());
}

void Mesh::Transform(double scale, Vec3 offset) {
    for (Vec3& p : positions) {
        p = p * scale + offset;
    }
}

void Mesh::Scale(Vec3 s) {
    for (Vec3& p : positions) {
        p = {p.x * s.x, p.y * s.y, p.z * s.z};
    }
    // Normals transform with the inverse scale.
    for (Vec3& n : normals) {
        n = Normalize({n.x / s.x, n.y / s.y, n.z / s.z});
    }
}

namespace {
void Rotate(std::vector<Vec3>& v, double degrees, int axis) {
    const double a = degrees * kPi / 180.0, c = std::cos(a), s = std::sin(a);
    for (Vec3& p : v) {
        if (axis == 1) {
            p = {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
        }
        if (axis == 0) {
            p = {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
        }
        if (axis == 2) {
            p = {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
        }
    }
}
}  // namespace

void Mesh::RotateY(double degrees) {
    Rotate(positions, degrees, 1);
    Rotate(normals, degrees, 1);
}
void Mesh::RotateX(double degrees) {
    Rotate(positions, degrees, 0);
    Rotate(normals, degrees, 0);
}
void Mesh::RotateZ(double degrees) {
    Rotate(positions, degrees, 2);
    Rotate(normals, degrees, 2);
}

void Mesh::Translate(Vec3 offset) {
    for (Vec3& p : positions) {
        p = p + offset;
    }
}

void Mesh::Bounds(Vec3& min, Vec3& max) const {
    min = {1e30, 1e30, 1e30};
    max = {-1e30, -1e30, -1e30};
    for (const Vec3& p : positions) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
    }
}

void Mesh::Centre() {
    Vec3 lo, hi;
    Bounds(lo, hi);
    Translate((lo + hi) * -0.5);
}

Solid Box(Vec3 a, Vec3 b) {
    Solid s;
    for (int i = 0; i < 8; ++i) {
        s.points.push_back({(i & 1) ? b.x : a.x, (i & 2) ? b.y : a.y, (i & 4) ? b.z : a.z});
    }
    s.tris = {{0, 1, 3}, {0, 3, 2}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
              {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 3, 7}, {1, 7, 5}};
    s.centre = (a + b) * 0.5;
    return s;
}

namespace {
Solid Lathe(const std::vector<std::array<double, 2>>& profile, int segments, bool aboutZ) {
    Solid s;
    // ring[i] = first point index of profile entry i, or a single point when radius is 0
    std::vector<int> ring;
    std::vector<bool> pole;
    double axisSum = 0;
    for (const auto& pr : profile) {
        const double r = pr[0], h = pr[1];
        axisSum += h;
        ring.push_back(static_cast<int>(s.points.size()));
        pole.push_back(r <= 1e-9);
        if (r <= 1e-9) {
            s.points.push_back(aboutZ ? Vec3{0, 0, h} : Vec3{0, h, 0});
        } else {
            for (int k = 0; k < segments; ++k) {
                const double a = 2 * kPi * k / segments;
                const double u = r * std::cos(a), v = r * std::sin(a);
                s.points.push_back(aboutZ ? Vec3{u, v, h} : Vec3{u, h, v});
            }
        }
    }
    for (std::size_t i = 0; i + 1 < profile.size(); ++i) {
        for (int k = 0; k < segments; ++k) {
            const int k1 = (k + 1) % segments;
            const int a0 = pole[i] ? ring[i] : ring[i] + k;
            const int a1 = pole[i] ? ring[i] : ring[i] + k1;
            const int b0 = pole[i + 1] ? ring[i + 1] : ring[i + 1] + k;
            const int b1 = pole[i + 1] ? ring[i + 1] : ring[i + 1] + k1;
            if (!pole[i]) {
                s.tris.push_back({a0, a1, b0});
            }
            if (!pole[i + 1]) {
                s.tris.push_back({a1, b1, b0});
            }
        }
    }
    const double mid = axisSum / static_cast<double>(profile.size());
    s.centre = aboutZ ? Vec3{0, 0, mid} : Vec3{0, mid, 0};
    return s;
}
}  // namespace

Solid LatheZ(const std::vector<std::array<double, 2>>& profile, int segments) {
    return Lathe(profile, segments, true);
}
Solid LatheY(const std::vector<std::array<double, 2>>& profile, int segments) {
    return Lathe(profile, segments, false);
}

Solid IcoSphere(int level) {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    Solid s;
    s.points = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3& p : s.points) {
        p = Normalize(p);
    }
    s.tris = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
              {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
              {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int l = 0; l < level; ++l) {
        std::map<std::pair<int, int>, int> mids;
        auto midpoint = [&](int a, int b) {
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto it = mids.find(key);
            if (it != mids.end()) {
                return it->second;
            }
            s.points.push_back(Normalize((s.points[a] + s.points[b]) * 0.5));
            const int idx = static_cast<int>(s.points.size()) - 1;
            mids.emplace(key, idx);
            return idx;
        };
        std::vector<std::array<int, 3>> next;
        for (const auto& f : s.tris) {
            const int a = midpoint(f[0], f[1]), b = midpoint(f[1], f[2]), c = midpoint(f[2], f[0]);
            next.push_back({f[0], a, c});
            next.push_back({f[1], b, a});
            next.push_back({f[2], c, b});
            next.push_back({a, b, c});
        }
        s.tris = std::move(next);
    }
    s.centre = {0, 0, 0};
    return s;
}

Solid PrismZ(const std::vector<std::array<double, 2>>& polygon, double z0, double z1) {
    Solid s;
    const int n = static_cast<int>(polygon.size());
    double cx = 0, cy = 0;
    for (const auto& p : polygon) {
        s.points.push_back({p[0], p[1], z0});
        cx += p[0];
        cy += p[1];
    }
    for (const auto& p : polygon) {
        s.points.push_back({p[0], p[1], z1});
    }
    for (int i = 1; i + 1 < n; ++i) {
        s.tris.push_back({0, i, i + 1});
        s.tris.push_back({n, n + i, n + i + 1});
    }
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        s.tris.push_back({i, j, n + j});
        s.tris.push_back({i, n + j, n + i});
    }
    s.centre = {cx / n, cy / n, (z0 + z1) / 2};
    return s;
}

void Place(Solid& s, Vec3 scale, Vec3 offset) {
    for (Vec3& p : s.points) {
        p = Vec3{p.x * scale.x, p.y * scale.y, p.z * scale.z} + offset;
    }
    s.centre = Vec3{s.centre.x * scale.x, s.centre.y * scale.y, s.centre.z * scale.z} + offset;
}

namespace {
// Fixed six decimals; negative zero is written as zero so the text is stable.
void Num(std::string& out, double v) {
    char buf[32];
    if (std::fabs(v) < 5e-7) {
        v = 0.0;
    }
    std::snprintf(buf, sizeof buf, "%.6f", v);
    out += buf;
}
void Vec(std::string& out, Vec3 v) {
    Num(out, v.x);
    out += ';';
    Num(out, v.y);
    out += ';';
    Num(out, v.z);
    out += ';';
}
void Col(std::string& out, Rgb c) {
    Num(out, c.r);
    out += ';';
    Num(out, c.g);
    out += ';';
    Num(out, c.b);
    out += ';';
}
void FaceList(std::string& out, const std::vector<std::array<int, 3>>& faces) {
    out += "  " + std::to_string(faces.size()) + ";\n";
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const auto& f = faces[i];
        out += "  3;" + std::to_string(f[0]) + ',' + std::to_string(f[1]) + ',' +
               std::to_string(f[2]) + ';' + (i + 1 < faces.size() ? "," : ";") + '\n';
    }
}
}  // namespace

std::string WriteXFile(const Mesh& mesh) {
    std::string out = "xof 0302txt 0032\n\nMesh {\n";
    out += "  " + std::to_string(mesh.positions.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        out += "  ";
        Vec(out, mesh.positions[i]);
        out += (i + 1 < mesh.positions.size() ? ",\n" : ";\n");
    }
    FaceList(out, mesh.faces);
    out += "\n  MeshNormals {\n";
    out += "  " + std::to_string(mesh.normals.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.normals.size(); ++i) {
        out += "  ";
        Vec(out, mesh.normals[i]);
        out += (i + 1 < mesh.normals.size() ? ",\n" : ";\n");
    }
    FaceList(out, mesh.faces);
    out += "  }\n\n  MeshMaterialList {\n";
    out += "  " + std::to_string(mesh.materials.size()) + ";\n";
    out += "  " + std::to_string(mesh.faceMaterials.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.faceMaterials.size(); ++i) {
        out += "  " + std::to_string(mesh.faceMaterials[i]) +
               (i + 1 < mesh.faceMaterials.size() ? ",\n" : ";\n");
    }
    for (const Material& m : mesh.materials) {
        out += "\n    Material {\n    ";
        Col(out, m.diffuse);
        Num(out, m.alpha);
        out += ";;\n    ";
        Num(out, m.power);
        out += ";\n    ";
        Col(out, m.specular);
        out += ";\n    ";
        Col(out, m.emissive);
        out += ";\n    }\n";
    }
    out += "  }\n}\n";
    return out;
}

Mesh Tinted(const Mesh& mesh) {
    Mesh m = mesh;
    const Rgb hot{1.0, 0.28, 0.08};
    for (Material& mat : m.materials) {
        const double k = 0.55;
        mat.diffuse = {mat.diffuse.r * (1 - k) + hot.r * k, mat.diffuse.g * (1 - k) + hot.g * k,
                       mat.diffuse.b * (1 - k) + hot.b * k};
        mat.emissive = {std::max(mat.emissive.r, 0.20), mat.emissive.g * 0.5 + 0.03,
                        mat.emissive.b * 0.3};
    }
    return m;
}

}  // namespace datagen
