#include "game/qlmgameexplosion.h"

#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "game/qlmgamebody.h"
#include "platform/egc.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace
{

// Indexed by size ID 1 to 3 and colour ID 1 to 6; row and column 0 stay empty.
QLMExplosionModel* explosionModelMatrix[4][7] = {};

std::vector<QLMExplosion*> fExplosions;

constexpr double DRIFT_TIME = 1.0; // seconds: the drift translation is the velocity times this

// Points in the cloud of a size ID 1 to 3: 100, 200, 300.
std::size_t plotCountOfSize(int sizeID)
{
    return 100 * static_cast<std::size_t>(sizeID);
}

} // namespace

std::uint32_t blendColors(std::uint32_t a, std::uint32_t b, double t)
{
    std::uint32_t blended = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const double channelA = static_cast<double>((a >> shift) & 0xFFu);
        const double channelB = static_cast<double>((b >> shift) & 0xFFu);
        const auto channel = static_cast<std::uint32_t>(channelB * t + channelA * std::max(1.0 - t, 0.0) + 0.5);
        blended |= channel << shift;
    }
    return blended;
}

void initializeExplosionModels()
{
    DBG_ASSERT(!explosionModelsAreInitialized());
    for (int sizeID = QLMSizeIDs::SMALL; sizeID <= QLMSizeIDs::LARGE; ++sizeID)
    {
        const std::size_t explosionPlotCount = plotCountOfSize(sizeID);
        for (int colorID = QLMColorIDs::RED; colorID <= QLMColorIDs::WHITE; ++colorID)
        {
            DBG_ASSERT(0 < explosionPlotCount);
            DBG_ASSERT(QLMSizeIDs::isValidID(sizeID));
            DBG_ASSERT(QLMColorIDs::isValidID(colorID));
            makeExplosionModel(sizeID, colorID, explosionPlotCount, colorOfID(colorID));
        }
    }
    DBG_ASSERT(explosionModelsAreInitialized());
}

void shutdownExplosionModels()
{
    DBG_ASSERT(explosionModelsAreInitialized());
    EGL* egl = graphicsLibrary();
    for (int sizeID = QLMSizeIDs::SMALL; sizeID <= QLMSizeIDs::LARGE; ++sizeID)
    {
        for (int colorID = QLMColorIDs::RED; colorID <= QLMColorIDs::WHITE; ++colorID)
        {
            QLMExplosionModel*& model = explosionModelMatrix[sizeID][colorID];
            DBG_ASSERT(model);
            egl->destroy(model->model);
            egl->destroy(model->stream);
            delete model;
            model = nullptr;
        }
    }
    DBG_ASSERT(!explosionModelsAreInitialized());
}

bool explosionModelsAreInitialized()
{
    return explosionModelMatrix[QLMSizeIDs::SMALL][QLMColorIDs::RED] != nullptr;
}

void makeExplosionModel(int sizeID, int colorID, std::size_t plotCount, std::uint32_t color)
{
    DBG_ASSERT(QLMSizeIDs::isValidID(sizeID));
    DBG_ASSERT(QLMColorIDs::isValidID(colorID));
    DBG_ASSERT(0 < plotCount);
    DBG_ASSERT(0 == explosionModelMatrix[sizeID][colorID]);
    EGL* egl = graphicsLibrary();
    RNDTool* random = randomTool();
    const std::uint32_t half = blendColors(color, 0x00000000, 0.5);
    const auto vertexCount = static_cast<std::int32_t>(plotCount);
    EGLStream* stream = egl->createStream(EGL::COLOR_VERTICES, vertexCount, 0);
    std::vector<EGLVector> positions;
    std::vector<std::uint32_t> colors;
    for (std::size_t i = 0; i < plotCount; ++i)
    {
        const double a = random->uniform(0.0, 2.0 * std::numbers::pi);
        const double r = random->uniform(0.0, 1.0);
        positions.push_back(EGLVector{static_cast<float>(std::cos(a) * r), static_cast<float>(std::sin(a) * r)});
        colors.push_back(blendColors(color, half, random->uniform(0.0, 1.0)));
    }
    DBG_ASSERT(positions.size() == plotCount);
    DBG_ASSERT(colors.size() == plotCount);
    egl->beginChange(stream);
    stream->setPositions(0, EGLRange{0, vertexCount}, positions);
    stream->setColors(0, EGLRange{0, vertexCount}, colors);
    egl->endChange(stream);
    EGLModel* model = egl->createModel(stream, EGLRange{0, vertexCount}, egl->primitiveType(EGL::POINT_LIST),
                                       egl->shadingMethod(EGL::FLAT_SHADING), egl->blendingMethod(EGL::ALPHA_BLENDING),
                                       egl->nullTexture());
    QLMExplosionModel* cloud = new (std::nothrow) QLMExplosionModel{stream, model};
    DBG_ASSERT(cloud);
    explosionModelMatrix[sizeID][colorID] = cloud;
}

