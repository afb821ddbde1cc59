#pragma once
// Our stand-in for the D3DX8 matrix helpers the program uses. Matrices follow Direct3D's row-vector
// convention: a point is the row (x, y, z, 1) multiplied on the left, so M1 * M2 applies M1 first, and the
// translation sits in the fourth row.

#include "host/d3d8.h"

struct D3DXMATRIX : D3DMATRIX
{
    D3DXMATRIX() = default;
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44);

    float& operator()(UINT row, UINT column) { return m[row][column]; }
    float operator()(UINT row, UINT column) const { return m[row][column]; }

    /// The product this x other: this matrix's mapping first, then other's.
    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
    bool operator==(const D3DXMATRIX& other) const;
};

/// Each function writes its matrix into *out and returns out.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
/// out := m1 x m2 (out may be one of the operands).
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2);
/// Rotation about z by angle radians, counter-clockwise with x right and y up.
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
/// Left-handed orthographic projection: x from left to right onto -1..1, y from bottom to top onto -1..1,
/// z from zNear to zFar onto 0..1.
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom, float top, float zNear,
                                       float zFar);

/// A stack of matrices whose top starts as the identity.
class ID3DXMatrixStack : public IUnknown
{
public:
    /// Duplicates the top.
    virtual HRESULT Push() = 0;
    /// Removes the top; the bottom entry is never removed (D3DERR_INVALIDCALL).
    virtual HRESULT Pop() = 0;
    /// top := top x matrix.
    virtual HRESULT MultMatrix(const D3DXMATRIX* matrix) = 0;
    /// top := identity.
    virtual HRESULT LoadIdentity() = 0;
    /// The top, valid until the next change of the stack.
    virtual D3DXMATRIX* GetTop() = 0;
};

using LPD3DXMATRIXSTACK = ID3DXMatrixStack*;

/// A stack holding one identity matrix; flags must be 0; the caller owns the reference.
HRESULT D3DXCreateMatrixStack(DWORD flags, ID3DXMatrixStack** stack);
