// One frame of what the game draws, at 640x480, 800x600 and 1024x768: a rotated opaque textured quad over the
// whole screen (scenery, 1024 texels for 2010 units), 50 additive particles at their size in the intro (64-texel
// frames of 2 units scaled by 150 to 200, so 300 to 400 units across), the additive 1200 x 600 logo, 200
// alpha-blended glyphs (32-texel cells, 32 units), 1000 points and 100 lines, in the game's space of -800..800
// x -600..600. Drawn by our device and, for comparison, by SDL's software renderer from the same draw calls
// (recorded from the device); BM_FrameRatio reports SDL's time over ours. BM_SceneryFill draws the scenery's quad
// alone at 800x600, turned by 0, 45 and 90 degrees, since its cost depends on how the texel reads cross the rows.

#include "bench/benchreplay.h"
#include "host/d3d8.h"
#include "host/d3dx8.h"
#include "host/rasteriser.h"
#include "host/testing.h"
#include "host/win32.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr float SPACE_WIDTH = 1600.0f;
constexpr float SPACE_HEIGHT = 1200.0f;

// A small deterministic generator, so that every run draws the same frame.
class Random
{
public:
    std::uint32_t next()
    {
        mState = mState * 1664525u + 1013904223u;
        return mState;
    }
    float uniform(float low, float high) { return low + (high - low) * static_cast<float>(next() >> 8) / 16777216.0f; }

private:
    std::uint32_t mState = 12345;
};

struct TextureData
{
    int log2;
    std::vector<std::uint32_t> texels; // 0xAARRGGBB, row by row
};

TextureData makeTexture(int log2, bool opaque, Random& random)
{
    TextureData texture{log2, std::vector<std::uint32_t>(std::size_t{1} << (2 * log2))};
    for (std::uint32_t& texel : texture.texels)
    {
        texel = random.next();
        if (opaque)
        {
            texel |= 0xFF000000u;
        }
    }
    return texture;
}

// A vertex in the game's space.
struct Vertex
{
    float x, y;
    std::uint32_t color;
    float u, v;
};

enum Kind
{
    TRIANGLES,
    POINTS,
    LINES,
};

enum BlendKind
{
    OPAQUE,
    ALPHA,
    ADDITIVE,
};

struct Batch
{
    Kind kind;
    int texture; // index into the scene's textures, -1 for none
    BlendKind blend;
    std::vector<Vertex> vertices; // triangle, line or point lists
};

// The part of a texture a quad shows: a frame of a sprite sheet or all of it.
struct Frame
{
    float u0 = 0, v0 = 0, size = 1;
};

// Two triangles of the quad with corners at centre + rotation of (+-halfWidth, +-halfHeight).
void addQuad(std::vector<Vertex>& out, float cx, float cy, float halfWidth, float halfHeight, float angle,
             std::uint32_t color, Frame frame = {})
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const auto at = [&](float i, float j)
    {
        const float lx = halfWidth * (2 * i - 1);
        const float ly = halfHeight * (1 - 2 * j);
        return Vertex{cx + lx * c - ly * s, cy + lx * s + ly * c, color, frame.u0 + frame.size * i,
                      frame.v0 + frame.size * j};
    };
    const Vertex a = at(0, 0), b = at(1, 0), d = at(0, 1), e = at(1, 1);
    out.insert(out.end(), {a, b, e, a, e, d});
}

struct Scene
{
    std::vector<TextureData> textures;
    std::vector<Batch> batches;
};

// The scenery: texture 0 over the whole screen and beyond, turned by angle (radians).
Batch sceneryBatch(float angle)
{
    Batch scenery{TRIANGLES, 0, OPAQUE, {}};
    addQuad(scenery.vertices, 0, 0, 1005, 1005, angle, 0xFFFFFFFFu);
    return scenery;
}

