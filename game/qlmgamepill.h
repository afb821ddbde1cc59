#pragma once
// Pills, the bonus and malus objects: solid bodies (object ID 4) of radius 16, each carrying an effect ID 1 to
// 64 that is also its cell in the pill sprite sheet (sprite type 2, 8 x 8). They appear at rest just outside
// the field at the whole seconds of game time that the schedule names; a pass over the schedule runs once a
// second of game time.
//
// Depends on game/qlmgamebody.h, the graphics module (sprite type 2) and egl/.

#include "egl/eglsprite.h"
#include "game/qlmgamebody.h"

#include <vector>

/// One row of the pill schedule: it fires at second T when (no start or T >= start) and (no end or T < end)
/// and T mod period = 0.
struct QLMPillScheduleRow
{
    int effectID;
    bool hasStart;
    bool hasEnd;
    int start; // seconds of game time
    int end;
    int period;
};

/// The 38 rows, in the order in which their pills are made within one second.
extern const std::vector<QLMPillScheduleRow> PILL_SCHEDULE;

/// The colour of an effect's row of the sheet: green for 1 to 24, yellow for 25 to 40, red for 41 to 64.
int pillColorOfEffect(int effectID);

class QLMPill final : public QLMBody
{
public:
    /// Prefer createPill.
    QLMPill(int effectID, const SPLVector& position, const SPLVector& velocity);
    /// Destroys the drawing; then the sphere leaves the physics system.
    ~QLMPill() noexcept(false) override = default;

    /// 1 to 64.
    int effectID() const { return fEffectID; }
    /// The drawing follows the sphere.
    void tick() { fDrawing.follow(*sphere()); }
    void draw() { fDrawing.draw(); }

private:
    int fEffectID;
    QLMBodySprite fDrawing;
};

/// A new pill of an effect 1 to 64, owned by the caller (appendPill hands it to the list).
QLMPill* createPill(int effectID, const SPLVector& position, const SPLVector& velocity);
/// Appends the pill to the pill list, which owns it from then on.
void appendPill(QLMPill* pill);
/// The pills in creation order.
const std::vector<QLMPill*>& pills();
/// The pill-spawn timer exists and there are at most 1000 pills.
bool pillsInvariant();

/// Creates the pill-spawn timer holding the game time (seconds) of the next schedule pass.
void initializeGameTimer(double value);
/// Sets the game time of the next schedule pass.
void setGameTimer(double value);
/// Deletes the pill-spawn timer.
void shutdownGameTimer();

/// Moves every pill's drawing to its sphere; once game time t reaches the timer, runs a schedule pass and sets
/// the timer to t + 1.
void tickPills(double t, double dt);
/// Makes the pills of every row that fires at the whole second nearest t, in table order.
void spawnPills(double t);
void drawPills();
/// Deletes the pills that a contact killed; the others keep their order.
void removeDeadPills();
/// Deletes every pill.
void deletePills();
/// Multiplies every pill's velocity by the factor.
void scalePillSpeeds(double factor);
