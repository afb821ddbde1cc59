#include "game/qlmgamescenery.h"

#include "egl/eglsprite.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/rndfactory.h"
#include "game/qlmgamebody.h"
#include "game/qlmgraphics.h"
#include "platform/egc.h"

#include <numbers>

namespace
{

EGLSprite* fScenery = nullptr;
EGLTransform* fSceneryRotation = nullptr;
EGLTransform* fSceneryScaling = nullptr;

} // namespace

void initializeScenery()
{
    DBG_ASSERT(!sceneryIsInitialized());
    EGL* egl = graphicsLibrary();
    const auto size = static_cast<float>(2.0 * FIELD_CORNER_DISTANCE + 10.0);
    fScenery = createSprite(getSpriteType(QLMSpriteTypeID::SCENERY_SPRITE_TYPE_ID), 0, 0);
    fSceneryRotation = createRotationTransform(egl, 0.0f);
    fSceneryScaling = createScalingTransform(egl, EGLVector{size, size});
    resetScenery();
    DBG_ASSERT(sceneryIsInitialized());
}

void shutdownScenery()
{
    DBG_ASSERT(sceneryIsInitialized());
    EGL* egl = graphicsLibrary();
    egl->destroy(fSceneryScaling);
    egl->destroy(fSceneryRotation);
    destroySprite(fScenery);
    fSceneryScaling = fSceneryRotation = nullptr;
    fScenery = nullptr;
    DBG_ASSERT(!sceneryIsInitialized());
}

bool sceneryIsInitialized()
{
    return fScenery && fSceneryRotation && fSceneryScaling;
}

void resetScenery()
{
    changeRotation(graphicsLibrary(), fSceneryRotation,
                   static_cast<float>(randomTool()->uniform(0.0, 2.0 * std::numbers::pi)));
}

void drawScenery()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fSceneryScaling);
    egl->pushTransform(fSceneryRotation);
    fScenery->drawSprite();
    egl->popTransform();
    egl->popTransform();
}