QLMExplosionModel* explosionModel(int sizeID, int colorID)
{
    DBG_ASSERT(QLMSizeIDs::isValidID(sizeID));
    DBG_ASSERT(QLMColorIDs::isValidID(colorID));
    return explosionModelMatrix[sizeID][colorID];
}

QLMExplosion::QLMExplosion(const EGLVector& position, const EGLVector& velocity, double radius, double growth,
                           int sizeID, int colorID, double lifetime, ECAEvent* shownEvent, ECAEvent* endEvent)
    : fPosition(position), fVelocity(velocity), fRadius(radius), fGrowth(growth), fLifetime(lifetime),
      fShownEvent(shownEvent), fEndEvent(endEvent)
{
    DBG_ASSERT(QLMSizeIDs::isValidID(sizeID));
    DBG_ASSERT(QLMColorIDs::isValidID(colorID));
    EGL* egl = graphicsLibrary();
    fDrift = createTranslationTransform(
        egl, EGLVector{static_cast<float>(velocity.x * DRIFT_TIME), static_cast<float>(velocity.y * DRIFT_TIME)});
    fRotation = createRotationTransform(egl, static_cast<float>(randomTool()->uniform(0.0, 2.0 * std::numbers::pi)));
    fScaling = createScalingTransform(egl, EGLVector{static_cast<float>(radius), static_cast<float>(radius)});
    fTranslation = createTranslationTransform(egl, position);
    fModel = explosionModelMatrix[sizeID][colorID];
    ECA::postMessage(ECAMessage(fShownEvent));
}

QLMExplosion::~QLMExplosion() noexcept(false)
{
    EGL* egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
    egl->destroy(fRotation);
    egl->destroy(fDrift);
    ECA::postMessage(ECAMessage(fEndEvent));
}

void QLMExplosion::tick(double, double dt)
{
    fAge += dt;
    fRadius += dt * fGrowth;
    changeScaling(graphicsLibrary(), fScaling, EGLVector{static_cast<float>(fRadius), static_cast<float>(fRadius)});
}

void QLMExplosion::draw()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fRotation);
    egl->pushTransform(fDrift);
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    egl->drawModel(fModel->model);
    for (int i = 0; i < 4; ++i)
    {
        egl->popTransform();
    }
}

void appendExplosion(QLMExplosion* explosion)
{
    fExplosions.push_back(explosion);
}

const std::vector<QLMExplosion*>& explosions()
{
    return fExplosions;
}

void tickExplosions(double t, double dt)
{
    for (QLMExplosion* explosion : fExplosions)
    {
        explosion->tick(t, dt);
    }
}

void drawExplosions()
{
    for (QLMExplosion* explosion : fExplosions)
    {
        explosion->draw();
    }
}

void removeFinishedExplosions()
{
    deleteIf(fExplosions, [](const QLMExplosion& explosion) { return explosion.age() > explosion.lifetime(); });
}

void deleteExplosions()
{
    deleteAll(fExplosions);
}
