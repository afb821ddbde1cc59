// The Direct3D object and the software device through their interfaces, headless: adapter queries, drawing
// into captured frames, resources and their references, refused calls, lost devices and the virtual clock.

#include "host/d3d8.h"
#include "host/d3dx8.h"
#include "host/rasteriser.h"
#include "host/testing.h"
#include "host/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace
{

struct ColorVertex
{
    float x, y, z;
    DWORD color;
};

struct TexturedVertex
{
    float x, y, z;
    DWORD color;
    float u, v;
};

constexpr DWORD COLOR_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr DWORD TEXTURED_FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class D3D8DeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hosttest::resetWindows();
        hosttest::useVirtualClock();
        hosttest::forceDeviceLoss(false);
        hosttest::resetD3D8Counters();
        WNDCLASSEXA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "D3D8DeviceTest";
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        mWindow =
            CreateWindowExA(0, "D3D8DeviceTest", "Device", WS_POPUP, 0, 0, 16, 12, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(mWindow, nullptr);
        ShowWindow(mWindow, SW_SHOWNORMAL);
        pumpMessages();
        mDirect3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(mDirect3D, nullptr);
    }

    void TearDown() override
    {
        if (mDevice != nullptr)
        {
            EXPECT_EQ(mDevice->Release(), 0u);
        }
        EXPECT_EQ(mDirect3D->Release(), 0u);
        hosttest::forceDeviceLoss(false);
        hosttest::refuseWindowSurfaces(false);
        hosttest::useRealClock();
        hosttest::resetWindows();
    }

    // A device drawing width x height pixels; windowed devices take the window's 16 x 12 client area.
    HRESULT createDevice(bool windowed, UINT width = 0, UINT height = 0)
    {
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = width;
        parameters.BackBufferHeight = height;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = mWindow;
        parameters.Windowed = windowed ? TRUE : FALSE;
        parameters.FullScreen_PresentationInterval = windowed ? 0 : D3DPRESENT_INTERVAL_ONE;
        return mDirect3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                       &parameters, &mDevice);
    }

    // The game's fixed state: the game's space as projection, no culling or lighting, blending off.
    void useGameSpace()
    {
        D3DXMATRIX projection;
        D3DXMatrixOrthoOffCenterLH(&projection, -800, 800, -600, 600, -1, 1);
        ASSERT_EQ(mDevice->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
        ASSERT_EQ(mDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
        ASSERT_EQ(mDevice->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    }

    template <class Vertex>
    IDirect3DVertexBuffer8* vertexBuffer(const std::vector<Vertex>& vertices)
    {
        IDirect3DVertexBuffer8* buffer = nullptr;
        const UINT length = static_cast<UINT>(vertices.size() * sizeof(Vertex));
        EXPECT_EQ(mDevice->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer), D3D_OK);
        BYTE* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, length, &data, 0), D3D_OK);
        std::memcpy(data, vertices.data(), length);
        buffer->Unlock();
        return buffer;
    }

    // The strip of two textured triangles in buffer drawn and presented.
    const hosttest::PresentedFrame& drawTexturedQuad(IDirect3DVertexBuffer8* buffer, IDirect3DTexture8* texture)
    {
        mDevice->BeginScene();
        mDevice->SetStreamSource(0, buffer, sizeof(TexturedVertex));
        mDevice->SetVertexShader(TEXTURED_FVF);
        EXPECT_EQ(mDevice->SetTexture(0, texture), D3D_OK);
        EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
        mDevice->EndScene();
        EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        return hosttest::lastPresentedFrame();
    }

    IDirect3DIndexBuffer8* indexBuffer(const std::vector<WORD>& indices)
    {
        IDirect3DIndexBuffer8* buffer = nullptr;
        const UINT length = static_cast<UINT>(indices.size() * 2);
        EXPECT_EQ(mDevice->CreateIndexBuffer(length, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer),
                  D3D_OK);
        BYTE* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, length, &data, 0), D3D_OK);
        std::memcpy(data, indices.data(), length);
        buffer->Unlock();
        return buffer;
    }

    // One character per pixel of the last presented frame: '.' black, '#' white, '?' anything else.
    static std::string picture()
    {
        const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
        std::string text;
        for (int y = 0; y < frame.height; ++y)
        {
            for (int x = 0; x < frame.width; ++x)
            {
                const std::uint32_t p = frame.at(x, y);
                text += p == 0xFF000000u ? '.' : p == 0xFFFFFFFFu ? '#' : '?';
            }
            text += '\n';
        }
        return text;
    }

    HWND mWindow = nullptr;
    IDirect3D8* mDirect3D = nullptr;
    IDirect3DDevice8* mDevice = nullptr;
};

