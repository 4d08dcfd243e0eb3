#include "platform/d3dx/text_mesh.h"

#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <deque>
#include <memory>
#include <vector>

#include "platform/fonts/fonts.h"

namespace platform::d3dx {

namespace {

struct Point {
    double x = 0, y = 0;
};
using Contour = std::vector<Point>;

// --- Outline flattening -------------------------------------------------------------------

struct Flattener {
    std::vector<Contour> contours;
    double scale = 1;      // font units to em
    double tolerance = 0;  // em
    Point pen;

    Point ToEm(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }

    void Add(Point p) {
        if (contours.empty()) {
            contours.emplace_back();
        }
        Contour& c = contours.back();
        if (!c.empty() && c.back().x == p.x && c.back().y == p.y) {
            return;
        }
        c.push_back(p);
    }

    static double DistanceToChord(Point p, Point a, Point b) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len = std::hypot(dx, dy);
        if (len == 0) {
            return std::hypot(p.x - a.x, p.y - a.y);
        }
        return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
    }

    void Quadratic(Point a, Point c, Point b, int depth) {
        // The curve strays from its chord by at most half the control point's distance.
        if (depth >= 16 || DistanceToChord(c, a, b) / 2 <= tolerance) {
            Add(b);
            return;
        }
        const Point ac{(a.x + c.x) / 2, (a.y + c.y) / 2}, cb{(c.x + b.x) / 2, (c.y + b.y) / 2};
        const Point mid{(ac.x + cb.x) / 2, (ac.y + cb.y) / 2};
        Quadratic(a, ac, mid, depth + 1);
        Quadratic(mid, cb, b, depth + 1);
    }

    void Cubic(Point a, Point c1, Point c2, Point b, int depth) {
        // Bounded by three quarters of the farther control point's distance.
        const double d = std::max(DistanceToChord(c1, a, b), DistanceToChord(c2, a, b));
        if (depth >= 16 || d * 0.75 <= tolerance) {
            Add(b);
            return;
        }
        auto mid = [](Point p, Point q) { return Point{(p.x + q.x) / 2, (p.y + q.y) / 2}; };
        const Point p01 = mid(a, c1), p12 = mid(c1, c2), p23 = mid(c2, b);
        const Point p012 = mid(p01, p12), p123 = mid(p12, p23);
        const Point m = mid(p012, p123);
        Cubic(a, p01, p012, m, depth + 1);
        Cubic(m, p123, p23, b, depth + 1);
    }

    static int MoveTo(const FT_Vector* to, void* user) {
        auto* f = static_cast<Flattener*>(user);
        f->contours.emplace_back();
        f->pen = f->ToEm(to);
        f->Add(f->pen);
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        auto* f = static_cast<Flattener*>(user);
        f->pen = f->ToEm(to);
        f->Add(f->pen);
        return 0;
    }
    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* f = static_cast<Flattener*>(user);
        const Point b = f->ToEm(to);
        f->Quadratic(f->pen, f->ToEm(control), b, 0);
        f->pen = b;
        return 0;
    }
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* f = static_cast<Flattener*>(user);
        const Point b = f->ToEm(to);
        f->Cubic(f->pen, f->ToEm(c1), f->ToEm(c2), b, 0);
        f->pen = b;
        return 0;
    }

    // Drops the repeated closing point and contours too small to enclose anything.
    void Finish() {
        std::vector<Contour> kept;
        for (auto& c : contours) {
            if (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y) {
                c.pop_back();
            }
            if (c.size() >= 3) {
                kept.push_back(std::move(c));
            }
        }
        contours = std::move(kept);
    }
};

// Non-zero winding number of the outline around p.
int Winding(const std::vector<Contour>& contours, Point p) {
    int w = 0;
    for (const auto& c : contours) {
        for (std::size_t i = 0; i < c.size(); ++i) {
            const Point a = c[i], b = c[(i + 1) % c.size()];
            const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
            if (a.y <= p.y) {
                if (b.y > p.y && side > 0) {
                    ++w;
                }
            } else if (b.y <= p.y && side < 0) {
                --w;
            }
        }
    }
    return w;
}

// --- Tessellation ----------------------------------------------------------------------------

struct TessVertex {
    double xyz[3];
};

struct Tessellation {
    std::deque<TessVertex> vertices;  // stable addresses for the tessellator
    std::vector<const TessVertex*> triangles;
    bool failed = false;

    static void Begin(GLenum, void*) {}
    static void EdgeFlag(GLboolean, void*) {}  // its presence makes GLU emit plain triangles
    static void End(void*) {}
    static void Vertex(void* vertex, void* user) {
        static_cast<Tessellation*>(user)->triangles.push_back(
            static_cast<const TessVertex*>(vertex));
    }
    static void Combine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
        auto* t = static_cast<Tessellation*>(user);
        t->vertices.push_back(TessVertex{{coords[0], coords[1], coords[2]}});
        *out = &t->vertices.back();
    }
    static void Error(GLenum, void* user) { static_cast<Tessellation*>(user)->failed = true; }
};

