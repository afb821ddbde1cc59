#pragma once
// What the frame benchmarks share: a recorded frame (host/rasteriser.h) drawn again by our rasteriser on its
// fastest and its scalar path, and by SDL's software renderer from the same draw calls, so that one run gives
// our time, SDL's time for the same draw stream and a check that the fast path draws the scalar path's pixels.

#include "host/rasteriser.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;

/// A recorded frame turned into SDL software-renderer calls: triangles with the same state in one geometry
/// call, points and lines one by one, clears as clears. Triangles larger than a quarter of the target are cut
/// in four, since SDL's triangle filler overflows on very large ones. Culling is left out.
class SdlReplay
{
public:
    /// Converts the frame; its textures must exist now, not later.
    explicit SdlReplay(const RasterRecording& recording);
    ~SdlReplay();
    SdlReplay(const SdlReplay&) = delete;
    SdlReplay& operator=(const SdlReplay&) = delete;

    /// Draws the whole frame and flushes the renderer.
    void drawFrame();

private:
    struct Batch;

    SDL_Surface* mSurface = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    std::map<const std::uint32_t*, SDL_Texture*> mTextures; // by texels
    std::vector<std::unique_ptr<Batch>> mBatches;
};

/// A 64-bit FNV-1a hash of the pixels' colour channels (alpha left out).
std::uint64_t frameChecksum(const std::vector<std::uint32_t>& pixels);

/// The recorded frame drawn on a black target on the given path.
std::vector<std::uint32_t> replayFrame(const RasterRecording& recording, RasterPath path);

/// Replays the frame on the fastest and the scalar path; fails the benchmark when their pixels differ (or differ
/// from presented, the frame the game itself presented, when given). Sets the label to the checksum and counts
/// the pixels written in screens of the target ("screens").
void checkFrame(benchmark::State& state, const RasterRecording& recording,
                const std::vector<std::uint32_t>* presented = nullptr);

/// Times the recorded frame's replay by our rasteriser alone ("raster_ms") and by SDL's software renderer
/// ("sdl_ms", "sdl/raster"), in alternating turns so that each finds its data in the caches as a game would;
/// medians of the turns, in processor time of the thread.
void compareWithSdl(benchmark::State& state, const RasterRecording& recording);