TEST_F(D3D8DeviceTest, AdapterOffersTheDesktopModeAndTheFourThreeModes)
{
    EXPECT_EQ(mDirect3D->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER8 identifier{};
    ASSERT_EQ(mDirect3D->GetAdapterIdentifier(0, 0, &identifier), D3D_OK);
    EXPECT_GT(std::strlen(identifier.Description), 0u);
    EXPECT_EQ(mDirect3D->GetAdapterIdentifier(1, 0, &identifier), D3DERR_INVALIDCALL);

    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(mDirect3D->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_GT(desktop.RefreshRate, 0u) << "60 Hz stands in for a rate SDL does not know";
    std::vector<std::string> modes;
    for (UINT i = 0; i < mDirect3D->GetAdapterModeCount(0); ++i)
    {
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(mDirect3D->EnumAdapterModes(0, i, &mode), D3D_OK);
        EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(mode.RefreshRate, desktop.RefreshRate);
        modes.push_back(std::to_string(mode.Width) + "x" + std::to_string(mode.Height));
    }
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes[0], std::to_string(desktop.Width) + "x" + std::to_string(desktop.Height));
    for (const char* wanted : {"640x480", "800x600", "1024x768"})
    {
        EXPECT_EQ(std::count(modes.begin(), modes.end(), wanted), 1) << wanted;
    }
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(mDirect3D->EnumAdapterModes(0, static_cast<UINT>(modes.size()), &mode), D3DERR_INVALIDCALL);
}

TEST_F(D3D8DeviceTest, HardwareCapsPassEveryTestOfTheGraphicsLibraryAndReferenceCapsNone)
{
    D3DCAPS8 caps{};
    ASSERT_EQ(mDirect3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    const auto has = [](DWORD field, DWORD bits) { return (field & bits) == bits; };
    EXPECT_TRUE(has(caps.Caps2, D3DCAPS2_CANRENDERWINDOWED));
    EXPECT_TRUE(has(caps.PresentationIntervals, D3DPRESENT_INTERVAL_ONE));
    EXPECT_TRUE(has(caps.SrcBlendCaps, D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA));
    EXPECT_TRUE(has(caps.DestBlendCaps, D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_INVSRCALPHA));
    EXPECT_TRUE(has(caps.ShadeCaps, D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_COLORGOURAUDRGB));
    EXPECT_TRUE(has(caps.TextureCaps, D3DPTEXTURECAPS_ALPHA));
    EXPECT_TRUE(has(caps.TextureFilterCaps, D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT));
    EXPECT_TRUE(has(caps.TextureAddressCaps, D3DPTADDRESSCAPS_WRAP));
    EXPECT_TRUE(has(caps.LineCaps, D3DLINECAPS_BLEND));
    EXPECT_TRUE(has(caps.TextureOpCaps, D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_MODULATE));
    EXPECT_GE(caps.MaxTextureWidth, 256u);
    EXPECT_GE(caps.MaxTextureHeight, 256u);
    EXPECT_GE(caps.FVFCaps & D3DFVFCAPS_TEXCOORDCOUNTMASK, 1u);
    EXPECT_GE(caps.MaxTextureBlendStages, 1u);
    EXPECT_GE(caps.MaxSimultaneousTextures, 1u);
    EXPECT_GE(caps.MaxPrimitiveCount, 65535u);
    EXPECT_GE(caps.MaxVertexIndex, 65534u);
    EXPECT_GE(caps.MaxStreams, 1u);

    ASSERT_EQ(mDirect3D->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3D_OK);
    EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(caps.Caps2, 0u);
    EXPECT_EQ(caps.MaxPrimitiveCount, 0u);
}

TEST_F(D3D8DeviceTest, DeviceTypeCheckAcceptsTheTwoBackBufferFormatsOverAnX8R8G8B8Display)
{
    struct Case
    {
        D3DDEVTYPE type;
        D3DFORMAT display, backBuffer;
        HRESULT expected;
    };
    for (const Case c : {Case{D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3D_OK},
                         Case{D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3D_OK},
                         Case{D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, D3DERR_NOTAVAILABLE},
                         Case{D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DERR_NOTAVAILABLE}})
    {
        for (const BOOL windowed : {TRUE, FALSE})
        {
            EXPECT_EQ(mDirect3D->CheckDeviceType(0, c.type, c.display, c.backBuffer, windowed), c.expected);
        }
    }
}

TEST_F(D3D8DeviceTest, GameSpaceMapsOntoTheWholeBackBufferWithYUp)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    useGameSpace();
    // The top right quarter of the space, as a strip, a list and a fan: each must fill the same pixels.
    const std::vector<ColorVertex> strip = {
        {0, 600, 0, 0xFFFFFFFF}, {0, 0, 0, 0xFFFFFFFF}, {800, 600, 0, 0xFFFFFFFF}, {800, 0, 0, 0xFFFFFFFF}};
    IDirect3DVertexBuffer8* buffer = vertexBuffer(strip);
    const std::string expected = "........########\n"
                                 "........########\n"
                                 "........########\n"
                                 "........########\n"
                                 "........########\n"
                                 "........########\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n";
    IDirect3DIndexBuffer8* list = indexBuffer({0, 1, 2, 2, 1, 3});
    IDirect3DIndexBuffer8* fan = indexBuffer({1, 0, 2, 3});
    struct Draw
    {
        const char* name;
        IDirect3DIndexBuffer8* indices;
        D3DPRIMITIVETYPE type;
    };
    for (const Draw& draw :
         {Draw{"strip", nullptr, D3DPT_TRIANGLESTRIP}, Draw{"indexed list", list, D3DPT_TRIANGLELIST},
          Draw{"indexed fan", fan, D3DPT_TRIANGLEFAN}})
    {
        ASSERT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 0, 0), D3D_OK);
        ASSERT_EQ(mDevice->BeginScene(), D3D_OK);
        ASSERT_EQ(mDevice->SetStreamSource(0, buffer, sizeof(ColorVertex)), D3D_OK);
        ASSERT_EQ(mDevice->SetVertexShader(COLOR_FVF), D3D_OK);
        if (draw.indices == nullptr)
        {
            EXPECT_EQ(mDevice->DrawPrimitive(draw.type, 0, 2), D3D_OK);
        }
        else
        {
            ASSERT_EQ(mDevice->SetIndices(draw.indices, 0), D3D_OK);
            EXPECT_EQ(mDevice->DrawIndexedPrimitive(draw.type, 0, 4, 0, 2), D3D_OK);
        }
        ASSERT_EQ(mDevice->EndScene(), D3D_OK);
        ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_EQ(picture(), expected) << draw.name;
    }
    mDevice->SetStreamSource(0, nullptr, 0);
    mDevice->SetIndices(nullptr, 0);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(list->Release(), 0u);
    EXPECT_EQ(fan->Release(), 0u);
}

