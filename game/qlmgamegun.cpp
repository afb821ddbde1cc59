#include "game/qlmgamegun.h"

#include "egl/eglsprite.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "game/qlmgamebody.h"
#include "game/qlmgamebullet.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "platform/egc.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <new>
#include <vector>

namespace
{

constexpr float GUN_SIZE = 2.0f * 64.0f;
constexpr std::uint32_t LASER_COLOR = 0x80FF0000;
constexpr int LASER_VERTEX_COUNT = 2;
constexpr int AIM_MARKER_VERTEX_COUNT = 8;
constexpr float AIM_MARKER_SIZE = 20.0f;
constexpr float CLIP_SPACING = 10.0f + 10.0f;

EGLSprite* fGunSprite = nullptr;
EGLTransform* fGunScaling = nullptr;

EGLStream* fLaserStream = nullptr;
EGLModel* fLaserModel = nullptr;

EGLStream* fAimStream = nullptr;
EGLModel* fAimModel = nullptr;
EGLTransform* fAimRotation = nullptr;
EGLTransform* fAimScaling = nullptr;
EGLTransform* fAimTranslation = nullptr;

std::deque<QLMShell*> fClip; // front: the next to be fired
EGLTransform* fClipScaling = nullptr;
EGLTransform* fClipTranslation = nullptr;
EGLTransform* fClipRotation = nullptr;
std::array<int, 4> fClipCounters{};

/// A stream of colour vertices with the given positions in one colour, and a line-list model over all of them.
void makeLines(const std::vector<EGLVector>& positions, std::uint32_t color, EGLStream*& stream, EGLModel*& model)
{
    EGL* egl = graphicsLibrary();
    const auto count = static_cast<std::int32_t>(positions.size());
    stream = egl->createStream(EGL::COLOR_VERTICES, count, 0);
    egl->beginChange(stream);
    stream->setPositions(0, EGLRange{0, count}, positions);
    stream->setColors(0, EGLRange{0, count}, std::vector<std::uint32_t>(positions.size(), color));
    egl->endChange(stream);
    model = egl->createModel(stream, EGLRange{0, count}, egl->primitiveType(EGL::LINE_LIST),
                             egl->shadingMethod(EGL::FLAT_SHADING), egl->blendingMethod(EGL::ALPHA_BLENDING),
                             egl->nullTexture());
}

void destroyLines(EGLStream*& stream, EGLModel*& model)
{
    EGL* egl = graphicsLibrary();
    egl->destroy(model);
    egl->destroy(stream);
    model = nullptr;
    stream = nullptr;
}

void setLaserEnds(const EGLVector& end)
{
    EGL* egl = graphicsLibrary();
    egl->beginChange(fLaserStream);
    fLaserStream->setPositions(0, EGLRange{0, LASER_VERTEX_COUNT}, {EGLVector{0.0f, 0.0f}, end});
    egl->endChange(fLaserStream);
}

void destroyShell(QLMShell* shell)
{
    destroySprite(shell->sprite);
    delete shell;
}

} // namespace

void initializeGun()
{
    DBG_ASSERT(!gunIsInitialized());
    fGunSprite = createSprite(getSpriteType(QLMSpriteTypeID::GUN_SPRITE_TYPE_ID), 0, 0);
    fGunScaling = createScalingTransform(graphicsLibrary(), EGLVector{GUN_SIZE, GUN_SIZE});
    DBG_ASSERT(gunIsInitialized());
}

void shutdownGun()
{
    DBG_ASSERT(gunIsInitialized());
    graphicsLibrary()->destroy(fGunScaling);
    destroySprite(fGunSprite);
    fGunScaling = nullptr;
    fGunSprite = nullptr;
}

bool gunIsInitialized()
{
    return fGunSprite && fGunScaling;
}

void drawGun()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fGunScaling);
    fGunSprite->drawSprite();
    egl->popTransform();
}

void initializeLaser()
{
    DBG_ASSERT(!laserIsInitialized());
    makeLines({EGLVector{0.0f, 0.0f}, EGLVector{0.0f, 0.0f}}, LASER_COLOR, fLaserStream, fLaserModel);
    DBG_ASSERT(laserIsInitialized());
}

void shutdownLaser()
{
    DBG_ASSERT(laserIsInitialized());
    destroyLines(fLaserStream, fLaserModel);
}

bool laserIsInitialized()
{
    return fLaserStream && fLaserModel;
}

void resetLaser()
{
    setLaserEnds(EGLVector{0.0f, 0.0f});
}

void updateLaser(const EGLVector& pointer)
{
    setLaserEnds(pointer);
}

void drawLaser()
{
    graphicsLibrary()->drawModel(fLaserModel);
}

void resetMousePosition()
{
    setMousePosition(SILVector(0.0f, 300.0f));
}

