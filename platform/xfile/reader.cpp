#include "platform/xfile/reader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/xfile/lexer.h"

namespace platform::xfile {

namespace {

constexpr int kMaxObjectDepth = 64;  // nested data objects
constexpr int kMaxStructDepth = 32;  // templates used as members of templates
// Arrays of at least this many elements are packed when their elements allow it.
constexpr std::uint64_t kPackedMinimum = 1024;

bool IsKeyword(std::string_view text, std::string_view keyword) {
    if (text.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != keyword[i]) {
            return false;
        }
    }
    return true;
}

// open + text + close, built by appending (no temporaries to splice in front of).
std::string Enclosed(std::string_view open, std::string_view text, std::string_view close) {
    std::string out;
    out.reserve(open.size() + text.size() + close.size());
    out.append(open).append(text).append(close);
    return out;
}

std::string Describe(const Token& t) {
    switch (t.kind) {
        case Token::Kind::Name:
        case Token::Kind::Integer:
        case Token::Kind::Float:
            return Enclosed("'", t.text, "'");
        case Token::Kind::String:
            return Enclosed("the string \"", t.text, "\"");
        default:
            return TokenKindName(t.kind);
    }
}

struct IntRange {
    std::int64_t min, max;
};

IntRange RangeOf(Primitive p) {
    switch (p) {
        case Primitive::Word:
            return {0, 0xFFFF};
        case Primitive::Dword:
            return {0, 0xFFFFFFFFll};
        case Primitive::Char:
            return {-128, 127};
        case Primitive::Uchar:
        case Primitive::Byte:
            return {0, 255};
        case Primitive::Sword:
            return {-32768, 32767};
        case Primitive::Sdword:
            return {-2147483648ll, 2147483647ll};
        default:
            return {0, std::numeric_limits<std::int64_t>::max()};
    }
}

class Parser {
  public:
    // text has been counted to hold tokenCount tokens (End included) without a lexing error;
    // they are read one at a time, never all held at once.
    Parser(std::string_view source, std::string_view text, std::size_t tokenCount,
           TemplateRegistry* registry)
        : source_(source), lexer_(text, 1), tokenCount_(tokenCount), registry_(registry) {
        // Every value read costs one unit; a file can never make more values than a small
        // multiple of its tokens, whatever counts it claims.
        budget_ = tokenCount * 4 + 64;
        lexer_.Next(&current_);
    }

    XResult Run(XDocument* out) {
        while (true) {
            const Token t = Peek();
            if (t.kind == Token::Kind::End) {
                return XResult::Ok();
            }
            if (t.kind == Token::Kind::Semicolon || t.kind == Token::Kind::Comma) {
                Next();
                continue;
            }
            if (t.kind == Token::Kind::Name && IsKeyword(t.text, "template")) {
                Next();
                if (!ParseTemplate()) {
                    return error_;
                }
                continue;
            }
            if (t.kind != Token::Kind::Name) {
                Fail(t, "expected a template or a data object, found " + Describe(t));
                return error_;
            }
            XDataObject object;
            if (!ParseDataObject(nullptr, &object, 0)) {
                return error_;
            }
            out->objects.push_back(std::move(object));
        }
    }

  private:
    // Tokens are handed out by value: the one looked at changes with every Next.
    Token Peek() const { return current_; }
    Token Next() {
        const Token t = current_;
        if (current_.kind != Token::Kind::End) {
            lexer_.Next(&current_);
            ++consumed_;
        }
        return t;
    }
    std::size_t Remaining() const { return tokenCount_ - consumed_; }

    bool Fail(const Token& at, std::string what) {
        if (error_.ok) {
            error_ = XResult::Fail(source_, at.line, what);
        }
        return false;
    }
    bool Expect(Token::Kind kind, std::string_view context) {
        const Token& t = Next();
        if (t.kind != kind) {
            return Fail(t, std::string("expected ") + TokenKindName(kind) + " " +
                               std::string(context) + ", found " + Describe(t));
        }
        return true;
    }
    bool Spend(const Token& at) {
        if (budget_ == 0) {
            return Fail(at, "the data claims more values than the file holds");
        }
        --budget_;
        return true;
    }
    void SkipSeparators() {
        while (Peek().kind == Token::Kind::Semicolon || Peek().kind == Token::Kind::Comma) {
            Next();
        }
    }

