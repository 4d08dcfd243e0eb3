// The panel's first-person camera: position and three unit axes, a view matrix rebuilt when
// dirty, and the six frustum planes rebuilt every frame from the view and the projection.
#pragma once

#include <array>

#include "platform/d3dx/d3dx_math.h"
#include "platform/gfx/device.h"

namespace TekuUtility {

using platform::d3dx::D3DXMATRIX;
using platform::d3dx::D3DXPLANE;
using platform::d3dx::D3DXVECTOR3;

// Plane order of the frustum.
enum FrustumPlane { kNearPlane, kFarPlane, kLeftPlane, kRightPlane, kTopPlane, kBottomPlane };

struct FirstPersonCamera {
    platform::gfx::Device* device = nullptr;  // not owned; set at each device creation
    D3DXVECTOR3 position;
    D3DXVECTOR3 look{0, 0, 1};
    D3DXVECTOR3 right{1, 0, 0};
    D3DXVECTOR3 up{0, 1, 0};
    bool dirty = true;
    float pendingYaw = 0;    // about up
    float pendingPitch = 0;  // about right
    float pendingRoll = 0;   // about look
    float heading = 0;       // radians; chooses the directions of the collision probes
    D3DXMATRIX view;
    std::array<D3DXPLANE, 6> frustum{};
    float spare = 0;

    // Rebuilds the view when dirty (applying and clearing the pending angles), then the
    // frustum from view x projection.
    void Update(const D3DXMATRIX& projection);
    // The six planes of C = view x projection, each normalised by the length of its (a, b, c).
    static std::array<D3DXPLANE, 6> FrustumPlanes(const D3DXMATRIX& viewProjection);
    // True when a*x + b*y + c*z + d is not negative for every plane.
    bool Contains(float x, float y, float z) const;
};

}  // namespace TekuUtility
