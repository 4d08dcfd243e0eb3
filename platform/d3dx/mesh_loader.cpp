// Builds one Mesh from the Mesh objects of a .x document: frames walked with their transforms,
// faces fanned into triangles, normals per face corner, materials concatenated.
#include <algorithm>
#include <cmath>
#include <span>
#include <unordered_map>

#include "platform/d3dx/mesh.h"
#include "platform/files.h"
#include "platform/xfile/reader.h"

namespace platform::d3dx {

namespace {

using xfile::XDataObject;
using xfile::XDocument;
using xfile::XValue;

constexpr int kMaxFrameDepth = 64;

struct Face {
    std::uint32_t index[3];
    std::uint32_t attribute;
};

// An index read as a number; -1 when it lies outside the 32-bit range or is not a number.
std::int64_t Index(double d) {
    return d > -1 && d < 4294967296.0 ? static_cast<std::int64_t>(d) : -1;
}

// The index lists of faces in one block: face f is indices[starts[f]] up to starts[f + 1].
struct FaceLists {
    std::vector<std::uint32_t> indices;
    std::vector<std::uint32_t> starts{0};
    std::size_t size() const { return starts.size() - 1; }
    std::span<const std::uint32_t> operator[](std::size_t f) const {
        return {indices.data() + starts[f], starts[f + 1] - starts[f]};
    }
};

class Loader {
  public:
    Loader(const XDocument& doc, std::string_view source) : doc_(doc), source_(source) {}

    bool Run(Mesh* mesh, std::vector<D3DXMATERIAL>* materials) {
        // Meshes referenced from a frame are placed by that frame only.
        for (const auto& o : doc_.objects) {
            CollectReferencedMeshes(o, 0);
        }
        for (const auto& o : doc_.objects) {
            if (o.templateName == "Mesh") {
                if (!referenced_.count(&o) && !AddMesh(o, D3DXMATRIX{})) {
                    return false;
                }
            } else if (o.templateName == "Frame") {
                if (!WalkFrame(o, D3DXMATRIX{}, 0)) {
                    return false;
                }
            }
        }
        if (meshCount_ == 0) {
            return Fail(0, "no Mesh in the file");
        }
        std::stable_sort(faces_.begin(), faces_.end(),
                         [](const Face& a, const Face& b) { return a.attribute < b.attribute; });
        Mesh m;
        m.fvf = D3DFVF_XYZ | D3DFVF_NORMAL | (anyTexCoords_ ? D3DFVF_TEX1 : 0) |
                (anyColors_ ? D3DFVF_DIFFUSE : 0);
        m.vertices = std::move(vertices_);
        m.indices.reserve(faces_.size() * 3);
        m.attributes.reserve(faces_.size());
        for (const auto& f : faces_) {
            m.indices.insert(m.indices.end(), f.index, f.index + 3);
            m.attributes.push_back(f.attribute);
        }
        m.use32BitIndices = m.vertices.size() > 0xFFFF;
        *mesh = std::move(m);
        *materials = std::move(materials_);
        return true;
    }

    const std::string& Error() const { return error_; }

  private:
    bool Fail(int line, const std::string& what) {
        if (error_.empty()) {
            error_ = xfile::XResult::Fail(source_, line, what).error;
        }
        return false;
    }

    const XDataObject* Resolve(const XDataObject& child) const { return doc_.Resolve(child); }

    void CollectReferencedMeshes(const XDataObject& o, int depth) {
        if (depth > kMaxFrameDepth) {
            return;
        }
        for (const auto& c : o.children) {
            if (c.isReference) {
                const XDataObject* target = Resolve(c);
                if (target && target->templateName == "Mesh" && o.templateName == "Frame") {
                    referenced_[target] = true;
                }
            } else {
                CollectReferencedMeshes(c, depth + 1);
            }
        }
    }

    static bool ReadMatrix(const XDataObject& o, D3DXMATRIX* m) {
        const XValue* fm = o.data.Field("frameMatrix");
        const XValue* arr = fm ? fm->Field("matrix") : nullptr;
        if (!arr || arr->Count() != 16) {
            return false;
        }
        for (std::size_t i = 0; i < 16; ++i) {
            m->m[i / 4][i % 4] = static_cast<float>(arr->Element(i).AsFloat());
        }
        return true;
    }

