// The D3DX matrix helpers and the matrix stack; plain float arithmetic in Direct3D's row-vector convention.

#include "host/d3dx8.h"

#include "host/comobject.h"

#include <cmath>
#include <new>
#include <vector>

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
{
    _11 = m11, _12 = m12, _13 = m13, _14 = m14;
    _21 = m21, _22 = m22, _23 = m23, _24 = m24;
    _31 = m31, _32 = m32, _33 = m33, _34 = m34;
    _41 = m41, _42 = m42, _43 = m43, _44 = m44;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const
{
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, this, &other);
    return product;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const
{
    for (int row = 0; row < 4; ++row)
    {
        for (int column = 0; column < 4; ++column)
        {
            if (m[row][column] != other.m[row][column])
            {
                return false;
            }
        }
    }
    return true;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2)
{
    D3DXMATRIX product; // out may alias an operand
    for (int row = 0; row < 4; ++row)
    {
        for (int column = 0; column < 4; ++column)
        {
            product.m[row][column] = m1->m[row][0] * m2->m[0][column] + m1->m[row][1] * m2->m[1][column] +
                                     m1->m[row][2] * m2->m[2][column] + m1->m[row][3] * m2->m[3][column];
        }
    }
    *out = product;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz)
{
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom, float top, float zNear,
                                       float zFar)
{
    const float width = right - left;
    const float height = top - bottom;
    const float depth = zFar - zNear;
    *out = D3DXMATRIX(2 / width, 0, 0, 0, 0, 2 / height, 0, 0, 0, 0, 1 / depth, 0, (left + right) / -width,
                      (top + bottom) / -height, zNear / -depth, 1);
    return out;
}

namespace
{

class MatrixStack final : public HostComObject<ID3DXMatrixStack>
{
public:
    MatrixStack() : mMatrices(1) { D3DXMatrixIdentity(&mMatrices.back()); }

    HRESULT Push() override
    {
        mMatrices.push_back(mMatrices.back());
        return D3D_OK;
    }
    HRESULT Pop() override
    {
        if (mMatrices.size() == 1)
        {
            return D3DERR_INVALIDCALL;
        }
        mMatrices.pop_back();
        return D3D_OK;
    }
    HRESULT MultMatrix(const D3DXMATRIX* matrix) override
    {
        D3DXMatrixMultiply(&mMatrices.back(), &mMatrices.back(), matrix);
        return D3D_OK;
    }
    HRESULT LoadIdentity() override
    {
        D3DXMatrixIdentity(&mMatrices.back());
        return D3D_OK;
    }
    D3DXMATRIX* GetTop() override { return &mMatrices.back(); }

private:
    ~MatrixStack() override = default;

    std::vector<D3DXMATRIX> mMatrices; // never empty; the back is the top
};

} // namespace

HRESULT D3DXCreateMatrixStack(DWORD flags, ID3DXMatrixStack** stack)
{
    if (stack == nullptr || flags != 0)
    {
        return D3DERR_INVALIDCALL;
    }
    *stack = new (std::nothrow) MatrixStack;
    return *stack != nullptr ? D3D_OK : E_OUTOFMEMORY;
}