    // template Name { <guid> members [restriction] }
    bool ParseTemplate() {
        Template t;
        const Token& nameTok = Next();
        if (nameTok.kind != Token::Kind::Name) {
            return Fail(nameTok, "expected the template's name, found " + Describe(nameTok));
        }
        t.name = std::string(nameTok.text);
        if (PrimitiveFromName(t.name) != Primitive::None || IsKeyword(t.name, "array") ||
            IsKeyword(t.name, "template")) {
            return Fail(nameTok, "'" + t.name + "' is a reserved word");
        }
        if (!Expect(Token::Kind::LBrace, "after the template's name")) {
            return false;
        }
        const Token& guidTok = Next();
        if (guidTok.kind != Token::Kind::Guid || !Guid::Parse(guidTok.text, &t.guid)) {
            return Fail(guidTok, "expected the GUID of template " + t.name);
        }
        bool restrictionSeen = false;
        while (true) {
            const Token& tok = Peek();
            if (tok.kind == Token::Kind::RBrace) {
                Next();
                break;
            }
            if (restrictionSeen) {
                return Fail(tok, "expected '}' after the restriction of template " + t.name);
            }
            if (tok.kind == Token::Kind::LBracket) {
                Next();
                restrictionSeen = true;
                if (!ParseRestriction(&t)) {
                    return false;
                }
                continue;
            }
            if (tok.kind != Token::Kind::Name) {
                return Fail(tok,
                            "expected a member of template " + t.name + ", found " + Describe(tok));
            }
            TemplateMember m;
            if (!ParseMember(t, &m)) {
                return false;
            }
            t.members.push_back(std::move(m));
        }
        std::string why;
        if (!registry_->Add(std::move(t), &why)) {
            return Fail(nameTok, why);
        }
        return true;
    }

    bool ParseRestriction(Template* t) {
        if (Peek().kind == Token::Kind::Ellipsis) {
            Next();
            t->restriction = Template::Restriction::Open;
            return Expect(Token::Kind::RBracket, "after '...'");
        }
        t->restriction = Template::Restriction::Restricted;
        while (true) {
            const Token& tok = Next();
            Template::Allowed a;
            if (tok.kind == Token::Kind::Name) {
                a.name = std::string(tok.text);
                if (Peek().kind == Token::Kind::Guid) {
                    const Token& g = Next();
                    if (!Guid::Parse(g.text, &a.guid)) {
                        return Fail(g, "malformed GUID <" + std::string(g.text) + ">");
                    }
                    a.hasGuid = true;
                }
            } else if (tok.kind == Token::Kind::Guid) {
                if (!Guid::Parse(tok.text, &a.guid)) {
                    return Fail(tok, "malformed GUID <" + std::string(tok.text) + ">");
                }
                a.hasGuid = true;
            } else {
                return Fail(tok, "expected a template name in the restriction of " + t->name +
                                     ", found " + Describe(tok));
            }
            t->allowed.push_back(std::move(a));
            const Token& sep = Next();
            if (sep.kind == Token::Kind::RBracket) {
                return true;
            }
            if (sep.kind != Token::Kind::Comma) {
                return Fail(sep, "expected ',' or ']' in the restriction of " + t->name);
            }
        }
    }

    // [array] Type [name] [dims] ;
    bool ParseMember(const Template& owner, TemplateMember* m) {
        if (IsKeyword(Peek().text, "array")) {
            Next();
            m->isArray = true;
        }
        const Token& typeTok = Next();
        if (typeTok.kind != Token::Kind::Name) {
            return Fail(typeTok, "expected a member type, found " + Describe(typeTok));
        }
        m->typeName = std::string(typeTok.text);
        m->primitive = PrimitiveFromName(typeTok.text);
        if (m->primitive == Primitive::None && !registry_->Find(m->typeName)) {
            return Fail(typeTok,
                        "unknown member type '" + m->typeName + "' in template " + owner.name);
        }
        if (Peek().kind == Token::Kind::Name) {
            m->name = std::string(Next().text);
        }
        while (m->isArray && Peek().kind == Token::Kind::LBracket) {
            Next();
            const Token& dim = Next();
            ArrayDimension d;
            if (dim.kind == Token::Kind::Integer) {
                std::uint64_t v = 0;
                const auto r =
                    std::from_chars(dim.text.data(), dim.text.data() + dim.text.size(), v);
                if (r.ec != std::errc() || v > 0xFFFFFFFFu) {
                    return Fail(dim, "bad array dimension " + Describe(dim));
                }
                d.constant = static_cast<std::uint32_t>(v);
            } else if (dim.kind == Token::Kind::Name) {
                d.memberName = std::string(dim.text);
                const TemplateMember* earlier = nullptr;
                for (const auto& e : owner.members) {
                    if (e.name == d.memberName) {
                        earlier = &e;
                    }
                }
                if (!earlier || earlier->isArray || earlier->primitive == Primitive::None ||
                    earlier->primitive == Primitive::String ||
                    IsFloatPrimitive(earlier->primitive)) {
                    return Fail(dim, "array dimension '" + d.memberName +
                                         "' is not an earlier integer member of " + owner.name);
                }
            } else {
                return Fail(dim, "expected an array dimension, found " + Describe(dim));
            }
            m->dimensions.push_back(std::move(d));
            if (!Expect(Token::Kind::RBracket, "after the array dimension")) {
                return false;
            }
        }
        if (m->isArray && m->dimensions.empty()) {
            return Fail(typeTok, "array member without a dimension in template " + owner.name);
        }
        return Expect(Token::Kind::Semicolon, "after the member");
    }