    bool WalkFrame(const XDataObject& frame, const D3DXMATRIX& parent, int depth) {
        if (depth > kMaxFrameDepth) {
            return Fail(frame.line, "frames nested too deeply (a frame that contains itself?)");
        }
        D3DXMATRIX local;
        for (const auto& c : frame.children) {
            const XDataObject* o = Resolve(c);
            if (o && o->templateName == "FrameTransformMatrix") {
                if (!ReadMatrix(*o, &local)) {
                    return Fail(o->line, "malformed FrameTransformMatrix");
                }
                break;
            }
        }
        D3DXMATRIX world;
        D3DXMatrixMultiply(&world, &local, &parent);
        for (const auto& c : frame.children) {
            const XDataObject* o = Resolve(c);
            if (!o) {
                if (c.isReference) {
                    return Fail(c.line, "reference to unknown object '" + c.referenceName + "'");
                }
                continue;
            }
            if (o->templateName == "Mesh") {
                if (!AddMesh(*o, world)) {
                    return false;
                }
            } else if (o->templateName == "Frame") {
                if (!WalkFrame(*o, world, depth + 1)) {
                    return false;
                }
            }
        }
        return true;
    }

    static D3DCOLORVALUE Color(const XValue* v, float alpha) {
        D3DCOLORVALUE c;
        if (v && v->items.size() >= 3) {
            c.r = static_cast<float>(v->items[0].AsFloat());
            c.g = static_cast<float>(v->items[1].AsFloat());
            c.b = static_cast<float>(v->items[2].AsFloat());
            c.a = v->items.size() >= 4 ? static_cast<float>(v->items[3].AsFloat()) : alpha;
        }
        return c;
    }

    static std::uint32_t ToD3DColor(const D3DCOLORVALUE& c) {
        auto byte = [](float f) {
            const float clamped = std::clamp(f, 0.0f, 1.0f);
            return static_cast<std::uint32_t>(std::lround(clamped * 255.0f));
        };
        return (byte(c.a) << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
    }

    bool ReadMaterial(const XDataObject& o, D3DXMATERIAL* out) {
        if (o.templateName != "Material") {
            return Fail(o.line, "a MeshMaterialList may hold only Material objects, found " +
                                    o.templateName);
        }
        D3DXMATERIAL m;
        m.MatD3D.Diffuse = Color(o.data.Field("faceColor"), 1);
        const XValue* power = o.data.Field("power");
        m.MatD3D.Power = power ? static_cast<float>(power->AsFloat()) : 0;
        m.MatD3D.Specular = Color(o.data.Field("specularColor"), 1);
        m.MatD3D.Emissive = Color(o.data.Field("emissiveColor"), 1);
        for (const auto& c : o.children) {
            const XDataObject* t = Resolve(c);
            if (t && t->templateName == "TextureFilename") {
                const XValue* name = t->data.Field("filename");
                m.textureFilename = name ? name->text : std::string();
                break;
            }
        }
        *out = std::move(m);
        return true;
    }

    // Vector structures of an array member into positions.
    static std::vector<D3DXVECTOR3> Vectors(const XValue* arr) {
        std::vector<D3DXVECTOR3> v;
        if (!arr) {
            return v;
        }
        v.reserve(arr->Count());
        std::vector<double> n;
        for (std::size_t i = 0; i < arr->Count(); ++i) {
            arr->ElementNumbers(i, &n);
            v.push_back(n.size() < 3
                            ? D3DXVECTOR3{}
                            : D3DXVECTOR3{static_cast<float>(n[0]), static_cast<float>(n[1]),
                                          static_cast<float>(n[2])});
        }
        return v;
    }

    // The index lists of an array of MeshFace structures (a count, then the indices).
    static FaceLists ReadFaceLists(const XValue* arr) {
        FaceLists faces;
        if (!arr) {
            return faces;
        }
        faces.starts.reserve(arr->Count() + 1);
        std::vector<double> n;
        for (std::size_t i = 0; i < arr->Count(); ++i) {
            arr->ElementNumbers(i, &n);
            for (std::size_t k = 1; k < n.size(); ++k) {
                faces.indices.push_back(static_cast<std::uint32_t>(Index(n[k])));
            }
            faces.starts.push_back(static_cast<std::uint32_t>(faces.indices.size()));
        }
        return faces;
    }

    // What the child objects of one Mesh add to its positions and faces.
    struct MeshChildren {
        const XDataObject* normals = nullptr;
        const XDataObject* textureCoords = nullptr;
        const XDataObject* vertexColors = nullptr;
        const XDataObject* materialList = nullptr;
    };
    struct MeshData {
        std::string label;
        std::vector<D3DXVECTOR3> positions;
        FaceLists faces;
        std::vector<D3DXVECTOR3> normals;
        FaceLists normalFaces;
        std::vector<std::pair<float, float>> uvs;
        std::vector<std::uint32_t> colors;
        std::vector<std::uint32_t> faceMaterial;
    };

    bool FindChildren(const XDataObject& o, MeshChildren* found) {
        for (const auto& c : o.children) {
            const XDataObject* t = Resolve(c);
            if (!t) {
                if (c.isReference) {
                    return Fail(c.line, "reference to unknown object '" + c.referenceName + "'");
                }
                continue;
            }
            const XDataObject** slot =
                t->templateName == "MeshNormals"         ? &found->normals
                : t->templateName == "MeshTextureCoords" ? &found->textureCoords
                : t->templateName == "MeshVertexColors"  ? &found->vertexColors
                : t->templateName == "MeshMaterialList"  ? &found->materialList
                                                         : nullptr;
            if (slot && !*slot) {
                *slot = t;
            }
        }
        return true;
    }

    bool CheckFaces(const XDataObject& o, const MeshData& mesh) {
        const std::size_t nv = mesh.positions.size();
        for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
            for (std::uint32_t i : mesh.faces[f]) {
                if (i >= nv) {
                    return Fail(o.line, "face " + std::to_string(f) + " of " + mesh.label +
                                            " uses vertex " + std::to_string(i) + " of " +
                                            std::to_string(nv));
                }
            }
        }
        return true;
    }

