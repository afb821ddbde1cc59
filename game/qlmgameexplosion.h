#pragma once
// Explosions: growing, drifting clouds of points that mark where a body was hit, burst or reached the shield.
// One shared point-cloud model per size and colour (18, made once at start-up); every explosion turns, scales
// and moves its model. They take no part in the physics.
//
// Depends on egl/, game/qlmgamebody.h (IDs and colours), ECA (the shown and end events).

#include "egl/egl.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ECAEvent;

/// A point cloud in the unit disc: a stream of colour vertices and a point-list model over them.
struct QLMExplosionModel
{
    EGLStream* stream;
    EGLModel* model;
};

/// For each channel of two ARGB colours, b t + a max(1 - t, 0), rounded half up.
std::uint32_t blendColors(std::uint32_t a, std::uint32_t b, double t);

/// Makes the model of every size 1 to 3 and colour 1 to 6: 100, 200 or 300 points by size.
void initializeExplosionModels();
/// Destroys every model.
void shutdownExplosionModels();
bool explosionModelsAreInitialized();
/// Makes the model of one size and colour: plotCount points at uniform angles and uniform radii (so they crowd
/// towards the centre), each coloured between the colour and its half.
void makeExplosionModel(int sizeID, int colorID, std::size_t plotCount, std::uint32_t color);
/// The shared model of a size ID 1 to 3 and a colour ID 1 to 6; null when not made.
QLMExplosionModel* explosionModel(int sizeID, int colorID);

class QLMExplosion
{
public:
    /// Posts the shown event. Positions in units, velocity in units per second, radius in units, growth in units
    /// per second, lifetime in seconds.
    QLMExplosion(const EGLVector& position, const EGLVector& velocity, double radius, double growth, int sizeID,
                 int colorID, double lifetime, ECAEvent* shownEvent, ECAEvent* endEvent);
    QLMExplosion(const QLMExplosion&) = delete;
    QLMExplosion& operator=(const QLMExplosion&) = delete;
    /// Destroys the four transforms and posts the end event.
    ~QLMExplosion() noexcept(false);

    /// Ages by dt seconds and grows by dt x growth.
    void tick(double t, double dt);
    /// Each point p of the cloud is drawn at position + radius x (p turned by the angle + velocity).
    void draw();

    double radius() const { return fRadius; }
    double age() const { return fAge; }
    double lifetime() const { return fLifetime; }
    QLMExplosionModel* model() const { return fModel; }

private:
    EGLVector fPosition;
    EGLVector fVelocity;
    double fRadius;
    double fGrowth;
    double fLifetime;
    ECAEvent* fShownEvent;
    ECAEvent* fEndEvent;
    EGLTransform* fDrift = nullptr;
    EGLTransform* fRotation = nullptr;
    EGLTransform* fScaling = nullptr;
    EGLTransform* fTranslation = nullptr;
    QLMExplosionModel* fModel = nullptr;
    double fAge = 0.0;
};

/// Appends the explosion to the explosion list, which owns it from then on.
void appendExplosion(QLMExplosion* explosion);
/// The explosions in creation order.
const std::vector<QLMExplosion*>& explosions();
void tickExplosions(double t, double dt);
void drawExplosions();
/// Deletes the explosions older than their lifetime; the others keep their order.
void removeFinishedExplosions();
/// Deletes every explosion (each posts its end event).
void deleteExplosions();
