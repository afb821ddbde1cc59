#pragma once
// The player's shield: a non-solid body of radius 200 at the centre that only overlaps (every overlap pair the
// physics reports holds it), drawn as a ring of 20 dashes that turns with the aim. Splods that reach it shrink
// it; at a radius of 64 or less it posts event 22 (shield too small) in every tick.
//
// Depends on game/qlmgamebody.h, egl/ (the ring), ECA and the event module (event 22).

#include "egl/egl.h"
#include "game/qlmgamebody.h"

#include <cstdint>

/// A ring of dashes around a position whose radius moves towards a target at a fixed rate.
class QLMCircle
{
public:
    static constexpr int CIRCLE_VERTEX_COUNT = 80;

    /// Builds the stream, the model and the three transforms; angle in radians, rate in units per second, ARGB
    /// colour. The target radius starts at the radius.
    QLMCircle(const EGLVector& position, float radius, float angle, float rate, std::uint32_t color);
    QLMCircle(const QLMCircle&) = delete;
    QLMCircle& operator=(const QLMCircle&) = delete;
    /// Destroys the transforms, the model and the stream.
    ~QLMCircle() noexcept(false);

    /// Radius and target both become the value; the scaling follows at once.
    void setRadius(float radius);
    void setTargetRadius(float targetRadius) { fTargetRadius = targetRadius; }
    /// Moves the radius towards the target by rate x dt seconds without overshooting and applies it.
    void approachTarget(double dt);
    /// The angle takes effect on applyAngle.
    void setAngle(float angle) { fAngle = angle; }
    /// Writes the angle into the rotation transform.
    void applyAngle();
    /// Writes (radius, radius) into the scaling transform.
    void applyRadius();
    /// Draws the ring inside a scene.
    void draw();

    float angle() const { return fAngle; }
    float radius() const { return fRadius; }
    float targetRadius() const { return fTargetRadius; }
    float rate() const { return fRate; }
    bool invariant() const;

private:
    float fAngle;
    float fRadius;
    float fRate;
    float fTargetRadius;
    EGLVector fPosition;
    std::uint32_t fColor;
    EGLStream* fStream = nullptr;
    EGLModel* fModel = nullptr;
    EGLTransform* fRotation = nullptr;
    EGLTransform* fScaling = nullptr;
    EGLTransform* fTranslation = nullptr;
};

/// The shield body (object ID 1, size 3, colour 1) and its ring, which it owns.
class QLMShield final : public QLMBody
{
public:
    QLMShield();
    /// Destroys the ring, then the body's sphere leaves the physics system.
    ~QLMShield() noexcept(false) override;

    QLMCircle& circle() const { return *fCircle; }
    /// The ring exists.
    bool invariant() const { return fCircle != nullptr; }

private:
    QLMCircle* fCircle = nullptr;
};

/// The ring radius at or below which the shield has collapsed and the game is over.
constexpr float SHIELD_COLLAPSE_RADIUS = 64.0f;

/// Makes the shield and its ring (radius 200, angle pi/2, rate 50, colour 0x80FF0000).
void initializeShield();
/// Deletes the shield and its ring.
void shutdownShield();
bool shieldIsInitialized();
/// The shield; requires "shieldIsInitialized()".
QLMShield* getShield();
/// Moves the ring's radius towards its target for dt seconds, gives the sphere the ring's radius, and posts event
/// 22 while the radius is 64 or less.
void tickShield(QLMShield* shield, double t, double dt);
/// Target radius = current radius + delta, at least 1.
void resizeShield(double delta, QLMShield* shield);
