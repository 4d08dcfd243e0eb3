// A level scene for tests: a panel without a window whose records the test places, a fake
// clock, a seeded generator, and a stand-in for drawing that writes each visible object's
// box from its position and half-size, as the panel does for an unrotated mesh.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "game/EnemyFire.h"
#include "game/Entities.h"
#include "game/GameFields.h"
#include "game/PlayerControl.h"
#include "game/Random.h"
#include "game/ResetForTests.h"
#include "panel3d/D3DPanelEx.h"
#include "panel3d/PanelMath.h"
#include "platform/clock.h"
#include "platform/keyboard.h"

namespace MyApp::testing_support {

class GameSceneTest : public ::testing::Test {
  protected:
    platform::ScopedFakeClock clock;
    TekuUtility::D3DPanelEx panel{nullptr};
    GameFields game;
    std::map<std::int32_t, Point3> halfSizes;

    GameSceneTest() {
        game.panel = &panel;
        game.energy = 100;
        game.mainWindow = reinterpret_cast<platform::HWND>(std::uintptr_t{0x100});
        platform::ReleaseAllKeys();
        platform::SetForegroundWindowHandle(game.mainWindow);
        ResetGameForTests();
        SeedRandomForTesting(7);
        // The camera of every level: at (0, 0, -10) looking along +z, 640 x 480.
        panel.firstPersonCamera.position = {0, 0, -10};
        panel.firstPersonCamera.Update(TekuUtility::ProjectionMatrix(640, 480));
    }
    ~GameSceneTest() override {
        platform::ReleaseAllKeys();
        platform::SetForegroundWindowHandle(nullptr);
    }

    // Appends a record; references to earlier records may move, so look them up again.
    void Add(std::int32_t id, double x, double y, double z, Point3 half = {0.5, 0.5, 0.5},
             bool visible = true) {
        MeshObject o(x, y, z, {});
        o.id = id;
        o.visible = visible;
        panel.meshObjects.push_back(o);
        halfSizes[id] = half;
    }
    MeshObject& Object(std::int32_t id) {
        MeshObject* o = FindObject(game, id);
        EXPECT_NE(o, nullptr) << "id " << id;
        return *o;
    }
    // Shows the record at (x, y, z); returns it.
    MeshObject& Show(std::int32_t id, double x, double y, double z) {
        MeshObject& o = Object(id);
        o.visible = true;
        std::tie(o.x, o.y, o.z) = std::tie(x, y, z);
        return o;
    }
    // What a frame writes back: the box of every visible object.
    void Draw() {
        for (MeshObject& o : panel.meshObjects) {
            if (!o.visible) {
                continue;
            }
            const Point3 h = halfSizes[o.id];
            o.bounds = {o.x - h.x, o.y - h.y, o.z - h.z, o.x + h.x, o.y + h.y, o.z + h.z};
        }
    }
    void Hold(int key, bool down = true) { platform::SetKeyDown(key, down); }
};

}  // namespace MyApp::testing_support
