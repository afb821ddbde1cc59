#include "game/qlmgameshield.h"

#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "game/qlmevent.h"
#include "platform/egc.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <vector>

namespace
{

constexpr double SHIELD_RADIUS = 200.0;
constexpr double SHIELD_MASS = 1.0;
constexpr int NOT_SOLID = 2;
constexpr float SHIELD_ANGLE = static_cast<float>(std::numbers::pi / 2.0);
constexpr float SHIELD_RATE = 50.0f; // units per second
constexpr std::uint32_t SHIELD_COLOR = 0x80FF0000;
constexpr double MIN_TARGET_RADIUS = 1.0;

QLMShield* fShield = nullptr;

SPLObjectLocker shieldShape()
{
    const SPLVector zero(0.0, 0.0);
    const SPLSphere sphere(SHIELD_RADIUS, SHIELD_MASS, NOT_SOLID, 0.0, zero, zero, zero, 0.0, 0);
    // Collisions never move it and the central pull does not act on it.
    return SPLObjectLocker(sphere, SPLLockKind::FIXED, SPLLockKind::FIXED, SPLLockKind::FIXED);
}

} // namespace

QLMCircle::QLMCircle(const EGLVector& position, float radius, float angle, float rate, std::uint32_t color)
    : fAngle(angle), fRadius(radius), fRate(rate), fTargetRadius(radius), fPosition(position), fColor(color)
{
    EGL* egl = graphicsLibrary();
    // Segments i and i + 20 coincide, so every dash is drawn twice and shows more opaque than one pass would.
    const float step = static_cast<float>(2.0 * std::numbers::pi * 0.025);
    std::vector<EGLVector> positions;
    std::vector<std::uint32_t> colors;
    for (int i = 0; i < CIRCLE_VERTEX_COUNT / 2; ++i)
    {
        const float a = static_cast<float>(i) * 2.0f * step - step / 2.0f;
        const float b = a + step;
        positions.push_back(EGLVector{std::cos(a), std::sin(a)});
        positions.push_back(EGLVector{std::cos(b), std::sin(b)});
        colors.push_back(fColor);
        colors.push_back(fColor);
    }
    DBG_ASSERT(CIRCLE_VERTEX_COUNT == positions.size());
    DBG_ASSERT(CIRCLE_VERTEX_COUNT == colors.size());
    fStream = egl->createStream(EGL::COLOR_VERTICES, CIRCLE_VERTEX_COUNT, 0);
    egl->beginChange(fStream);
    fStream->setPositions(0, EGLRange{0, CIRCLE_VERTEX_COUNT}, positions);
    fStream->setColors(0, EGLRange{0, CIRCLE_VERTEX_COUNT}, colors);
    egl->endChange(fStream);
    fModel = egl->createModel(fStream, EGLRange{0, CIRCLE_VERTEX_COUNT}, egl->primitiveType(EGL::LINE_LIST),
                              egl->shadingMethod(EGL::FLAT_SHADING), egl->blendingMethod(EGL::ALPHA_BLENDING),
                              egl->nullTexture());
    fRotation = createIdentityTransform(egl);
    fScaling = createIdentityTransform(egl);
    fTranslation = createIdentityTransform(egl);
    applyAngle();
    applyRadius();
    changeTranslation(egl, fTranslation, fPosition);
    DBG_ASSERT(invariant());
}

QLMCircle::~QLMCircle() noexcept(false)
{
    DBG_ASSERT(invariant());
    EGL* egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
    egl->destroy(fRotation);
    egl->destroy(fModel);
    egl->destroy(fStream);
}

void QLMCircle::setRadius(float radius)
{
    fRadius = radius;
    fTargetRadius = radius;
    applyRadius();
}

void QLMCircle::approachTarget(double dt)
{
    if (fTargetRadius != fRadius)
    {
        const float step = static_cast<float>(fRate * dt);
        if (std::fabs(fRadius - fTargetRadius) < step)
        {
            fRadius = fTargetRadius;
        }
        else
        {
            fRadius += fRadius < fTargetRadius ? step : -step;
        }
    }
    applyRadius();
}

void QLMCircle::applyAngle()
{
    changeRotation(graphicsLibrary(), fRotation, fAngle);
}

void QLMCircle::applyRadius()
{
    changeScaling(graphicsLibrary(), fScaling, EGLVector{fRadius, fRadius});
}

void QLMCircle::draw()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fRotation);
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    egl->drawModel(fModel);
    egl->popTransform();
    egl->popTransform();
    egl->popTransform();
}

bool QLMCircle::invariant() const
{
    return fRadius >= 0.0f && fRate > 0.0f && fTargetRadius >= 0.0f && fStream && fModel && fRotation && fScaling &&
           fTranslation;
}

QLMShield::QLMShield() : QLMBody(shieldShape(), QLMObjectIDs::SHIELD, QLMSizeIDs::LARGE, QLMColorIDs::RED)
{
    QLMCircle* circle = new (std::nothrow)
        QLMCircle(EGLVector{0.0f, 0.0f}, static_cast<float>(SHIELD_RADIUS), SHIELD_ANGLE, SHIELD_RATE, SHIELD_COLOR);
    DBG_ASSERT(circle);
    fCircle = circle;
}

QLMShield::~QLMShield() noexcept(false)
{
    DBG_ASSERT(invariant());
    delete fCircle;
    fCircle = nullptr;
}

void initializeShield()
{
    DBG_ASSERT(!shieldIsInitialized());
    fShield = new (std::nothrow) QLMShield();
    DBG_ASSERT(shieldIsInitialized());
}

void shutdownShield()
{
    DBG_ASSERT(shieldIsInitialized());
    delete fShield;
    fShield = nullptr;
}

bool shieldIsInitialized()
{
    return fShield != nullptr;
}

QLMShield* getShield()
{
    DBG_ASSERT(shieldIsInitialized());
    return fShield;
}

void tickShield(QLMShield* shield, double, double dt)
{
    QLMCircle& circle = shield->circle();
    circle.approachTarget(dt);
    shield->sphere()->setRadius(circle.radius());
    if (circle.radius() <= SHIELD_COLLAPSE_RADIUS)
    {
        postEvent(QLMEventID::SHIELD_COLLAPSED_EVENT_ID);
    }
}

void resizeShield(double delta, QLMShield* shield)
{
    QLMCircle& circle = shield->circle();
    circle.setTargetRadius(static_cast<float>(std::max(circle.radius() + delta, MIN_TARGET_RADIUS)));
}
