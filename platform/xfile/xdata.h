// The values of a .x text file: GUIDs, typed member values and data objects (named or
// anonymous, nested, or references to other objects), and the result type of every xfile call.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::xfile {

// A GUID in its in-memory layout: Data1 (32 bits), Data2, Data3 (16 bits each) little-endian,
// then the eight bytes of Data4. Two GUIDs are equal when their 16 bytes are.
struct Guid {
    std::array<std::uint8_t, 16> bytes{};

    // Parses "AA1308FD-FF98-4f6e-9A55-CD083178672F" (braces or angle brackets around it
    // allowed, hex digits in either case); false when the text is not a GUID.
    static bool Parse(std::string_view text, Guid* out);
    // Upper-case hex in the 8-4-4-4-12 form, without brackets.
    std::string ToString() const;
    bool IsNull() const;
    friend bool operator==(const Guid&, const Guid&) = default;
};

// Outcome of a call: ok, or a message of the form "<source>:<line>: <what>" (line 0 when the
// failure is not tied to a line, e.g. a file that cannot be opened).
struct XResult {
    bool ok = true;
    std::string error;
    int line = 0;
    explicit operator bool() const { return ok; }

    static XResult Ok() { return {}; }
    static XResult Fail(std::string_view source, int line, std::string_view what);
};

struct PackedArray;

// One member value: a number, a string, a structure (the members of a template, in template
// order, each with its member name) or an array.
struct XValue {
    enum class Kind : std::uint8_t { Integer, Float, String, Struct, Array };
    Kind kind = Kind::Integer;
    std::int64_t integer = 0;   // Integer values
    double number = 0;          // Float values (and Integer values, converted)
    std::string text;           // String values
    std::string name;           // the member name when this is a field of a structure
    std::vector<XValue> items;  // Struct fields or Array elements
    // A large array of numbers, or of structures made of numbers, keeps its elements here
    // instead of in items (left empty): a mesh of millions of vertices then costs a few
    // bytes a number rather than a value record each. Count and Element read either form.
    std::shared_ptr<const PackedArray> packed;

    static XValue Int(std::int64_t v);
    static XValue Float(double v);
    static XValue String(std::string v);

    // Numeric value whatever the number kind (0 for strings and aggregates).
    double AsFloat() const { return kind == Kind::Integer ? static_cast<double>(integer) : number; }
    std::int64_t AsInt() const {
        return kind == Kind::Float ? static_cast<std::int64_t>(number) : integer;
    }
    // The elements of an array, packed or not.
    std::size_t Count() const;
    // Element i of an array as a value of its own (packed elements are rebuilt).
    XValue Element(std::size_t i) const;
    // The numbers of element i in file order: a number, or a structure's number members with
    // its array members spread out (nested structures are left out).
    void ElementNumbers(std::size_t i, std::vector<double>* out) const;

    // The field of a structure with this member name, or nullptr.
    const XValue* Field(std::string_view fieldName) const;
    XValue* Field(std::string_view fieldName);
    // Replaces the value of a structure's field, keeping its member name; false when there
    // is no such field. (Assigning through Field() would also overwrite the name.)
    bool Set(std::string_view fieldName, XValue value);
};

// The packed elements of an array: numbers (integers of at most 32 bits, or floating point), or
// structures of such numbers with at most one array member, whose length is what is left of
// the element after the other members.
struct PackedArray {
    struct Member {
        std::string name;
        bool isFloat = false;
        bool isArray = false;
    };
    bool ofStructs = false;
    bool isFloat = false;         // arrays of numbers: the kind of every element
    std::vector<Member> members;  // arrays of structures: the members, in order
    std::vector<double> numbers;
    std::vector<std::uint32_t> starts;  // structures: where element i begins; one more at the end
};

// A data object: an instance of a template with its member values and child objects. A child
// may be a reference to another named object of the file ("{ name }", "{ name <guid> }").
struct XDataObject {
    std::string templateName;
    Guid templateGuid;
    std::string name;  // empty for an anonymous object
    Guid guid;         // the object's own GUID when hasGuid
    bool hasGuid = false;
    int line = 0;  // where the object starts in its file
    XValue data;   // a Struct of the template's members

    bool isReference = false;  // when true only the reference fields below mean anything
    std::string referenceName;
    Guid referenceGuid;
    bool referenceHasGuid = false;

    std::vector<XDataObject> children;
};

// The data objects of one file, in file order.
struct XDocument {
    std::string sourceName;
    std::vector<XDataObject> objects;

    // The first object (depth first, file order) with the GUID; references themselves are not
    // matched. nullptr when there is none.
    const XDataObject* FindByGuid(const Guid& guid) const;
    // The object a reference child points to, or nullptr when it does not resolve.
    const XDataObject* Resolve(const XDataObject& reference) const;
};

}  // namespace platform::xfile