TEST_F(D3D8DeviceTest, PointListDrawsEachVertexOnThePixelAtItsPlace)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    useGameSpace();
    // 100 units a pixel, pixel centres on whole hundreds; the last two lie off the back buffer.
    const std::vector<ColorVertex> points = {{-800, 600, 0, 0xFFFFFFFF},
                                             {700, -500, 0, 0xFFFFFFFF},
                                             {-120, 290, 0, 0xFFFFFFFF},
                                             {-940, 0, 0, 0xFFFFFFFF},
                                             {0, -5000, 0, 0xFFFFFFFF}};
    IDirect3DVertexBuffer8* buffer = vertexBuffer(points);
    IDirect3DIndexBuffer8* indices = indexBuffer({4, 3, 2, 1, 0});
    const std::string expected = "#...............\n"
                                 "................\n"
                                 "................\n"
                                 ".......#........\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "................\n"
                                 "...............#\n";
    for (const bool indexed : {false, true})
    {
        ASSERT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 0, 0), D3D_OK);
        ASSERT_EQ(mDevice->BeginScene(), D3D_OK);
        ASSERT_EQ(mDevice->SetStreamSource(0, buffer, sizeof(ColorVertex)), D3D_OK);
        ASSERT_EQ(mDevice->SetVertexShader(COLOR_FVF), D3D_OK);
        ASSERT_EQ(mDevice->SetIndices(indices, 0), D3D_OK);
        EXPECT_EQ(indexed ? mDevice->DrawIndexedPrimitive(D3DPT_POINTLIST, 0, 5, 0, 5)
                          : mDevice->DrawPrimitive(D3DPT_POINTLIST, 0, 5),
                  D3D_OK);
        ASSERT_EQ(mDevice->EndScene(), D3D_OK);
        ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_EQ(picture(), expected) << (indexed ? "indexed" : "listed");
    }
    mDevice->SetStreamSource(0, nullptr, 0);
    mDevice->SetIndices(nullptr, 0);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(indices->Release(), 0u);
}

