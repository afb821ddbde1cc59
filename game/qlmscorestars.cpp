#include "game/qlmscorestars.h"

#include "egl/eglsprite.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/rndfactory.h"
#include "game/qlmgraphics.h"
#include "platform/egc.h"

#include <cmath>
#include <cstdint>
#include <new>

namespace
{

constexpr double PI = 3.141592654;
const double TWO_PI = PI + PI;

constexpr int STAR_SPRITE_TYPE_ID = 8;

} // namespace

QLMStar::QLMStar()
    : fSprite(nullptr), fTranslation(nullptr), fRotation(nullptr), fScaling(nullptr), fProgress(0.0), fAngle(0.0),
      fSpeed(0.0), fSpin(0.0), fSize(0.0)
{
    EGL* const egl = graphicsLibrary();
    fScaling = egl->createTransform();
    fRotation = egl->createTransform();
    fTranslation = egl->createTransform();
    fSprite = createSprite(getSpriteType(STAR_SPRITE_TYPE_ID), 0, 0);
    randomizeStar(*this);
    DBG_ASSERT(invariant());
}

QLMStar::~QLMStar() noexcept(false)
{
    DBG_ASSERT(invariant());
    destroySprite(fSprite);
    EGL* const egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fRotation);
    egl->destroy(fScaling);
}

bool QLMStar::invariant() const
{
    return fSprite && fTranslation && fRotation && fScaling;
}

QLMStar* createStar()
{
    QLMStar* const star = new (std::nothrow) QLMStar();
    DBG_ASSERT(star);
    return star;
}

void randomizeStar(QLMStar& star)
{
    RNDTool* const random = randomTool();
    star.fProgress = 0.0;
    // The order of the draws is fixed, so that one seed gives one sky.
    star.fSpeed = random->uniform(0.01, 0.05);
    star.fAngle = random->uniform(0.0, TWO_PI);
    star.fSpin = random->uniform(-0.01, 0.01);
    star.fSize = random->uniform(200.0, 500.0);
    const double x = random->uniform(-800.0, 800.0);
    const double y = random->uniform(-600.0, 600.0);
    changeTranslation(graphicsLibrary(), star.fTranslation, {static_cast<float>(x), static_cast<float>(y)});

    const EGLSpriteType* const spriteType = star.fSprite->spriteType();
    const std::int32_t column = random->uniformInteger(0, spriteType->frameColumnCount() - 1);
    const std::int32_t row = random->uniformInteger(0, spriteType->frameRowCount() - 1);
    star.fSprite->setFrame(column, row);
}

void tickStar(QLMStar& star)
{
    star.fProgress += star.fSpeed;
    if (star.fProgress > PI)
        randomizeStar(star);
    EGL* const egl = graphicsLibrary();
    const auto scale = static_cast<float>(std::sin(star.fProgress) * star.fSize);
    changeScaling(egl, star.fScaling, {scale, scale});

    star.fAngle += star.fSpin;
    if (star.fAngle < 0.0)
        star.fAngle += TWO_PI;
    if (star.fAngle > TWO_PI)
        star.fAngle -= TWO_PI;
    changeRotation(egl, star.fRotation, static_cast<float>(star.fAngle));
}

void drawStar(QLMStar& star)
{
    EGL* const egl = graphicsLibrary();
    egl->pushTransform(star.fScaling);
    egl->pushTransform(star.fRotation);
    egl->pushTransform(star.fTranslation);
    star.fSprite->drawSprite();
    egl->popTransform();
    egl->popTransform();
    egl->popTransform();
}
