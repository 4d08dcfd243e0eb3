#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/xfile/reader.h"
#include "platform/xfile/writer.h"

namespace platform::xfile {
namespace {

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