TEST_F(D3D8DeviceTest, ViewTransformMovesTheDrawingAndTextureStageModulates)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    useGameSpace();
    ASSERT_EQ(mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(mDevice->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const DWORD texels[2][2] = {{0xFFFFFFFFu, 0xFF00FF00u}, {0xFFFF0000u, 0xFF0000FFu}};
    for (int row = 0; row < 2; ++row)
    {
        std::memcpy(static_cast<BYTE*>(locked.pBits) + row * locked.Pitch, texels[row], 8);
    }
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

    // A square of 200 units covers 2 x 2 pixels, one texel each; drawn at the centre of the space and moved
    // right by 400 units (4 pixels) by the view.
    const std::vector<TexturedVertex> quad = {{-100, 100, 0, 0xFFFFFFFF, 0, 0},
                                              {-100, -100, 0, 0xFFFFFFFF, 0, 1},
                                              {100, 100, 0, 0xFFFFFFFF, 1, 0},
                                              {100, -100, 0, 0xFFFFFFFF, 1, 1}};
    IDirect3DVertexBuffer8* buffer = vertexBuffer(quad);
    D3DXMATRIX view;
    D3DXMatrixTranslation(&view, 400, 0, 0);
    ASSERT_EQ(mDevice->SetTransform(D3DTS_VIEW, &view), D3D_OK);
    mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 0, 0);
    const hosttest::PresentedFrame& frame = drawTexturedQuad(buffer, texture);
    EXPECT_EQ(frame.at(11, 5), 0xFFFFFFFFu);
    EXPECT_EQ(frame.at(12, 5), 0xFF00FF00u);
    EXPECT_EQ(frame.at(11, 6), 0xFFFF0000u);
    EXPECT_EQ(frame.at(12, 6), 0xFF0000FFu);
    EXPECT_EQ(frame.at(10, 5), 0xFF000000u);
    EXPECT_EQ(frame.at(13, 6), 0xFF000000u);

    // The device holds the texture and the buffer while they are bound.
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(buffer->Release(), 1u);
    mDevice->SetTexture(0, nullptr);
    mDevice->SetStreamSource(0, nullptr, 0);
}