void initializeAimMarker()
{
    EGL* egl = graphicsLibrary();
    fAimRotation = createRotationTransform(egl, 0.0f);
    fAimScaling = createScalingTransform(egl, EGLVector{AIM_MARKER_SIZE, AIM_MARKER_SIZE});
    fAimTranslation = createTranslationTransform(egl, EGLVector{0.0f, 0.0f});
    // A plus sign with an open centre: four arms from 0.25 to 1.
    makeLines({{0.0f, 1.0f},
               {0.0f, 0.25f},
               {1.0f, 0.0f},
               {0.25f, 0.0f},
               {0.0f, -1.0f},
               {0.0f, -0.25f},
               {-1.0f, 0.0f},
               {-0.25f, 0.0f}},
              colorOfID(QLMColorIDs::WHITE), fAimStream, fAimModel);
}

void shutdownAimMarker()
{
    EGL* egl = graphicsLibrary();
    egl->destroy(fAimTranslation);
    egl->destroy(fAimScaling);
    egl->destroy(fAimRotation);
    fAimTranslation = fAimScaling = fAimRotation = nullptr;
    destroyLines(fAimStream, fAimModel);
}

void colourAimMarker(int colorID)
{
    DBG_CHECK(QLMColorIDs::RED <= colorID && colorID <= QLMColorIDs::VIOLET, "Unknoen color ID.");
    EGL* egl = graphicsLibrary();
    egl->beginChange(fAimStream);
    fAimStream->setColors(0, EGLRange{0, AIM_MARKER_VERTEX_COUNT},
                          std::vector<std::uint32_t>(AIM_MARKER_VERTEX_COUNT, colorOfID(colorID)));
    egl->endChange(fAimStream);
}

void moveAimMarker(const EGLVector& pointer)
{
    changeTranslation(graphicsLibrary(), fAimTranslation, pointer);
}

void drawAimMarker()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fAimRotation);
    egl->pushTransform(fAimScaling);
    egl->pushTransform(fAimTranslation);
    egl->drawModel(fAimModel);
    egl->popTransform();
    egl->popTransform();
    egl->popTransform();
}

QLMShell* createShell(int colorID)
{
    EGLSprite* sprite = createBulletSprite(colorID);
    QLMShell* shell = new (std::nothrow) QLMShell{colorID, sprite};
    DBG_ASSERT(shell);
    return shell;
}

void initializeClip()
{
    EGL* egl = graphicsLibrary();
    fClipScaling = createScalingTransform(egl, EGLVector{CLIP_SPACING, CLIP_SPACING});
    fClipTranslation = createTranslationTransform(egl, EGLVector{0.0f, 0.0f});
    fClipRotation = createRotationTransform(egl, 0.0f);
    fClipCounters.fill(0);
    refillClip();
    DBG_ASSERT(clipInvariant());
}

void shutdownClip()
{
    EGL* egl = graphicsLibrary();
    egl->destroy(fClipRotation);
    egl->destroy(fClipTranslation);
    egl->destroy(fClipScaling);
    fClipRotation = fClipTranslation = fClipScaling = nullptr;
}

bool clipInvariant()
{
    return fClipScaling && fClipTranslation && fClipRotation &&
           std::all_of(fClipCounters.begin(), fClipCounters.end(), [](int counter) { return counter >= 0; });
}

void appendShell(int colorID)
{
    fClip.push_back(createShell(colorID));
}

void refillClip()
{
    for (int i = 0; i < 2; ++i)
    {
        appendShell(randomShellColor());
    }
}

void emptyClip()
{
    for (QLMShell* shell : fClip)
    {
        destroyShell(shell);
    }
    fClip.clear();
}

std::size_t shellCount()
{
    return fClip.size();
}

int frontShellColor()
{
    DBG_ASSERT(!fClip.empty());
    return fClip.front()->colorID;
}

void popFrontShell()
{
    DBG_ASSERT(!fClip.empty());
    destroyShell(fClip.front());
    fClip.pop_front();
}

void turnClip(float angle)
{
    changeRotation(graphicsLibrary(), fClipRotation, angle);
}

std::array<int, 4>& clipCounters()
{
    return fClipCounters;
}

void drawClip()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fClipScaling);
    // Each 20 x 20 shell is moved along the row and then turned with it: the back shell 20 units behind the
    // centre, the next at the centre, and so on.
    EGLVector p{-CLIP_SPACING, 0.0f};
    for (auto shell = fClip.rbegin(); shell != fClip.rend(); ++shell)
    {
        changeTranslation(egl, fClipTranslation, p);
        egl->pushTransform(fClipTranslation);
        egl->pushTransform(fClipRotation);
        (*shell)->sprite->drawSprite();
        egl->popTransform();
        egl->popTransform();
        p.x += CLIP_SPACING;
    }
    egl->popTransform();
}
