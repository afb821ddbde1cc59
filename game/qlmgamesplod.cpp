#include "game/qlmgamesplod.h"

#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/rndfactory.h"
#include "game/qlmgraphics.h"
#include "platform/egc.h"

#include <cmath>
#include <new>
#include <numbers>

namespace
{

constexpr int SOLID = 1;
constexpr double FAR_SPLOD_DISTANCE = 16000.0;
constexpr double WOBBLE_AMPLITUDE = 0.2; // of the radius
constexpr double TWO_PI = 2.0 * std::numbers::pi;

struct SplodSize
{
    double radius;
    double mass;
};

SplodSize splodSize(int sizeID)
{
    switch (sizeID)
    {
    case QLMSizeIDs::SMALL:
        return {20.0, 4.0};
    case QLMSizeIDs::MEDIUM:
        return {40.0, 5.0};
    case QLMSizeIDs::LARGE:
        return {80.0, 6.0};
    }
    DBG_ERROR("Unknown size ID.");
}

bool isSplodColor(int colorID)
{
    return QLMColorIDs::RED <= colorID && colorID <= QLMColorIDs::VIOLET;
}

SPLSphere splodShape(int sizeID, const SPLVector& position, const SPLVector& velocity)
{
    const SplodSize size = splodSize(sizeID);
    return SPLSphere(size.radius, size.mass, SOLID, 0.0, position, velocity, SPLVector(), 0.0, 0);
}

double wrapPhase(double phase)
{
    while (phase < 0.0)
    {
        phase += TWO_PI;
    }
    while (phase >= TWO_PI)
    {
        phase -= TWO_PI;
    }
    return phase;
}

std::vector<QLMSplod*> fSplods;

} // namespace

QLMSplod::QLMSplod(int sizeID, int colorID, const SPLVector& position, const SPLVector& velocity)
    : QLMBody(splodShape(sizeID, position, velocity), QLMObjectIDs::SPLOD, sizeID, colorID)
{
    RNDTool* random = randomTool();
    fAngle = static_cast<float>(random->uniform(-std::numbers::pi / 4.0, std::numbers::pi / 4.0));
    fRadius = sphere()->radius();
    fPhase1 = random->uniform(0.0, TWO_PI);
    fPhase2 = random->uniform(0.0, TWO_PI);
    fFrequency1 = random->uniform(1.0, 3.0);
    fFrequency2 = random->uniform(1.0, 3.0);
    EGL* egl = graphicsLibrary();
    fRotation = createRotationTransform(egl, fAngle);
    fScale = EGLVector{1.0f, 1.0f};
    fScaling = createScalingTransform(egl, fScale);
    fPosition = toFloatVector(sphere()->position());
    fTranslation = createTranslationTransform(egl, fPosition);
    // One row per colour, four looks per row.
    fSprite =
        createSprite(getSpriteType(QLMSpriteTypeID::SPLODS_SPRITE_TYPE_ID), random->uniformInteger(0, 3), colorID - 1);
}

QLMSplod::~QLMSplod() noexcept(false)
{
    EGL* egl = graphicsLibrary();
    destroySprite(fSprite);
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
    egl->destroy(fRotation);
}

void QLMSplod::tick(double dt)
{
    // The drawn disc pulses between 1.6 and 2.4 radii on each axis; the collision sphere keeps its radius.
    fPhase1 = wrapPhase(fPhase1 + dt * fFrequency1);
    fPhase2 = wrapPhase(fPhase2 + dt * fFrequency2);
    const double amplitude = WOBBLE_AMPLITUDE * fRadius;
    fScale = EGLVector{static_cast<float>(2.0 * (fRadius + amplitude * std::cos(fPhase1))),
                       static_cast<float>(2.0 * (fRadius + amplitude * std::sin(fPhase2)))};
    EGL* egl = graphicsLibrary();
    changeScaling(egl, fScaling, fScale);
    fPosition = toFloatVector(sphere()->position());
    changeTranslation(egl, fTranslation, fPosition);
}

void QLMSplod::draw()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fRotation);
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fSprite->drawSprite();
    egl->popTransform();
    egl->popTransform();
    egl->popTransform();
}

QLMSplod* createSplod(int sizeID, int colorID, const SPLVector& position, const SPLVector& velocity)
{
    splodSize(sizeID); // checks the size before anything is made
    DBG_CHECK(isSplodColor(colorID), "Unknoen color ID.");
    QLMSplod* splod = new (std::nothrow) QLMSplod(sizeID, colorID, position, velocity);
    DBG_ASSERT(splod);
    return splod;
}

