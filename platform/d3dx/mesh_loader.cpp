// Builds one Mesh from the Mesh objects of a .x document: frames walked with their transforms,
// faces fanned into triangles, normals per face corner, materials concatenated.
#include <algorithm>
#include <cmath>
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
        if (!arr || arr->items.size() != 16) {
            return false;
        }
        for (int i = 0; i < 16; ++i) {
            m->m[i / 4][i % 4] = static_cast<float>(arr->items[i].AsFloat());
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
        v.reserve(arr->items.size());
        for (const auto& e : arr->items) {
            if (e.items.size() < 3) {
                v.push_back({});
                continue;
            }
            v.push_back({static_cast<float>(e.items[0].AsFloat()),
                         static_cast<float>(e.items[1].AsFloat()),
                         static_cast<float>(e.items[2].AsFloat())});
        }
        return v;
    }

    // The index lists of an array of MeshFace structures.
    static std::vector<std::vector<std::uint32_t>> FaceLists(const XValue* arr) {
        std::vector<std::vector<std::uint32_t>> faces;
        if (!arr) {
            return faces;
        }
        faces.reserve(arr->items.size());
        for (const auto& f : arr->items) {
            std::vector<std::uint32_t> list;
            if (f.items.size() >= 2) {
                for (const auto& i : f.items[1].items) {
                    list.push_back(static_cast<std::uint32_t>(i.AsInt()));
                }
            }
            faces.push_back(std::move(list));
        }
        return faces;
    }

    bool AddMesh(const XDataObject& o, const D3DXMATRIX& world) {
        ++meshCount_;
        const std::string label = o.name.empty() ? "Mesh" : "Mesh '" + o.name + "'";
        const std::vector<D3DXVECTOR3> positions = Vectors(o.data.Field("vertices"));
        const auto faces = FaceLists(o.data.Field("faces"));
        const std::size_t nv = positions.size();

        const XDataObject* normalsObj = nullptr;
        const XDataObject* uvObj = nullptr;
        const XDataObject* colorsObj = nullptr;
        const XDataObject* materialList = nullptr;
        for (const auto& c : o.children) {
            const XDataObject* t = Resolve(c);
            if (!t) {
                if (c.isReference) {
                    return Fail(c.line, "reference to unknown object '" + c.referenceName + "'");
                }
                continue;
            }
            if (t->templateName == "MeshNormals" && !normalsObj) {
                normalsObj = t;
            } else if (t->templateName == "MeshTextureCoords" && !uvObj) {
                uvObj = t;
            } else if (t->templateName == "MeshVertexColors" && !colorsObj) {
                colorsObj = t;
            } else if (t->templateName == "MeshMaterialList" && !materialList) {
                materialList = t;
            }
        }

        for (std::size_t f = 0; f < faces.size(); ++f) {
            for (std::uint32_t i : faces[f]) {
                if (i >= nv) {
                    return Fail(o.line, "face " + std::to_string(f) + " of " + label +
                                            " uses vertex " + std::to_string(i) + " of " +
                                            std::to_string(nv));
                }
            }
        }

        std::vector<D3DXVECTOR3> normals;
        std::vector<std::vector<std::uint32_t>> normalFaces;
        if (normalsObj) {
            normals = Vectors(normalsObj->data.Field("normals"));
            normalFaces = FaceLists(normalsObj->data.Field("faceNormals"));
            if (normalFaces.size() != faces.size()) {
                return Fail(normalsObj->line, "MeshNormals of " + label + " has " +
                                                  std::to_string(normalFaces.size()) +
                                                  " faces, the mesh " +
                                                  std::to_string(faces.size()));
            }
            for (std::size_t f = 0; f < faces.size(); ++f) {
                if (normalFaces[f].size() != faces[f].size()) {
                    return Fail(normalsObj->line, "normal face " + std::to_string(f) + " of " +
                                                      label + " has another vertex count");
                }
                for (std::uint32_t i : normalFaces[f]) {
                    if (i >= normals.size()) {
                        return Fail(normalsObj->line, "normal face " + std::to_string(f) + " of " +
                                                          label + " uses normal " +
                                                          std::to_string(i) + " of " +
                                                          std::to_string(normals.size()));
                    }
                }
            }
        }

        std::vector<std::pair<float, float>> uvs;
        if (uvObj) {
            const XValue* arr = uvObj->data.Field("textureCoords");
            if (!arr || arr->items.size() != nv) {
                return Fail(uvObj->line, "MeshTextureCoords of " + label +
                                             " must have one pair per vertex (" +
                                             std::to_string(nv) + ")");
            }
            for (const auto& e : arr->items) {
                uvs.emplace_back(
                    e.items.size() >= 2 ? static_cast<float>(e.items[0].AsFloat()) : 0,
                    e.items.size() >= 2 ? static_cast<float>(e.items[1].AsFloat()) : 0);
            }
            anyTexCoords_ = true;
        }

        std::vector<std::uint32_t> colors;
        if (colorsObj) {
            colors.assign(nv, 0xFFFFFFFFu);
            const XValue* arr = colorsObj->data.Field("vertexColors");
            for (const auto& e : arr ? arr->items : std::vector<XValue>{}) {
                if (e.items.size() < 2) {
                    continue;
                }
                const std::int64_t index = e.items[0].AsInt();
                if (index < 0 || static_cast<std::size_t>(index) >= nv) {
                    return Fail(colorsObj->line, "vertex colour for vertex " +
                                                     std::to_string(index) + " of " +
                                                     std::to_string(nv) + " in " + label);
                }
                colors[static_cast<std::size_t>(index)] = ToD3DColor(Color(&e.items[1], 1));
            }
            anyColors_ = true;
        }

        // Materials: this mesh's subsets start after those of the meshes before it.
        const std::uint32_t base = static_cast<std::uint32_t>(materials_.size());
        std::vector<std::uint32_t> faceMaterial(faces.size(), 0);
        // A list of no materials says as little as no list at all.
        const XValue* announced = materialList ? materialList->data.Field("nMaterials") : nullptr;
        if (announced && announced->AsInt() == 0) {
            materialList = nullptr;
        }
        if (materialList) {
            const XValue* nMat = materialList->data.Field("nMaterials");
            const XValue* idx = materialList->data.Field("faceIndexes");
            const std::int64_t count = nMat ? nMat->AsInt() : 0;
            std::vector<D3DXMATERIAL> mats;
            for (const auto& c : materialList->children) {
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
                return Fail(materialList->line,
                            "MeshMaterialList of " + label + " announces " + std::to_string(count) +
                                " materials but holds " + std::to_string(mats.size()));
            }
            const std::size_t given = idx ? idx->items.size() : 0;
            for (std::size_t f = 0; f < faces.size(); ++f) {
                // Faces beyond the list keep the last index given.
                const std::int64_t m = given == 0 ? 0 : idx->items[std::min(f, given - 1)].AsInt();
                if (m < 0 || m >= count) {
                    return Fail(materialList->line, "face " + std::to_string(f) + " of " + label +
                                                        " uses material " + std::to_string(m) +
                                                        " of " + std::to_string(count));
                }
                faceMaterial[f] = base + static_cast<std::uint32_t>(m);
            }
            for (auto& m : mats) {
                materials_.push_back(std::move(m));
            }
        } else {
            D3DXMATERIAL white;
            white.MatD3D.Diffuse = {1, 1, 1, 1};
            materials_.push_back(white);
        }

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
        std::unordered_map<std::uint64_t, std::uint32_t> corners;
        auto vertexFor = [&](std::uint32_t p, std::uint32_t n) {
            const std::uint64_t key = (std::uint64_t{p} << 32) | n;
            const auto it = corners.find(key);
            if (it != corners.end()) {
                return it->second;
            }
            MeshVertex v;
            D3DXVec3TransformCoord(&v.position, &positions[p], &world);
            if (normalsObj) {
                D3DXVec3TransformNormal(&v.normal, &normals[n], &normalMatrix);
                D3DXVec3Normalize(&v.normal, &v.normal);
            }
            if (!uvs.empty()) {
                v.u = uvs[p].first;
                v.v = uvs[p].second;
            }
            if (!colors.empty()) {
                v.color = colors[p];
            }
            const std::uint32_t index = static_cast<std::uint32_t>(vertices_.size());
            vertices_.push_back(v);
            corners.emplace(key, index);
            return index;
        };
        const std::size_t firstFace = faces_.size();
        for (std::size_t f = 0; f < faces.size(); ++f) {
            const auto& list = faces[f];
            if (list.size() < 3) {
                continue;  // points and lines have no surface
            }
            auto corner = [&](std::size_t k) {
                return vertexFor(list[k], normalsObj ? normalFaces[f][k] : 0);
            };
            const std::uint32_t a = corner(0);
            for (std::size_t k = 1; k + 1 < list.size(); ++k) {
                const std::uint32_t b = corner(k), c = corner(k + 1);
                Face face{{a, b, c}, faceMaterial[f]};
                if (mirrored) {
                    std::swap(face.index[1], face.index[2]);
                }
                faces_.push_back(face);
            }
        }
        if (!normalsObj) {
            ComputeSmoothNormals(first, firstFace);
        }
        return true;
    }

    // Normals for the vertices from first on, from the faces from firstFace on.
    void ComputeSmoothNormals(std::uint32_t first, std::size_t firstFace) {
        Mesh part;
        part.vertices.assign(vertices_.begin() + first, vertices_.end());
        for (std::size_t f = firstFace; f < faces_.size(); ++f) {
            for (std::uint32_t i : faces_[f].index) {
                part.indices.push_back(i - first);
            }
        }
        ComputeNormals(&part);
        for (std::size_t v = 0; v < part.vertices.size(); ++v) {
            vertices_[first + v].normal = part.vertices[v].normal;
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

MeshResult LoadMeshFromXText(std::string_view text, std::string_view sourceName, Mesh* mesh,
                             std::vector<D3DXMATERIAL>* materials) {
    MeshResult result;
    xfile::TemplateRegistry registry;
    XDocument doc;
    const xfile::XResult read = xfile::ReadXText(text, sourceName, &registry, &doc);
    if (!read) {
        result.error = read.error;
        return result;
    }
    Loader loader(doc, sourceName);
    if (!loader.Run(mesh, materials)) {
        result.error = loader.Error();
        return result;
    }
    result.ok = true;
    return result;
}

MeshResult D3DXLoadMeshFromX(std::string_view path, Mesh* mesh,
                             std::vector<D3DXMATERIAL>* materials) {
    const auto bytes = platform::ReadWholeFile(path);
    if (!bytes) {
        MeshResult result;
        result.error = std::string(path) + ": cannot open the file";
        return result;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return LoadMeshFromXText(text, path, mesh, materials);
}

}  // namespace platform::d3dx
