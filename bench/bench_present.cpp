// The present step alone: a back buffer of 640x480, 800x600 or 1024x768 shown in a window of the desktop's size
// (1920x1080), as a full-screen device shows it. Side by side, on the same frame, the ways SDL offers to get it
// there: our device's Present (scaled straight into the window surface), SDL_BlitScaled into the window surface
// (what Present did before), and a streaming texture scaled by the renderer SDL picks for the window. The CPU
// column is the whole process's, since a renderer may work on threads of its own.
//
// Runs under SDL's dummy video driver unless SDL_VIDEODRIVER says otherwise: SDL_VIDEODRIVER=x11 with a display
// measures a real window, where SDL's renderer is OpenGL (in software when there is no GPU) and the window
// surface goes to the X server through shared memory unless SDL_FRAMEBUFFER_ACCELERATION=1 puts it into an
// OpenGL texture.

#include "host/d3d8.h"
#include "host/testing.h"
#include "host/win32.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr int WINDOW_WIDTH = 1920;
constexpr int WINDOW_HEIGHT = 1080;
constexpr int WIDTHS[] = {640, 800, 1024};
constexpr int HEIGHTS[] = {480, 600, 768};

std::string sizeLabel(std::size_t size)
{
    return std::to_string(WIDTHS[size]) + "x" + std::to_string(HEIGHTS[size]);
}

// A frame with something in every pixel, so that no copy can skip any.
std::vector<std::uint32_t> testFrame(int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            pixels[static_cast<std::size_t>(y) * width + x] =
                0xFF000000u | static_cast<std::uint32_t>((x * 255 / width) << 16 | (y * 255 / height) << 8 | (x ^ y));
        }
    }
    return pixels;
}

void useVideoDriver()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
}

// The picture's place in the window, as a full-screen device fits it.
SDL_Rect fitRect(int width, int height)
{
    const int pictureWidth = WINDOW_HEIGHT * width / height;
    return {(WINDOW_WIDTH - pictureWidth) / 2, 0, pictureWidth, WINDOW_HEIGHT};
}

// A window of the desktop's size straight from SDL, for the paths that do without our device.
struct SdlWindow
{
    SdlWindow()
    {
        useVideoDriver();
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("bench_present", 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, 0);
    }
    ~SdlWindow()
    {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    SDL_Window* window = nullptr;
};

void BM_PresentDevice(benchmark::State& state)
{
    useVideoDriver();
    const auto size = static_cast<std::size_t>(state.range(0));
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "bench_present";
    RegisterClassExA(&windowClass);
    const HWND window = CreateWindowExA(0, "bench_present", "bench_present", WS_POPUP, 0, 0, WINDOW_WIDTH,
                                        WINDOW_HEIGHT, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    hosttest::useVirtualClock();
    IDirect3D8* direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = static_cast<UINT>(WIDTHS[size]);
    parameters.BackBufferHeight = static_cast<UINT>(HEIGHTS[size]);
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    IDirect3DDevice8* device = nullptr;
    if (direct3D->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device) !=
        D3D_OK)
    {
        state.SkipWithError("no device");
        return;
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699u, 0, 0);
    for (auto _ : state)
    {
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    device->Release();
    direct3D->Release();
    hosttest::useRealClock();
    hosttest::resetWindows();
    state.SetLabel(sizeLabel(size));
}

void BM_PresentBlitScaled(benchmark::State& state)
{
    const SdlWindow sdl;
    SDL_Window* window = sdl.window;
    const auto size = static_cast<std::size_t>(state.range(0));
    const int width = WIDTHS[size];
    const int height = HEIGHTS[size];
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    std::vector<std::uint32_t> pixels = testFrame(width, height);
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_Rect picture = fitRect(width, height);
    for (auto _ : state)
    {
        SDL_BlitScaled(source, nullptr, surface, &picture);
        SDL_UpdateWindowSurface(window);
    }
    SDL_FreeSurface(source);
    state.SetLabel(sizeLabel(size));
}

void BM_PresentStreamingTexture(benchmark::State& state)
{
    const SdlWindow sdl;
    const auto size = static_cast<std::size_t>(state.range(0));
    const int width = WIDTHS[size];
    const int height = HEIGHTS[size];
    SDL_Renderer* renderer = SDL_CreateRenderer(sdl.window, -1, 0);
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    std::vector<std::uint32_t> pixels = testFrame(width, height);
    const SDL_Rect picture = fitRect(width, height);
    for (auto _ : state)
    {
        SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, &picture);
        SDL_RenderPresent(renderer);
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    state.SetLabel(sizeLabel(size) + " " + info.name);
}

} // namespace

BENCHMARK(BM_PresentDevice)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_PresentBlitScaled)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_PresentStreamingTexture)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