// The texture keeps its texels in the rasteriser's blocks and hands out a locked rectangle row by row: what is
// written into a rectangle is stored there alone, read back by the next lock and sampled, for sides below and
// above a block's 4 texels.
TEST_F(D3D8DeviceTest, TexelsWrittenIntoALockedRectangleAreReadBackAndDrawn)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    useGameSpace();
    ASSERT_EQ(mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    const auto first = [](LONG x, LONG y) { return 0xFF000000u | static_cast<DWORD>(y << 8 | x); };
    const auto second = [](LONG x, LONG y) { return 0xFFFF0000u | static_cast<DWORD>(y << 8 | x); };
    const auto texel = [](const D3DLOCKED_RECT& locked, LONG x, LONG y) -> DWORD&
    { return reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x]; };
    for (const auto& [width, height] : {std::pair<LONG, LONG>{16, 8}, {4, 8}, {2, 8}, {16, 1}})
    {
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(mDevice->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0, D3DFMT_A8R8G8B8,
                                         D3DPOOL_MANAGED, &texture),
                  D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (LONG y = 0; y < height; ++y)
        {
            for (LONG x = 0; x < width; ++x)
            {
                texel(locked, x, y) = first(x, y);
            }
        }
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "locked already";
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL) << "not locked";
        // Across blocks: from the middle of one to the texture's edge.
        const RECT rect = {std::max(width / 2 - 1, LONG{0}), std::max(height / 2 - 1, LONG{0}), width, height};
        ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
        for (LONG y = rect.top; y < rect.bottom; ++y)
        {
            for (LONG x = rect.left; x < rect.right; ++x)
            {
                DWORD& written = texel(locked, x - rect.left, y - rect.top);
                EXPECT_EQ(written, first(x, y)) << width << "x" << height << " at " << x << "," << y;
                written = second(x, y);
            }
        }
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        const auto expected = [&](LONG x, LONG y)
        { return x >= rect.left && y >= rect.top ? second(x, y) : first(x, y); };
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (LONG y = 0; y < height; ++y)
        {
            for (LONG x = 0; x < width; ++x)
            {
                EXPECT_EQ(texel(locked, x, y), expected(x, y)) << width << "x" << height << " at " << x << "," << y;
            }
        }
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

        // A texel to a pixel from the target's top left corner (100 units a pixel).
        const float right = -800.0f + 100.0f * static_cast<float>(width);
        const float bottom = 600.0f - 100.0f * static_cast<float>(height);
        IDirect3DVertexBuffer8* buffer =
            vertexBuffer(std::vector<TexturedVertex>{{-800, 600, 0, 0xFFFFFFFF, 0, 0},
                                                     {-800, bottom, 0, 0xFFFFFFFF, 0, 1},
                                                     {right, 600, 0, 0xFFFFFFFF, 1, 0},
                                                     {right, bottom, 0, 0xFFFFFFFF, 1, 1}});
        const hosttest::PresentedFrame& frame = drawTexturedQuad(buffer, texture);
        for (LONG y = 0; y < height; ++y)
        {
            for (LONG x = 0; x < width; ++x)
            {
                EXPECT_EQ(frame.at(x, y), expected(x, y)) << width << "x" << height << " at " << x << "," << y;
            }
        }
        mDevice->SetTexture(0, nullptr);
        mDevice->SetStreamSource(0, nullptr, 0);
        EXPECT_EQ(buffer->Release(), 0u);
        EXPECT_EQ(texture->Release(), 0u);
    }
}

TEST_F(D3D8DeviceTest, BadTexturesAreRefusedWithoutAnObject)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    struct Case
    {
        UINT width, height, levels;
        D3DFORMAT format;
    };
    for (const Case c :
         {Case{0, 0, 1, D3DFMT_A8R8G8B8}, Case{48, 48, 1, D3DFMT_A8R8G8B8}, Case{64, 24, 1, D3DFMT_A8R8G8B8},
          Case{8192, 8192, 1, D3DFMT_A8R8G8B8}, Case{64, 64, 2, D3DFMT_A8R8G8B8}, Case{64, 64, 1, D3DFMT_R5G6B5}})
    {
        IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(this);
        EXPECT_EQ(mDevice->CreateTexture(c.width, c.height, c.levels, 0, c.format, D3DPOOL_MANAGED, &texture),
                  D3DERR_INVALIDCALL)
            << c.width << "x" << c.height;
        EXPECT_EQ(texture, nullptr);
    }
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(mDevice->CreateTexture(64, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 256);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(D3D8DeviceTest, DrawsThatReadPastTheirBuffersAreRefused)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    const std::vector<ColorVertex> vertices(4, ColorVertex{0, 0, 0, 0xFFFFFFFF});
    IDirect3DVertexBuffer8* buffer = vertexBuffer(vertices);
    IDirect3DIndexBuffer8* indices = indexBuffer({0, 1, 2, 3, 9, 0});
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "outside a scene";
    mDevice->BeginScene();
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "no stream";
    mDevice->SetStreamSource(0, buffer, sizeof(ColorVertex));
    EXPECT_EQ(mDevice->SetVertexShader(D3DFVF_DIFFUSE), D3DERR_INVALIDCALL) << "no position";
    mDevice->SetVertexShader(COLOR_FVF);
    mDevice->SetIndices(indices, 0);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL) << "past the vertices";
    EXPECT_EQ(mDevice->DrawPrimitive(7, 0, 1), D3DERR_INVALIDCALL) << "unknown type";
    EXPECT_EQ(mDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3D_OK);
    EXPECT_EQ(mDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 1), D3DERR_INVALIDCALL)
        << "an index outside the vertex range";
    EXPECT_EQ(mDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 4, 1), D3DERR_INVALIDCALL) << "past the indices";
    EXPECT_EQ(mDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 4, 0, 1), D3DERR_INVALIDCALL)
        << "vertex range past the buffer";
    mDevice->SetIndices(indices, 0xFFFFFFFFu);
    EXPECT_EQ(mDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 3, 1, 1), D3DERR_INVALIDCALL)
        << "base vertex index and minimum index past the buffer together";
    mDevice->EndScene();
    EXPECT_EQ(mDevice->EndScene(), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer8* empty = reinterpret_cast<IDirect3DVertexBuffer8*>(this);
    EXPECT_EQ(mDevice->CreateVertexBuffer(0, 0, COLOR_FVF, D3DPOOL_MANAGED, &empty), D3DERR_INVALIDCALL);
    EXPECT_EQ(empty, nullptr);
    mDevice->SetStreamSource(0, nullptr, 0);
    mDevice->SetIndices(nullptr, 0);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(indices->Release(), 0u);
}