    // MeshNormals: normals and one normal face per face, corner for corner.
    bool ReadNormals(const XDataObject& obj, MeshData* mesh) {
        mesh->normals = Vectors(obj.data.Field("normals"));
        mesh->normalFaces = ReadFaceLists(obj.data.Field("faceNormals"));
        const auto& faces = mesh->faces;
        if (mesh->normalFaces.size() != faces.size()) {
            return Fail(obj.line, "MeshNormals of " + mesh->label + " has " +
                                      std::to_string(mesh->normalFaces.size()) +
                                      " faces, the mesh " + std::to_string(faces.size()));
        }
        for (std::size_t f = 0; f < faces.size(); ++f) {
            if (mesh->normalFaces[f].size() != faces[f].size()) {
                return Fail(obj.line, "normal face " + std::to_string(f) + " of " + mesh->label +
                                          " has another vertex count");
            }
            for (std::uint32_t i : mesh->normalFaces[f]) {
                if (i >= mesh->normals.size()) {
                    return Fail(obj.line, "normal face " + std::to_string(f) + " of " +
                                              mesh->label + " uses normal " + std::to_string(i) +
                                              " of " + std::to_string(mesh->normals.size()));
                }
            }
        }
        return true;
    }

    // MeshTextureCoords: one (u, v) pair per vertex.
    bool ReadTextureCoords(const XDataObject& obj, MeshData* mesh) {
        const std::size_t nv = mesh->positions.size();
        const XValue* arr = obj.data.Field("textureCoords");
        if (!arr || arr->Count() != nv) {
            return Fail(obj.line, "MeshTextureCoords of " + mesh->label +
                                      " must have one pair per vertex (" + std::to_string(nv) +
                                      ")");
        }
        std::vector<double> n;
        for (std::size_t i = 0; i < nv; ++i) {
            arr->ElementNumbers(i, &n);
            mesh->uvs.emplace_back(n.size() >= 2 ? static_cast<float>(n[0]) : 0,
                                   n.size() >= 2 ? static_cast<float>(n[1]) : 0);
        }
        anyTexCoords_ = true;
        return true;
    }

    // MeshVertexColors: colours by vertex index; vertices not named stay white.
    bool ReadVertexColors(const XDataObject& obj, MeshData* mesh) {
        const std::size_t nv = mesh->positions.size();
        mesh->colors.assign(nv, 0xFFFFFFFFu);
        const XValue* arr = obj.data.Field("vertexColors");
        for (std::size_t i = 0; arr && i < arr->Count(); ++i) {
            const XValue e = arr->Element(i);
            if (e.items.size() < 2) {
                continue;
            }
            const std::int64_t index = e.items[0].AsInt();
            if (index < 0 || static_cast<std::size_t>(index) >= nv) {
                return Fail(obj.line, "vertex colour for vertex " + std::to_string(index) + " of " +
                                          std::to_string(nv) + " in " + mesh->label);
            }
            mesh->colors[static_cast<std::size_t>(index)] = ToD3DColor(Color(&e.items[1], 1));
        }
        anyColors_ = true;
        return true;
    }

