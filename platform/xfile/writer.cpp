#include "platform/xfile/writer.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/files.h"

namespace platform::xfile {

namespace {

constexpr int kMaxDepth = 64;

bool DefaultValue(const TemplateRegistry& registry, const TemplateMember& m, XValue* out,
                  int depth);

bool DefaultStruct(const TemplateRegistry& registry, const Template& t, XValue* out, int depth) {
    if (depth > kMaxDepth) {
        return false;
    }
    out->kind = XValue::Kind::Struct;
    out->items.clear();
    for (const auto& m : t.members) {
        XValue field;
        if (m.isArray) {
            field.kind = XValue::Kind::Array;
            std::uint64_t count = 1;
            for (const auto& d : m.dimensions) {
                count = d.memberName.empty() ? count * d.constant : 0;
            }
            if (count > (1u << 20)) {
                return false;
            }
            TemplateMember element = m;
            element.isArray = false;
            for (std::uint64_t i = 0; i < count; ++i) {
                XValue e;
                if (!DefaultValue(registry, element, &e, depth)) {
                    return false;
                }
                field.items.push_back(std::move(e));
            }
        } else if (!DefaultValue(registry, m, &field, depth)) {
            return false;
        }
        field.name = m.name;
        out->items.push_back(std::move(field));
    }
    return true;
}

bool DefaultValue(const TemplateRegistry& registry, const TemplateMember& m, XValue* out,
                  int depth) {
    if (m.primitive == Primitive::String) {
        *out = XValue::String("");
    } else if (IsFloatPrimitive(m.primitive)) {
        *out = XValue::Float(0);
    } else if (m.primitive != Primitive::None) {
        *out = XValue::Int(0);
    } else {
        const Template* sub = registry.Find(m.typeName);
        return sub && DefaultStruct(registry, *sub, out, depth + 1);
    }
    return true;
}

class Writer {
  public:
    Writer(const TemplateRegistry& registry, std::string* out) : registry_(registry), out_(*out) {}

    bool Object(const XDataObject& o, int indent) {
        const std::string pad(static_cast<std::size_t>(indent), ' ');
        if (o.isReference) {
            out_ += pad + "{ ";
            if (!o.referenceName.empty()) {
                if (!IsName(o.referenceName)) {
                    return Fail("reference to an invalid name '" + o.referenceName + "'");
                }
                out_ += o.referenceName + " ";
            }
            if (o.referenceHasGuid) {
                out_ += '<';
                out_ += o.referenceGuid.ToString();
                out_ += "> ";
            } else if (o.referenceName.empty()) {
                return Fail("a reference without a name or GUID");
            }
            out_ += "}\n";
            return true;
        }
        if (indent > 2 * kMaxDepth) {
            return Fail("objects nested too deeply");
        }
        const Template* t = registry_.Find(o.templateGuid);
        if (!t) {
            t = registry_.Find(o.templateName);
        }
        if (!t) {
            return Fail("no registered template for object '" + o.name + "'");
        }
        if (!o.name.empty() && !IsName(o.name)) {
            return Fail("invalid object name '" + o.name + "'");
        }
        out_ += pad + t->name + (o.name.empty() ? "" : " " + o.name) + " {\n";
        if (o.hasGuid) {
            out_ += pad + " <" + o.guid.ToString() + ">\n";
        }
        if (!Members(*t, o.data, pad + " ", 0)) {
            return false;
        }
        for (const auto& child : o.children) {
            if (!child.isReference) {
                const Template* ct = registry_.Find(child.templateGuid);
                if (!ct) {
                    ct = registry_.Find(child.templateName);
                }
                if (ct && !t->Allows(*ct)) {
                    return Fail("template " + t->name + " does not allow a child " + ct->name);
                }
            }
            if (!Object(child, indent + 1)) {
                return false;
            }
        }
        out_ += pad + "}\n";
        return true;
    }

    const std::string& Error() const { return error_; }

  private:
    static bool IsName(std::string_view s) {
        if (s.empty()) {
            return false;
        }
        for (std::size_t i = 0; i < s.size(); ++i) {
            const char c = s[i];
            const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
            const bool digit = c >= '0' && c <= '9';
            if (!(letter || (i > 0 && (digit || c == '-' || c == '.')))) {
                return false;
            }
        }
        return true;
    }

    bool Fail(std::string what) {
        if (error_.empty()) {
            error_ = std::move(what);
        }
        return false;
    }

    // The members of a top-level structure, one per line.
    bool Members(const Template& t, const XValue& v, const std::string& pad, int depth) {
        if (v.kind != XValue::Kind::Struct || v.items.size() != t.members.size()) {
            return Fail("object of " + t.name + " does not have the template's " +
                        std::to_string(t.members.size()) + " members");
        }
        for (std::size_t i = 0; i < t.members.size(); ++i) {
            std::string line;
            if (!Field(t, t.members[i], v, v.items[i], &line, depth)) {
                return false;
            }
            out_ += pad + line + "\n";
        }
        return true;
    }

