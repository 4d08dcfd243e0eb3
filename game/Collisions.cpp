#include "game/Collisions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace MyApp {
namespace {

struct IntRect {
    std::int32_t left, top, right, bottom;
};

// v x 1000 truncated toward zero; saturated so that a wild coordinate cannot overflow.
std::int32_t Thousandths(double v) {
    const double scaled = v * 1000.0;
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (scaled <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(scaled);
}

IntRect MakeRect(double left, double top, double right, double bottom, double factor) {
    IntRect r{Thousandths(left), Thousandths(top), Thousandths(right), Thousandths(bottom)};
    if (factor > 0) {
        const auto d = static_cast<std::int32_t>(
            (static_cast<double>(r.right) - static_cast<double>(r.left)) * factor);
        r.left += d;
        r.right -= d;
    }
    return r;
}

// The overlap must have positive width and height.
bool Intersect(const IntRect& a, const IntRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// Adds the size of each negative value, in turn, to all four.
void MakeNonNegative(double& v1, double& v2, double& v3, double& v4) {
    for (double* v : {&v1, &v2, &v3, &v4}) {
        if (*v < 0) {
            const double shift = std::fabs(*v);
            v1 += shift;
            v2 += shift;
            v3 += shift;
            v4 += shift;
        }
    }
}

}  // namespace

bool BoxesOverlap(const Point3& aMin, const Point3& aMax, double aFactor, const Point3& bMin,
                  const Point3& bMax, double bFactor) {
    double ax1 = aMin.x, ax2 = aMax.x, bx1 = bMin.x, bx2 = bMax.x;
    MakeNonNegative(ax1, ax2, bx1, bx2);
    if (!Intersect(MakeRect(ax1, aMin.z, ax2, aMax.z, aFactor),
                   MakeRect(bx1, bMin.z, bx2, bMax.z, bFactor))) {
        return false;
    }
    double ay1 = aMin.y, ay2 = aMax.y, by1 = bMin.y, by2 = bMax.y;
    MakeNonNegative(ay1, ay2, by1, by2);
    return Intersect(MakeRect(ax1, ay1, ax2, ay2, aFactor), MakeRect(bx1, by1, bx2, by2, bFactor));
}

bool ShotHitsSaucer(GameFields& game, MeshObject& saucer, const Point3& shotMin,
                    const Point3& shotMax, std::int32_t hitFrame, std::int32_t hitLimit,
                    const Timestamp& now) {
    const Point3 saucerMin{saucer.bounds.minX, saucer.bounds.minY, saucer.bounds.minZ};
    const Point3 saucerMax{saucer.bounds.maxX, saucer.bounds.maxY, saucer.bounds.maxZ};
    if (!IsShotVisible(game) || saucer.frame == kExplosionFrame ||
        !BoxesOverlap(shotMin, shotMax, kShotMargin, saucerMin, saucerMax, kShotMargin)) {
        return false;
    }
    game.sounds.Push(kSoundHit);
    game.score += 10;
    SetShotVisible(game, false);
    saucer.hitCount += 1;
    saucer.frame = hitFrame;
    SetHitTime(saucer, now);
    if (saucer.hitCount > hitLimit) {
        const Point3 shot = GetPosition(game, kShotId);
        saucer.x = shot.x;
        saucer.y = shot.y;
        saucer.z = shot.z;
        saucer.frame = kExplosionFrame;
    }
    return true;
}

bool ShotVersusVisibleSaucers(GameFields& game, const Point3& shotMin, const Point3& shotMax,
                              std::int32_t hitFrame, std::int32_t hitLimit, const Timestamp& now) {
    bool anySaucer = false;
    ForEachVisibleSaucer(game, kLastSaucerScanId, [&](std::int32_t, MeshObject& saucer) {
        anySaucer = true;
        ShotHitsSaucer(game, saucer, shotMin, shotMax, hitFrame, hitLimit, now);
    });
    return anySaucer;
}

void EndSaucerHitShow(MeshObject& saucer, const Timestamp& now, std::int32_t restFrame) {
    if ((saucer.frame == 1 || saucer.frame == 3 || saucer.frame == kExplosionFrame) &&
        ElapsedMs(HitTime(saucer), now) > 1000) {
        if (saucer.frame == kExplosionFrame) {
            saucer.visible = false;
        } else {
            saucer.frame = restFrame;
        }
    }
}

bool RockAgainstShip(MeshObject& rock, const Point3& shipMin, const Point3& shipMax,
                     const Timestamp& now, bool& contact) {
    if (rock.frame == kExplosionFrame) {
        if (ElapsedMs(HitTime(rock), now) > 300) {
            rock.visible = false;
            rock.frame = rock.hitCount;
        }
        return false;
    }
    const Point3 rockMin{rock.bounds.minX, rock.bounds.minY, rock.bounds.minZ};
    const Point3 rockMax{rock.bounds.maxX, rock.bounds.maxY, rock.bounds.maxZ};
    if (BoxesOverlap(shipMin, shipMax, kPlayerMargin, rockMin, rockMax, kPlayerMargin)) {
        if (rock.frame < 2) {
            rock.frame += 2;
        }
        contact = true;
        return false;
    }
    if (rock.frame > 1) {
        rock.frame -= 2;
    }
    return true;
}

void ShotVersusRocks(GameFields& game, const Timestamp& now) {
    const Point3 shotMin = GetBoundsMin(game, kShotId);
    const Point3 shotMax = GetBoundsMax(game, kShotId);
    for (std::int32_t id = kFirstRockId; id <= kLastRockScanId; ++id) {
        MeshObject* rock = FindObject(game, id);
        if (rock == nullptr) {
            return;
        }
        if (!rock->visible || rock->frame == kExplosionFrame ||
            !BoxesOverlap(shotMin, shotMax, kShotMargin, GetBoundsMin(game, id),
                          GetBoundsMax(game, id), kShotMargin)) {
            continue;
        }
        game.sounds.Push(kSoundHit);
        game.score += 5;
        const Point3 shot = GetPosition(game, kShotId);
        SetShotVisible(game, false);
        rock->hitCount = rock->frame;
        rock->frame = kExplosionFrame;
        rock->x = shot.x;
        rock->y = shot.y;
        rock->z = shot.z;
        rock->angle = 0;
        SetHitTime(*rock, now);
        return;
    }
}

}  // namespace MyApp