void appendSplod(QLMSplod* splod)
{
    fSplods.push_back(splod);
}

const std::vector<QLMSplod*>& splods()
{
    return fSplods;
}

int splodWeight(int sizeID)
{
    switch (sizeID)
    {
    case QLMSizeIDs::SMALL:
        return 1;
    case QLMSizeIDs::MEDIUM:
        return 3;
    case QLMSizeIDs::LARGE:
        return 7;
    }
    DBG_ERROR("unknown size ID.");
}

void tickSplods(double t, double dt)
{
    for (QLMSplod* splod : fSplods)
    {
        splod->tick(dt);
    }
    const int limit = static_cast<int>(1.0 * t + 40.0 + 0.5);
    for (;;)
    {
        // Dead splods not yet removed count too.
        int weight = 0;
        for (const QLMSplod* splod : fSplods)
        {
            weight += splodWeight(splod->sizeID());
        }
        if (weight >= limit)
        {
            break;
        }
        const int colorID = randomShellColor();
        const SPLVector position = findFreePosition(SPLOD_SPAWN_DISTANCE, splodSize(QLMSizeIDs::LARGE).radius);
        appendSplod(createSplod(QLMSizeIDs::LARGE, colorID, position, SPLVector(0.0, 0.0)));
    }
}

void drawSplods()
{
    for (QLMSplod* splod : fSplods)
    {
        splod->draw();
    }
}

void removeDeadSplods()
{
    deleteDeadBodies(fSplods);
}

void removeFarSplods()
{
    deleteFarBodies(fSplods, FAR_SPLOD_DISTANCE);
}

void deleteSplods()
{
    deleteAll(fSplods);
}

void scaleSplodSpeeds(double factor)
{
    scaleBodySpeeds(fSplods, factor);
}

void splitSplod(const QLMSplod& splod, const SPLVector& direction, double speed)
{
    double offset = 0.0;
    int newSizeID = 0;
    switch (splod.sizeID())
    {
    case QLMSizeIDs::SMALL:
        return;
    case QLMSizeIDs::MEDIUM:
        offset = 20.0;
        newSizeID = QLMSizeIDs::SMALL;
        break;
    case QLMSizeIDs::LARGE:
        offset = 40.0;
        newSizeID = QLMSizeIDs::MEDIUM;
        break;
    default:
        DBG_ERROR("Unknown size ID.");
    }
    // The halves start side by side across the line of motion and fly apart at 90 degrees to each other.
    const SPLVector u = direction.normalized();
    const SPLVector p = splod.sphere()->position();
    for (const double side : {1.0, -1.0})
    {
        const SPLVector position = p + u.rotated(side * std::numbers::pi / 2.0) * offset;
        const SPLVector velocity = u.rotated(side * std::numbers::pi / 4.0) * speed;
        appendSplod(createSplod(newSizeID, splod.colorID(), position, velocity));
    }
}

void splitSplodAtShield(const QLMSplod& splod)
{
    const SPLVector v = splod.sphere()->velocity();
    if (v.length() <= 0.00001)
    {
        splitSplod(splod, splod.sphere()->position(), 0.0);
    }
    else
    {
        splitSplod(splod, v, v.length());
    }
}

int colourOfNearestSplod()
{
    if (fSplods.empty())
    {
        return randomShellColor();
    }
    const QLMSplod* nearest = fSplods.front();
    for (const QLMSplod* splod : fSplods)
    {
        if (splod->sphere()->position().squaredLength() < nearest->sphere()->position().squaredLength())
        {
            nearest = splod;
        }
    }
    return nearest->colorID();
}

void countSplodWeights(int& red, int& green, int& blue, int& violet)
{
    red = green = blue = violet = 0;
    for (const QLMSplod* splod : fSplods)
    {
        const int weight = splodWeight(splod->sizeID());
        switch (splod->colorID())
        {
        case QLMColorIDs::RED:
            red += weight;
            break;
        case QLMColorIDs::GREEN:
            green += weight;
            break;
        case QLMColorIDs::BLUE:
            blue += weight;
            break;
        case QLMColorIDs::VIOLET:
            violet += weight;
            break;
        default:
            DBG_ERROR("Unknown color ID.");
        }
    }
}
