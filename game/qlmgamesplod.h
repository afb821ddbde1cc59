#pragma once
// Splods, the attackers: solid, wobbling discs of four colours and three sizes that spawn on a circle outside
// the field, fall towards the centre and shrink the shield. A bullet of a splod's colour splits it into two of
// the next smaller size; the smallest size just vanishes. The field's total weight (sizes 1, 2, 3 weigh 1, 3, 7)
// is topped up to game time + 40 in every tick with size-3 splods.
//
// Depends on game/qlmgamebody.h, the graphics module (sprite type 1), egl/ and the random tool.

#include "egl/eglsprite.h"
#include "game/qlmgamebody.h"

#include <vector>

class QLMSplod final : public QLMBody
{
public:
    /// Prefer createSplod, which checks the IDs first.
    QLMSplod(int sizeID, int colorID, const SPLVector& position, const SPLVector& velocity);
    /// Destroys the sprite and the translation, scaling and rotation transforms; then the sphere leaves.
    ~QLMSplod() noexcept(false) override;

    /// The wobble for dt seconds; the translation follows the sphere.
    void tick(double dt);
    void draw();

    /// The drawn width and height (units).
    EGLVector scale() const { return fScale; }

private:
    float fAngle;
    double fRadius;
    double fPhase1;
    double fPhase2;
    double fFrequency1; // radians per second
    double fFrequency2;
    EGLVector fScale;
    EGLVector fPosition;
    EGLTransform* fRotation = nullptr;
    EGLTransform* fScaling = nullptr;
    EGLTransform* fTranslation = nullptr;
    EGLSprite* fSprite = nullptr;
};

/// A new splod of size 1 to 3 ("Unknown size ID.") and colour 1 to 4 ("Unknoen color ID."), owned by the caller
/// (appendSplod hands it to the list).
QLMSplod* createSplod(int sizeID, int colorID, const SPLVector& position, const SPLVector& velocity);
/// Appends the splod to the splod list, which owns it from then on.
void appendSplod(QLMSplod* splod);
/// The splods in creation order.
const std::vector<QLMSplod*>& splods();
/// A size's weight in the spawning rule: 1, 3, 7; another size throws the Error "unknown size ID.".
int splodWeight(int sizeID);

/// Wobbles every splod, then spawns size-3 splods until the total weight reaches game time t + 40.
void tickSplods(double t, double dt);
void drawSplods();
/// Deletes the splods that a contact killed; the others keep their order.
void removeDeadSplods();
/// Deletes the splods more than 16000 units from the centre; the others keep their order.
void removeFarSplods();
/// Deletes every splod.
void deleteSplods();
/// Multiplies every splod's velocity by the factor.
void scaleSplodSpeeds(double factor);
/// Appends two halves of the next smaller size beside the splod, moving apart across the direction at the
/// speed; a size-1 splod gives none. The splod itself is left to the caller.
void splitSplod(const QLMSplod& splod, const SPLVector& direction, double speed);
/// The split of a splod that reached the shield or a bullet of its colour hit: along its motion, or, nearly at
/// rest, across the line from the centre with the halves standing still.
void splitSplodAtShield(const QLMSplod& splod);
/// The colour of the splod nearest the centre (the first on a tie), or a random colour with no splods.
int colourOfNearestSplod();
/// The splod weights per colour.
void countSplodWeights(int& red, int& green, int& blue, int& violet);