    // Type [name] { [<guid>] members children }
    bool ParseDataObject(const Template* parent, XDataObject* out, int depth) {
        const Token& typeTok = Next();
        if (depth > kMaxObjectDepth) {
            return Fail(typeTok, "data objects nested too deeply");
        }
        const Template* t = registry_->Find(typeTok.text);
        if (!t) {
            return Fail(typeTok, "unknown template '" + std::string(typeTok.text) + "'");
        }
        if (parent && !parent->Allows(*t)) {
            return Fail(typeTok, "template " + parent->name + " does not allow a child " + t->name);
        }
        out->templateName = t->name;
        out->templateGuid = t->guid;
        out->line = typeTok.line;
        if (Peek().kind == Token::Kind::Name) {
            out->name = std::string(Next().text);
        }
        if (!Expect(Token::Kind::LBrace, "to open the data object")) {
            return false;
        }
        if (Peek().kind == Token::Kind::Guid) {
            const Token& g = Next();
            if (!Guid::Parse(g.text, &out->guid)) {
                return Fail(g, "malformed GUID <" + std::string(g.text) + ">");
            }
            out->hasGuid = true;
        }
        // The registry does not change while a data object is read, so t stays valid.
        const Template& tmpl = *t;
        if (!ReadStruct(tmpl, &out->data, 0)) {
            return false;
        }
        while (true) {
            const Token& tok = Peek();
            switch (tok.kind) {
                case Token::Kind::RBrace:
                    Next();
                    return true;
                case Token::Kind::Semicolon:
                case Token::Kind::Comma:
                    Next();
                    continue;
                case Token::Kind::LBrace: {
                    XDataObject ref;
                    if (!ParseReference(&ref)) {
                        return false;
                    }
                    out->children.push_back(std::move(ref));
                    continue;
                }
                case Token::Kind::Name: {
                    XDataObject child;
                    if (!ParseDataObject(&tmpl, &child, depth + 1)) {
                        return false;
                    }
                    out->children.push_back(std::move(child));
                    continue;
                }
                case Token::Kind::End:
                    return Fail(tok, "missing '}' of the " + tmpl.name +
                                         " object that starts on line " +
                                         std::to_string(out->line));
                default:
                    return Fail(tok, "unexpected " + Describe(tok) + " in the " + tmpl.name +
                                         " object that starts on line " +
                                         std::to_string(out->line));
            }
        }
    }

    // { name } | { name <guid> } | { <guid> }
    bool ParseReference(XDataObject* ref) {
        const Token& open = Next();
        ref->isReference = true;
        ref->line = open.line;
        if (Peek().kind == Token::Kind::Name) {
            ref->referenceName = std::string(Next().text);
        }
        if (Peek().kind == Token::Kind::Guid) {
            const Token& g = Next();
            if (!Guid::Parse(g.text, &ref->referenceGuid)) {
                return Fail(g, "malformed GUID <" + std::string(g.text) + ">");
            }
            ref->referenceHasGuid = true;
        }
        if (ref->referenceName.empty() && !ref->referenceHasGuid) {
            return Fail(Peek(),
                        "expected the name of a referenced object, found " + Describe(Peek()));
        }
        return Expect(Token::Kind::RBrace, "to close the reference");
    }

    bool ReadStruct(const Template& t, XValue* out, int depth) {
        if (depth > kMaxStructDepth) {
            return Fail(Peek(), "templates nested too deeply");
        }
        if (!Spend(Peek())) {
            return false;
        }
        out->kind = XValue::Kind::Struct;
        out->items.reserve(t.members.size());
        for (const auto& m : t.members) {
            XValue field;
            if (m.isArray) {
                if (!ReadArray(t, m, *out, &field, depth)) {
                    return false;
                }
            } else if (!ReadElement(m, &field, depth)) {
                return false;
            }
            field.name = m.name;
            out->items.push_back(std::move(field));
        }
        return true;
    }

