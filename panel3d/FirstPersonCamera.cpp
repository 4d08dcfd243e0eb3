#include "panel3d/FirstPersonCamera.h"

#include <cmath>

namespace TekuUtility {

using namespace platform::d3dx;

namespace {

// Column j of m as a plane (four entries).
D3DXPLANE Column(const D3DXMATRIX& m, int j) {
    return {m.m[0][j], m.m[1][j], m.m[2][j], m.m[3][j]};
}

D3DXPLANE Add(const D3DXPLANE& p, const D3DXPLANE& q) {
    return {p.a + q.a, p.b + q.b, p.c + q.c, p.d + q.d};
}

D3DXPLANE Sub(const D3DXPLANE& p, const D3DXPLANE& q) {
    return {p.a - q.a, p.b - q.b, p.c - q.c, p.d - q.d};
}

}  // namespace

void FirstPersonCamera::Update(const D3DXMATRIX& projection) {
    if (dirty) {
        D3DXMATRIX r1, r2, r3, m;
        D3DXMatrixRotationAxis(&r1, &right, pendingPitch);
        D3DXMatrixRotationAxis(&r2, &up, pendingYaw);
        D3DXMatrixRotationAxis(&r3, &look, pendingRoll);
        D3DXMatrixMultiply(&m, &r2, &r1);
        D3DXMatrixMultiply(&m, &r3, &m);
        D3DXVec3TransformCoord(&right, &right, &m);
        D3DXVec3TransformCoord(&up, &up, &m);
        D3DXVec3Cross(&look, &right, &up);
        if (std::fabs(D3DXVec3Dot(&right, &up)) > 0.01f) {
            D3DXVec3Cross(&up, &look, &right);
        }
        D3DXVec3Normalize(&right, &right);
        D3DXVec3Normalize(&up, &up);
        D3DXVec3Normalize(&look, &look);

        D3DXMatrixIdentity(&view);
        view.m[0][0] = right.x;
        view.m[1][0] = right.y;
        view.m[2][0] = right.z;
        view.m[0][1] = up.x;
        view.m[1][1] = up.y;
        view.m[2][1] = up.z;
        view.m[0][2] = look.x;
        view.m[1][2] = look.y;
        view.m[2][2] = look.z;
        view.m[3][0] = -D3DXVec3Dot(&right, &position);
        view.m[3][1] = -D3DXVec3Dot(&up, &position);
        view.m[3][2] = -D3DXVec3Dot(&look, &position);
        view.m[3][3] = 1;
    }
    if (device) {
        device->SetTransform(platform::gfx::TransformState::View, view);
    }
    D3DXMATRIX c;
    D3DXMatrixMultiply(&c, &view, &projection);
    frustum = FrustumPlanes(c);
    pendingYaw = pendingPitch = pendingRoll = 0;
    dirty = false;
}

std::array<D3DXPLANE, 6> FirstPersonCamera::FrustumPlanes(const D3DXMATRIX& c) {
    const D3DXPLANE c1 = Column(c, 0), c2 = Column(c, 1), c3 = Column(c, 2), c4 = Column(c, 3);
    std::array<D3DXPLANE, 6> planes = {Add(c4, c3), Sub(c4, c3), Add(c4, c1),
                                       Sub(c4, c1), Sub(c4, c2), Add(c4, c2)};
    for (D3DXPLANE& p : planes) {
        D3DXPlaneNormalize(&p, &p);
    }
    return planes;
}

bool FirstPersonCamera::Contains(float x, float y, float z) const {
    for (const D3DXPLANE& p : frustum) {
        if (p.a * x + p.b * y + p.c * z + p.d < 0) {
            return false;
        }
    }
    return true;
}

}  // namespace TekuUtility
