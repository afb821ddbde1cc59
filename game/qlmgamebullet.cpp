#include "game/qlmgamebullet.h"

#include "foundation/dbg.h"
#include "game/qlmgraphics.h"

#include <cstddef>
#include <new>

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
    : QLMBody(bulletShape(position, velocity), QLMObjectIDs::BULLET, QLMSizeIDs::SMALL, colorID),
      fDrawing(createBulletSprite(colorID), *sphere())
{
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
    deleteDeadBodies(fBullets);
}

void removeFarBullets()
{
    deleteFarBodies(fBullets, FAR_BULLET_DISTANCE);
}

void deleteBullets()
{
    deleteAll(fBullets);
}
