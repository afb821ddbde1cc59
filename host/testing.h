#pragma once
// The host layer's test seam: what a headless test needs to drive the real code paths. Tests only; the
// program never calls it. Tests run under SDL's dummy video and audio drivers (set by the test runner).
// Each section belongs to one part of the host layer; add a part's seam as a section of its own.

#include "host/win32.h"

namespace hosttest
{

// ---- Virtual clock -------------------------------------------------------------------------------------
// While it is on, QueryPerformanceCounter reads it (nanoseconds) and Sleep advances it at once instead of
// sleeping; the Direct3D stand-in's Present advances it by one refresh period.

/// Turns the virtual clock on at 0 ns. Each QueryPerformanceCounter returns it and then advances it by
/// readStepNanoseconds, so that code spinning on the counter comes to an end.
void useVirtualClock(LONGLONG readStepNanoseconds = 1000);
/// Goes back to the steady clock of the machine (also what a program starts with).
void useRealClock();
/// Whether the virtual clock is on.
bool virtualClockIsOn();
/// The virtual clock's reading in nanoseconds, without advancing it.
LONGLONG virtualClockNanoseconds();
/// Moves the virtual clock forward by the given nanoseconds.
void advanceVirtualClock(LONGLONG nanoseconds);
/// The milliseconds Sleep was asked for, in total, since the virtual clock went on.
LONGLONG sleptMilliseconds();

} // namespace hosttest
