#include "game/Entities.h"

#include <cmath>

#include "panel3d/D3DPanelEx.h"

namespace MyApp {
namespace {

bool InsidePlane(GameFields& game, const Point3& p, TekuUtility::FrustumPlane which) {
    if (game.panel == nullptr) {
        return false;
    }
    const auto& plane = game.panel->firstPersonCamera.frustum[which];
    const platform::d3dx::D3DXVECTOR3 point = platform::d3dx::ToVector3(p);
    return platform::d3dx::D3DXPlaneDotCoord(&plane, &point) >= 0.0f;
}

}  // namespace

MeshObject* FindObject(GameFields& game, std::int32_t id) {
    if (game.panel == nullptr) {
        return nullptr;
    }
    auto& objects = game.panel->meshObjects;
    const int index = TekuUtility::FindIndexById(objects, id);
    return index < 0 ? nullptr : &objects[static_cast<std::size_t>(index)];
}

Point3 GetPosition(GameFields& game, std::int32_t id) {
    const MeshObject* object = FindObject(game, id);
    return object ? Point3{object->x, object->y, object->z} : Point3{};
}

Point3 GetBoundsMin(GameFields& game, std::int32_t id) {
    const MeshObject* object = FindObject(game, id);
    return object ? Point3{object->bounds.minX, object->bounds.minY, object->bounds.minZ}
                  : Point3{};
}

Point3 GetBoundsMax(GameFields& game, std::int32_t id) {
    const MeshObject* object = FindObject(game, id);
    return object ? Point3{object->bounds.maxX, object->bounds.maxY, object->bounds.maxZ}
                  : Point3{};
}

std::int32_t GetAngle(GameFields& game, std::int32_t id) {
    const MeshObject* object = FindObject(game, id);
    return object ? object->angle : 0;
}

std::int32_t GetShipFrame(GameFields& game) {
    const MeshObject* object = FindObject(game, kPlayerId);
    return object ? object->frame : 0;
}

bool IsShotVisible(GameFields& game) {
    const MeshObject* object = FindObject(game, kShotId);
    return object != nullptr && object->visible;
}

void SetShotVisible(GameFields& game, bool visible) {
    if (MeshObject* object = FindObject(game, kShotId)) {
        object->visible = visible;
    }
}

void PlaceObject(GameFields& game, std::int32_t id, double x, double y, double z,
                 std::int32_t angle, std::int32_t frame) {
    MeshObject* object = FindObject(game, id);
    if (object == nullptr) {
        return;
    }
    object->x = x;
    object->y = y;
    object->z = z;
    object->angle = angle;
    if (frame >= 0) {
        object->frame = frame;
    }
}

void MoveObject(MeshObject& object, std::int32_t turn, std::int32_t frame, double lift,
                double speed) {
    object.angle += turn;
    if (object.angle > 360) {
        object.angle %= 360;
    }
    const double a = object.angle * kDegreesToRadians;
    object.x += std::sin(a) * speed;
    object.y += lift;
    object.z += std::cos(a) * speed;
    if (frame >= 0) {
        object.frame = frame;
    }
}

void MoveObject(GameFields& game, std::int32_t id, std::int32_t turn, std::int32_t frame,
                double lift, double speed) {
    if (MeshObject* object = FindObject(game, id)) {
        MoveObject(*object, turn, frame, lift, speed);
    }
}

std::int32_t HeadingTo(const Point3& from, const Point3& to) {
    const double dx = to.x - from.x;
    const double dz = to.z - from.z;
    double h = std::atan(dx / dz) / kDegreesToRadians;
    if (std::isnan(h)) {
        h = 0;  // both points at the same x and z: no direction
    }
    if (from.z > to.z) {
        h += 180;
    }
    auto heading = static_cast<std::int32_t>(h);  // |h| <= 270: always in range
    if (heading < 0) {
        heading += 360;
    }
    return heading % 360;
}

bool InsideLeftPlane(GameFields& game, const Point3& p) {
    return InsidePlane(game, p, TekuUtility::kLeftPlane);
}

bool InsideRightPlane(GameFields& game, const Point3& p) {
    return InsidePlane(game, p, TekuUtility::kRightPlane);
}

bool IsInFrustum(GameFields& game, const Point3& p) {
    if (game.panel == nullptr) {
        return false;
    }
    const platform::d3dx::D3DXVECTOR3 point = platform::d3dx::ToVector3(p);
    return game.panel->isInFrustum(point.x, point.y, point.z);
}

}  // namespace MyApp
