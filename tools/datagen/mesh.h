// Triangle meshes with per-face materials, built from simple solids, and their DirectX text
// .x form (Mesh with MeshNormals and MeshMaterialList).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace datagen {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, double s);
double Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
double Length(Vec3 a);
Vec3 Normalize(Vec3 a);

struct Rgb {
    double r = 0, g = 0, b = 0;
};

struct Material {
    Rgb diffuse;
    double alpha = 1.0;
    double power = 20.0;
    Rgb specular{0.4, 0.4, 0.4};
    Rgb emissive;
};

// An indexed triangle list; every triangle carries a material index.
class Mesh {
  public:
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;  // one per position
    std::vector<std::array<int, 3>> faces;
    std::vector<int> faceMaterials;
    std::vector<Material> materials;

    int AddMaterial(const Material& m);
    // Appends a part; with smooth false every face gets its own three vertices and the
    // face normal, otherwise shared vertices get the average of their faces' normals.
    // Faces are turned so that their normal points away from the part's centre, which is
    // right for the convex parts used here; `centre` overrides the vertex average.
    void AddPart(const std::vector<Vec3>& points, const std::vector<std::array<int, 3>>& tris,
                 int material, bool smooth, const Vec3* centre = nullptr);
    void Append(const Mesh& other);

    void Transform(double scale, Vec3 offset);
    void Scale(Vec3 s);
    void RotateY(double degrees);
    void RotateX(double degrees);
    void RotateZ(double degrees);
    void Translate(Vec3 offset);
    // Moves the mesh so its bounding box is centred at the origin.
    void Centre();
    void Bounds(Vec3& min, Vec3& max) const;
    int TriangleCount() const { return static_cast<int>(faces.size()); }
};

// Solids, as point and triangle lists for Mesh::AddPart.
struct Solid {
    std::vector<Vec3> points;
    std::vector<std::array<int, 3>> tris;
    Vec3 centre;
};
Solid Box(Vec3 min, Vec3 max);
// A surface of revolution about the z axis through the (radius, z) profile, closed at the
// ends where the radius is zero; `segments` around.
Solid LatheZ(const std::vector<std::array<double, 2>>& profile, int segments);
// The same about the y axis, profile as (radius, y).
Solid LatheY(const std::vector<std::array<double, 2>>& profile, int segments);
// A sphere made by subdividing an icosahedron `level` times (20 * 4^level triangles).
Solid IcoSphere(int level);
// A convex prism: the polygon (x, y) extruded along z from z0 to z1.
Solid PrismZ(const std::vector<std::array<double, 2>>& polygon, double z0, double z1);

void Place(Solid& s, Vec3 scale, Vec3 offset);

// The DirectX text .x file of the mesh.
std::string WriteXFile(const Mesh& mesh);

// Every material pulled towards a hot red-orange, for the "touched" and "hit" variants.
Mesh Tinted(const Mesh& mesh);

}  // namespace datagen
