// Collisions between objects, measured on the world boxes the panel wrote when it last drew
// them, and the rule of the player's shot against the rocks.
#pragma once

#include "game/Entities.h"
#include "game/GameFields.h"

namespace MyApp {

// Margins: how much of each box's width is trimmed from each side before the test.
inline constexpr double kShotMargin = 0.1;
inline constexpr double kPlayerMargin = 0.2;

// Whether two boxes overlap: in thousandths of a world unit, first on x-z, then on x-y,
// each box narrowed along x by its factor of its width on each side. Touching edges and
// boxes without area never overlap.
bool BoxesOverlap(const Point3& aMin, const Point3& aMax, double aFactor, const Point3& bMin,
                  const Point3& bMax, double bFactor);

// The shot against one visible saucer (every level): unless the saucer is exploding, a shot
// that touches it is spent, scores 10, and the saucer counts the hit and shows hitFrame;
// past hitLimit hits it explodes where the shot is. The hit is timed `now`. True when the shot
// hit it.
bool ShotHitsSaucer(GameFields& game, MeshObject& saucer, const Point3& shotMin,
                    const Point3& shotMax, std::int32_t hitFrame, std::int32_t hitLimit,
                    const Timestamp& now);

// The shot against every visible saucer (levels 1, 3 and 4), from id 2001 up to the first
// missing one (2019 at most), each with ShotHitsSaucer. True when any saucer is visible.
bool ShotVersusVisibleSaucers(GameFields& game, const Point3& shotMin, const Point3& shotMax,
                              std::int32_t hitFrame, std::int32_t hitLimit, const Timestamp& now);

// A saucer shown hit (frame 1 or 3) or exploding (4) for more than a second (every level):
// an exploding one vanishes, a hit one shows restFrame again.
void EndSaucerHitShow(MeshObject& saucer, const Timestamp& now, std::int32_t restFrame);

// A rock in flight in front of the player (levels 1 and 2): an exploding rock vanishes 300 ms
// after its hit and takes back its saved shape; a rock touching the ship shows its impact
// look, stays where it is and sets contact; any other rock shows its normal look. True when
// the caller should move the rock on.
bool RockAgainstShip(MeshObject& rock, const Point3& shipMin, const Point3& shipMax,
                     const Timestamp& now, bool& contact);

// The shot against the visible rocks: the first one it touches explodes where the shot is
// (5 points, the shot is spent), its hit timed `now`. At most one rock per call.
void ShotVersusRocks(GameFields& game, const Timestamp& now);

}  // namespace MyApp