Scene makeScene()
{
    Random random;
    Scene scene;
    scene.textures.push_back(makeTexture(10, true, random));  // scenery
    scene.textures.push_back(makeTexture(8, false, random));  // particles
    scene.textures.push_back(makeTexture(10, false, random)); // logo
    scene.textures.push_back(makeTexture(9, false, random));  // font

    scene.batches.push_back(sceneryBatch(0.4f));

    Batch particles{TRIANGLES, 1, ADDITIVE, {}};
    for (int i = 0; i < 50; ++i)
    {
        const float half = random.uniform(150, 200);
        addQuad(particles.vertices, random.uniform(-700, 700), random.uniform(-500, 500), half, half,
                random.uniform(0, 6.28f), 0xC0FFFFFFu - (random.next() & 0x003F3F3Fu),
                {static_cast<float>(i % 4) / 4, static_cast<float>(i / 4 % 4) / 4, 0.25f}); // 4 x 4 frames
    }
    scene.batches.push_back(particles);

    Batch logo{TRIANGLES, 2, ADDITIVE, {}};
    addQuad(logo.vertices, 0, 100, 600, 300, 0, 0xFFFFFFFFu);
    scene.batches.push_back(logo);

    Batch glyphs{TRIANGLES, 3, ALPHA, {}};
    for (int i = 0; i < 200; ++i)
    {
        addQuad(glyphs.vertices, -760.0f + 38.0f * static_cast<float>(i % 40),
                400.0f - 60.0f * static_cast<float>(i / 40), 16, 16, 0, 0xFFFFE080u,
                {static_cast<float>(i % 16) / 16, static_cast<float>(i / 16 % 16) / 16, 1.0f / 16}); // 16 x 16 cells
    }
    scene.batches.push_back(glyphs);

    Batch points{POINTS, -1, ALPHA, {}};
    for (int i = 0; i < 1000; ++i)
    {
        points.vertices.push_back({random.uniform(-800, 800), random.uniform(-600, 600), 0xC0FFFFFFu, 0, 0});
    }
    scene.batches.push_back(points);

    Batch lines{LINES, -1, ALPHA, {}};
    for (int i = 0; i < 100; ++i)
    {
        const float x = random.uniform(-700, 700), y = random.uniform(-500, 500);
        const float angle = random.uniform(0, 6.28f), length = random.uniform(100, 300);
        lines.vertices.push_back({x, y, 0xC0FFFFFFu, 0, 0});
        lines.vertices.push_back({x + length * std::cos(angle), y + length * std::sin(angle), 0xC0FFFFFFu, 0, 0});
    }
    scene.batches.push_back(lines);
    return scene;
}

const Scene& scene()
{
    static const Scene instance = makeScene();
    return instance;
}

// ---- Our device ----

// One hidden window for every device: the benchmark draws off screen, under SDL's dummy video driver.
HWND benchmarkWindow()
{
    static const HWND window = []
    {
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
        WNDCLASSEXA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "bench_raster";
        RegisterClassExA(&windowClass);
        return CreateWindowExA(0, "bench_raster", "bench_raster", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                               nullptr);
    }();
    return window;
}

struct DeviceVertex
{
    float x, y, z;
    DWORD color;
    float u, v;
};

class DeviceRenderer
{
public:
    DeviceRenderer(int width, int height, const Scene& drawn = scene()) : mScene(drawn)
    {
        const HWND window = benchmarkWindow(); // first: it picks SDL's video driver
        mDirect3D = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = static_cast<UINT>(width);
        parameters.BackBufferHeight = static_cast<UINT>(height);
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = window;
        parameters.Windowed = TRUE;
        mDirect3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &mDevice);
        // The game's fixed state and space.
        D3DXMATRIX projection;
        D3DXMatrixOrthoOffCenterLH(&projection, -SPACE_WIDTH / 2, SPACE_WIDTH / 2, -SPACE_HEIGHT / 2, SPACE_HEIGHT / 2,
                                   -1, 1);
        mDevice->SetTransform(D3DTS_PROJECTION, &projection);
        mDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        mDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        mDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        for (const TextureData& data : mScene.textures)
        {
            const UINT side = 1u << data.log2;
            IDirect3DTexture8* texture = nullptr;
            mDevice->CreateTexture(side, side, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
            D3DLOCKED_RECT locked{};
            texture->LockRect(0, &locked, nullptr, 0);
            std::memcpy(locked.pBits, data.texels.data(), data.texels.size() * 4);
            texture->UnlockRect(0);
            mTextures.push_back(texture);
        }
        for (const Batch& batch : mScene.batches)
        {
            std::vector<DeviceVertex> vertices;
            for (const Vertex& v : batch.vertices)
            {
                vertices.push_back({v.x, v.y, 0, v.color, v.u, v.v});
            }
            const UINT length = static_cast<UINT>(vertices.size() * sizeof(DeviceVertex));
            IDirect3DVertexBuffer8* buffer = nullptr;
            mDevice->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY, FVF, D3DPOOL_MANAGED, &buffer);
            BYTE* data = nullptr;
            buffer->Lock(0, length, &data, 0);
            std::memcpy(data, vertices.data(), length);
            buffer->Unlock();
            mBuffers.push_back(buffer);
        }
    }

    ~DeviceRenderer()
    {
        mDevice->SetTexture(0, nullptr);
        mDevice->SetStreamSource(0, nullptr, 0);
        for (IDirect3DVertexBuffer8* buffer : mBuffers)
        {
            buffer->Release();
        }
        for (IDirect3DTexture8* texture : mTextures)
        {
            texture->Release();
        }
        mDevice->Release();
        mDirect3D->Release();
    }

    DeviceRenderer(const DeviceRenderer&) = delete;
    DeviceRenderer& operator=(const DeviceRenderer&) = delete;

    void drawFrame()
    {
        mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 0, 0);
        mDevice->BeginScene();
        for (std::size_t b = 0; b < mScene.batches.size(); ++b)
        {
            const Batch& batch = mScene.batches[b];
            mDevice->SetTexture(0, batch.texture >= 0 ? mTextures[static_cast<std::size_t>(batch.texture)] : nullptr);
            mDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, batch.blend != OPAQUE);
            mDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            mDevice->SetRenderState(D3DRS_DESTBLEND, batch.blend == ADDITIVE ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
            mDevice->SetStreamSource(0, mBuffers[b], sizeof(DeviceVertex));
            mDevice->SetVertexShader(FVF);
            const UINT count = static_cast<UINT>(batch.vertices.size());
            switch (batch.kind)
            {
            case TRIANGLES:
                mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, count / 3);
                break;
            case LINES:
                mDevice->DrawPrimitive(D3DPT_LINELIST, 0, count / 2);
                break;
            default:
                mDevice->DrawPrimitive(D3DPT_POINTLIST, 0, count);
                break;
            }
        }
        mDevice->EndScene();
    }

    /// The rasteriser's calls of one frame, presented on the virtual clock (no wait) without being shown.
    RasterRecording recordFrame()
    {
        hosttest::useVirtualClock();
        hosttest::showFrames(false);
        hosttest::recordFrames(true);
        for (int i = 0; i < 2; ++i)
        {
            drawFrame();
            mDevice->Present(nullptr, nullptr, nullptr, nullptr);
        }
        hosttest::recordFrames(false);
        hosttest::showFrames(true);
        hosttest::useRealClock();
        return hosttest::lastRecordedFrame();
    }