    // MeshMaterialList: the materials, and the one each face uses; this mesh's subsets start
    // after those of the meshes before it. Without a list (or with one of no materials) one
    // white material is added and the faces keep subset 0.
    bool ReadMaterialList(const XDataObject* list, MeshData* mesh) {
        const std::uint32_t base = static_cast<std::uint32_t>(materials_.size());
        mesh->faceMaterial.assign(mesh->faces.size(), 0);
        const XValue* nMat = list ? list->data.Field("nMaterials") : nullptr;
        const std::int64_t count = nMat ? nMat->AsInt() : 0;
        if (!list || (nMat && count == 0)) {
            D3DXMATERIAL white;
            white.MatD3D.Diffuse = {1, 1, 1, 1};
            materials_.push_back(white);
            return true;
        }
        std::vector<D3DXMATERIAL> mats;
        for (const auto& c : list->children) {
            if (static_cast<std::int64_t>(mats.size()) >= count) {
                break;
            }
            const XDataObject* t = Resolve(c);
            if (!t) {
                return Fail(c.line, "reference to unknown material '" + c.referenceName + "'");
            }
            D3DXMATERIAL m;
            if (!ReadMaterial(*t, &m)) {
                return false;
            }
            mats.push_back(std::move(m));
        }
        if (static_cast<std::int64_t>(mats.size()) < count) {
            return Fail(list->line, "MeshMaterialList of " + mesh->label + " announces " +
                                        std::to_string(count) + " materials but holds " +
                                        std::to_string(mats.size()));
        }
        const XValue* idx = list->data.Field("faceIndexes");
        const std::size_t given = idx ? idx->Count() : 0;
        std::vector<double> n;
        for (std::size_t f = 0; f < mesh->faces.size(); ++f) {
            // Faces beyond the list keep the last index given.
            std::int64_t m = 0;
            if (given > 0) {
                idx->ElementNumbers(std::min(f, given - 1), &n);
                m = n.empty() ? 0 : Index(n[0]);
            }
            if (m < 0 || m >= count) {
                return Fail(list->line, "face " + std::to_string(f) + " of " + mesh->label +
                                            " uses material " + std::to_string(m) + " of " +
                                            std::to_string(count));
            }
            mesh->faceMaterial[f] = base + static_cast<std::uint32_t>(m);
        }
        for (auto& m : mats) {
            materials_.push_back(std::move(m));
        }
        return true;
    }

    bool AddMesh(const XDataObject& o, const D3DXMATRIX& world) {
        ++meshCount_;
        MeshData mesh;
        mesh.label = o.name.empty() ? "Mesh" : "Mesh '" + o.name + "'";
        mesh.positions = Vectors(o.data.Field("vertices"));
        mesh.faces = ReadFaceLists(o.data.Field("faces"));
        MeshChildren children;
        return FindChildren(o, &children) && CheckFaces(o, mesh) &&
               (!children.normals || ReadNormals(*children.normals, &mesh)) &&
               (!children.textureCoords || ReadTextureCoords(*children.textureCoords, &mesh)) &&
               (!children.vertexColors || ReadVertexColors(*children.vertexColors, &mesh)) &&
               ReadMaterialList(children.materialList, &mesh) &&
               (AppendGeometry(mesh, children.normals != nullptr, world), true);
    }

