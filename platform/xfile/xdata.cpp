#include "platform/xfile/xdata.h"

#include <cstdio>

namespace platform::xfile {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads digits hex digits from text at pos into value.
bool ReadHex(std::string_view text, std::size_t& pos, int digits, std::uint64_t* value) {
    std::uint64_t v = 0;
    for (int i = 0; i < digits; ++i, ++pos) {
        if (pos >= text.size()) {
            return false;
        }
        const int d = HexDigit(text[pos]);
        if (d < 0) {
            return false;
        }
        v = (v << 4) | static_cast<std::uint64_t>(d);
    }
    *value = v;
    return true;
}

template <typename Object, typename Pred>
const Object* FindDepthFirst(const std::vector<Object>& objects, const Pred& pred) {
    for (const auto& o : objects) {
        if (o.isReference) {
            continue;
        }
        if (pred(o)) {
            return &o;
        }
        if (const Object* found = FindDepthFirst(o.children, pred)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

bool Guid::Parse(std::string_view text, Guid* out) {
    if (text.size() >= 2 && ((text.front() == '<' && text.back() == '>') ||
                             (text.front() == '{' && text.back() == '}'))) {
        text = text.substr(1, text.size() - 2);
    }
    // Tolerate blanks around the GUID inside its brackets.
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.size() != 36) {
        return false;
    }
    std::size_t pos = 0;
    std::uint64_t d1, d2, d3, d4a, d4b;
    if (!ReadHex(text, pos, 8, &d1) || text[pos++] != '-' || !ReadHex(text, pos, 4, &d2) ||
        text[pos++] != '-' || !ReadHex(text, pos, 4, &d3) || text[pos++] != '-' ||
        !ReadHex(text, pos, 4, &d4a) || text[pos++] != '-' || !ReadHex(text, pos, 12, &d4b)) {
        return false;
    }
    Guid g;
    for (int i = 0; i < 4; ++i) {
        g.bytes[i] = static_cast<std::uint8_t>(d1 >> (8 * i));
    }
    for (int i = 0; i < 2; ++i) {
        g.bytes[4 + i] = static_cast<std::uint8_t>(d2 >> (8 * i));
        g.bytes[6 + i] = static_cast<std::uint8_t>(d3 >> (8 * i));
    }
    g.bytes[8] = static_cast<std::uint8_t>(d4a >> 8);
    g.bytes[9] = static_cast<std::uint8_t>(d4a);
    for (int i = 0; i < 6; ++i) {
        g.bytes[10 + i] = static_cast<std::uint8_t>(d4b >> (8 * (5 - i)));
    }
    *out = g;
    return true;
}

std::string Guid::ToString() const {
    const auto& b = bytes;
    char buf[40];
    std::snprintf(buf, sizeof buf,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return buf;
}

bool Guid::IsNull() const {
    for (auto b : bytes) {
        if (b != 0) {
            return false;
        }
    }
    return true;
}

XResult XResult::Fail(std::string_view source, int line, std::string_view what) {
    XResult r;
    r.ok = false;
    r.line = line;
    r.error = std::string(source);
    if (line > 0) {
        r.error += ':';
        r.error += std::to_string(line);
    }
    r.error += ": ";
    r.error += what;
    return r;
}

XValue XValue::Int(std::int64_t v) {
    XValue x;
    x.kind = Kind::Integer;
    x.integer = v;
    x.number = static_cast<double>(v);
    return x;
}

XValue XValue::Float(double v) {
    XValue x;
    x.kind = Kind::Float;
    x.number = v;
    return x;
}

XValue XValue::String(std::string v) {
    XValue x;
    x.kind = Kind::String;
    x.text = std::move(v);
    return x;
}

std::size_t XValue::Count() const {
    if (!packed) {
        return items.size();
    }
    return packed->ofStructs ? packed->starts.size() - 1 : packed->numbers.size();
}

namespace {
XValue Number(double v, bool isFloat) {
    return isFloat ? XValue::Float(v) : XValue::Int(static_cast<std::int64_t>(v));
}
}  // namespace

XValue XValue::Element(std::size_t i) const {
    if (!packed) {
        return items[i];
    }
    if (!packed->ofStructs) {
        return Number(packed->numbers[i], packed->isFloat);
    }
    const std::size_t begin = packed->starts[i], end = packed->starts[i + 1];
    std::size_t scalars = 0;
    for (const auto& m : packed->members) {
        scalars += m.isArray ? 0 : 1;
    }
    const std::size_t arrayLength = end - begin - scalars;
    XValue element;
    element.kind = Kind::Struct;
    std::size_t at = begin;
    for (const auto& m : packed->members) {
        XValue field;
        if (m.isArray) {
            field.kind = Kind::Array;
            for (std::size_t k = 0; k < arrayLength; ++k) {
                field.items.push_back(Number(packed->numbers[at++], m.isFloat));
            }
        } else {
            field = Number(packed->numbers[at++], m.isFloat);
        }
        field.name = m.name;
        element.items.push_back(std::move(field));
    }
    return element;
}

void XValue::ElementNumbers(std::size_t i, std::vector<double>* out) const {
    out->clear();
    if (packed) {
        const std::size_t begin = packed->ofStructs ? packed->starts[i] : i;
        const std::size_t end = packed->ofStructs ? packed->starts[i + 1] : i + 1;
        out->assign(packed->numbers.begin() + static_cast<std::ptrdiff_t>(begin),
                    packed->numbers.begin() + static_cast<std::ptrdiff_t>(end));
        return;
    }
    const XValue& e = items[i];
    auto add = [out](const XValue& v) {
        if (v.kind == Kind::Integer || v.kind == Kind::Float) {
            out->push_back(v.AsFloat());
        }
    };
    if (e.kind != Kind::Struct) {
        add(e);
        return;
    }
    for (const auto& field : e.items) {
        add(field);
        if (field.kind == Kind::Array) {
            for (const auto& inner : field.items) {
                add(inner);
            }
        }
    }
}

const XValue* XValue::Field(std::string_view fieldName) const {
    if (kind != Kind::Struct) {
        return nullptr;
    }
    for (const auto& f : items) {
        if (f.name == fieldName) {
            return &f;
        }
    }
    return nullptr;
}

XValue* XValue::Field(std::string_view fieldName) {
    return const_cast<XValue*>(static_cast<const XValue*>(this)->Field(fieldName));
}

bool XValue::Set(std::string_view fieldName, XValue value) {
    XValue* f = Field(fieldName);
    if (!f) {
        return false;
    }
    value.name = std::move(f->name);
    *f = std::move(value);
    return true;
}

const XDataObject* XDocument::FindByGuid(const Guid& guid) const {
    return FindDepthFirst(objects,
                          [&](const XDataObject& o) { return o.hasGuid && o.guid == guid; });
}

const XDataObject* XDocument::Resolve(const XDataObject& reference) const {
    if (!reference.isReference) {
        return &reference;
    }
    if (!reference.referenceName.empty()) {
        return FindDepthFirst(objects, [&](const XDataObject& o) {
            return o.name == reference.referenceName &&
                   (!reference.referenceHasGuid || !o.hasGuid || o.guid == reference.referenceGuid);
        });
    }
    if (reference.referenceHasGuid) {
        return FindByGuid(reference.referenceGuid);
    }
    return nullptr;
}

}  // namespace platform::xfile
