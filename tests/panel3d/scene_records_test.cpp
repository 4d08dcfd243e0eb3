// Hit time at creation, deep copies and lookup of the scene records.
#include "panel3d/SceneRecords.h"

#include <gtest/gtest.h>

namespace TekuUtility {
namespace {

// A new record counts as hit at the moment it was made, so hit pauses run from its creation.
TEST(SceneRecordsTest, NewMeshObjectsTakeTheirHitTimeFromTheClock) {
    platform::ScopedFakeClock clock(1234 * platform::kTicksPerMs);
    EXPECT_EQ(MeshObject().lastHitTime, 1234 * platform::kTicksPerMs);
    EXPECT_EQ(MeshObject(1.5, -2, 3, {"a.x"}).lastHitTime, 1234 * platform::kTicksPerMs);
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