    bool ReadArray(const Template& t, const TemplateMember& m, const XValue& soFar, XValue* out,
                   int depth) {
        std::uint64_t count = 1;
        for (const auto& d : m.dimensions) {
            std::uint64_t n = d.constant;
            if (!d.memberName.empty()) {
                const XValue* v = soFar.Field(d.memberName);
                if (!v || v->kind != XValue::Kind::Integer || v->integer < 0) {
                    return Fail(Peek(), "array " + m.name + " of " + t.name +
                                            " has no valid size in '" + d.memberName + "'");
                }
                n = static_cast<std::uint64_t>(v->integer);
            }
            if (n != 0 && count > std::numeric_limits<std::uint32_t>::max() / n) {
                return Fail(Peek(), "array " + m.name + " of " + t.name + " is too large");
            }
            count *= n;
        }
        // An element takes at least one token (an array of empty structures is refused too).
        if (count > Remaining()) {
            return Fail(Peek(), "array " + m.name + " of " + t.name + " claims " +
                                    std::to_string(count) +
                                    " elements, more than the rest of the file holds");
        }
        if (!Spend(Peek())) {
            return false;
        }
        out->kind = XValue::Kind::Array;
        if (count >= kPackedMinimum) {
            if (auto packed = PackedShape(m)) {
                return ReadPacked(m, count, std::move(packed), out, depth);
            }
        }
        out->items.reserve(static_cast<std::size_t>(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            XValue element;
            if (!ReadElement(m, &element, depth)) {
                return false;
            }
            out->items.push_back(std::move(element));
        }
        return true;
    }

    // The layout of packed elements of member m, or nothing when they cannot be packed: 64-bit
    // integers, strings, nested structures, or more than one array in an element.
    std::shared_ptr<PackedArray> PackedShape(const TemplateMember& m) const {
        auto packable = [](Primitive p) {
            return p != Primitive::None && p != Primitive::String && p != Primitive::Ulonglong;
        };
        auto packed = std::make_shared<PackedArray>();
        if (m.primitive != Primitive::None) {
            packed->isFloat = IsFloatPrimitive(m.primitive);
            return packable(m.primitive) ? packed : nullptr;
        }
        const Template* sub = registry_->Find(m.typeName);
        int arrays = 0;
        for (const auto& member : sub ? sub->members : std::vector<TemplateMember>{}) {
            if (!packable(member.primitive) || (member.isArray && ++arrays > 1)) {
                return nullptr;
            }
            packed->members.push_back(
                {member.name, IsFloatPrimitive(member.primitive), member.isArray});
        }
        if (!sub || sub->members.empty()) {
            return nullptr;
        }
        packed->ofStructs = true;
        packed->starts.push_back(0);
        return packed;
    }

    // Reads count elements of m as usual, one at a time, and keeps only their numbers.
    bool ReadPacked(const TemplateMember& m, std::uint64_t count,
                    std::shared_ptr<PackedArray> packed, XValue* out, int depth) {
        std::vector<double> numbers;
        const std::size_t perElement = packed->ofStructs ? packed->members.size() : 1;
        packed->numbers.reserve(static_cast<std::size_t>(count) * perElement);
        packed->starts.reserve(packed->ofStructs ? static_cast<std::size_t>(count) + 1 : 0);
        for (std::uint64_t i = 0; i < count; ++i) {
            if (packed->numbers.size() > std::numeric_limits<std::uint32_t>::max()) {
                return Fail(Peek(), "array " + m.name + " holds too many numbers");
            }
            XValue element;
            if (!ReadElement(m, &element, depth)) {
                return false;
            }
            XValue holder;
            holder.items.push_back(std::move(element));
            holder.ElementNumbers(0, &numbers);
            packed->numbers.insert(packed->numbers.end(), numbers.begin(), numbers.end());
            if (packed->ofStructs) {
                packed->starts.push_back(static_cast<std::uint32_t>(packed->numbers.size()));
            }
        }
        packed->numbers.shrink_to_fit();
        packed->starts.shrink_to_fit();
        out->packed = std::move(packed);
        return true;
    }

    bool ReadElement(const TemplateMember& m, XValue* out, int depth) {
        if (m.primitive != Primitive::None) {
            return ReadPrimitive(m, out);
        }
        const Template* sub = registry_->Find(m.typeName);
        if (!sub) {
            return Fail(Peek(), "unknown member type '" + m.typeName + "'");
        }
        return ReadStruct(*sub, out, depth + 1);
    }

    bool ReadPrimitive(const TemplateMember& m, XValue* out) {
        SkipSeparators();
        const Token& tok = Next();
        if (!Spend(tok)) {
            return false;
        }
        const std::string what = m.name.empty() ? m.typeName : m.name;
        if (m.primitive == Primitive::String) {
            if (tok.kind != Token::Kind::String) {
                return Fail(tok, "expected a string for " + what + ", found " + Describe(tok));
            }
            *out = XValue::String(std::string(tok.text));
            return true;
        }
        std::string_view text = tok.text;
        if (!text.empty() && text.front() == '+') {
            text.remove_prefix(1);
        }
        if (IsFloatPrimitive(m.primitive)) {
            if (tok.kind != Token::Kind::Integer && tok.kind != Token::Kind::Float) {
                return Fail(tok, "expected a number for " + what + ", found " + Describe(tok));
            }
            double v = 0;
            const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
            if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) {
                return Fail(tok, "bad number " + Describe(tok) + " for " + what);
            }
            if (m.primitive == Primitive::Float) {
                if (std::fabs(v) > std::numeric_limits<float>::max()) {
                    return Fail(tok, "number " + Describe(tok) + " out of range for " + what);
                }
                v = static_cast<float>(v);
            }
            *out = XValue::Float(v);
            return true;
        }
        if (tok.kind != Token::Kind::Integer) {
            return Fail(tok, "expected an integer for " + what + ", found " + Describe(tok));
        }
        std::int64_t v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        const IntRange range = RangeOf(m.primitive);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v < range.min ||
            v > range.max) {
            return Fail(tok, "integer " + Describe(tok) + " out of range for " + what);
        }
        *out = XValue::Int(v);
        return true;
    }