TEST_F(D3D8DeviceTest, PresentAdvancesTheVirtualClockByOneRefreshPeriodAndCountsCalls)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    D3DDISPLAYMODE desktop{};
    mDirect3D->GetAdapterDisplayMode(0, &desktop);
    hosttest::resetD3D8Counters();
    const LONGLONG before = hosttest::virtualClockNanoseconds();
    mDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    mDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    mDevice->SetTexture(0, nullptr);
    mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030u, 0, 0);
    ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(hosttest::virtualClockNanoseconds() - before, 1'000'000'000LL / desktop.RefreshRate);
    const hosttest::D3D8Counters counters = hosttest::d3d8Counters();
    EXPECT_EQ(counters.stateChanges(), 3);
    EXPECT_EQ(counters.clears, 1);
    EXPECT_EQ(counters.presents, 1);
    EXPECT_EQ(counters.draws, 0);
    EXPECT_EQ(hosttest::lastPresentedFrame().at(3, 3), 0xFF102030u);
    EXPECT_EQ(mDevice->Present(nullptr, nullptr, mWindow, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(D3D8DeviceTest, PresentToAWindowWithoutASurfaceFailsAndSaysWhyOnceKeepingItsPace)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    D3DDISPLAYMODE desktop{};
    mDirect3D->GetAdapterDisplayMode(0, &desktop);
    hosttest::refuseWindowSurfaces(true);
    ::testing::internal::CaptureStderr();
    const LONGLONG before = hosttest::virtualClockNanoseconds();
    for (const D3DCOLOR color : {0xFF102030u, 0xFF405060u})
    {
        mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, color, 0, 0);
        EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), E_FAIL);
        EXPECT_EQ(hosttest::lastPresentedFrame().at(3, 3), color);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The window cannot show the picture (video driver dummy: the window has no surface).\n");
    EXPECT_EQ(hosttest::virtualClockNanoseconds() - before, 2 * (1'000'000'000LL / desktop.RefreshRate));
    // A surface to be had again: the frames show as before.
    hosttest::refuseWindowSurfaces(false);
    EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(D3D8DeviceTest, RecordedFrameHoldsTheCallsFromOnePresentToTheNextAndReplaysToTheFrame)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    useGameSpace();
    const std::vector<ColorVertex> triangle = {
        {-800, 600, 0, 0xFFFF0000}, {800, 0, 0, 0x8000FF00}, {-200, -600, 0, 0xFF0000FF}};
    IDirect3DVertexBuffer8* buffer = vertexBuffer(triangle);
    const auto draw = [&](D3DCOLOR background)
    {
        mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, background, 0, 0);
        mDevice->BeginScene();
        mDevice->SetStreamSource(0, buffer, sizeof(ColorVertex));
        mDevice->SetVertexShader(COLOR_FVF);
        mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
        mDevice->EndScene();
        ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    };
    hosttest::recordFrames(true);
    draw(0xFF101010u); // begun before recording: not whole
    EXPECT_TRUE(hosttest::lastRecordedFrame().commands.empty());
    draw(0xFF202020u);
    hosttest::recordFrames(false);
    draw(0xFF303030u); // ends the recording that the second Present began
    draw(0xFF404040u);
    const RasterRecording& recording = hosttest::lastRecordedFrame();
    EXPECT_EQ(recording.width, 16);
    EXPECT_EQ(recording.height, 12);
    ASSERT_EQ(recording.commands.size(), 3u) << "the state in force, the clear and the triangle";
    ASSERT_TRUE(std::holds_alternative<RasterRecording::Clear>(recording.commands[1]));
    EXPECT_EQ(std::get<RasterRecording::Clear>(recording.commands[1]).color, 0xFF303030u);

    std::vector<std::uint32_t> pixels(16 * 12);
    Rasteriser rasteriser;
    rasteriser.setTarget({pixels.data(), 16, 12, 16});
    rasteriser.replay(recording);
    hosttest::recordFrames(true);
    draw(0xFF303030u);
    const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
    for (std::uint32_t& pixel : pixels)
    {
        pixel |= 0xFF000000u;
    }
    EXPECT_EQ(pixels, frame.pixels);
    hosttest::recordFrames(false);
    mDevice->SetStreamSource(0, nullptr, 0);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(D3D8DeviceTest, FullScreenDeviceIsLostWhileMinimisedAndNeedsRecreating)
{
    ASSERT_EQ(createDevice(false, 800, 600), D3D_OK);
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3D_OK);
    ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(hosttest::lastPresentedFrame().width, 800);

    hosttest::minimise(mWindow);
    pumpMessages();
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICELOST);
    const LONGLONG before = hosttest::virtualClockNanoseconds();
    EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(hosttest::virtualClockNanoseconds(), before) << "a failed Present shows nothing and takes no time";

    hosttest::restore(mWindow);
    pumpMessages();
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICENOTRESET) << "until the device is created anew";
    EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);

    EXPECT_EQ(mDevice->Release(), 0u);
    mDevice = nullptr;
    ASSERT_EQ(createDevice(false, 800, 600), D3D_OK);
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(D3D8DeviceTest, FullScreenDeviceIsLostWithTheFocusAndAWindowedOneNever)
{
    for (const bool windowed : {false, true})
    {
        hosttest::gainFocus(mWindow);
        pumpMessages();
        ASSERT_EQ(createDevice(windowed, windowed ? 0 : 640, windowed ? 0 : 480), D3D_OK);
        EXPECT_EQ(mDevice->TestCooperativeLevel(), D3D_OK);
        hosttest::loseFocus(mWindow);
        pumpMessages();
        EXPECT_EQ(mDevice->TestCooperativeLevel(), windowed ? D3D_OK : D3DERR_DEVICELOST) << windowed;
        EXPECT_EQ(IsIconic(mWindow) != FALSE, !windowed) << windowed;
        hosttest::minimise(mWindow);
        pumpMessages();
        EXPECT_EQ(mDevice->TestCooperativeLevel(), windowed ? D3D_OK : D3DERR_DEVICELOST) << windowed;
        hosttest::restore(mWindow);
        pumpMessages();
        EXPECT_EQ(mDevice->TestCooperativeLevel(), windowed ? D3D_OK : D3DERR_DEVICENOTRESET) << windowed;
        EXPECT_EQ(mDevice->Release(), 0u);
        mDevice = nullptr;
    }
}

