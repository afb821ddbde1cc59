#pragma once
// The star field behind the hall of fame and the name entry: star sprites scattered over the screen, each growing
// from nothing to its full size and shrinking back while it turns slowly, then reappearing elsewhere with another
// look. The score screen (qlmscore) owns the stars: it creates them at start-up, ticks them in its process, draws
// them first and destroys them at shutdown.
//
// Depends on: the graphics library and the random tool of the application glue (platform/egc.h), sprite type 8 of
// the graphics module (qlmgraphics). Steps are per tick, not per second.

#include <cstddef>

class EGLSprite;
class EGLTransform;

/// Stars of the field.
constexpr std::size_t STAR_COUNT = 40;

/// One star: a sprite of the stars sheet under a scaling, a rotation and a translation.
class QLMStar
{
public:
    /// Creates the transforms and the sprite and places the star at random, at size 0.
    QLMStar();
    QLMStar(const QLMStar&) = delete;
    QLMStar& operator=(const QLMStar&) = delete;
    ~QLMStar() noexcept(false);

    /// Radians, 0 to pi: the star's scale is sin(progress) times its size.
    double progress() const { return fProgress; }
    /// Radians, 0 to 2 pi.
    double angle() const { return fAngle; }
    /// Radians per tick.
    double speed() const { return fSpeed; }
    /// Radians per tick.
    double spin() const { return fSpin; }
    /// Space units across at full size.
    double size() const { return fSize; }
    const EGLSprite* sprite() const { return fSprite; }

    bool invariant() const;

private:
    friend void randomizeStar(QLMStar& star);
    friend void tickStar(QLMStar& star);
    friend void drawStar(QLMStar& star);

    EGLSprite* fSprite;
    EGLTransform* fTranslation;
    EGLTransform* fRotation;
    EGLTransform* fScaling;
    double fProgress;
    double fAngle;
    double fSpeed;
    double fSpin;
    double fSize;
};

/// A new star, owned by the caller, who deletes it.
QLMStar* createStar();
/// Starts the star anew from nothing: new speed, angle, spin, size, place and frame.
void randomizeStar(QLMStar& star);
/// One step: grows or shrinks and turns the star, and starts it anew once its progress has passed pi.
void tickStar(QLMStar& star);
/// Draws the star scaled, then turned, then moved; inside a scene.
void drawStar(QLMStar& star);
