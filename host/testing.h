#pragma once
// The host layer's test seam: what a headless test needs to drive the real code paths. Tests only; the
// program never calls it. Tests run under SDL's dummy video and audio drivers (set by the test runner).
// Each section belongs to one part of the host layer; add a part's seam as a section of its own.

#include "host/win32.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RasterRecording;

namespace hosttest
{

// ---- Virtual clock -------------------------------------------------------------------------------------
// While it is on, QueryPerformanceCounter reads it (nanoseconds) and Sleep advances it at once instead of
// sleeping; the Direct3D stand-in's Present advances it by one refresh period. The processor and calendar times
// that seed the random numbers read it too (host/crtclock.h), so a run on it draws the same numbers each time.

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

// ---- Windows, messages and input -----------------------------------------------------------------------
// Scripted input goes through SDL's event queue (SDL_PushEvent), so it takes the same road as real input:
// the next PeekMessageA or DirectInput poll turns it into messages and device state. Keys are named by
// virtual key (VK_*, 'A', '0'; the left one of Shift, Ctrl and Alt) or by DirectInput index (DIK_*).

/// Where a message reached: a class's window procedure or DefWindowProcA.
enum class Route
{
    WindowProcedure,
    DefaultProcedure,
};

struct LoggedMessage
{
    Route route;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

/// Starts (on) or stops recording every message that reaches a window procedure; either way the log empties.
void recordMessages(bool on);
/// The recorded messages, oldest first.
const std::vector<LoggedMessage>& messageLog();
/// Empties the log.
void clearMessageLog();

/// Destroys every window without a message, unregisters every class, and empties the message queue, the
/// pending SDL events and the input state, stops recording and ends simulateWindowManager: a clean start for the
/// next test.
void resetWindows();

/// Presses a key, as its first press or, with repeat, as an auto-repeat of a key held down. While Alt is
/// held (pressed with this function), key messages come as WM_SYSKEY*.
void pressKey(int virtualKey, bool repeat = false);
/// Releases a key.
void releaseKey(int virtualKey);
/// The same by DirectInput index.
void pressKeyDik(int dik);
void releaseKeyDik(int dik);
/// Text typed into the focused window (UTF-8), as SDL reports it after the key that typed it.
void typeText(const char* text);

/// Moves the pointer to (x, y) in the window's client pixels, by the relative motion (dx, dy).
void moveMouse(HWND window, int x, int y, int dx, int dy);
/// Presses or releases a mouse button (1 left, 2 middle, 3 right) at (x, y); clicks 2 makes the press the
/// second of a double click.
void pressMouseButton(HWND window, int button, int x, int y, int clicks = 1);
void releaseMouseButton(HWND window, int button, int x, int y);
/// Turns the wheel by whole notches (positive away from the player).
void turnWheel(HWND window, int notches);

/// The desktop gives the window the input focus, or takes it away.
void gainFocus(HWND window);
void loseFocus(HWND window);
/// The player minimises the window (it loses the focus too) or restores it (and it gains the focus).
void minimise(HWND window);
void restore(HWND window);
/// The desktop asks to close the window, or to repaint it.
void requestClose(HWND window);
void expose(HWND window);

// ---- Full screen ----------------------------------------------------------------------------------------
// A full-screen device makes its window cover the primary display: the host asks the window manager for it, or,
// where there is none (an X server alone), places the window itself. SDL's dummy display carries out the request
// at once; the seam can put a window manager of its own in its place.

/// Until resetWindows, a stand-in answers the host's full-screen requests: with runs false there is no window
/// manager; otherwise one that carries a request out answerMilliseconds after it (by the clock the host reads, the
/// virtual one in tests; never, when negative). It fills the display the window's centre is on: the primary one,
/// or one of its size to the right of it, unknown to SDL (a second monitor), and puts the window back when the
/// host withdraws the request.
void simulateWindowManager(bool runs, LONGLONG answerMilliseconds = 0);
/// Whether the window manager (the stand-in, or the dummy display's own) holds the window full screen.
bool windowManagerHoldsFullScreen(HWND window);
/// The window's place and size as the display shows it (desktop pixels), which GetWindowRect need not know.
RECT shownRectangle(HWND window);

// ---- Direct3D device ------------------------------------------------------------------------------------
// The software device's frames, a switch that loses devices, and counts of the calls that reached a device.

/// A back buffer as it was presented: 0xAARRGGBB pixels, row 0 at the top; alpha is 0xFF when the back buffer
/// is D3DFMT_X8R8G8B8.
struct PresentedFrame
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

/// The frame that the last Present took, on any device, whether or not the window could show it (a lost device
/// takes none); empty before the first.
const PresentedFrame& lastPresentedFrame();

/// While off, Present hands the frame over as above but shows nothing in the window, so that a benchmark can
/// time drawing and showing apart. On at the start.
void showFrames(bool on);

/// While on, no window has a surface to show frames in, as under a video driver without a framebuffer of its own
/// (wayland, kmsdrm) where SDL may not make one from a texture: Present shows nothing and fails.
void refuseWindowSurfaces(bool on);

/// While on, the devices record the rasteriser's calls (host/rasteriser.h) from each Present to the next; the
/// first whole frame is the one drawn after the first Present once it is on.
void recordFrames(bool on);
/// The calls of the last whole frame recorded, on any device; its states point at the device's textures, which
/// must still exist when it is replayed.
const RasterRecording& lastRecordedFrame();

/// While on, every device, windowed or not, is lost (TestCooperativeLevel and Present give D3DERR_DEVICELOST,
/// CreateDevice fails with it); once off again, the devices lost meanwhile report D3DERR_DEVICENOTRESET until
/// they are released.
void forceDeviceLoss(bool on);

/// Calls that reached a device (those it refused included) since the last resetD3D8Counters.
struct D3D8Counters
{
    long long renderStates = 0;       // SetRenderState
    long long textureStageStates = 0; // SetTextureStageState
    long long textures = 0;           // SetTexture
    long long streamSources = 0;      // SetStreamSource
    long long indices = 0;            // SetIndices
    long long vertexShaders = 0;      // SetVertexShader
    long long transforms = 0;         // SetTransform
    long long materials = 0;          // SetMaterial
    long long draws = 0;              // DrawPrimitive and DrawIndexedPrimitive
    long long clears = 0;             // Clear
    long long presents = 0;           // Present

    /// Every Set... call above.
    long long stateChanges() const
    {
        return renderStates + textureStageStates + textures + streamSources + indices + vertexShaders + transforms +
               materials;
    }
};

D3D8Counters d3d8Counters();
void resetD3D8Counters();

// ---- Whole-program runs --------------------------------------------------------------------------------
// For a test that runs the program from start-up to shutdown: changes that come while the program waits, and
// what is still open after it closed everything.

/// Queues an action for a later Sleep, which runs it once after its wait: the first action queued runs in the
/// next Sleep, the second in the one after. useVirtualClock and useRealClock drop the actions still queued.
void duringNextSleep(std::function<void()> action);
/// The windows not yet destroyed.
std::size_t openWindows();
/// The Direct3D, DirectInput and DirectMusic objects (devices, textures, buffers, segments, matrix stacks and the
/// rest) not yet released.
long long liveComObjects();
/// Whether the sound output is open (a performance holds it).
bool audioIsOpen();

} // namespace hosttest
