#pragma once
// The host layer's test seam: what a headless test needs to drive the real code paths. Tests only; the
// program never calls it. Tests run under SDL's dummy video and audio drivers (set by the test runner).
// Each section belongs to one part of the host layer; add a part's seam as a section of its own.

#include "host/win32.h"

#include <string>
#include <vector>

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

// ---- Audio log -----------------------------------------------------------------------------------------
// What the DirectMusic stand-in did and what sounds now. Segments are named by the file name they were loaded
// from, as given to the loader (in UTF-8).

/// The events since the last clear, oldest first (the newest 4096 are kept): "download NAME", "unload NAME",
/// "play NAME" (the primary segment), "play NAME secondary", "stop NAME", "stop all".
std::vector<std::string> audioLog();
/// Empties the audio log.
void clearAudioLog();
/// The segments sounding now, one entry per playing instance: the primary segment first, then the samples.
std::vector<std::string> audioPlaying();
/// Whether the open audio output is the silent fallback: SDL's dummy driver, taken because no device opened.
bool audioIsSilentFallback();

} // namespace hosttest
