#include "app/shell/StateTrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell/FormMain.h"
#include "game/Entities.h"
#include "panel3d/D3DPanelEx.h"
#include "platform/win/win32.h"
#include "toolkit/CellControl.h"
#include "toolkit/Controls.h"
#include "toolkit/FormAbout.h"
#include "toolkit/FormNamePlayer.h"
#include "toolkit/Menus.h"

namespace MyApp {
namespace {

std::string Position(double x, double y, double z) {
    char text[96];
    std::snprintf(text, sizeof text, "%.1f %.1f %.1f", x, y, z);
    return text;
}

// The part of a data path after its last separator.
std::string BaseName(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool Shown(const TekuUtility::GUIElement* element) {
    return element != nullptr && element->handle != nullptr &&
           platform::IsWindowVisible(element->handle);
}

}  // namespace

std::unique_ptr<StateTrace> StateTrace::FromEnvironment() {
    const char* value = std::getenv("KX_TRACE");
    if (value == nullptr || std::strcmp(value, "1") != 0) {
        return nullptr;
    }
    return std::make_unique<StateTrace>();
}

void StateTrace::Put(const std::string& key, const std::string& value) {
    auto [it, added] = last_.try_emplace(key, value);
    if (!added && it->second == value) {
        return;
    }
    it->second = value;
    std::fprintf(stderr, "kx-trace %s %s\n", key.c_str(), value.c_str());
    std::fflush(stderr);
}

void StateTrace::Sample(const FormMain& form) {
    const GameFields& game = form.fields;
    // A heartbeat about once a second: the tick is still running.
    if (ticks_++ % 33 == 0) {
        Put("alive", std::to_string(ticks_ / 33));
    }
    if (game.statusBar != nullptr) {
        Put("status", game.statusBar->GetTextA());
    }
    Put("level", std::to_string(game.level) + (game.levelRunning ? " running" : " stopped"));
    Put("paused", game.paused ? "1" : "0");
    Put("energy", std::to_string(game.energy));
    Put("score", std::to_string(game.score));
    if (game.banner != nullptr) {
        Put("banner",
            BaseName(game.banner->fileName) + (Shown(game.banner) ? " shown" : " hidden"));
    }
    Put("panel", Shown(game.panel) ? "shown" : "hidden");
    if (game.panel != nullptr && game.levelRunning) {
        int shots = 0;
        const TekuUtility::MeshObject* ship = nullptr;
        for (const TekuUtility::MeshObject& object : game.panel->meshObjects) {
            if (object.id == kPlayerId) {
                ship = &object;
                Put("ship", Position(object.x, object.y, object.z));
            } else if (object.id == kShotId && object.visible) {
                ++shots;
            }
        }
        Put("shots", std::to_string(shots));
        // The rock or saucer nearest to the ship among those still in front of it.
        const TekuUtility::MeshObject* nearest = nullptr;
        double best = 0;
        for (const TekuUtility::MeshObject& object : game.panel->meshObjects) {
            const bool enemy = (object.id >= kFirstRockId && object.id <= kLastRockScanId) ||
                               (object.id >= kFirstSaucerId && object.id <= kLastSaucerId);
            if (ship == nullptr || !enemy || !object.visible || object.z <= ship->z) {
                continue;
            }
            const double dx = object.x - ship->x, dy = object.y - ship->y, dz = object.z - ship->z;
            const double d = dx * dx + dy * dy + dz * dz;
            if (nearest == nullptr || d < best) {
                nearest = &object;
                best = d;
            }
        }
        if (nearest != nullptr) {
            Put("nearest", Position(nearest->x, nearest->y, nearest->z));
        }
    }
    if (form.joystickItem != nullptr) {
        Put("joystick", form.joystickItem->checked ? "checked" : "unchecked");
    }
    Put("about", Shown(form.aboutForm.get()) ? "open" : "closed");
    Put("nameform", Shown(form.nameForm.get()) ? "open" : "closed");
    std::string table;
    for (const std::string& entry : game.highScores) {
        table += (table.empty() ? "" : " | ") + entry;
    }
    Put("table", table.empty() ? "-" : table);
}

}  // namespace MyApp
