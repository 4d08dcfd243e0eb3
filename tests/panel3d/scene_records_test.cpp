// Defaults, deep copies and lookup of the scene records.
#include "panel3d/SceneRecords.h"

#include <gtest/gtest.h>

namespace TekuUtility {
namespace {

TEST(SceneRecordsTest, DefaultsOfEveryRecord) {
    platform::ScopedFakeClock clock(1234 * platform::kTicksPerMs);
    MeshObject m;
    EXPECT_EQ(m.id, 0);
    EXPECT_EQ(m.tag, 3002);
    EXPECT_EQ(m.x + m.y + m.z, 0);
    EXPECT_EQ(m.angle, 0);
    EXPECT_EQ(m.frame, 0);
    EXPECT_TRUE(m.meshFiles.empty());
    EXPECT_TRUE(m.visible);
    EXPECT_FALSE(m.lit);
    EXPECT_EQ(m.bounds.minX + m.bounds.maxZ, 0);
    EXPECT_EQ(m.userValue, 0);
    EXPECT_EQ(m.hitCount, 0);
    EXPECT_EQ(m.lastHitTime, 1234 * platform::kTicksPerMs);  // now, at construction
    EXPECT_FALSE(m.userFlag);

    MeshObject placed(1.5, -2, 3, {"a.x", "b.x"});
    EXPECT_EQ(placed.id, 1);
    EXPECT_EQ(placed.y, -2);
    EXPECT_EQ(placed.meshFiles.size(), 2u);
    EXPECT_EQ(placed.tag, 3002);
    EXPECT_FALSE(placed.lit);

    TextLabel t;
    EXPECT_EQ(t.height, 12);
    EXPECT_EQ(t.fontFace, "Tahoma");
    EXPECT_FALSE(t.bold || t.italic);
    EXPECT_TRUE(t.visible);
    EXPECT_EQ(t.color, 0u);  // transparent: a label must be given a colour to be seen

    Text3D t3("Kryx Space", 40, "Tahoma", true, false, -2, 2, -3, 0xFFC000);
    EXPECT_TRUE(t3.visible);
    EXPECT_EQ(t3.size, 40);
    EXPECT_EQ(t3.z, -3);

    SpriteCell c;
    EXPECT_EQ(c.width + c.height + c.row + c.row2 + c.lastRow + c.x + c.y + c.reserved, 0);

    SceneTriangle tri;
    EXPECT_EQ(tri.id, 0);
    EXPECT_FALSE(tri.inView);
    PolygonMesh pm;
    EXPECT_TRUE(pm.visible);
    EXPECT_TRUE(pm.indices.empty());
}

TEST(SceneRecordsTest, CopiesAreDeep) {
    MeshObject a(0, 0, 0, {"one.x"});
    MeshObject b = a;
    b.meshFiles[0] = "two.x";
    b.meshFiles.push_back("three.x");
    EXPECT_EQ(a.meshFiles, std::vector<std::string>{"one.x"});

    PolygonMesh p;
    p.vertices.resize(3);
    PolygonMesh q = p;
    q.vertices[0].x = 9;
    EXPECT_EQ(p.vertices[0].x, 0);

    SceneLists lists;
    lists.textLabels.push_back(TextLabel{});
    SceneLists copy = lists;
    copy.textLabels[0].text = "changed";
    EXPECT_EQ(lists.textLabels[0].text, "");
}

TEST(SceneRecordsTest, LookupTakesTheFirstMatch) {
    std::vector<MeshObject> list(4);
    list[0].id = 5;
    list[1].id = 7;
    list[2].id = 7;
    list[3].id = 9;
    EXPECT_EQ(FindIndexById(list, 7), 1);
    EXPECT_EQ(FindIndexById(list, 9), 3);
    EXPECT_EQ(FindIndexById(list, 8), -1);
    EXPECT_EQ(FindIndexById(std::vector<MeshObject>{}, 0), -1);
}

}  // namespace
}  // namespace TekuUtility
