#pragma once
// Floating text labels ("Get ready", "Game over" and the points won or lost) that drift, turn, grow and expire,
// posting an event when shown and one when they expire; and the score display at the top of the field.
//
// Depends on egl/ (text labels), the graphics module (font 1), the score counter and ECA.

#include "egl/egl.h"
#include "egl/egltext.h"

#include <cstdint>
#include <string>
#include <vector>

class ECAEvent;

class QLMLabel
{
public:
    /// A text centred on its position in font 1; posts the shown event. Lifetime in seconds, angle in radians,
    /// velocity in units per second, scale rate per second, angular speed in radians per second.
    QLMLabel(const std::string& text, std::uint32_t color, float lifetime, ECAEvent* shownEvent, ECAEvent* expiredEvent,
             const EGLVector& position, float scale, float angle, const EGLVector& velocity, float scaleRate,
             float angularSpeed);
    QLMLabel(const QLMLabel&) = delete;
    QLMLabel& operator=(const QLMLabel&) = delete;
    /// Destroys the transforms and the text label, then posts the expired event.
    ~QLMLabel() noexcept(false);

    /// Turns, grows, drifts and ages for dt seconds.
    void tick(double t, double dt);
    void draw();

    float age() const { return fAge; }
    float lifetime() const { return fLifetime; }
    float scale() const { return fScale; }
    EGLVector position() const { return fPosition; }
    EGLLabel* textLabel() const { return fText; }

private:
    float fLifetime;
    ECAEvent* fShownEvent;
    ECAEvent* fExpiredEvent;
    float fAngle;
    float fAngularSpeed;
    EGLVector fPosition;
    EGLVector fVelocity;
    float fScale;
    float fScaleRate;
    float fAge = 0.0f;
    EGLLabel* fText = nullptr;
    EGLTransform* fRotation = nullptr;
    EGLTransform* fScaling = nullptr;
    EGLTransform* fTranslation = nullptr;
};

/// Makes a label with these values and appends it to the label list, which owns it.
void spawnLabel(const std::string& text, std::uint32_t color, double lifetime, ECAEvent* shownEvent,
                ECAEvent* expiredEvent, const EGLVector& position, float scale, float angle, const EGLVector& velocity,
                float scaleRate, float angularSpeed);
/// The labels in creation order.
const std::vector<QLMLabel*>& floatingLabels();
void tickLabels(double t, double dt);
void drawLabels();
/// Deletes the labels whose age has reached their lifetime (each posts its expired event); the others keep
/// their order.
void removeExpiredLabels();
/// Deletes every label (each posts its expired event).
void deleteLabels();

/// The score display: hangs from the middle of the top edge of the field.
void initializeScoreLabel();
void shutdownScoreLabel();
/// Shows the score counter's value.
void updateScoreLabel();
void drawScoreLabel();
/// The score display's text label.
EGLLabel* scoreLabel();
