#pragma once
// The C library's processor time and calendar time as the program reads them: the machine's, or, while the test
// seam's virtual clock is on (host/testing.h), that clock's reading, so that a run on it seeds its random numbers
// alike each time.

#include <ctime>

/// std::clock(); on the virtual clock, its reading in clock ticks (CLOCKS_PER_SEC a second).
std::clock_t hostProcessorTime();
/// std::time(); on the virtual clock, 2026-12-10 00:00:00 UTC plus its reading in whole seconds.
std::time_t hostCalendarTime();
