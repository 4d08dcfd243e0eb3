// Hit time at creation and lookup of the scene records.
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
