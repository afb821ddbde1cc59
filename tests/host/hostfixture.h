#pragma once
// A window of its own for each test, a log of the messages that reached window procedures, and a pump.

#include "host/testing.h"
#include "host/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class HostWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hosttest::resetWindows();
        hosttest::recordMessages(true);
    }

    void TearDown() override { hosttest::resetWindows(); }

    // Leaves everything to the default procedure, as the program's procedure does for what it ignores.
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND createWindow(DWORD style = WS_POPUP | WS_CAPTION, UINT classStyle = CS_DBLCLKS, DWORD exStyle = 0)
    {
        const std::string name = "test class " + std::to_string(++mClasses);
        WNDCLASSEXA windowClass{};
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &procedure;
        windowClass.lpszClassName = name.c_str();
        EXPECT_NE(RegisterClassExA(&windowClass), 0);
        HWND window = CreateWindowExA(exStyle, name.c_str(), "Test", style, 0, 0, 320, 200, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        return window;
    }

    /// A created, shown and focused window, with the log emptied.
    HWND openWindow(UINT classStyle = CS_DBLCLKS)
    {
        HWND window = createWindow(WS_POPUP | WS_CAPTION, classStyle);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pump();
        hosttest::clearMessageLog();
        return window;
    }

    static void pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    /// The messages with these numbers that reached a window procedure, in order.
    static std::vector<hosttest::LoggedMessage> received(std::vector<UINT> messages)
    {
        std::vector<hosttest::LoggedMessage> found;
        for (const auto& logged : hosttest::messageLog())
        {
            if (logged.route == hosttest::Route::WindowProcedure &&
                std::find(messages.begin(), messages.end(), logged.message) != messages.end())
            {
                found.push_back(logged);
            }
        }
        return found;
    }

private:
    int mClasses = 0;
};
