#pragma once
// The intro: over a dark blue background, large additive particles swimming along moving sine curves, the product
// logo hanging from the top edge, the maker logo standing on the bottom edge, and two tickers scrolling a quick-help
// and a welcome text along the bottom. The coordinator shows it first and every other 20 seconds.
//
// It runs as an ECA machine of its own: idle until the coordinator enters the intro (event 11), which gives the
// particles new curves and frames; while showing, every update moves the particles and the tickers one step and
// every intro draw event (7) draws the screen; 12 makes it idle again; quit (3) ends it. The tickers belong to the
// shared scroll-text registry, so they go on moving on the hall of fame.
//
// Depends on: qlmevent, qlmgraphics (sprite types 5, 6 and 7, font 1), qlmscroll, the random tool.

#include <cstddef>
#include <cstdint>

class EGLSprite;
class EGLTransform;

/// Particles of the intro.
constexpr std::size_t PARTICLE_COUNT = 50;

/// One particle: a sprite of the particle sheet under a scaling and a translation.
class QLMParticle
{
public:
    QLMParticle();
    QLMParticle(const QLMParticle&) = delete;
    QLMParticle& operator=(const QLMParticle&) = delete;
    ~QLMParticle() noexcept(false);

    /// Places the particle at (x, y) and sizes it, space units.
    void place(float x, float y, float widthScale, float heightScale);
    /// Draws the particle sized, then placed; inside a scene.
    void draw();
    EGLSprite* sprite() const { return fSprite; }

private:
    EGLSprite* fSprite;
    EGLTransform* fScaling;
    EGLTransform* fTranslation;
};

/// A moving sine curve: its phase (radians), the step from one particle to the next and the step per tick.
struct QLMParticleWave
{
    double phase;
    double particleStep;
    double tickStep;
};

/// The waves of the particles' horizontal position (two), vertical position (two), width and height.
struct QLMParticleWaves
{
    QLMParticleWave x1, x2, y1, y2, w, h;
};

/// Creates the particles, the logos and the two tickers, builds the machine type and starts the machine (idle).
void initializeIntro();
/// Destroys the machine type and its parts, closes the tickers and destroys the logos and the particles. The
/// machine must have ended.
void shutdownIntro();

/// The waves as they stand.
const QLMParticleWaves& introWaves();