struct TessDeleter {
    void operator()(GLUtesselator* t) const { gluDeleteTess(t); }
};

bool Tessellate(const std::vector<Contour>& contours, std::vector<Point>* triangles) {
    std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
    if (!tess) {
        return false;
    }
    Tessellation data;
    using Callback = _GLUfuncptr;
    gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA,
                    reinterpret_cast<Callback>(&Tessellation::Begin));
    gluTessCallback(tess.get(), GLU_TESS_EDGE_FLAG_DATA,
                    reinterpret_cast<Callback>(&Tessellation::EdgeFlag));
    gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA,
                    reinterpret_cast<Callback>(&Tessellation::Vertex));
    gluTessCallback(tess.get(), GLU_TESS_END_DATA, reinterpret_cast<Callback>(&Tessellation::End));
    gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA,
                    reinterpret_cast<Callback>(&Tessellation::Combine));
    gluTessCallback(tess.get(), GLU_TESS_ERROR_DATA,
                    reinterpret_cast<Callback>(&Tessellation::Error));
    gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess.get(), 0, 0, 1);

    for (const auto& c : contours) {
        for (const auto& p : c) {
            data.vertices.push_back(TessVertex{{p.x, p.y, 0}});
        }
    }
    gluTessBeginPolygon(tess.get(), &data);
    std::size_t next = 0;
    for (const auto& c : contours) {
        gluTessBeginContour(tess.get());
        for (std::size_t i = 0; i < c.size(); ++i, ++next) {
            TessVertex& v = data.vertices[next];
            gluTessVertex(tess.get(), v.xyz, &v);
        }
        gluTessEndContour(tess.get());
    }
    gluTessEndPolygon(tess.get());
    if (data.failed || data.triangles.size() % 3 != 0) {
        return false;
    }
    for (const TessVertex* v : data.triangles) {
        triangles->push_back({v->xyz[0], v->xyz[1]});
    }
    return true;
}

// --- Mesh building ---------------------------------------------------------------------------

class TextBuilder {
  public:
    TextBuilder(float depth, Mesh* mesh) : depth_(depth), mesh_(*mesh) {}

    void Glyph(const std::vector<Contour>& contours, const std::vector<Point>& triangles,
               double originX) {
        // Front (z 0, facing -z) and back (z depth, facing +z): clockwise as seen from the
        // side they face.
        for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) {
            Point a = triangles[i], b = triangles[i + 1], c = triangles[i + 2];
            const double area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
            if (area == 0) {
                continue;
            }
            if (area > 0) {
                std::swap(b, c);  // now clockwise seen from -z
            }
            AddTriangle(V(a, originX, 0, {0, 0, -1}), V(b, originX, 0, {0, 0, -1}),
                        V(c, originX, 0, {0, 0, -1}));
            AddTriangle(V(a, originX, depth_, {0, 0, 1}), V(c, originX, depth_, {0, 0, 1}),
                        V(b, originX, depth_, {0, 0, 1}));
        }
        for (const auto& c : contours) {
            Walls(contours, c, originX);
        }
    }

  private:
    MeshVertex V(Point p, double originX, float z, D3DXVECTOR3 n) const {
        MeshVertex v;
        v.position = {static_cast<float>(p.x + originX), static_cast<float>(p.y), z};
        v.normal = n;
        return v;
    }

    void AddTriangle(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
        const auto base = static_cast<std::uint32_t>(mesh_.vertices.size());
        mesh_.vertices.push_back(a);
        mesh_.vertices.push_back(b);
        mesh_.vertices.push_back(c);
        mesh_.indices.insert(mesh_.indices.end(), {base, base + 1, base + 2});
        mesh_.attributes.push_back(0);
    }

    // Side walls of one contour, normals pointing away from the filled area.
    void Walls(const std::vector<Contour>& all, const Contour& c, double originX) {
        const std::size_t n = c.size();
        std::vector<D3DXVECTOR3> normals(n);  // normal of edge i (c[i] -> c[i+1])
        std::vector<bool> valid(n, false);
        for (std::size_t i = 0; i < n; ++i) {
            const Point a = c[i], b = c[(i + 1) % n];
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double len = std::hypot(dx, dy);
            if (len == 0) {
                continue;
            }
            double nx = dy / len, ny = -dx / len;
            const double eps = std::min(1e-4, len * 0.01);
            const Point probe{(a.x + b.x) / 2 + nx * eps, (a.y + b.y) / 2 + ny * eps};
            if (Winding(all, probe) != 0) {
                nx = -nx;
                ny = -ny;
            }
            normals[i] = {static_cast<float>(nx), static_cast<float>(ny), 0};
            valid[i] = true;
        }
        auto smooth = [&](std::size_t edge, std::size_t neighbour) {
            const D3DXVECTOR3 e = normals[edge], o = normals[neighbour];
            if (!valid[neighbour] || D3DXVec3Dot(&e, &o) < 0.7071f) {
                return e;
            }
            D3DXVECTOR3 s = e + o;
            D3DXVec3Normalize(&s, &s);
            return s;
        };
        for (std::size_t i = 0; i < n; ++i) {
            if (!valid[i]) {
                continue;
            }
            const Point a = c[i], b = c[(i + 1) % n];
            const D3DXVECTOR3 na = smooth(i, (i + n - 1) % n), nb = smooth(i, (i + 1) % n);
            MeshVertex a0 = V(a, originX, 0, na), b0 = V(b, originX, 0, nb);
            MeshVertex a1 = V(a, originX, depth_, na), b1 = V(b, originX, depth_, nb);
            // Clockwise as seen from outside: check against the edge's normal.
            D3DXVECTOR3 e1 = b0.position - a0.position, e2 = b1.position - a0.position, g;
            D3DXVec3Cross(&g, &e1, &e2);
            if (D3DXVec3Dot(&g, &normals[i]) >= 0) {
                AddTriangle(a0, b0, b1);
                AddTriangle(a0, b1, a1);
            } else {
                AddTriangle(a0, b1, b0);
                AddTriangle(a0, a1, b1);
            }
        }
    }

    float depth_;
    Mesh& mesh_;
};