private:
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

    const Scene& mScene;
    IDirect3D8* mDirect3D = nullptr;
    IDirect3DDevice8* mDevice = nullptr;
    std::vector<IDirect3DTexture8*> mTextures;
    std::vector<IDirect3DVertexBuffer8*> mBuffers;
};

constexpr int WIDTHS[] = {640, 800, 1024};
constexpr int HEIGHTS[] = {480, 600, 768};

std::string sizeLabel(std::size_t size)
{
    return std::to_string(WIDTHS[size]) + "x" + std::to_string(HEIGHTS[size]);
}

void BM_FrameOurs(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    DeviceRenderer renderer(WIDTHS[size], HEIGHTS[size]);
    for (auto _ : state)
    {
        renderer.drawFrame();
        benchmark::ClobberMemory();
    }
    checkFrame(state, renderer.recordFrame());
}

void BM_FrameSdlSoftware(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    DeviceRenderer device(WIDTHS[size], HEIGHTS[size]);
    SdlReplay renderer(device.recordFrame());
    for (auto _ : state)
    {
        renderer.drawFrame();
        benchmark::ClobberMemory();
    }
    state.SetLabel(sizeLabel(size));
}

// Both renderers in the same run, in turns of thirty frames each so that each finds its own data in the caches
// as it would in a game; the time shown is ours per frame, "sdl/ours" the ratio of SDL's time to ours.
void BM_FrameRatio(benchmark::State& state)
{
    constexpr int TURN = 30;
    const auto size = static_cast<std::size_t>(state.range(0));
    DeviceRenderer ours(WIDTHS[size], HEIGHTS[size]);
    SdlReplay sdl(ours.recordFrame());
    double oursSeconds = 0;
    double sdlSeconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < TURN; ++i)
        {
            ours.drawFrame();
        }
        const auto middle = std::chrono::steady_clock::now();
        for (int i = 0; i < TURN; ++i)
        {
            sdl.drawFrame();
        }
        const auto end = std::chrono::steady_clock::now();
        const double turn = std::chrono::duration<double>(middle - start).count();
        oursSeconds += turn;
        sdlSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(turn / TURN);
    }
    state.counters["sdl/ours"] = sdlSeconds / oursSeconds;
    state.counters["ours_ms"] = 1000 * oursSeconds / static_cast<double>(state.iterations() * TURN);
    state.counters["sdl_ms"] = 1000 * sdlSeconds / static_cast<double>(state.iterations() * TURN);
    state.SetLabel(sizeLabel(size));
}

void BM_SceneryFill(benchmark::State& state)
{
    const Scene scenery{{scene().textures[0]}, {sceneryBatch(static_cast<float>(state.range(0)) * 3.14159265f / 180)}};
    DeviceRenderer renderer(800, 600, scenery);
    for (auto _ : state)
    {
        renderer.drawFrame();
        benchmark::ClobberMemory();
    }
    checkFrame(state, renderer.recordFrame());
}

BENCHMARK(BM_FrameOurs)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameSdlSoftware)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameRatio)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_SceneryFill)->ArgName("degrees")->Arg(0)->Arg(45)->Arg(90)->Unit(benchmark::kMillisecond);

} // namespace
