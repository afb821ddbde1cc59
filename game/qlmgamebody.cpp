#include "game/qlmgamebody.h"

#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/rndfactory.h"
#include "game/qlmlookup.h"
#include "platform/egc.h"

#include <cmath>
#include <numbers>
#include <unordered_map>

const double FIELD_CORNER_DISTANCE = std::sqrt(600.0 * 600.0 + 800.0 * 800.0);
const double PILL_SPAWN_DISTANCE = FIELD_CORNER_DISTANCE + 16.0;
const double SPLOD_SPAWN_DISTANCE = FIELD_CORNER_DISTANCE + 80.0;

namespace
{

SPLSystem* fPhysics = nullptr;
SPLVortex* fGravity = nullptr;

// Tags are handed out once and never reused, so a stale tag can never name a newer body. Tag 0 is no body.
std::unordered_map<int, QLMBody*> fBodiesByTag;
int fLastTag = 0;

constexpr double GRAVITY_INNER_RADIUS = 1.0;
constexpr double GRAVITY_OUTER_RADIUS = 1000000.0;
constexpr double GRAVITY_STRENGTH = 15.0;
constexpr double GRAVITY_GROWTH = 0.0; // per second of game time

} // namespace

std::uint32_t colorOfID(int colorID)
{
    switch (colorID)
    {
    case QLMColorIDs::RED:
        return 0xFFFE015A;
    case QLMColorIDs::GREEN:
        return 0xFF90FF00;
    case QLMColorIDs::BLUE:
        return 0xFF008AFF;
    case QLMColorIDs::VIOLET:
        return 0xFFD200FF;
    case QLMColorIDs::YELLOW:
        return 0xFFFFFF80;
    case QLMColorIDs::WHITE:
        return 0xFFFFFFFF;
    }
    DBG_ERROR("Unknown color ID.");
}

int randomShellColor()
{
    const std::int32_t choice = randomTool()->uniformInteger(0, 3);
    DBG_CHECK(0 <= choice && choice <= 3, "Unknown choice.");
    return QLMColorIDs::RED + choice;
}

QLMBody::QLMBody(const SPLShape& shape, int objectID, int sizeID, int colorID)
    : fSphere(physicsSystem().addShape(shape)), fObjectID(objectID), fSizeID(sizeID), fColorID(colorID)
{
    const int tag = ++fLastTag;
    fBodiesByTag[tag] = this;
    fSphere->setTag(tag);
}

QLMBody::~QLMBody() noexcept(false)
{
    fBodiesByTag.erase(fSphere->tag());
    physicsSystem().removeShape(fSphere);
    fSphere = nullptr;
}

QLMBodySprite::QLMBodySprite(EGLSprite* sprite, const SPLShape& sphere) : fSprite(sprite)
{
    EGL* egl = graphicsLibrary();
    const auto diameter = static_cast<float>(2.0 * sphere.radius());
    fScaling = createScalingTransform(egl, EGLVector{diameter, diameter});
    fTranslation = createTranslationTransform(egl, toFloatVector(sphere.position()));
}

QLMBodySprite::~QLMBodySprite() noexcept(false)
{
    EGL* egl = graphicsLibrary();
    destroySprite(fSprite);
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
}

void QLMBodySprite::follow(const SPLShape& sphere)
{
    changeTranslation(graphicsLibrary(), fTranslation, toFloatVector(sphere.position()));
}

void QLMBodySprite::draw()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fSprite->drawSprite();
    egl->popTransform();
    egl->popTransform();
}

QLMBody* bodyOfTag(int tag)
{
    return lookUp(fBodiesByTag, tag, "Unknown body tag.");
}

void initializePhysics()
{
    fPhysics = createSystem();
}

void shutdownPhysics()
{
    destroySystem(fPhysics);
    fPhysics = nullptr;
}

bool physicsIsInitialized()
{
    return fPhysics != nullptr;
}

SPLSystem& physicsSystem()
{
    DBG_ASSERT(physicsIsInitialized());
    return *fPhysics;
}

void initializeGravity()
{
    DBG_ASSERT(!gravityIsInitialized());
    fGravity = physicsSystem().addVortex(
        SPLVortex(SPLVector(0.0, 0.0), SPLPolynomial(), SPLPolynomial(), GRAVITY_INNER_RADIUS, GRAVITY_OUTER_RADIUS));
    fGravity->setRadial(SPLPolynomial(-GRAVITY_STRENGTH, 0.0, 0.0, 0.0));
    DBG_ASSERT(gravityIsInitialized());
}

void shutdownGravity()
{
    DBG_ASSERT(gravityIsInitialized());
    physicsSystem().removeVortex(fGravity);
    fGravity = nullptr;
}

bool gravityIsInitialized()
{
    return fGravity != nullptr;
}

void setGravity(double t)
{
    fGravity->setRadial(SPLPolynomial(-(GRAVITY_GROWTH * t + GRAVITY_STRENGTH), 0.0, 0.0, 0.0));
}

SPLVector randomPointOnCircle(double distance)
{
    const double angle = randomTool()->uniform(0.0, 2.0 * std::numbers::pi);
    return SPLVector(std::cos(angle) * distance, std::sin(angle) * distance);
}

namespace
{

// The sum of the squared radii, not the square of their sum: a new body may start slightly overlapping another,
// and the collision step pushes the two apart.
bool isFreePosition(const SPLVector& point, double radius)
{
    for (const SPLShape* shape : physicsSystem().shapes())
    {
        if (point.to(shape->position()).squaredLength() < shape->radius() * shape->radius() + radius * radius)
        {
            return false;
        }
    }
    return true;
}

} // namespace

SPLVector findFreePosition(double distance, double radius)
{
    SPLVector point = randomPointOnCircle(distance);
    while (!isFreePosition(point, radius))
    {
        distance += 10.0;
        point = randomPointOnCircle(distance);
    }
    return point;
}

EGLVector toFloatVector(const SPLVector& v)
{
    return EGLVector{static_cast<float>(v.x()), static_cast<float>(v.y())};
}

bool isFartherThan(const QLMBody& body, double distance)
{
    return body.sphere()->position().squaredLength() > distance * distance;
}
