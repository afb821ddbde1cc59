#include "game/qlmgamepill.h"

#include "foundation/dbg.h"
#include "game/qlmgraphics.h"

#include <cstddef>
#include <new>

namespace
{

constexpr int PILL_SHEET_COLUMNS = 8;
constexpr double PILL_RADIUS = 16.0;
constexpr double PILL_MASS = 1.0;
constexpr int SOLID = 1;
constexpr std::size_t MAX_PILL_COUNT = 1000;

std::vector<QLMPill*> fPills;
double* gameTimer = nullptr; // game time of the next schedule pass

SPLSphere pillShape(const SPLVector& position, const SPLVector& velocity)
{
    return SPLSphere(PILL_RADIUS, PILL_MASS, SOLID, 0.0, position, velocity, SPLVector(), 0.0, 0);
}

bool rowFires(const QLMPillScheduleRow& row, int second)
{
    return (!row.hasStart || second >= row.start) && (!row.hasEnd || second < row.end) && second % row.period == 0;
}

} // namespace

// Rows 3 and 23 start and end at 120 and so never fire; from 420 to 479 no points pill is made. Every period
// counts from second 0, not from the row's start.
const std::vector<QLMPillScheduleRow> PILL_SCHEDULE = {
    {1, true, true, 5, 60, 20},      {2, true, true, 60, 120, 20},   {3, true, true, 120, 120, 20},
    {4, true, true, 120, 180, 20},   {5, true, true, 180, 240, 20},  {6, true, true, 240, 300, 20},
    {7, true, true, 300, 360, 20},   {8, true, true, 360, 420, 20},  {9, true, true, 480, 540, 20},
    {10, true, true, 540, 600, 20},  {11, true, true, 600, 660, 20}, {12, true, true, 660, 720, 20},
    {13, true, true, 720, 780, 20},  {14, true, true, 780, 840, 20}, {15, true, true, 840, 900, 20},
    {16, true, false, 900, 960, 20}, {17, true, false, 15, 0, 30},   {18, true, false, 20, 0, 30},
    {25, true, false, 10, 0, 30},    {26, true, false, 60, 0, 60},   {41, true, true, 15, 60, 20},
    {42, true, true, 60, 120, 20},   {43, true, true, 120, 120, 20}, {44, true, true, 120, 180, 20},
    {45, true, true, 180, 240, 20},  {46, true, true, 240, 300, 20}, {47, true, true, 300, 360, 20},
    {48, true, true, 360, 420, 20},  {49, true, true, 480, 540, 20}, {50, true, true, 540, 600, 20},
    {51, true, true, 600, 660, 20},  {52, true, true, 660, 720, 20}, {53, true, true, 720, 780, 20},
    {54, true, true, 780, 840, 20},  {55, true, true, 840, 900, 20}, {56, true, false, 900, 960, 20},
    {57, true, false, 30, 0, 30},    {58, true, false, 25, 0, 30},
};

int pillColorOfEffect(int effectID)
{
    const int row = (effectID - 1) / PILL_SHEET_COLUMNS;
    if (row <= 2)
    {
        return QLMColorIDs::GREEN;
    }
    return row <= 4 ? QLMColorIDs::YELLOW : QLMColorIDs::RED;
}

QLMPill::QLMPill(int effectID, const SPLVector& position, const SPLVector& velocity)
    : QLMBody(pillShape(position, velocity), QLMObjectIDs::PILL, QLMSizeIDs::SMALL, pillColorOfEffect(effectID)),
      fEffectID(effectID),
      fDrawing(createSprite(getSpriteType(QLMSpriteTypeID::PILLS_SPRITE_TYPE_ID), (effectID - 1) % PILL_SHEET_COLUMNS,
                            (effectID - 1) / PILL_SHEET_COLUMNS),
               *sphere())
{
}

QLMPill* createPill(int effectID, const SPLVector& position, const SPLVector& velocity)
{
    DBG_ASSERT(0 < effectID && effectID <= 64);
    QLMPill* pill = new (std::nothrow) QLMPill(effectID, position, velocity);
    DBG_ASSERT(pill);
    return pill;
}

void appendPill(QLMPill* pill)
{
    fPills.push_back(pill);
}

const std::vector<QLMPill*>& pills()
{
    return fPills;
}

bool pillsInvariant()
{
    return gameTimer && fPills.size() <= MAX_PILL_COUNT;
}

void initializeGameTimer(double value)
{
    gameTimer = new (std::nothrow) double(value);
    DBG_ASSERT(gameTimer);
}

void setGameTimer(double value)
{
    *gameTimer = value;
}

void shutdownGameTimer()
{
    delete gameTimer;
    gameTimer = nullptr;
}

void tickPills(double t, double)
{
    for (QLMPill* pill : fPills)
    {
        pill->tick();
    }
    // The next pass is measured from this one, so passes drift later by up to a tick per second.
    if (t >= *gameTimer)
    {
        spawnPills(t);
        *gameTimer = t + 1.0;
    }
}

void spawnPills(double t)
{
    const int second = static_cast<int>(t + 0.5);
    for (const QLMPillScheduleRow& row : PILL_SCHEDULE)
    {
        if (rowFires(row, second))
        {
            appendPill(createPill(row.effectID, findFreePosition(PILL_SPAWN_DISTANCE, PILL_RADIUS), SPLVector()));
        }
    }
}

void drawPills()
{
    for (QLMPill* pill : fPills)
    {
        pill->draw();
    }
}

void removeDeadPills()
{
    deleteDeadBodies(fPills);
}

void deletePills()
{
    deleteAll(fPills);
}

void scalePillSpeeds(double factor)
{
    scaleBodySpeeds(fPills, factor);
}
