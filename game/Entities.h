// Entities of a level are the panel's MeshObject records, found by id; these operations read
// and write their fields, turn headings into moves and test points against the sides of the
// camera's view. An id that is absent reads as zeros and is never written.
#pragma once

#include <bit>
#include <cstdint>

#include "game/GameFields.h"
#include "panel3d/SceneRecords.h"
#include "services/Timestamp.h"

namespace MyApp {

using TekuUtility::MeshObject;

// Ids of the entity kinds.
inline constexpr std::int32_t kPlayerId = 1;
inline constexpr std::int32_t kShotId = 2;
inline constexpr std::int32_t kFirstRockId = 1001;
inline constexpr std::int32_t kLastRockId = 1010;
inline constexpr std::int32_t kFirstSaucerId = 2001;
inline constexpr std::int32_t kLastSaucerId = 2010;
// Scans for rocks and saucers stop at the first missing id, or here.
inline constexpr std::int32_t kLastRockScanId = 1019;
inline constexpr std::int32_t kLastSaucerScanId = 2019;

// Sounds the level code plays.
inline constexpr std::int32_t kSoundShot = 1023;
inline constexpr std::int32_t kSoundHit = 1024;
inline constexpr std::int32_t kSoundTouch = 1026;

// The frame of an exploding rock or saucer.
inline constexpr std::int32_t kExplosionFrame = 4;

// Degrees to radians: pi/180 as a single-precision value, widened.
inline constexpr double kDegreesToRadians = static_cast<double>(0.017453292519943295f);

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// The first record of the panel's meshObjects with this id, or nullptr (also without a panel).
MeshObject* FindObject(GameFields& game, std::int32_t id);

// Calls fn(id, saucer) for each visible saucer from id 2001 up to lastId, stopping at the
// first id the scene lacks.
template <typename Fn>
void ForEachVisibleSaucer(GameFields& game, std::int32_t lastId, Fn&& fn) {
    for (std::int32_t id = kFirstSaucerId; id <= lastId; ++id) {
        MeshObject* saucer = FindObject(game, id);
        if (saucer == nullptr) {
            return;
        }
        if (saucer->visible) {
            fn(id, *saucer);
        }
    }
}

Point3 GetPosition(GameFields& game, std::int32_t id);
Point3 GetBoundsMin(GameFields& game, std::int32_t id);
Point3 GetBoundsMax(GameFields& game, std::int32_t id);
std::int32_t GetAngle(GameFields& game, std::int32_t id);
std::int32_t GetShipFrame(GameFields& game);
bool IsShotVisible(GameFields& game);
void SetShotVisible(GameFields& game, bool visible);

// Sets position and heading; the frame only when it is 0 or more.
void PlaceObject(GameFields& game, std::int32_t id, double x, double y, double z,
                 std::int32_t angle, std::int32_t frame);

// Turns by `turn` degrees (a result above 360 is taken modulo 360; 360 itself stays), lifts
// by `lift`, moves `speed` forward along the new heading and, when frame is 0 or more,
// shows that frame.
void MoveObject(MeshObject& object, std::int32_t turn, std::int32_t frame, double lift,
                double speed);
void MoveObject(GameFields& game, std::int32_t id, std::int32_t turn, std::int32_t frame,
                double lift, double speed);

// Heading in whole degrees 0..359 from one point to another, measured in the x-z plane.
std::int32_t HeadingTo(const Point3& from, const Point3& to);

// A point against the left / right plane of the panel camera's frustum, in single
// precision; true on the inner side or on the plane. False without a panel.
bool InsideLeftPlane(GameFields& game, const Point3& p);
bool InsideRightPlane(GameFields& game, const Point3& p);

// The panel's test of a point against all six frustum planes. False without a panel.
bool IsInFrustum(GameFields& game, const Point3& p);

// A record's lastHitTime and userFlag read as one Timestamp (userFlag = unset).
inline Timestamp HitTime(const MeshObject& object) {
    return Timestamp{object.lastHitTime, object.userFlag};
}
inline void SetHitTime(MeshObject& object, const Timestamp& time) {
    object.lastHitTime = time.time;
    object.userFlag = time.unset;
}

// A record's userValue holds the bits of a single-precision float.
inline float UserFloat(const MeshObject& object) {
    return std::bit_cast<float>(object.userValue);
}
inline void SetUserFloat(MeshObject& object, float value) {
    object.userValue = std::bit_cast<std::int32_t>(value);
}

}  // namespace MyApp
