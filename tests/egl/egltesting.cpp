#include "egltesting.h"

#include "host/testing.h"

namespace
{

LRESULT testWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

HWND testWindow()
{
    static const HWND window = []()
    {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = testWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "EGLTestWindow";
        RegisterClassExA(&windowClass);
        return CreateWindowExA(0, "EGLTestWindow", "EGL test", WS_POPUP, 0, 0, TEST_WINDOW_WIDTH, TEST_WINDOW_HEIGHT,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }();
    return window;
}

std::uint32_t framePixel(int column, int row)
{
    const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
    if (column < 0 || row < 0 || column >= frame.width || row >= frame.height)
        return 0;
    return frame.at(column, row);
}

void forceDeviceLoss(bool lost)
{
    hosttest::forceDeviceLoss(lost);
}

std::uint64_t deviceStateChangeCount()
{
    // The view transform is written before every draw call, so it does not tell which parts were switched.
    const hosttest::D3D8Counters counters = hosttest::d3d8Counters();
    return static_cast<std::uint64_t>(counters.stateChanges() - counters.transforms);
}
