// The mesh and texture caches: shared entries, case-sensitive names, failures remembered for
// the life of a device, and emptied by every re-creation.
#include <gtest/gtest.h>

#include "panel_test_support.h"

namespace TekuUtility {
namespace {

using testing::BoxX;
using testing::ScratchFolder;
using testing::StartedPanel;
using testing::WriteFile;

TEST(PanelCacheTest, MeshesAreSharedByNameAndLoadedAgainAfterSetScene) {
    ScratchFolder folder;
    const std::string rock = WriteFile(folder.file("Roccia.x"), BoxX(0.3f, 0.3f, 0.3f));
    StartedPanel panel;
    const MeshCacheEntry* entry = panel.getMesh(rock);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->materialCount, 1u);
    EXPECT_NEAR(entry->localMin.x, -0.3, 1e-6);
    EXPECT_NEAR(entry->localMax.z, 0.3, 1e-6);
    EXPECT_EQ(panel.getMesh(rock), entry);

    panel.setScene({}, {}, {}, {MeshObject(0, 0, 0, {rock}), MeshObject(3, 0, 0, {rock})}, {}, {});
    EXPECT_EQ(panel.meshCacheSize(), 0u);
    panel.drawFrame();
    EXPECT_EQ(panel.meshCacheSize(), 1u);
    EXPECT_NEAR(panel.meshObjects[1].bounds.minX, 2.7, 1e-5);
}

TEST(PanelCacheTest, FailedMeshIsRememberedUntilSetSceneAndNamesAreCaseSensitive) {
    ScratchFolder folder;
    StartedPanel panel;
    const std::string later = folder.file("later.x");
    WriteFile(later, "xof 0302txt 0032\nMesh {");
    panel.setScene({}, {}, {}, {MeshObject(0, 0, 0, {later}), MeshObject(3, 0, 0, {later})}, {},
                   {});
    panel.drawFrame();
    WriteFile(later, BoxX(1, 1, 1));
    EXPECT_EQ(panel.getMesh(later), nullptr);  // not parsed again for the same device
    panel.setScene({}, {}, {}, panel.meshObjects, {}, {});
    EXPECT_NE(panel.getMesh(later), nullptr);

    const std::string upper = WriteFile(folder.file("Nave.x"), BoxX(1, 1, 1));
    const std::string lower = WriteFile(folder.file("nave.x"), BoxX(2, 2, 2));
    EXPECT_NE(panel.getMesh(upper), panel.getMesh(lower));
    EXPECT_EQ(panel.meshCacheSize(), 3u);
}

TEST(PanelCacheTest, FailingTextureFileIsLookedUpOnce) {
    ScratchFolder folder;
    const std::string box =
        WriteFile(folder.file("box.x"), BoxX(1, 1, 1, folder.path() + "/manca.png"));
    StartedPanel panel;
    panel.meshObjects = {MeshObject(0, 0, 0, {box}), MeshObject(2, 0, 0, {box})};
    panel.drawFrame();
    panel.drawFrame();
    EXPECT_EQ(panel.textureCacheSize(), 1u);
    EXPECT_EQ(panel.getTextureFromFile(folder.path() + "/manca.png"), nullptr);
    EXPECT_EQ(panel.textureCacheSize(), 1u);
    // Drawn untextured all the same, two objects in two frames.
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 12 none"), 4);

    // Once the file exists the remembered failure holds until the device is re-created.
    platform::Image picture;
    picture.width = picture.height = 2;
    picture.pixels.assign(4, 0xFFFFFFFFu);
    ASSERT_TRUE(platform::WritePngFile(folder.path() + "/manca.png", picture));
    EXPECT_EQ(panel.getTextureFromFile(folder.path() + "/manca.png"), nullptr);
    panel.setScene({}, {}, {}, panel.meshObjects, {}, {});
    EXPECT_EQ(panel.textureCacheSize(), 0u);
    panel.drawFrame();
    EXPECT_EQ(panel.headless()->Count("subset 0 faces 12 tex#1"), 2);
    EXPECT_EQ(panel.headless()->TexturesCreated(), 1);
}

}  // namespace
}  // namespace TekuUtility
