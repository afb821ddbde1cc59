#include "game/qlmgamelabel.h"

#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "game/qlmcounter.h"
#include "game/qlmgamebody.h"
#include "game/qlmgraphics.h"
#include "platform/egc.h"

#include <cstdio>
#include <new>

namespace
{

constexpr std::uint32_t SCORE_COLOR = 0x8080FF80;
constexpr float SCORE_TOP = 600.0f; // the top edge of the field

std::vector<QLMLabel*> fLabels;

EGLLabel* fScoreLabel = nullptr;
EGLTransform* fScoreScaling = nullptr;
EGLTransform* fScoreTranslation = nullptr;

EGLLabel* createGameText(const std::string& text, float alignmentY, std::uint32_t color)
{
    EGL* egl = graphicsLibrary();
    return createLabel(egl, getFont(QLMFontID::SMALL_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING), text, 0.5f,
                       alignmentY, color);
}

} // namespace

QLMLabel::QLMLabel(const std::string& text, std::uint32_t color, float lifetime, ECAEvent* shownEvent,
                   ECAEvent* expiredEvent, const EGLVector& position, float scale, float angle,
                   const EGLVector& velocity, float scaleRate, float angularSpeed)
    : fLifetime(lifetime), fShownEvent(shownEvent), fExpiredEvent(expiredEvent), fAngle(angle),
      fAngularSpeed(angularSpeed), fPosition(position), fVelocity(velocity), fScale(scale), fScaleRate(scaleRate)
{
    EGL* egl = graphicsLibrary();
    fText = createGameText(text, 0.5f, color);
    fRotation = createRotationTransform(egl, fAngle);
    fScaling = createScalingTransform(egl, EGLVector{fScale, fScale});
    fTranslation = createTranslationTransform(egl, fPosition);
    ECA::postMessage(ECAMessage(fShownEvent));
}

QLMLabel::~QLMLabel() noexcept(false)
{
    EGL* egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
    egl->destroy(fRotation);
    destroyLabel(fText);
    ECA::postMessage(ECAMessage(fExpiredEvent));
}

void QLMLabel::tick(double, double dt)
{
    const auto step = static_cast<float>(dt);
    EGL* egl = graphicsLibrary();
    fAngle += step * fAngularSpeed;
    changeRotation(egl, fRotation, fAngle);
    fScale += step * fScaleRate;
    changeScaling(egl, fScaling, EGLVector{fScale, fScale});
    fPosition.x += step * fVelocity.x;
    fPosition.y += step * fVelocity.y;
    changeTranslation(egl, fTranslation, fPosition);
    fAge += step;
}

void QLMLabel::draw()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fRotation);
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fText->drawLabel();
    egl->popTransform();
    egl->popTransform();
    egl->popTransform();
}

void spawnLabel(const std::string& text, std::uint32_t color, double lifetime, ECAEvent* shownEvent,
                ECAEvent* expiredEvent, const EGLVector& position, float scale, float angle, const EGLVector& velocity,
                float scaleRate, float angularSpeed)
{
    QLMLabel* label = new (std::nothrow) QLMLabel(text, color, static_cast<float>(lifetime), shownEvent, expiredEvent,
                                                  position, scale, angle, velocity, scaleRate, angularSpeed);
    DBG_ASSERT(label);
    fLabels.push_back(label);
}

const std::vector<QLMLabel*>& floatingLabels()
{
    return fLabels;
}

void tickLabels(double t, double dt)
{
    for (QLMLabel* label : fLabels)
    {
        label->tick(t, dt);
    }
}

void drawLabels()
{
    for (QLMLabel* label : fLabels)
    {
        label->draw();
    }
}

void removeExpiredLabels()
{
    deleteIf(fLabels, [](const QLMLabel& label) { return label.age() >= label.lifetime(); });
}

void deleteLabels()
{
    deleteAll(fLabels);
}

void initializeScoreLabel()
{
    EGL* egl = graphicsLibrary();
    fScoreLabel = createGameText("0", 1.0f, SCORE_COLOR);
    fScoreTranslation = createTranslationTransform(egl, EGLVector{0.0f, SCORE_TOP});
    fScoreScaling = createScalingTransform(egl, EGLVector{1.0f, 1.0f});
}

void shutdownScoreLabel()
{
    EGL* egl = graphicsLibrary();
    egl->destroy(fScoreScaling);
    egl->destroy(fScoreTranslation);
    destroyLabel(fScoreLabel);
    fScoreScaling = fScoreTranslation = nullptr;
    fScoreLabel = nullptr;
}

void updateScoreLabel()
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", QLMScoreCounter::instance().value());
    fScoreLabel->setText(text);
}

void drawScoreLabel()
{
    EGL* egl = graphicsLibrary();
    egl->pushTransform(fScoreScaling);
    egl->pushTransform(fScoreTranslation);
    fScoreLabel->drawLabel();
    egl->popTransform();
    egl->popTransform();
}

EGLLabel* scoreLabel()
{
    return fScoreLabel;
}
