// The performance counter is a nanosecond count of the steady clock.

#include "host/win32.h"

#include <chrono>
#include <thread>

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    count->QuadPart = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = 1'000'000'000;
    return TRUE;
}

void Sleep(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