    std::string_view source_;
    Lexer lexer_;
    Token current_;
    std::size_t tokenCount_;
    std::size_t consumed_ = 0;
    TemplateRegistry* registry_;
    std::size_t budget_ = 0;
    XResult error_;
};

}  // namespace

XResult CheckHeader(std::string_view text, std::string_view sourceName) {
    if (text.size() < 16 || text.substr(0, 4) != "xof ") {
        return XResult::Fail(sourceName, 1, "not a .x file (no \"xof \" header)");
    }
    const std::string_view version = text.substr(4, 4);
    const std::string_view format = text.substr(8, 4);
    const std::string_view floatSize = text.substr(12, 4);
    if (format == "bin ") {
        return XResult::Fail(sourceName, 1, "binary .x files are not supported (text only)");
    }
    if (format == "tzip" || format == "bzip") {
        return XResult::Fail(sourceName, 1, "compressed .x files are not supported (text only)");
    }
    if (format != "txt ") {
        return XResult::Fail(
            sourceName, 1, "unknown .x format \"" + std::string(format) + "\" (expected \"txt \")");
    }
    if (version != "0302" && version != "0303") {
        return XResult::Fail(sourceName, 1,
                             "unsupported .x version \"" + std::string(version) + "\"");
    }
    if (floatSize != "0032" && floatSize != "0064") {
        return XResult::Fail(sourceName, 1,
                             "bad float size \"" + std::string(floatSize) + "\" in the header");
    }
    return XResult::Ok();
}

XResult ReadXText(std::string_view text, std::string_view sourceName, TemplateRegistry* registry,
                  XDocument* out) {
    const XResult header = CheckHeader(text, sourceName);
    if (!header) {
        return header;
    }
    // A first pass finds lexing errors before any value is read, as a whole-file tokeniser
    // would, and counts the tokens that bound what the file may claim.
    std::size_t tokenCount = 0;
    int errorLine = 0;
    std::string error;
    if (!CountTokens(text.substr(16), 1, &tokenCount, &errorLine, &error)) {
        return XResult::Fail(sourceName, errorLine, error);
    }
    XDocument doc;
    doc.sourceName = std::string(sourceName);
    Parser parser(sourceName, text.substr(16), tokenCount, registry);
    const XResult r = parser.Run(&doc);
    if (r) {
        *out = std::move(doc);
    }
    return r;
}

XResult ReadXFile(std::string_view path, TemplateRegistry* registry, XDocument* out) {
    const auto bytes = platform::ReadWholeFile(path);
    if (!bytes) {
        return XResult::Fail(path, 0, "cannot open the file");
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    return ReadXText(text, path, registry, out);
}

}  // namespace platform::xfile
