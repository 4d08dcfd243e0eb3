// Every mesh of the shipped data set loads through the panel's cache and has the size the
// game's fixed steps and collision margins are made for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "panel_test_support.h"
#include "platform/files.h"

namespace TekuUtility {
namespace {

std::string DataFolder() {
    const char* source = std::getenv("KX_SOURCE_DIR");
    return std::string(source ? source : "..") + "\\data";
}

struct Extent {
    double x, y, z;
};

class ShippedMeshesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(platform::NativePath(DataFolder() + "\\Nave.x"))) {
            GTEST_SKIP() << "no data set in " << DataFolder();
        }
        panel.start();
    }

    Extent Load(const std::string& name) {
        const MeshCacheEntry* entry = panel.getMesh(DataFolder() + "\\" + name);
        if (!entry) {
            ADD_FAILURE() << name << " does not load";
            return {0, 0, 0};
        }
        EXPECT_GE(entry->materialCount, 1u) << name;
        for (const auto& material : entry->materials) {
            EXPECT_TRUE(material.textureFilename.empty()) << name;
        }
        const Extent size{entry->localMax.x - entry->localMin.x,
                          entry->localMax.y - entry->localMin.y,
                          entry->localMax.z - entry->localMin.z};
        // Centred at the origin.
        EXPECT_NEAR(entry->localMax.x + entry->localMin.x, 0, 0.1 * size.x) << name;
        EXPECT_NEAR(entry->localMax.z + entry->localMin.z, 0, 0.1 * size.z) << name;
        return size;
    }

    testing::TestPanel panel;
};

TEST_F(ShippedMeshesTest, ShipsAreAboutOneUnitWide) {
    for (const char* name : {"Nave.x", "NaveColpita.x", "NaveHorz.x", "NaveHorzColpita.x"}) {
        const Extent e = Load(name);
        EXPECT_NEAR(e.x, 1.0, 0.1) << name;
        EXPECT_LT(e.y, 1.0) << name;
    }
}

TEST_F(ShippedMeshesTest, RocksMeasureHalfToNineTenths) {
    for (const char* name : {"asteroide.x", "asteroide2.x", "asteroideImpatto.x",
                             "asteroideImpatto2.x", "asteroideesploso.x"}) {
        const Extent e = Load(name);
        for (double side : {e.x, e.y, e.z}) {
            EXPECT_GE(side, 0.5) << name;
            EXPECT_LE(side, 0.9) << name;
        }
    }
}

TEST_F(ShippedMeshesTest, SaucersSmallAndLarge) {
    for (const char* name : {"ufo.x", "ufocolpito.x", "uforid1.x", "uforidcolpito1.x"}) {
        const Extent e = Load(name);
        EXPECT_NEAR(e.x, 1.5, 0.15) << name;
        EXPECT_NEAR(e.z, 1.5, 0.15) << name;
    }
    for (const char* name : {"ufokryx.x", "ufokryx2.x"}) {
        const Extent e = Load(name);
        EXPECT_NEAR(e.x, 3.0, 0.3) << name;
        EXPECT_NEAR(e.z, 3.0, 0.3) << name;
    }
}

TEST_F(ShippedMeshesTest, ShotsAreThinAndLongAlongTheirFlight) {
    for (const char* name : {"fire.x", "fireHorz.x", "fireblack.x"}) {
        const Extent e = Load(name);
        EXPECT_NEAR(e.x, 0.15, 0.05) << name;
        EXPECT_GE(e.z, 1.0) << name;
    }
}

TEST_F(ShippedMeshesTest, ExplosionAndAstronaut) {
    const Extent boom = Load("esplosione.x");
    EXPECT_NEAR(boom.x, 1.5, 0.15);
    EXPECT_NEAR(boom.y, 1.5, 0.15);
    EXPECT_NEAR(boom.z, 1.5, 0.15);
    for (const char* name : {"astronauta.x", "astronautaColpito.x", "astronautafire.x"}) {
        const Extent e = Load(name);
        EXPECT_GT(e.y, 0.5) << name;
        EXPECT_LT(e.y, 1.5) << name;
    }
}

}  // namespace
}  // namespace TekuUtility