    // One member's value followed by its ';'.
    bool Field(const Template& t, const TemplateMember& m, const XValue& owner, const XValue& v,
               std::string* s, int depth) {
        if (depth > kMaxDepth) {
            return Fail("templates nested too deeply");
        }
        if (!m.isArray) {
            if (!Element(m, v, s, depth)) {
                return false;
            }
            *s += ';';
            return true;
        }
        if (v.kind != XValue::Kind::Array) {
            return Fail("member " + m.name + " of " + t.name + " must be an array");
        }
        std::uint64_t count = 1;
        for (const auto& d : m.dimensions) {
            std::uint64_t n = d.constant;
            if (!d.memberName.empty()) {
                const XValue* dim = owner.Field(d.memberName);
                if (!dim || dim->kind != XValue::Kind::Integer || dim->integer < 0) {
                    return Fail("array " + m.name + " of " + t.name + ": bad size member " +
                                d.memberName);
                }
                n = static_cast<std::uint64_t>(dim->integer);
            }
            count *= n;
            if (count > (1ull << 32)) {
                return Fail("array " + m.name + " of " + t.name + " too large");
            }
        }
        if (v.Count() != count) {
            return Fail("array " + m.name + " of " + t.name + " has " + std::to_string(v.Count()) +
                        " elements where its size says " + std::to_string(count));
        }
        for (std::size_t i = 0; i < v.Count(); ++i) {
            if (i > 0) {
                *s += m.primitive == Primitive::None ? ",\n " : ", ";
            }
            // Packed elements are rebuilt one at a time.
            const XValue rebuilt = v.packed ? v.Element(i) : XValue();
            if (!Element(m, v.packed ? rebuilt : v.items[i], s, depth)) {
                return false;
            }
        }
        *s += ';';
        return true;
    }

    // One value without its terminating ';' (a structure writes each of its members with
    // its own ';').
    bool Element(const TemplateMember& m, const XValue& v, std::string* s, int depth) {
        char buf[64];
        switch (m.primitive) {
            case Primitive::None: {
                const Template* sub = registry_.Find(m.typeName);
                if (!sub) {
                    return Fail("unknown member type " + m.typeName);
                }
                if (v.kind != XValue::Kind::Struct || v.items.size() != sub->members.size()) {
                    return Fail("member " + m.name + " must hold a " + sub->name);
                }
                for (std::size_t i = 0; i < sub->members.size(); ++i) {
                    if (!Field(*sub, sub->members[i], v, v.items[i], s, depth + 1)) {
                        return false;
                    }
                }
                return true;
            }
            case Primitive::String:
                if (v.kind != XValue::Kind::String) {
                    return Fail("member " + m.name + " must be a string");
                }
                if (v.text.find_first_of("\"\n") != std::string::npos) {
                    return Fail("string of member " + m.name +
                                " holds a quote or a line break, which the format cannot hold");
                }
                *s += '"' + v.text + '"';
                return true;
            case Primitive::Float:
            case Primitive::Double: {
                if (v.kind != XValue::Kind::Float && v.kind != XValue::Kind::Integer) {
                    return Fail("member " + m.name + " must be a number");
                }
                const double d = v.AsFloat();
                if (!std::isfinite(d)) {
                    return Fail("member " + m.name + " is not a finite number");
                }
                if (m.primitive == Primitive::Float) {
                    std::snprintf(buf, sizeof buf, "%.9g",
                                  static_cast<double>(static_cast<float>(d)));
                } else {
                    std::snprintf(buf, sizeof buf, "%.17g", d);
                }
                std::string text = buf;
                if (text.find_first_of(".e") == std::string::npos) {
                    text += ".0";
                }
                *s += text;
                return true;
            }
            default:
                if (v.kind != XValue::Kind::Integer) {
                    return Fail("member " + m.name + " must be an integer");
                }
                std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.integer));
                *s += buf;
                return true;
        }
    }

    const TemplateRegistry& registry_;
    std::string& out_;
    std::string error_;
};

}  // namespace

XResult MakeDataObject(const TemplateRegistry& registry, const Guid& templateGuid,
                       std::string_view name, XDataObject* out) {
    const Template* t = registry.Find(templateGuid);
    if (!t) {
        return XResult::Fail("template " + templateGuid.ToString(), 0, "not registered");
    }
    XDataObject o;
    o.templateName = t->name;
    o.templateGuid = t->guid;
    o.name = std::string(name);
    if (!DefaultStruct(registry, *t, &o.data, 0)) {
        return XResult::Fail("template " + t->name, 0, "cannot make a default object");
    }
    *out = std::move(o);
    return XResult::Ok();
}

XResult WriteXText(const std::vector<XDataObject>& objects, const TemplateRegistry& registry,
                   std::string* out) {
    std::string text = "xof 0302txt 0032\n";
    Writer w(registry, &text);
    for (const auto& o : objects) {
        text += "\n";
        if (!w.Object(o, 0)) {
            return XResult::Fail("object " + (o.name.empty() ? o.templateName : o.name), 0,
                                 w.Error());
        }
    }
    *out = std::move(text);
    return XResult::Ok();
}

XResult SaveXFile(std::string_view path, const std::vector<XDataObject>& objects,
                  const TemplateRegistry& registry) {
    std::string text;
    const XResult r = WriteXText(objects, registry, &text);
    if (!r) {
        return XResult::Fail(path, 0, r.error);
    }
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> f(std::fopen(platform::NativePath(path).c_str(), "wb"));
    if (!f) {
        return XResult::Fail(path, 0, "cannot open the file for writing");
    }
    if (std::fwrite(text.data(), 1, text.size(), f.get()) != text.size()) {
        return XResult::Fail(path, 0, "write failed");
    }
    if (std::fclose(f.release()) != 0) {
        return XResult::Fail(path, 0, "write failed");
    }
    return XResult::Ok();
}

}  // namespace platform::xfile
