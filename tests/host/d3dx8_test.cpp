// The D3DX matrices in Direct3D's row-vector convention and the matrix stack.

#include "host/d3dx8.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace
{

// The row vector (x, y, z, 1) times m.
std::array<float, 4> transform(const D3DXMATRIX& m, float x, float y, float z)
{
    std::array<float, 4> out{};
    for (int column = 0; column < 4; ++column)
    {
        out[column] = x * m(0, column) + y * m(1, column) + z * m(2, column) + m(3, column);
    }
    return out;
}

void expectPoint(const std::array<float, 4>& p, float x, float y, float z, const char* what)
{
    EXPECT_NEAR(p[0] / p[3], x, 1e-5f) << what;
    EXPECT_NEAR(p[1] / p[3], y, 1e-5f) << what;
    EXPECT_NEAR(p[2] / p[3], z, 1e-5f) << what;
}

TEST(D3DXMatrix, BuildersMoveAPointAsTheirNamesSay)
{
    D3DXMATRIX m;
    expectPoint(transform(*D3DXMatrixIdentity(&m), 1, 2, 3), 1, 2, 3, "identity");
    expectPoint(transform(*D3DXMatrixTranslation(&m, 10, 20, 30), 1, 2, 3), 11, 22, 33, "translation");
    expectPoint(transform(*D3DXMatrixScaling(&m, 2, 3, 4), 1, 2, 3), 2, 6, 12, "scaling");
    // A quarter turn takes x onto y: counter-clockwise with y up.
    expectPoint(transform(*D3DXMatrixRotationZ(&m, 3.14159265f / 2), 1, 0, 5), 0, 1, 5, "rotation");
}

TEST(D3DXMatrix, ProductAppliesTheLeftMatrixFirst)
{
    D3DXMATRIX translation, rotation;
    D3DXMatrixTranslation(&translation, 10, 0, 0);
    D3DXMatrixRotationZ(&rotation, 3.14159265f / 2);
    expectPoint(transform(translation * rotation, 1, 0, 0), 0, 11, 0, "translate, then rotate");
    expectPoint(transform(rotation * translation, 1, 0, 0), 10, 1, 0, "rotate, then translate");
    D3DXMATRIX out = translation;
    D3DXMatrixMultiply(&out, &out, &rotation); // out may be an operand
    EXPECT_TRUE(out == translation * rotation);
}

TEST(D3DXMatrix, OrthographicProjectionMapsTheGameSpaceOntoTheViewport)
{
    D3DXMATRIX m;
    D3DXMatrixOrthoOffCenterLH(&m, -800, 800, -600, 600, -1, 1);
    expectPoint(transform(m, 800, 600, 0), 1, 1, 0.5f, "top right");
    expectPoint(transform(m, -800, -600, 0), -1, -1, 0.5f, "bottom left");
    expectPoint(transform(m, 0, 0, -1), 0, 0, 0, "near plane");
    expectPoint(transform(m, 400, -300, 1), 0.5f, -0.5f, 1, "far plane");
}

TEST(D3DXMatrixStack, PushMultipliesOntoACopyOfTheTopAndPopRestoresIt)
{
    ID3DXMatrixStack* stack = nullptr;
    ASSERT_EQ(D3DXCreateMatrixStack(0, &stack), D3D_OK);
    D3DXMATRIX identity, translation, rotation;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixTranslation(&translation, 10, 20, 0);
    D3DXMatrixRotationZ(&rotation, 0.5f);
    EXPECT_TRUE(*stack->GetTop() == identity);

    stack->Push();
    stack->MultMatrix(&translation);
    EXPECT_TRUE(*stack->GetTop() == translation);
    stack->Push();
    stack->MultMatrix(&rotation);
    // top x matrix: a vertex passes through the matrices in the order they were multiplied on.
    EXPECT_TRUE(*stack->GetTop() == translation * rotation);
    EXPECT_EQ(stack->Pop(), D3D_OK);
    EXPECT_TRUE(*stack->GetTop() == translation);
    EXPECT_EQ(stack->Pop(), D3D_OK);
    EXPECT_TRUE(*stack->GetTop() == identity);
    EXPECT_EQ(stack->Pop(), D3DERR_INVALIDCALL) << "the bottom entry stays";

    stack->MultMatrix(&translation);
    stack->LoadIdentity();
    EXPECT_TRUE(*stack->GetTop() == identity);
    EXPECT_EQ(stack->AddRef(), 2u);
    EXPECT_EQ(stack->Release(), 1u);
    EXPECT_EQ(stack->Release(), 0u);
}

TEST(D3DXMatrixStack, CreationRefusesFlagsAndANullOutput)
{
    ID3DXMatrixStack* stack = nullptr;
    EXPECT_EQ(D3DXCreateMatrixStack(1, &stack), D3DERR_INVALIDCALL);
    EXPECT_EQ(stack, nullptr);
    EXPECT_EQ(D3DXCreateMatrixStack(0, nullptr), D3DERR_INVALIDCALL);
}

} // namespace
