// The cost of the message pump per frame: SDL events turned into messages and dispatched.

#include "host/testing.h"
#include "host/win32.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace
{

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND openWindow()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1); // headless, like the tests
    hosttest::resetWindows();
    WNDCLASSEXA windowClass{};
    windowClass.lpfnWndProc = &procedure;
    windowClass.lpszClassName = "bench";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "bench", "bench", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// A busy frame: the events of one key stroke with its character and one button click.
void BM_PumpOneBusyFrame(benchmark::State& state)
{
    HWND window = openWindow();
    for (auto _ : state)
    {
        hosttest::pressKey('A');
        hosttest::typeText("a");
        hosttest::releaseKey('A');
        hosttest::pressMouseButton(window, 1, 10, 10);
        hosttest::releaseMouseButton(window, 1, 10, 10);
        pump();
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_PumpOneBusyFrame);

// An idle frame: nothing pending.
void BM_PumpIdleFrame(benchmark::State& state)
{
    openWindow();
    pump();
    for (auto _ : state)
    {
        pump();
    }
}
BENCHMARK(BM_PumpIdleFrame);

} // namespace
