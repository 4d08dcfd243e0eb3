// The maths of the D3DX library with their published meanings: row vectors (a point is
// multiplied on the left, p' = p x M), left-handed coordinates, single precision.
#pragma once

namespace platform::d3dx {

struct D3DXVECTOR3 {
    float x = 0, y = 0, z = 0;
};

struct D3DXVECTOR4 {
    float x = 0, y = 0, z = 0, w = 0;
};

// Plane a*x + b*y + c*z + d = 0.
struct D3DXPLANE {
    float a = 0, b = 0, c = 0, d = 0;
};

// m[row][col]; the translation lives in row 3.
struct D3DXMATRIX {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    float& operator()(int r, int c) { return m[r][c]; }
    float operator()(int r, int c) const { return m[r][c]; }
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
// 2D transformation used by sprites: scaling only, as the panel passes it.
D3DXMATRIX* D3DXMatrixTransformation2D(D3DXMATRIX* out, float scaleX, float scaleY);

// p x M with the division by w.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// v x M without translation (directions, normals).
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float D3DXVec3Length(const D3DXVECTOR3* v);
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v);

// Rotations about one axis, clockwise when looking along the axis towards the origin
// (left-handed), as the row-vector convention has them.
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
// The inverse, or nullptr (out untouched) when the matrix is singular.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
// p x M keeping w.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);

// Small value helpers for code that works with vectors by value.
inline D3DXVECTOR3 operator+(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline D3DXVECTOR3 operator-(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline D3DXVECTOR3 operator*(const D3DXVECTOR3& a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline bool operator==(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The single-precision vector of anything with x, y and z members: the scene records and the
// game keep doubles, the device works in floats.
template <typename T>
D3DXVECTOR3 ToVector3(const T& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// The translation to the position of anything with x, y and z members.
template <typename T>
D3DXMATRIX TranslationTo(const T& v) {
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, static_cast<float>(v.x), static_cast<float>(v.y),
                          static_cast<float>(v.z));
    return t;
}

}  // namespace platform::d3dx