TEST_F(D3D8DeviceTest, FullScreenDeviceCoversTheDisplayWithOrWithoutAWindowManager)
{
    struct Case
    {
        bool windowed;
        bool managerRuns;
    };
    const Case cases[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    const RECT display{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT place{40, 30, 56, 42};
    const auto same = [](const RECT& a, const RECT& b)
    { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.windowed ? "windowed" : "full screen") +
                     (c.managerRuns ? ", a window manager" : ", no window manager"));
        hosttest::simulateWindowManager(c.managerRuns);
        MoveWindow(mWindow, place.left, place.top, 16, 12, TRUE);
        ASSERT_EQ(createDevice(c.windowed, c.windowed ? 0 : 800, c.windowed ? 0 : 600), D3D_OK);
        pumpMessages();
        const RECT& expected = c.windowed ? place : display;
        RECT rectangle{};
        GetWindowRect(mWindow, &rectangle);
        EXPECT_TRUE(same(hosttest::shownRectangle(mWindow), expected));
        EXPECT_TRUE(same(rectangle, expected));
        ASSERT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

        EXPECT_EQ(mDevice->Release(), 0u);
        mDevice = nullptr;
        pumpMessages();
        // A window manager puts back the windows it made full screen; the host does so for those it placed.
        GetWindowRect(mWindow, &rectangle);
        EXPECT_TRUE(same(hosttest::shownRectangle(mWindow), place));
        EXPECT_TRUE(same(rectangle, place));
    }
}

