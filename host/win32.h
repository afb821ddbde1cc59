#pragma once
// Our stand-in for the part of the Win32 API the program is written against.
// Types keep their Win32 widths: DWORD and LONG are 32 bits, handles are pointer-sized.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using HRESULT = std::int32_t;
using WCHAR = wchar_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// A window handle: a pointer to a type of its own, so that handles of different kinds do not mix.
struct HWND__;
using HWND = HWND__*;

struct RECT
{
    LONG left;
    LONG top;
    LONG right;  // exclusive
    LONG bottom; // exclusive
};

union LARGE_INTEGER
{
    struct
    {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};

// Timing: a monotonic counter and a sleep.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);
