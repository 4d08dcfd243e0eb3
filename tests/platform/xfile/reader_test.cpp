#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "platform/xfile/reader.h"
#include "platform/xfile/writer.h"

namespace platform::xfile {
namespace {

XResult Read(std::string_view text, XDocument* doc) {
    TemplateRegistry registry;
    return ReadXText(text, "t.x", &registry, doc);
}

TEST(XGuid, ParsesAndPrintsBack) {
    Guid g;
    ASSERT_TRUE(Guid::Parse("<AA1308FD-FF98-4f6e-9A55-CD083178672F>", &g));
    EXPECT_EQ(g.ToString(), "AA1308FD-FF98-4F6E-9A55-CD083178672F");
    EXPECT_FALSE(Guid::Parse("AA1308FD-FF98-4f6e-9A55-CD083178672", &g));
    EXPECT_FALSE(Guid::Parse("AA1308FD+FF98-4f6e-9A55-CD083178672F", &g));
    EXPECT_FALSE(Guid::Parse("AA1308FD-FF98-4f6e-9A55-CD083178672G", &g));
}

TEST(XReader, ReadsNestedNamedAnonymousObjectsReferencesAndComments) {
    const char* text =
        "xof 0303txt 0032\n"
        "// a comment\n"
        "# another comment\n"
        "Material Red {\n"
        "  1.0;0.0;0.0;1.0;;  // face colour\n"
        "  5.0;\n"
        "  0.0;0.0;0.0;;\n"
        "  0.0;0.0;0.0;;\n"
        "  TextureFilename { \"tex\\\\rock.png\"; }\n"
        "}\n"
        "Frame Root {\n"
        "  <11111111-2222-3333-4444-555555555555>\n"
        "  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 2,3,4,1;; }\n"
        "  Frame { }\n"
        "  { Red }\n"
        "}\n";
    XDocument doc;
    const XResult r = Read(text, &doc);
    ASSERT_TRUE(r) << r.error;
    ASSERT_EQ(doc.objects.size(), 2u);
    const XDataObject& red = doc.objects[0];
    EXPECT_EQ(red.templateName, "Material");
    EXPECT_EQ(red.name, "Red");
    EXPECT_EQ(red.line, 4);
    EXPECT_DOUBLE_EQ(red.data.Field("faceColor")->Field("red")->AsFloat(), 1.0);
    EXPECT_DOUBLE_EQ(red.data.Field("power")->AsFloat(), 5.0);
    ASSERT_EQ(red.children.size(), 1u);
    EXPECT_EQ(red.children[0].data.Field("filename")->text, "tex\\\\rock.png");

    const XDataObject& root = doc.objects[1];
    EXPECT_TRUE(root.hasGuid);
    ASSERT_EQ(root.children.size(), 3u);
    const XValue* m = root.children[0].data.Field("frameMatrix")->Field("matrix");
    ASSERT_EQ(m->items.size(), 16u);
    EXPECT_EQ(m->items[12].AsFloat(), 2.0);  // integers are accepted for floats
    EXPECT_TRUE(root.children[1].name.empty());
    EXPECT_TRUE(root.children[2].isReference);
    EXPECT_EQ(doc.Resolve(root.children[2]), &red);
}

TEST(XReader, AcceptsTheUsualSeparatorVariations) {
    // Strict form, commas only, semicolons only, and no separators at all read the same.
    const char* variants[] = {
        "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }",
        "Mesh { 3, 0,0,0, 1,0,0, 0,1,0, 1, 3,0,1,2 }",
        "Mesh { 3; 0;0;0; 1;0;0; 0;1;0; 1; 3;0;1;2; }",
        "Mesh { 3 0 0 0 1 0 0 0 1 0 1 3 0 1 2 }",
        "Mesh {\n3;\n0.0;0.0;0.0;,\n1.0;0.0;0.0;,\n0.0;1.0;0.0;;\n1;\n3;0,1,2;;;\n}",
    };
    for (const char* body : variants) {
        XDocument doc;
        const XResult r = Read(std::string("xof 0302txt 0064\n") + body, &doc);
        ASSERT_TRUE(r) << body << ": " << r.error;
        const XValue& d = doc.objects.at(0).data;
        EXPECT_EQ(d.Field("vertices")->items.size(), 3u);
        EXPECT_EQ(d.Field("vertices")->items[1].Field("x")->AsFloat(), 1.0);
        const XValue& face = d.Field("faces")->items.at(0);
        EXPECT_EQ(face.Field("faceVertexIndices")->items.at(2).AsInt(), 2);
    }
}

struct Malformed {
    const char* text;
    int line;
    const char* words;
};

TEST(XReader, MalformedOrForeignInputFailsNamingTheLine) {
    const Malformed cases[] = {
        {"xof 0302bin 0032\x01\x02", 1, "binary"},
        {"xof 0303tzip0032xxxx", 1, "compressed"},
        {"xof 0303bzip0032xxxx", 1, "compressed"},
        {"xof 0302txt", 1, "not a .x file"},
        {"", 1, "not a .x file"},
        {"PK\x03\x04 something long enough", 1, "not a .x file"},
        {"xof 0201txt 0032\n", 1, "unsupported .x version"},
        {"xof 0302txt 0032\n\nSpaceship { }\n", 3, "unknown template 'Spaceship'"},
        {"xof 0302txt 0032\nVector v {\n 1.0;\n \"two\";\n 3.0; }\n", 4, "expected a number"},
        {"xof 0302txt 0032\nTextureFilename {\n \"no end;\n}\n", 3, "unterminated string"},
        {"xof 0302txt 0032\nVector v { 1; 2; 3;\n", 3, "missing '}'"},
        {"xof 0302txt 0032\nVector v { 1; 2; 3; 4; }\n", 2, "unexpected '4'"},
        {"xof 0302txt 0032\nMesh m {\n 4000000000;\n 1;2;3;;\n}\n", 3, "more than the rest"},
        {"xof 0302txt 0032\nHeader { 70000; 0; 0; }\n", 2, "out of range"},
        {"xof 0302txt 0032\nHeader { 1.5; 0; 0; }\n", 2, "expected an integer"},
        {"xof 0302txt 0032\nHeader { 1; 0; 0; Vector { 1; 2; 3; } }\n", 2, "does not allow"},
        {"xof 0302txt 0032\nMeshMaterialList { 1; 0;; Mesh { 0;; 0;; } }\n", 2, "does not allow"},
        {"xof 0302txt 0032\n\n\ntemplate T { <bad> DWORD a; }\n", 4, "expected the GUID"},
        {"xof 0302txt 0032\ntemplate T {\n <01234567-89AB-CDEF-0123-456789ABCDEF>\n"
         " array DWORD a[n];\n}\n",
         4, "not an earlier integer member"},
        {"xof 0302txt 0032\nVector v { 1; 2; 3@ }\n", 2, "unexpected character '@'"},
        {"xof 0302txt 0032\nVector v { 1; 2; 3; }\n{ v }\n", 3, "expected a template"},
        {"xof 0302txt 0032\nFrame f { { } }\n", 2, "expected the name of a referenced"},
        {"xof 0302txt 0032\nVector v { 1; 2; 1e999; }\n", 2, "bad number"},
    };
    for (const auto& c : cases) {
        XDocument doc;
        const XResult r = Read(c.text, &doc);
        ASSERT_FALSE(r) << c.text;
        EXPECT_EQ(r.line, c.line) << r.error;
        EXPECT_NE(r.error.find("t.x:" + std::to_string(c.line) + ": "), std::string::npos)
            << r.error;
        EXPECT_NE(r.error.find(c.words), std::string::npos) << r.error;
    }
}

TEST(XReader, EachIntegerTypeTakesExactlyItsRange) {
    const struct {
        const char* type;
        long long min, max;
    } ranges[] = {{"WORD", 0, 0xFFFF},
                  {"DWORD", 0, 0xFFFFFFFFll},
                  {"CHAR", -128, 127},
                  {"UCHAR", 0, 255},
                  {"BYTE", 0, 255},
                  {"SWORD", -32768, 32767},
                  {"SDWORD", -2147483648ll, 2147483647ll}};
    for (const auto& range : ranges) {
        const auto read = [&](long long value, XDocument* doc) {
            return Read(std::string("xof 0302txt 0032\ntemplate One {\n"
                                    " <01234567-89AB-CDEF-0123-456789ABCDEF> ") +
                            range.type + " v; }\nOne { " + std::to_string(value) + "; }\n",
                        doc);
        };
        for (long long end : {range.min, range.max}) {  // both ends are read back
            XDocument doc;
            ASSERT_TRUE(read(end, &doc)) << range.type << " " << end;
            EXPECT_EQ(doc.objects.at(0).data.Field("v")->AsInt(), end) << range.type;
        }
        for (long long beyond : {range.min - 1, range.max + 1}) {  // one beyond is refused
            XDocument doc;
            const XResult r = read(beyond, &doc);
            EXPECT_NE(r.error.find("out of range"), std::string::npos) << range.type << r.error;
        }
    }
}

TEST(XReader, DeepNestingIsRefusedNotOverflowed) {
    std::string text = "xof 0302txt 0032\n";
    for (int i = 0; i < 5000; ++i) {
        text += "Frame {";
    }
    XDocument doc;
    const XResult r = Read(text, &doc);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find("nested too deeply"), std::string::npos) << r.error;
}

TEST(XReader, TemplatesOfAFileAreRegisteredAndTyped) {
    const char* text =
        "xof 0302txt 0032\n"
        "template Pair { <01234567-89AB-CDEF-0123-456789ABCDEF> DWORD n; array WORD v[n][2];"
        " STRING label; }\n"
        "template Holder { <01234567-89AB-CDEF-0123-456789ABCDEE> Pair p; [Pair] }\n"
        "Holder h { 2; 1,2,3,4; \"x\";  Pair { 0;; \"empty\"; } }\n";
    TemplateRegistry registry;
    XDocument doc;
    const XResult r = ReadXText(text, "t.x", &registry, &doc);
    ASSERT_TRUE(r) << r.error;
    ASSERT_NE(registry.Find("Pair"), nullptr);
    const XValue* p = doc.objects[0].data.Field("p");
    EXPECT_EQ(p->Field("v")->items.size(), 4u);
    EXPECT_EQ(p->Field("label")->text, "x");
    EXPECT_EQ(doc.objects[0].children.at(0).data.Field("label")->text, "empty");
}

// The game-info template, the one the panel registers.
std::string GameInfoTemplate() {
    return "xof 0302txt 0032 template MY_GAME_INFO{\t<AA1308FD-FF98-4f6e-9A55-CD083178672F>\t"
           "STRING GameName;\tSTRING GameMaker;\tDWORD Version;\tfloat x;\tfloat y;\tfloat z;\t"
           "float px;\tfloat py;\tfloat pz;\t}";
}

Guid GameInfoGuid() {
    Guid g;
    Guid::Parse("AA1308FD-FF98-4F6E-9A55-CD083178672F", &g);
    return g;
}

TEST(XWriter, GameInfoObjectRoundTripsThroughAFile) {
    const std::string templ = GameInfoTemplate();
    TemplateRegistry registry;
    ASSERT_TRUE(registry.RegisterTemplates(templ));

    XDataObject info;
    ASSERT_TRUE(MakeDataObject(registry, GameInfoGuid(), "Dati", &info));
    EXPECT_TRUE(info.data.Set("GameName", XValue::String("D3DPanelEx")));
    EXPECT_FALSE(info.data.Set("NoSuchField", XValue::Int(1)));
    EXPECT_TRUE(info.data.Set("Version", XValue::Int(1)));
    EXPECT_TRUE(info.data.Set("x", XValue::Float(-0.1f)));
    EXPECT_TRUE(info.data.Set("pz", XValue::Float(-3.3f)));

    const auto path = std::filesystem::temp_directory_path() / "kx_xfile_roundtrip.x";
    ASSERT_TRUE(SaveXFile(path.string(), {info}, registry));

    // A fresh registry, as a later run of the program would have.
    TemplateRegistry reader;
    ASSERT_TRUE(reader.RegisterTemplates(templ));
    XDocument doc;
    const XResult r = ReadXFile(path.string(), &reader, &doc);
    std::filesystem::remove(path);
    ASSERT_TRUE(r) << r.error;
    // Gone, the file's error names its path.
    XDocument none;
    EXPECT_NE(ReadXFile(path.string(), &reader, &none).error.find(path.string()),
              std::string::npos);
    ASSERT_EQ(doc.objects.size(), 1u);
    const XDataObject& o = doc.objects[0];
    EXPECT_EQ(o.templateGuid, GameInfoGuid());
    EXPECT_EQ(o.name, "Dati");
    EXPECT_EQ(o.data.Field("GameName")->text, "D3DPanelEx");
    EXPECT_EQ(o.data.Field("Version")->AsInt(), 1);
    EXPECT_EQ(static_cast<float>(o.data.Field("x")->AsFloat()), -0.1f);
    EXPECT_EQ(static_cast<float>(o.data.Field("pz")->AsFloat()), -3.3f);
    EXPECT_EQ(o.data.Field("z")->AsFloat(), 0.0);
}

TEST(XWriter, NestedStructuresArraysAndReferencesReadBack) {
    TemplateRegistry registry;
    XDocument read;
    ASSERT_TRUE(
        ReadXText("xof 0302txt 0032\nMesh Tri { 3; 0;0;0;, 1;0.25;0.5;, 2;2.25;2.5;; 1;"
                  " 3;0,1,2;; }\nFrame { { Tri } }\n",
                  "t.x", &registry, &read));
    std::string text;
    const XResult w = WriteXText(read.objects, registry, &text);
    ASSERT_TRUE(w) << w.error;
    XDocument doc;
    const XResult r = ReadXText(text, "written.x", &registry, &doc);
    ASSERT_TRUE(r) << r.error << "\n" << text;
    ASSERT_EQ(doc.objects.size(), 2u);
    const XValue* v = doc.objects[0].data.Field("vertices");
    ASSERT_EQ(v->items.size(), 3u);
    EXPECT_EQ(v->items[2].Field("z")->AsFloat(), 2.5);
    EXPECT_EQ(doc.Resolve(doc.objects[1].children.at(0)), &doc.objects[0]);
}

TEST(XWriter, RefusesObjectsTheReaderCouldNotReadBack) {
    TemplateRegistry registry;
    ASSERT_TRUE(registry.RegisterTemplates(GameInfoTemplate()));
    XDataObject info;
    ASSERT_TRUE(MakeDataObject(registry, GameInfoGuid(), "Dati", &info));
    std::string text;

    XDataObject quoted = info;
    quoted.data.Field("GameName")->text = "say \"hi\"";
    EXPECT_FALSE(WriteXText({quoted}, registry, &text));

    XDataObject badName = info;
    badName.name = "two words";
    EXPECT_FALSE(WriteXText({badName}, registry, &text));

    XDataObject wrongCount;
    ASSERT_TRUE(
        MakeDataObject(registry, registry.Find("MeshTextureCoords")->guid, "", &wrongCount));
    EXPECT_TRUE(wrongCount.data.Set("nTextureCoords", XValue::Int(2)));  // but no pairs
    EXPECT_FALSE(WriteXText({wrongCount}, registry, &text));

    XDataObject nan = info;
    EXPECT_TRUE(nan.data.Set("x", XValue::Float(std::numeric_limits<double>::infinity())));
    EXPECT_FALSE(WriteXText({nan}, registry, &text));

    Guid unknown;
    EXPECT_FALSE(MakeDataObject(registry, unknown, "x", &info));
}

}  // namespace
}  // namespace platform::xfile