struct FtLibraryDeleter {
    void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FtFaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};

// Makes up the styles the font file lacks, as the system's font mapper does, and condenses a
// substitute face by widthFactor.
void StyleOutline(const TextMeshFont& font, FT_Face face, double widthFactor, FT_Outline* outline) {
    if (font.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD)) {
        FT_Outline_Embolden(outline, face->units_per_EM / 24);
    }
    if (font.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
        FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // x += 0.22 y
        FT_Outline_Transform(outline, &shear);
    }
    if (widthFactor != 1.0) {
        FT_Matrix condense{static_cast<FT_Fixed>(std::lround(widthFactor * 0x10000)), 0, 0,
                           0x10000};
        FT_Outline_Transform(outline, &condense);
    }
}

MeshResult Fail(std::string what) {
    MeshResult r;
    r.error = std::move(what);
    return r;
}

}  // namespace

MeshResult D3DXCreateText(const TextMeshFont& font, std::wstring_view text, float deviation,
                          float extrusion, Mesh* out) {
    const std::string path = platform::FindFontFile(font.face, font.bold, font.italic);
    if (path.empty()) {
        return Fail("no font file for face \"" + font.face + "\"");
    }
    FT_Library rawLib = nullptr;
    if (FT_Init_FreeType(&rawLib) != 0) {
        return Fail("FreeType cannot start");
    }
    std::unique_ptr<std::remove_pointer_t<FT_Library>, FtLibraryDeleter> lib(rawLib);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(lib.get(), path.c_str(), 0, &rawFace) != 0) {
        return Fail(path + ": cannot open the font");
    }
    std::unique_ptr<std::remove_pointer_t<FT_Face>, FtFaceDeleter> face(rawFace);
    if (!FT_IS_SCALABLE(face.get()) || face->units_per_EM == 0) {
        return Fail(path + ": the font has no scalable outlines");
    }

    const double scale = 1.0 / face->units_per_EM;
    const double tolerance = deviation > 0 ? std::max<double>(deviation, 1e-5) : 0.001;
    Mesh mesh;
    mesh.fvf = D3DFVF_XYZ | D3DFVF_NORMAL;
    TextBuilder builder(extrusion, &mesh);
    FT_Outline_Funcs funcs{};
    funcs.move_to = &Flattener::MoveTo;
    funcs.line_to = &Flattener::LineTo;
    funcs.conic_to = &Flattener::ConicTo;
    funcs.cubic_to = &Flattener::CubicTo;

    // A substitute face wider than the one asked for is condensed to its widths.
    const double widthFactor = platform::SubstituteWidthFactor(font.face, font.bold);
    double penX = 0;
    for (const wchar_t ch : text) {
        if (static_cast<std::uint32_t>(ch) < 0x20) {
            continue;  // control characters have neither shape nor width
        }
        const FT_UInt glyph = FT_Get_Char_Index(face.get(), static_cast<FT_ULong>(ch));
        if (FT_Load_Glyph(face.get(), glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_contours > 0) {
            StyleOutline(font, face.get(), widthFactor, &slot->outline);
            Flattener flat;
            flat.scale = scale;
            flat.tolerance = tolerance;
            if (FT_Outline_Decompose(&slot->outline, &funcs, &flat) != 0) {
                return Fail(path + ": bad outline for character " +
                            std::to_string(static_cast<std::uint32_t>(ch)));
            }
            flat.Finish();
            std::vector<Point> triangles;
            if (!flat.contours.empty()) {
                if (!Tessellate(flat.contours, &triangles)) {
                    return Fail(path + ": cannot fill character " +
                                std::to_string(static_cast<std::uint32_t>(ch)));
                }
                builder.Glyph(flat.contours, triangles, penX);
            }
        }
        penX += slot->advance.x * scale * widthFactor;  // font units under FT_LOAD_NO_SCALE
    }
    mesh.use32BitIndices = mesh.vertices.size() > 0xFFFF;
    *out = std::move(mesh);
    MeshResult r;
    r.ok = true;
    return r;
}

}  // namespace platform::d3dx
