#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/d3dx/d3dx_math.h"

namespace platform::d3dx {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tol = 1e-5f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a(r, c), b(r, c), tol) << "at " << r << "," << c;
        }
    }
}

void ExpectVecNear(const D3DXVECTOR3& v, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

D3DXVECTOR3 Apply(const D3DXMATRIX& m, D3DXVECTOR3 p) {
    D3DXVec3TransformCoord(&p, &p, &m);
    return p;
}

TEST(D3DXMath, PerspectiveFovLHOfThePanelAndLookAtLHFromTheSide) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, kPi / 4, 1.0f, 1.0f, 500.0f);
    EXPECT_NEAR(m(0, 0), 2.4142135f, 1e-5f);
    // The near plane maps to depth 0 and the far plane to 1.
    ExpectVecNear(Apply(m, {0, 0, 1}), 0, 0, 0);
    ExpectVecNear(Apply(m, {0, 0, 500}), 0, 0, 1);
    // A point on the top edge of the 45-degree view lands on y = 1.
    ExpectVecNear(Apply(m, {0, std::tan(kPi / 8) * 10, 10}), 0, 1, 500.0f / 499.0f * 0.9f);

    // Look-at from +x towards the origin: the origin 5 ahead, world +z on the right.
    const D3DXVECTOR3 side{5, 0, 0}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMatrixLookAtLH(&m, &side, &at, &up);
    ExpectVecNear(Apply(m, {0, 0, 0}), 0, 0, 5);
    ExpectVecNear(Apply(m, {0, 0, 1}), 1, 0, 5);
    ExpectVecNear(Apply(m, {0, 1, 0}), 0, 1, 5);
}

TEST(D3DXMath, YawPitchRollRotatesRollThenPitchThenYaw) {
    D3DXMATRIX m;
    // Yaw alone turns +x towards -z (left-handed, y up).
    D3DXMatrixRotationYawPitchRoll(&m, kPi / 2, 0, 0);
    ExpectVecNear(Apply(m, {1, 0, 0}), 0, 0, -1);
    // Pitch is applied before yaw: +z pitched to -y stays there under the yaw.
    D3DXMatrixRotationYawPitchRoll(&m, kPi / 2, kPi / 2, 0);
    ExpectVecNear(Apply(m, {0, 0, 1}), 0, -1, 0);
    // Roll is applied before pitch: +x rolled to +y, then pitched to +z.
    D3DXMatrixRotationYawPitchRoll(&m, 0, kPi / 2, kPi / 2);
    ExpectVecNear(Apply(m, {1, 0, 0}), 0, 0, 1);
}

TEST(D3DXMath, RotationAxisMatchesTheAxisRotations) {
    D3DXMATRIX a, b;
    const D3DXVECTOR3 y{0, 2, 0}, x{3, 0, 0};
    D3DXMatrixRotationAxis(&a, &y, 0.7f);  // the axis need not be unit length
    D3DXMatrixRotationY(&b, 0.7f);
    ExpectMatrixNear(a, b);
    D3DXMatrixRotationAxis(&a, &x, -0.4f);
    D3DXMatrixRotationX(&b, -0.4f);
    ExpectMatrixNear(a, b);
    // A diagonal axis: a third of a turn cycles the coordinate axes.
    const D3DXVECTOR3 diag{1, 1, 1};
    D3DXMatrixRotationAxis(&a, &diag, 2 * kPi / 3);
    const D3DXVECTOR3 p = Apply(a, {1, 0, 0});
    EXPECT_NEAR(std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z), 1.0f, 1e-5f);
    EXPECT_NEAR(p.x, 0, 1e-5f);
}

TEST(D3DXMath, MultiplyAppliesTheLeftMatrixFirst) {
    D3DXMATRIX t, s, ts, st;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixMultiply(&ts, &t, &s);
    D3DXMatrixMultiply(&st, &s, &t);
    ExpectVecNear(Apply(ts, {0, 0, 0}), 2, 4, 6);
    ExpectVecNear(Apply(st, {1, 1, 1}), 3, 4, 5);
    // out may alias an input.
    D3DXMatrixMultiply(&t, &t, &s);
    ExpectMatrixNear(t, ts);

    D3DXMATRIX inv, back;
    ASSERT_NE(D3DXMatrixInverse(&inv, nullptr, &ts), nullptr);
    D3DXMatrixMultiply(&back, &ts, &inv);
    ExpectMatrixNear(back, D3DXMATRIX{});
    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    float det = 1;
    EXPECT_EQ(D3DXMatrixInverse(&inv, &det, &singular), nullptr);
    EXPECT_EQ(det, 0);
}

TEST(D3DXMath, VectorsNormalsAndPlanes) {
    D3DXVECTOR3 v{3, 0, 4}, out;
    D3DXVec3Normalize(&out, &v);
    ExpectVecNear(out, 0.6f, 0, 0.8f);
    const D3DXVECTOR3 zero{};
    out = {1, 1, 1};
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out, zero);

    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 5, 5, 5);
    D3DXVec3TransformNormal(&out, &v, &t);  // directions ignore translation
    ExpectVecNear(out, 3, 0, 4);

    const D3DXVECTOR3 a{1, 0, 0}, b{0, 1, 0};
    D3DXVec3Cross(&out, &a, &b);
    ExpectVecNear(out, 0, 0, 1);  // left-handed: x cross y is z

    const D3DXPLANE p{3, 0, 4, 10};
    D3DXPLANE n;
    D3DXPlaneNormalize(&n, &p);
    ExpectVecNear({n.a, n.b, n.c}, 0.6f, 0, 0.8f);
    EXPECT_FLOAT_EQ(n.d, 2);
    const D3DXVECTOR3 q{0, 7, 0};
    EXPECT_FLOAT_EQ(D3DXPlaneDotCoord(&n, &q), 2);  // distance from the plane
    const D3DXPLANE degenerate{0, 0, 0, 1};
    D3DXPlaneNormalize(&n, &degenerate);
    EXPECT_EQ(n.d, 0);

    D3DXMATRIX m;
    D3DXMatrixTransformation2D(&m, 0.5f, 7.0f);
    ExpectVecNear(Apply(m, {2, 1, 3}), 1, 7, 3);
}

}  // namespace
}  // namespace platform::d3dx
