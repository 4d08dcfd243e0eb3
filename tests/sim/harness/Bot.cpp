#include "tests/sim/harness/Bot.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/keyboard.h"

namespace MyApp::sim {
namespace {

constexpr int kStartKey = 0x47;  // G

// Position along a line bouncing between -edge and +edge.
double Bounce(double x, double edge) {
    const double span = 4 * edge;
    double t = std::fmod(x + edge, span);
    if (t < 0) {
        t += span;
    }
    return t <= 2 * edge ? t - edge : 3 * edge - t;
}

// Half the size of an object's last drawn box (a guess when it was not drawn yet).
Point3 HalfOf(const MeshObject& o) {
    const auto& b = o.bounds;
    const Point3 half{(b.maxX - b.minX) / 2, (b.maxY - b.minY) / 2, (b.maxZ - b.minZ) / 2};
    return half.x > 0 ? half : Point3{0.5, 0.3, 0.5};
}

// One step away from a threat at `from`, toward the side with room within +-edge.
double AwayFrom(double at, double from, double edge) {
    return (at >= from && at < edge) || at < -edge ? at + 1 : at - 1;
}

// Steps toward a wanted value with a dead band.
void Toward(double have, double want, bool& less, bool& more, double band = 0.06) {
    less = want < have - band;
    more = want > have + band;
}

}  // namespace

void SetKeys(bool left, bool right, bool up, bool down, bool fire, bool start) {
    platform::SetKeyDown(platform::VK_LEFT, left);
    platform::SetKeyDown(platform::VK_RIGHT, right);
    platform::SetKeyDown(platform::VK_UP, up);
    platform::SetKeyDown(platform::VK_DOWN, down);
    platform::SetKeyDown(platform::VK_LCONTROL, fire);
    platform::SetKeyDown(kStartKey, start);
}

std::optional<Point3> Bot::Velocity(std::int32_t id) const {
    const auto it = tracks_.find(id);
    if (it == tracks_.end() || it->second.count < 3) {
        return std::nullopt;
    }
    const Track& t = it->second;
    const Point3 v{(t.seen[0].x - t.seen[2].x) / 2, (t.seen[0].y - t.seen[2].y) / 2,
                   (t.seen[0].z - t.seen[2].z) / 2};
    // A jump of more than a few units is a restart or a new launch, not movement.
    return std::abs(v.x) + std::abs(v.y) + std::abs(v.z) < 3 ? std::optional(v) : std::nullopt;
}

void Bot::Observe(GameFields& game) {
    if (game.level != trackedLevel_ || game.levelPhase != trackedPhase_) {
        tracks_.clear();
        trackedLevel_ = game.level;
        trackedPhase_ = game.levelPhase;
    }
    for (MeshObject& o : game.panel->meshObjects) {
        Track& t = tracks_[o.id];
        if (!o.visible) {
            t.count = 0;
            continue;
        }
        t.seen[2] = t.seen[1];
        t.seen[1] = t.seen[0];
        t.seen[0] = {o.x, o.y, o.z};
        t.count = std::min(t.count + 1, 3);
    }
}

void Bot::Decide(GameFields& game, bool titleShown) {
    if (!game.levelRunning || game.panel == nullptr || FindObject(game, kPlayerId) == nullptr) {
        SetKeys(false, false, false, false, false, titleShown && !game.levelRunning);
        return;
    }
    Observe(game);
    const Keys k = game.level == 2 ? Side(game) : game.level == 4 ? Astronaut(game) : Front(game);
    SetKeys(k.left, k.right, k.up, k.down, k.fire, false);
}

// The diving saucer the player can line up with soonest before it arrives; null when there
// is none (or no dive is on).
const MeshObject* Bot::ReachableDiver(GameFields& game, const Point3& p, bool alignY) const {
    if (game.levelPhase < 2) {
        return nullptr;
    }
    const MeshObject* best = nullptr;
    double bestCost = 1e9;
    for (const MeshObject& o : game.panel->meshObjects) {
        if (o.id < kFirstSaucerId || !o.visible || o.frame == 4 || o.z < p.z + 4) {
            continue;
        }
        const auto v = Velocity(o.id);
        if (!v || v->z > -0.05) {
            continue;
        }
        const double ticksLeft = (o.z - p.z - 4) / -v->z;
        double align = std::abs(o.x - p.x) / 0.05;
        if (alignY) {
            align = std::max(align, std::abs(std::clamp(o.y, -3.5, 3.5) - p.y) / 0.05);
        }
        if (align < ticksLeft && align < bestCost) {
            bestCost = align;
            best = &o;
        }
    }
    return best;
}

Bot::Threat Bot::Soonest(GameFields& game, const Point3& p, const Reach& reach,
                         const std::function<bool(const MeshObject&)>& isThreat) const {
    Threat threat;
    for (const MeshObject& o : game.panel->meshObjects) {
        if (!o.visible || !isThreat(o)) {
            continue;
        }
        const auto found = Velocity(o.id);
        if (!found) {
            continue;
        }
        const Point3 v = *found;
        const Point3 half = HalfOf(o);
        double n = 0;
        if (o.z - half.z > p.z + reach.front) {
            if (v.z > -1e-6) {
                continue;
            }
            n = (o.z - half.z - p.z - reach.front) / -v.z;
        }
        if (n > reach.horizon) {
            continue;
        }
        const double x = o.x + v.x * n, y = o.y + v.y * n;
        if (std::abs(x - p.x) < half.x + reach.halfX && std::abs(y - p.y) < half.y + reach.halfY &&
            n < threat.ticks) {
            threat = {n, x, y};
        }
    }
    return threat;
}

// A diver it can line up with in time, else the nearest saucer in play in front of it.
const MeshObject* Bot::Target(GameFields& game, const Point3& p, bool alignY) const {
    const MeshObject* target = ReachableDiver(game, p, alignY);
    if (target != nullptr) {
        return target;
    }
    for (const MeshObject& o : game.panel->meshObjects) {
        if (o.id >= kFirstSaucerId && o.visible && o.frame != 4 && o.z > p.z + 3 &&
            (target == nullptr || o.z < target->z)) {
            target = &o;
        }
    }
    return target;
}

// Levels 1 and 3: the ship moves in x and y at depth 0 and fires along +z.
Bot::Keys Bot::Front(GameFields& game) {
    Keys k;
    const MeshObject& ship = *FindObject(game, kPlayerId);
    const Point3 p{ship.x, ship.y, ship.z};

    // The soonest rock, fireball or diving saucer that would meet the ship where it is.
    const Threat threat = Soonest(game, p, {0.7, 30, 0.75, 0.45}, [&](const MeshObject& o) {
        const bool rock = o.id >= kFirstRockId && o.id <= kLastRockId && o.frame != 4;
        const bool diver = o.id >= kFirstSaucerId && game.levelPhase > 1 && game.level == 3;
        return rock || diver;
    });
    double wantX = p.x, wantY = p.y;
    if (const MeshObject* target = Target(game, p, true)) {
        const Point3 half = HalfOf(*target);
        const Point3 v = Velocity(target->id).value_or(Point3{});
        const double n = (target->z - p.z) / (1.0 - std::min(v.z, 0.5));
        const bool sweeping = game.level == 1 && game.levelPhase == 1;
        const double x = Bounce(target->x + v.x * n, sweeping ? 3.65 : 5.15);
        wantY = std::clamp(target->y, -3.7, 3.7);
        wantX = sweeping ? std::clamp(p.x, -1.5, 1.5) : std::clamp(x, -3.8, 3.8);
        // The shot's box is 0.07 high on each side: a centre within half + 0.03 overlaps.
        k.fire = !IsShotVisible(game) && std::abs(x - p.x) < half.x * 0.75 &&
                 std::abs(target->y - p.y) < half.y + 0.03;
    }
    if (threat.ticks < 1e9) {
        // Away from the threat, in the direction with room.
        wantX = AwayFrom(p.x, threat.x, 3.7);
        if (std::abs(threat.y - p.y) < 0.6) {
            wantY = AwayFrom(p.y, threat.y, 3.3);
        }
    }
    Toward(p.x, wantX, k.left, k.right);
    Toward(p.y, wantY, k.down, k.up);
    return k;
}

// Level 2: a side view; the ship keeps to the left edge, moves in y to dodge and to line up,
// and fires along +x at whatever its shot would meet.
Bot::Keys Bot::Side(GameFields& game) {
    Keys k;
    const MeshObject& ship = *FindObject(game, kPlayerId);
    const Point3 p{ship.x, ship.y, ship.z};
    const double shotY = p.y + 0.2;

    // The nearest danger over the next few ticks: a rock on its way or a saucer close by.
    double worst = 1e9, threatY = 0;
    const MeshObject* target = nullptr;
    double targetMiss = 1e9, targetY = 0;
    for (const MeshObject& o : game.panel->meshObjects) {
        if (!o.visible || o.id < kFirstRockId || o.frame == 4) {
            continue;
        }
        const bool saucer = o.id >= kFirstSaucerId;
        const auto ahead = [&](double at) { return saucer ? Bounce(at, 4.15) : at; };
        const Point3 v = Velocity(o.id).value_or(Point3{});
        const Point3 half = HalfOf(o);
        for (int n = 0; n <= (saucer ? 8 : 14); n += 2) {
            const double x = ahead(o.x + v.x * n), y = ahead(o.y + v.y * n);
            const double dx = std::abs(x - p.x) - half.x - 0.5;
            const double dy = std::abs(y - p.y) - half.y - 0.26;
            if (dx < 0.35 && dy < 0.35) {
                const double score = n + std::max(dx, dy);
                if (score < worst) {
                    worst = score;
                    threatY = y;
                }
                break;
            }
        }
        // Where the shot would meet it.
        if (o.x - half.x > p.x + 0.6) {
            const double n = (o.x - p.x) / std::max(0.33 - v.x, 0.1);
            const double y = ahead(o.y + v.y * n);
            const double miss = std::abs(y - shotY) / (half.y * 0.8) + (saucer ? 0 : 0.5);
            if (miss < targetMiss) {
                targetMiss = miss;
                target = &o;
                targetY = y;
            }
        }
    }
    double wantY = p.y;
    if (target != nullptr) {
        wantY = std::clamp(targetY - 0.2, -3.45, 3.45);
        k.fire = !IsShotVisible(game) && targetMiss < (target->id >= kFirstSaucerId ? 1 : 1.5);
    }
    if (worst < 1e9) {
        wantY = AwayFrom(p.y, threatY, 3.3);
    }
    Toward(p.x, -4.6, k.left, k.right, 0.1);
    Toward(p.y, wantY, k.down, k.up);
    return k;
}

// Level 4: the astronaut walks along x, jumps to y 0 at most, and fires along +z at its own
// height.
Bot::Keys Bot::Astronaut(GameFields& game) {
    Keys k;
    const MeshObject& man = *FindObject(game, kPlayerId);
    const Point3 p{man.x, man.y, man.z};
    const bool onGround = man.hitCount == 0 && p.y <= -3.45;

    const Threat threat = Soonest(game, p, {0.3, 40, 0.45, 0.9}, [&](const MeshObject& o) {
        const bool ball = o.id >= kFirstRockId && o.id <= kLastRockId;
        const bool diver = o.id >= kFirstSaucerId && game.levelPhase > 1;
        return o.frame != 4 && (ball || diver);
    });

    double wantX = p.x;
    if (const MeshObject* target = Target(game, p, false)) {
        const Point3 half = HalfOf(*target);
        const Point3 v = Velocity(target->id).value_or(Point3{});
        const double n = (target->z - p.z) / (1.0 - std::min(v.z, 0.5));
        const double x = Bounce(target->x + v.x * n, 5.15);
        const double y = target->y + v.y * n;
        wantX = std::clamp(x, -3.8, 3.8);
        const bool under = std::abs(x - p.x) < half.x * 0.75;
        k.fire = !IsShotVisible(game) && under && std::abs(y - p.y) < half.y * 0.85;
        // Out of reach from the ground: jump when under it.
        k.up = onGround && under && y - half.y * 0.5 > p.y;
    }
    if (threat.ticks < 1e9) {
        wantX = AwayFrom(p.x, threat.x, 3.7);
    }
    Toward(p.x, wantX, k.left, k.right);
    return k;
}

}  // namespace MyApp::sim
