#include "game/PlayerControl.h"

#include "game/Entities.h"
#include "game/GameInput.h"

namespace MyApp {
namespace {

PlayerControlState playerState;
AstronautControlState astronautState;

constexpr double kStep = 0.1;
constexpr double kShipTop = 3.5;
constexpr double kGround = -3.5;
constexpr double kJumpTop = 0;
constexpr std::int64_t kShotSpacingMs = 400;
constexpr std::int64_t kFiringPoseMs = 1000;
constexpr std::int32_t kFiringPoseFrame = 2;
constexpr double kShotFarZ = 55;

// What both controls read of the player once, at the start of a call.
struct PlayerView {
    Point3 p, bmin, bmax;
    std::int32_t angle = 0;
    std::int32_t frame = 0;
};

PlayerView ReadPlayer(GameFields& game) {
    return PlayerView{GetPosition(game, kPlayerId), GetBoundsMin(game, kPlayerId),
                      GetBoundsMax(game, kPlayerId), GetAngle(game, kPlayerId), GetShipFrame(game)};
}

// Left and right, each tested against the view before the move (so the player may stick
// out by one step); together they cancel out.
void MoveSideways(GameFields& game, const InputState& input, PlayerView& v) {
    if (input.left && InsideLeftPlane(game, v.bmin)) {
        v.p.x -= kStep;
        PlaceObject(game, kPlayerId, v.p.x, v.p.y, v.p.z, v.angle, v.frame);
    }
    if (input.right && InsideRightPlane(game, v.bmax)) {
        v.p.x += kStep;
        PlaceObject(game, kPlayerId, v.p.x, v.p.y, v.p.z, v.angle, v.frame);
    }
}

// Fires when the shot spacing has passed; the shot starts at the player's position moved by
// `offset`. Holding fire while the shot flies still restarts the spacing. True when a shot
// was made.
bool Fire(GameFields& game, Timestamp& lastShotTime, const Point3& offset, const Timestamp& now) {
    if (ElapsedMs(lastShotTime, now) <= kShotSpacingMs) {
        return false;
    }
    bool fired = false;
    if (!IsShotVisible(game)) {
        const Point3 s = GetPosition(game, kPlayerId);
        PlaceObject(game, kShotId, s.x + offset.x, s.y + offset.y, s.z + offset.z,
                    GetAngle(game, kShotId), 0);
        SetShotVisible(game, true);
        game.sounds.Push(kSoundShot);
        fired = true;
    }
    lastShotTime = now;
    return fired;
}

void FlyShot(GameFields& game, double distance, bool limitDepth) {
    MeshObject* shot = FindObject(game, kShotId);
    if (shot == nullptr || !shot->visible) {
        return;
    }
    MoveObject(*shot, 0, -1, 0, distance);
    const Point3 corner{shot->bounds.minX, shot->bounds.minY, shot->bounds.minZ};
    if ((limitDepth && shot->z > kShotFarZ) || !IsInFrustum(game, corner)) {
        shot->visible = false;
    }
}

}  // namespace

void ControlPlayer(GameFields& game, const Timestamp& now) {
    const InputState input = ReadInput(game);
    if (game.paused) {
        return;
    }
    if (playerState.lastShotTime.unset) {
        playerState.lastShotTime = now;
    }
    PlayerView v = ReadPlayer(game);
    MoveSideways(game, input, v);
    if (input.up && v.p.y < kShipTop) {
        MoveObject(game, kPlayerId, 0, -1, kStep, 0);
    }
    if (input.down && v.p.y > -kShipTop) {
        MoveObject(game, kPlayerId, 0, -1, -kStep, 0);
    }
    if (input.fire) {
        // In the side view of level 2 the shot leaves a little above the ship's centre.
        const Point3 offset{0, game.level == 2 ? 0.2 : 0.0, 0};
        Fire(game, playerState.lastShotTime, offset, now);
    }
}

void ControlAstronaut(GameFields& game, const Timestamp& now) {
    const InputState input = ReadInput(game);
    if (game.paused) {
        return;
    }
    if (astronautState.lastShotTime.unset) {
        astronautState.lastShotTime = now;
    }
    PlayerView v = ReadPlayer(game);
    MeshObject* astronaut = FindObject(game, kPlayerId);
    if (astronaut == nullptr) {
        return;  // nothing to steer
    }
    // hitCount is the jump state: 1 while rising.
    std::int32_t& jumpState = astronaut->hitCount;

    if (astronaut->frame == kFiringPoseFrame &&
        ElapsedMs(HitTime(*astronaut), now) > kFiringPoseMs) {
        astronaut->frame = 0;
        v.frame = 0;
    }
    if (jumpState == 0 && v.p.y > kGround) {
        v.p.y -= kStep;
        PlaceObject(game, kPlayerId, v.p.x, v.p.y, v.p.z, v.angle, v.frame);
    }
    if (jumpState == 1) {
        if (v.p.y < kJumpTop) {
            v.p.y += kStep;
            PlaceObject(game, kPlayerId, v.p.x, v.p.y, v.p.z, v.angle, v.frame);
        } else {
            jumpState = 0;
        }
    }
    MoveSideways(game, input, v);
    if (input.up && v.p.y <= kGround) {
        jumpState = 1;
    }
    if (input.down) {
        jumpState = 0;
    }
    if (input.fire && Fire(game, astronautState.lastShotTime, Point3{0, 0, 0.3}, now)) {
        astronaut->frame = kFiringPoseFrame;
        SetHitTime(*astronaut, now);
    }
}

void ShotFlight(GameFields& game) {
    FlyShot(game, 1.0, true);
}

void ShotFlightLevel2(GameFields& game) {
    FlyShot(game, 0.33, false);
}

PlayerControlState& PlayerControlStateForTesting() {
    return playerState;
}
AstronautControlState& AstronautControlStateForTesting() {
    return astronautState;
}

void ResetPlayerControlForTesting() {
    playerState = PlayerControlState{};
    astronautState = AstronautControlState{};
}

}  // namespace MyApp