TEST_F(D3D8DeviceTest, FullScreenWindowIsMinimisedWithoutTheFocusAndRestoredWithIt)
{
    // The player comes back through the window manager, which restores the window first, or, without one, by
    // giving the window the focus alone.
    for (const bool byFocusAlone : {false, true})
    {
        SCOPED_TRACE(byFocusAlone ? "focus alone" : "restored");
        hosttest::gainFocus(mWindow);
        pumpMessages();
        ASSERT_EQ(createDevice(false, 640, 480), D3D_OK);
        EXPECT_EQ(mDevice->TestCooperativeLevel(), D3D_OK);
        EXPECT_FALSE(IsIconic(mWindow));

        hosttest::loseFocus(mWindow);
        pumpMessages();
        EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICELOST);
        EXPECT_TRUE(IsIconic(mWindow)) << "it would hide the window that has the focus now";
        EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICELOST);

        if (byFocusAlone)
        {
            hosttest::gainFocus(mWindow);
        }
        else
        {
            hosttest::restore(mWindow);
        }
        pumpMessages();
        EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        EXPECT_FALSE(IsIconic(mWindow));
        EXPECT_EQ(mDevice->Release(), 0u);
        mDevice = nullptr;
        ASSERT_EQ(createDevice(false, 640, 480), D3D_OK);
        EXPECT_EQ(mDevice->TestCooperativeLevel(), D3D_OK);
        EXPECT_EQ(mDevice->Release(), 0u);
        mDevice = nullptr;
    }
}

TEST_F(D3D8DeviceTest, ForcedLossLosesEveryDeviceAndRefusesNewOnes)
{
    ASSERT_EQ(createDevice(true), D3D_OK);
    hosttest::forceDeviceLoss(true);
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICELOST);
    IDirect3DDevice8* second = nullptr;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = TRUE;
    parameters.hDeviceWindow = mWindow;
    EXPECT_EQ(
        mDirect3D->CreateDevice(0, D3DDEVTYPE_HAL, mWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &second),
        D3DERR_DEVICELOST);
    EXPECT_EQ(second, nullptr);
    hosttest::forceDeviceLoss(false);
    EXPECT_EQ(mDevice->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
}

TEST_F(D3D8DeviceTest, CreationRefusesWhatTheDeviceCannotDo)
{
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = TRUE;
    EXPECT_EQ(
        mDirect3D->CreateDevice(0, D3DDEVTYPE_REF, mWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &mDevice),
        D3DERR_NOTAVAILABLE);
    EXPECT_EQ(mDirect3D->CreateDevice(0, D3DDEVTYPE_HAL, mWindow, 0, &parameters, &mDevice), D3DERR_INVALIDCALL)
        << "no vertex processing asked for";
    EXPECT_EQ(
        mDirect3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &mDevice),
        D3DERR_INVALIDCALL)
        << "no window";
    parameters.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(
        mDirect3D->CreateDevice(0, D3DDEVTYPE_HAL, mWindow, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &mDevice),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice, nullptr);
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 1), nullptr);
}

} // namespace