    // The mesh's faces fanned into triangles, with one vertex per distinct (position, normal)
    // corner, placed by world.
    void AppendGeometry(const MeshData& mesh, bool hasNormals, const D3DXMATRIX& world) {
        // Normals transform with the inverse transpose of the world matrix; a mirroring
        // matrix turns the faces over, so their corner order is reversed to keep them facing
        // out.
        D3DXMATRIX normalMatrix = world;
        float det = 0;
        D3DXMATRIX inverse;
        if (D3DXMatrixInverse(&inverse, &det, &world)) {
            D3DXMatrixTranspose(&normalMatrix, &inverse);
        }
        const bool mirrored = det < 0;

        const std::uint32_t first = static_cast<std::uint32_t>(vertices_.size());
        // One vertex per distinct corner: by position alone without normals (a plain table),
        // by (position, normal) pair with them.
        constexpr std::uint32_t kNone = 0xFFFFFFFFu;
        std::vector<std::uint32_t> byPosition(hasNormals ? 0 : mesh.positions.size(), kNone);
        std::unordered_map<std::uint64_t, std::uint32_t> corners;
        auto vertexFor = [&](std::uint32_t p, std::uint32_t n) {
            const std::uint64_t key = (std::uint64_t{p} << 32) | n;
            if (!hasNormals && byPosition[p] != kNone) {
                return byPosition[p];
            }
            if (const auto it = corners.find(key); hasNormals && it != corners.end()) {
                return it->second;
            }
            MeshVertex v;
            D3DXVec3TransformCoord(&v.position, &mesh.positions[p], &world);
            if (hasNormals) {
                D3DXVec3TransformNormal(&v.normal, &mesh.normals[n], &normalMatrix);
                D3DXVec3Normalize(&v.normal, &v.normal);
            }
            if (!mesh.uvs.empty()) {
                v.u = mesh.uvs[p].first;
                v.v = mesh.uvs[p].second;
            }
            if (!mesh.colors.empty()) {
                v.color = mesh.colors[p];
            }
            const std::uint32_t index = static_cast<std::uint32_t>(vertices_.size());
            vertices_.push_back(v);
            if (hasNormals) {
                corners.emplace(key, index);
            } else {
                byPosition[p] = index;
            }
            return index;
        };
        const std::size_t firstFace = faces_.size();
        for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
            const auto list = mesh.faces[f];
            if (list.size() < 3) {
                continue;  // points and lines have no surface
            }
            auto corner = [&](std::size_t k) {
                return vertexFor(list[k], hasNormals ? mesh.normalFaces[f][k] : 0);
            };
            const std::uint32_t a = corner(0);
            for (std::size_t k = 1; k + 1 < list.size(); ++k) {
                const std::uint32_t b = corner(k), c = corner(k + 1);
                Face face{{a, b, c}, mesh.faceMaterial[f]};
                if (mirrored) {
                    std::swap(face.index[1], face.index[2]);
                }
                faces_.push_back(face);
            }
        }
        if (!hasNormals) {
            ComputeSmoothNormals(first, firstFace);
        }
    }

    // Normals for the vertices from first on, from the faces from firstFace on: each face adds
    // its cross product (weighting by area) to its corners, as ComputeNormals does, without a
    // copy of the vertices.
    void ComputeSmoothNormals(std::uint32_t first, std::size_t firstFace) {
        std::vector<D3DXVECTOR3> sums(vertices_.size() - first);
        for (std::size_t f = firstFace; f < faces_.size(); ++f) {
            const std::uint32_t* i = faces_[f].index;
            const D3DXVECTOR3 a = vertices_[i[0]].position;
            const D3DXVECTOR3 e1 = vertices_[i[1]].position - a;
            const D3DXVECTOR3 e2 = vertices_[i[2]].position - a;
            D3DXVECTOR3 n;
            D3DXVec3Cross(&n, &e1, &e2);
            for (int k = 0; k < 3; ++k) {
                sums[i[k] - first] = sums[i[k] - first] + n;
            }
        }
        for (std::size_t v = 0; v < sums.size(); ++v) {
            D3DXVec3Normalize(&vertices_[first + v].normal, &sums[v]);
        }
    }

    const XDocument& doc_;
    std::string source_;
    std::unordered_map<const XDataObject*, bool> referenced_;
    std::vector<MeshVertex> vertices_;
    std::vector<Face> faces_;
    std::vector<D3DXMATERIAL> materials_;
    int meshCount_ = 0;
    bool anyTexCoords_ = false;
    bool anyColors_ = false;
    std::string error_;
};

}  // namespace

namespace {

MeshResult BuildMesh(const XDocument& doc, std::string_view sourceName, Mesh* mesh,
                     std::vector<D3DXMATERIAL>* materials) {
    MeshResult result;
    Loader loader(doc, sourceName);
    if (!loader.Run(mesh, materials)) {
        result.error = loader.Error();
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace

MeshResult LoadMeshFromXText(std::string_view text, std::string_view sourceName, Mesh* mesh,
                             std::vector<D3DXMATERIAL>* materials) {
    xfile::TemplateRegistry registry;
    XDocument doc;
    if (const xfile::XResult read = xfile::ReadXText(text, sourceName, &registry, &doc); !read) {
        MeshResult result;
        result.error = read.error;
        return result;
    }
    return BuildMesh(doc, sourceName, mesh, materials);
}

MeshResult D3DXLoadMeshFromX(std::string_view path, Mesh* mesh,
                             std::vector<D3DXMATERIAL>* materials) {
    MeshResult result;
    xfile::TemplateRegistry registry;
    XDocument doc;
    {
        // The file's bytes go before the mesh is built: the document holds all it needs.
        const auto bytes = platform::ReadWholeFile(path);
        if (!bytes) {
            result.error = std::string(path) + ": cannot open the file";
            return result;
        }
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        if (const xfile::XResult read = xfile::ReadXText(text, path, &registry, &doc); !read) {
            result.error = read.error;
            return result;
        }
    }
    return BuildMesh(doc, path, mesh, materials);
}

}  // namespace platform::d3dx
