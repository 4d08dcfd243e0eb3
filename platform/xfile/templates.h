// Templates of the .x format (the types of data objects) and the registry that knows them:
// the standard mesh and frame templates are built in; more are registered from text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/xfile/xdata.h"

namespace platform::xfile {

enum class Primitive {
    None,  // the member's type is a template
    Word,
    Dword,
    Float,
    Double,
    Char,
    Uchar,
    Byte,
    Sword,
    Sdword,
    Ulonglong,
    String,
};

// The primitive named by a type keyword (case-insensitive: "DWORD", "float"), or None.
Primitive PrimitiveFromName(std::string_view name);
bool IsFloatPrimitive(Primitive p);

// One array dimension: a constant or the name of an earlier member of the same template.
struct ArrayDimension {
    std::uint32_t constant = 0;
    std::string memberName;  // empty for a constant
};

struct TemplateMember {
    Primitive primitive = Primitive::None;
    std::string typeName;  // as written ("DWORD", "Vector")
    std::string name;
    bool isArray = false;
    std::vector<ArrayDimension> dimensions;  // element count is their product
};

struct Template {
    enum class Restriction { Closed, Open, Restricted };
    std::string name;
    Guid guid;
    std::vector<TemplateMember> members;
    Restriction restriction = Restriction::Closed;
    // Templates allowed as children of a restricted template (by name; guid when given).
    struct Allowed {
        std::string name;
        Guid guid;
        bool hasGuid = false;
    };
    std::vector<Allowed> allowed;

    bool Allows(const Template& child) const;
};

// The templates known to a reader or writer. A registry starts with the standard templates
// (Header, Vector, Coords2d, Matrix4x4, ColorRGBA, ColorRGB, IndexedColor, Boolean, Boolean2d,
// MaterialWrap, TextureFilename, Material, MeshFace, MeshFaceWraps, MeshTextureCoords,
// MeshMaterialList, MeshNormals, MeshVertexColors, Mesh, FrameTransformMatrix, Frame,
// FloatKeys, TimedFloatKeys, AnimationKey, AnimationOptions, Animation, AnimationSet).
class TemplateRegistry {
  public:
    TemplateRegistry();

    // Registers the templates of a .x text ("xof 0302txt 0032" followed by template
    // definitions; data objects in it are checked but not kept).
    XResult RegisterTemplates(std::string_view text, std::string_view sourceName = "templates");

    // Adds a template. A template of a name already known replaces the earlier definition
    // (files often repeat the standard ones); a GUID already used by another name is refused.
    bool Add(Template t, std::string* error);

    const Template* Find(std::string_view name) const;
    const Template* Find(const Guid& guid) const;
    std::size_t Size() const { return templates_.size(); }

  private:
    std::vector<Template> templates_;
};

}  // namespace platform::xfile
