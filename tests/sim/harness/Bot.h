// The simulation's test player: a bot that plays every level reasonably (steers under the
// nearest saucer or away from what is coming at it, fires when a shot would meet its target;
// in level 4 it walks under the saucer, jumps to reach it and walks aside to dodge).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "game/Entities.h"
#include "tests/sim/harness/Simulation.h"

namespace MyApp::sim {

class Bot : public Player {
  public:
    void Decide(GameFields& game, bool titleShown) override;

  private:
    struct Keys {
        bool left = false, right = false, up = false, down = false, fire = false;
    };
    struct Track {
        std::array<Point3, 3> seen{};  // the last three positions, newest first
        int count = 0;
    };
    // What the bot keeps clear of: how far in front of the body a thing meets it, how many
    // ticks ahead it looks, and the body's half width and height with their margins.
    struct Reach {
        double front, horizon, halfX, halfY;
    };
    // The soonest thing isThreat picks that would meet a body at p, and where; ticks is 1e9
    // when nothing would.
    struct Threat {
        double ticks = 1e9, x = 0, y = 0;
    };
    Threat Soonest(GameFields& game, const Point3& p, const Reach& reach,
                   const std::function<bool(const MeshObject&)>& isThreat) const;
    // Movement per tick estimated over the last two ticks; none without enough history.
    std::optional<Point3> Velocity(std::int32_t id) const;
    void Observe(GameFields& game);
    const MeshObject* ReachableDiver(GameFields& game, const Point3& p, bool alignY) const;
    const MeshObject* Target(GameFields& game, const Point3& p, bool alignY) const;
    Keys Front(GameFields& game);
    Keys Side(GameFields& game);
    Keys Astronaut(GameFields& game);

    std::map<std::int32_t, Track> tracks_;
    std::int32_t trackedLevel_ = 0;
    std::int32_t trackedPhase_ = 0;
};

// Holds or releases the game's keys.
void SetKeys(bool left, bool right, bool up, bool down, bool fire, bool start);

}  // namespace MyApp::sim
