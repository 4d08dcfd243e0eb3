#include "platform/xfile/templates.h"

#include <cctype>

#include "platform/xfile/reader.h"

namespace platform::xfile {

namespace {

// The standard templates, written in the format's own syntax and read by our reader when a
// registry is made.
constexpr std::string_view kStandardTemplates = R"(xof 0302txt 0032
template Header {
 <3D82AB43-62DA-11cf-AB39-0020AF71E433>
 WORD major;
 WORD minor;
 DWORD flags;
}
template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
template Coords2d {
 <F6F23F44-7686-11cf-8F52-0040333594A3>
 FLOAT u;
 FLOAT v;
}
template Matrix4x4 {
 <F6F23F45-7686-11cf-8F52-0040333594A3>
 array FLOAT matrix[16];
}
template ColorRGBA {
 <35FF44E0-6C7C-11cf-8F52-0040333594A3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
 FLOAT alpha;
}
template ColorRGB {
 <D3E16E81-7835-11cf-8F52-0040333594A3>
 FLOAT red;
 FLOAT green;
 FLOAT blue;
}
template IndexedColor {
 <1630B820-7842-11cf-8F52-0040333594A3>
 DWORD index;
 ColorRGBA indexColor;
}
template Boolean {
 <4885AE61-78E8-11cf-8F52-0040333594A3>
 WORD truefalse;
}
template Boolean2d {
 <4885AE63-78E8-11cf-8F52-0040333594A3>
 Boolean u;
 Boolean v;
}
template MaterialWrap {
 <4885AE60-78E8-11cf-8F52-0040333594A3>
 Boolean u;
 Boolean v;
}
template TextureFilename {
 <A42790E1-7810-11cf-8F52-0040333594A3>
 STRING filename;
}
template Material {
 <3D82AB4D-62DA-11cf-AB39-0020AF71E433>
 ColorRGBA faceColor;
 FLOAT power;
 ColorRGB specularColor;
 ColorRGB emissiveColor;
 [...]
}
template MeshFace {
 <3D82AB5F-62DA-11cf-AB39-0020AF71E433>
 DWORD nFaceVertexIndices;
 array DWORD faceVertexIndices[nFaceVertexIndices];
}
template MeshFaceWraps {
 <4885AE62-78E8-11cf-8F52-0040333594A3>
 DWORD nFaceWrapValues;
 array Boolean2d faceWrapValues[nFaceWrapValues];
}
template MeshTextureCoords {
 <F6F23F40-7686-11cf-8F52-0040333594A3>
 DWORD nTextureCoords;
 array Coords2d textureCoords[nTextureCoords];
}
template MeshMaterialList {
 <F6F23F42-7686-11cf-8F52-0040333594A3>
 DWORD nMaterials;
 DWORD nFaceIndexes;
 array DWORD faceIndexes[nFaceIndexes];
 [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>]
}
template MeshNormals {
 <F6F23F43-7686-11cf-8F52-0040333594A3>
 DWORD nNormals;
 array Vector normals[nNormals];
 DWORD nFaceNormals;
 array MeshFace faceNormals[nFaceNormals];
}
template MeshVertexColors {
 <1630B821-7842-11cf-8F52-0040333594A3>
 DWORD nVertexColors;
 array IndexedColor vertexColors[nVertexColors];
}
template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}
template FrameTransformMatrix {
 <F6F23F41-7686-11cf-8F52-0040333594A3>
 Matrix4x4 frameMatrix;
}
template Frame {
 <3D82AB46-62DA-11cf-AB39-0020AF71E433>
 [...]
}
template FloatKeys {
 <10DD46A9-775B-11cf-8F52-0040333594A3>
 DWORD nValues;
 array FLOAT values[nValues];
}
template TimedFloatKeys {
 <F406B180-7B3B-11cf-8F52-0040333594A3>
 DWORD time;
 FloatKeys tfkeys;
}
template AnimationKey {
 <10DD46A8-775B-11cf-8F52-0040333594A3>
 DWORD keyType;
 DWORD nKeys;
 array TimedFloatKeys keys[nKeys];
}
template AnimationOptions {
 <E2BF56C0-840F-11cf-8F52-0040333594A3>
 DWORD openclosed;
 DWORD positionquality;
}
template Animation {
 <3D82AB4F-62DA-11cf-AB39-0020AF71E433>
 [...]
}
template AnimationSet {
 <3D82AB50-62DA-11cf-AB39-0020AF71E433>
 [Animation <3D82AB4F-62DA-11cf-AB39-0020AF71E433>]
}
)";

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

Primitive PrimitiveFromName(std::string_view name) {
    struct Entry {
        const char* name;
        Primitive primitive;
    };
    static constexpr Entry kEntries[] = {
        {"WORD", Primitive::Word},      {"DWORD", Primitive::Dword},
        {"FLOAT", Primitive::Float},    {"DOUBLE", Primitive::Double},
        {"CHAR", Primitive::Char},      {"UCHAR", Primitive::Uchar},
        {"BYTE", Primitive::Byte},      {"SWORD", Primitive::Sword},
        {"SDWORD", Primitive::Sdword},  {"ULONGLONG", Primitive::Ulonglong},
        {"STRING", Primitive::String},  {"LPSTR", Primitive::String},
        {"CSTRING", Primitive::String}, {"UNICODE", Primitive::String},
        {"INT", Primitive::Sdword},     {"UINT", Primitive::Dword},
    };
    for (const auto& e : kEntries) {
        if (EqualNoCase(name, e.name)) {
            return e.primitive;
        }
    }
    return Primitive::None;
}

bool IsFloatPrimitive(Primitive p) {
    return p == Primitive::Float || p == Primitive::Double;
}

bool Template::Allows(const Template& child) const {
    switch (restriction) {
        case Restriction::Open:
            return true;
        case Restriction::Closed:
            return false;
        case Restriction::Restricted:
            for (const auto& a : allowed) {
                if (a.hasGuid ? a.guid == child.guid : a.name == child.name) {
                    return true;
                }
            }
            return false;
    }
    return false;
}

TemplateRegistry::TemplateRegistry() {
    const XResult r = RegisterTemplates(kStandardTemplates, "standard templates");
    (void)r;  // the built-in text is known to be valid (and tested)
}

XResult TemplateRegistry::RegisterTemplates(std::string_view text, std::string_view sourceName) {
    XDocument ignored;
    return ReadXText(text, sourceName, this, &ignored);
}

bool TemplateRegistry::Add(Template t, std::string* error) {
    for (const auto& existing : templates_) {
        if (existing.guid == t.guid && existing.name != t.name) {
            *error = "template " + t.name + " has the GUID of template " + existing.name;
            return false;
        }
    }
    for (auto& existing : templates_) {
        if (existing.name == t.name) {
            existing = std::move(t);
            return true;
        }
    }
    templates_.push_back(std::move(t));
    return true;
}

const Template* TemplateRegistry::Find(std::string_view name) const {
    for (const auto& t : templates_) {
        if (t.name == name) {
            return &t;
        }
    }
    return nullptr;
}

const Template* TemplateRegistry::Find(const Guid& guid) const {
    for (const auto& t : templates_) {
        if (t.guid == guid) {
            return &t;
        }
    }
    return nullptr;
}

}  // namespace platform::xfile
