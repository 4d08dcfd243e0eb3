// Test players for the simulation: a bot that plays every level reasonably (steers under the
// nearest saucer or away from what is coming at it, fires when a shot would meet its target;
// in level 4 it walks under the saucer, jumps to reach it and walks aside to dodge), and a
// player who only starts the game and never touches the controls again.
#pragma once

#include <array>
#include <cstdint>
#include <map>

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
    // Movement per tick estimated over the last two ticks; false without enough history.
    bool Velocity(std::int32_t id, Point3& v) const;
    void Observe(GameFields& game);
    const MeshObject* ReachableDiver(GameFields& game, const Point3& p, bool alignY) const;
    Keys Front(GameFields& game);
    Keys Side(GameFields& game);
    Keys Astronaut(GameFields& game);

    std::map<std::int32_t, Track> tracks_;
    std::int32_t trackedLevel_ = 0;
    std::int32_t trackedPhase_ = 0;
};

// Presses start at the title and nothing else, ever.
class IdlePlayer : public Player {
  public:
    void Decide(GameFields& game, bool titleShown) override;
};

// Holds or releases the game's keys.
void SetKeys(bool left, bool right, bool up, bool down, bool fire, bool start);

}  // namespace MyApp::sim
