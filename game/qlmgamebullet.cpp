#include "game/qlmgamebullet.h"

#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "game/qlmgraphics.h"
#include "platform/egc.h"

namespace
{

constexpr double BULLET_RADIUS = 10.0;
constexpr double BULLET_MASS = 0.3;
constexpr int SOLID = 1;
constexpr double FAR_BULLET_DISTANCE = 1600.0;
constexpr std::size_t MAX_BULLET_COUNT = 1000;

std::vector<QLMBullet*> fBullets;

SPLSphere bulletShape(const SPLVector& position, const SPLVector& velocity)
{
    return SPLSphere(BULLET_RADIUS, BULLET_MASS, SOLID, 0.0, position, velocity, SPLVector(), 0.0, 0);
}

} // namespace

EGLSprite* createBulletSprite(int colorID)
{
    // One frame per colour in a 2 x 2 grid: red, green on the top row, blue, violet below.
    DBG_CHECK(QLMColorIDs::RED <= colorID && colorID <= QLMColorIDs::VIOLET, "Unknown color ID.");
    const int cell = colorID - QLMColorIDs::RED;
    return createSprite(getSpriteType(QLMSpriteTypeID::BULLETS_SPRITE_TYPE_ID), cell % 2, cell / 2);
}

QLMBullet::QLMBullet(int colorID, const SPLVector& position, const SPLVector& velocity)
    : QLMBody(bulletShape(position, velocity), QLMObjectIDs::BULLET, QLMSizeIDs::SMALL, colorID)
{
    fSprite = createBulletSprite(colorID); // first: an unknown colour throws before anything else is made
    EGL* egl = graphicsLibrary();
    const float size = static_cast<float>(2.0 * sphere()->radius());
    fScaling = createScalingTransform(egl, EGLVector{size, size});
    fTranslation = createTranslationTransform(egl, toFloatVector(sphere()->position()));
}

QLMBullet::~QLMBullet() noexcept(false)
{
    EGL* egl = graphicsLibrary();
    destroySprite(fSprite);
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
}

void QLMBullet::tick()
{
    changeTranslation(graphicsLibrary(), fTranslation, toFloatVector(sphere()->position()));
}

void QLMBullet::draw()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fSprite->drawSprite();
    egl->popTransform();
    egl->popTransform();
}

QLMBullet* createBullet(int colorID, const SPLVector& position, const SPLVector& velocity)
{
    QLMBullet* bullet = new (std::nothrow) QLMBullet(colorID, position, velocity);
    DBG_ASSERT(bullet);
    return bullet;
}

void appendBullet(QLMBullet* bullet)
{
    fBullets.push_back(bullet);
}

const std::vector<QLMBullet*>& bullets()
{
    return fBullets;
}

bool bulletsInvariant()
{
    return fBullets.size() <= MAX_BULLET_COUNT;
}

void tickBullets(double, double)
{
    for (QLMBullet* bullet : fBullets)
    {
        bullet->tick();
    }
}

void drawBullets()
{
    for (QLMBullet* bullet : fBullets)
    {
        bullet->draw();
    }
}

void removeDeadBullets()
{
    deleteIf(fBullets, [](const QLMBullet& bullet) { return !bullet.isAlive(); });
}

void removeFarBullets()
{
    deleteIf(fBullets, [](const QLMBullet& bullet) { return isFartherThan(bullet, FAR_BULLET_DISTANCE); });
}

void deleteBullets()
{
    deleteAll(fBullets);
}
