#include "game/qlmgametick.h"

#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "foundation/timers.h"
#include "game/qlmcounter.h"
#include "game/qlmevent.h"
#include "game/qlmgamebody.h"
#include "game/qlmgamebullet.h"
#include "game/qlmgameclock.h"
#include "game/qlmgameexplosion.h"
#include "game/qlmgamegun.h"
#include "game/qlmgamelabel.h"
#include "game/qlmgamepill.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "game/qlminput.h"
#include "game/qlmsound.h"
#include "platform/egc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <numbers>
#include <vector>

namespace
{

constexpr double BOUNCE_ANGLE = std::numbers::pi / 4.0;
constexpr double SUB_STEP = 0.01; // seconds
constexpr float FIELD_HALF_WIDTH = 800.0f;
constexpr float FIELD_HALF_HEIGHT = 600.0f;
constexpr double BULLET_SPEED = 1000.0;    // units per second
constexpr double RELOAD_TIME = 0.4;        // seconds of game time
constexpr double EXPLOSION_GROWTH = 200.0; // units per second
constexpr double EXPLOSION_LIFETIME = 1.0; // seconds
constexpr double SHIELD_PILL_DELTA = 50.0;

DBGTimer* fTickTimer = nullptr;
double fReloadDeadline = 0.0;

/// Radians, in double precision so that straight up is exactly pi/2.
double aimAngle()
{
    const SILVector pointer = mousePosition();
    return std::atan2(static_cast<double>(pointer.y()), static_cast<double>(pointer.x()));
}

void checkObjectID(const QLMBody* body)
{
    DBG_CHECK(QLMObjectIDs::SHIELD <= body->objectID() && body->objectID() <= QLMObjectIDs::PILL, "Unknown object ID.");
}

void playBounce(const QLMBody* first, const QLMBody* second, int sampleID)
{
    if (isAudibleBounce(first, second))
    {
        playSound(sampleID);
    }
}

void explodeAndKill(QLMBody* body)
{
    explodeBody(body);
    body->kill();
}

void playPillSample(int colorID)
{
    switch (colorID)
    {
    case QLMColorIDs::RED:
        playSound(QLMSampleID::RED_PILL_SAMPLE_ID);
        break;
    case QLMColorIDs::GREEN:
        playSound(QLMSampleID::GREEN_PILL_SAMPLE_ID);
        break;
    case QLMColorIDs::YELLOW:
        playSound(QLMSampleID::YELLOW_PILL_SAMPLE_ID);
        break;
    }
}

/// A collision whose first body's object ID is not above the second's.
void collideOrdered(QLMBody* low, QLMBody* high)
{
    switch (low->objectID() * 10 + high->objectID())
    {
    case QLMObjectIDs::SPLOD * 10 + QLMObjectIDs::SPLOD:
        playBounce(low, high, QLMSampleID::SPLOD_SPLOD_BOUNCE_SAMPLE_ID);
        break;
    case QLMObjectIDs::SPLOD * 10 + QLMObjectIDs::BULLET:
        playSound(QLMSampleID::BULLET_EXPLOSION_SAMPLE_ID);
        explodeAndKill(high);
        // A bullet of another colour only bounces the splod, by the physics.
        if (high->colorID() == low->colorID())
        {
            hitSplod(static_cast<QLMSplod*>(low));
        }
        break;
    case QLMObjectIDs::SPLOD * 10 + QLMObjectIDs::PILL:
        playBounce(low, high, QLMSampleID::PILL_SPLOD_BOUNCE_SAMPLE_ID);
        break;
    case QLMObjectIDs::BULLET * 10 + QLMObjectIDs::BULLET:
        explodeAndKill(low);
        explodeAndKill(high);
        playSound(QLMSampleID::BULLET_EXPLOSION_SAMPLE_ID);
        break;
    case QLMObjectIDs::BULLET * 10 + QLMObjectIDs::PILL:
        applyPillEffect(static_cast<QLMPill*>(high), static_cast<QLMBullet*>(low));
        explodeAndKill(high);
        explodeAndKill(low);
        playPillSample(high->colorID());
        playSound(QLMSampleID::PILL_EXPLOSION_SAMPLE_ID);
        playSound(QLMSampleID::BULLET_EXPLOSION_SAMPLE_ID);
        break;
    case QLMObjectIDs::PILL * 10 + QLMObjectIDs::PILL:
        playBounce(low, high, QLMSampleID::PILL_PILL_BOUNCE_SAMPLE_ID);
        break;
    }
}

void shrinkShieldFor(const QLMSplod* splod)
{
    DBG_ASSERT(shieldIsInitialized());
    switch (splod->sizeID())
    {
    case QLMSizeIDs::SMALL:
        resizeShield(-20.0, getShield());
        return;
    case QLMSizeIDs::MEDIUM:
        resizeShield(-40.0, getShield());
        return;
    case QLMSizeIDs::LARGE:
        resizeShield(-60.0, getShield());
        return;
    }
    DBG_ERROR("Unknown size ID.");
}

/// An overlap of two bodies without the shield, which the physics never reports.
[[noreturn]] void refuseOverlap(int low, int high)
{
    switch (low * 10 + high)
    {
    case QLMObjectIDs::PILL * 10 + QLMObjectIDs::PILL:
        DBG_ERROR("Two pills overlap.");
    case QLMObjectIDs::BULLET * 10 + QLMObjectIDs::PILL:
        DBG_ERROR("Pill and bullet overlap.");
    case QLMObjectIDs::SPLOD * 10 + QLMObjectIDs::PILL:
        DBG_ERROR("Pill and splod overlap.");
    case QLMObjectIDs::BULLET * 10 + QLMObjectIDs::BULLET:
        DBG_ERROR("Two bullets overlap.");
    case QLMObjectIDs::SPLOD * 10 + QLMObjectIDs::BULLET:
        DBG_ERROR("A bullet and a splod overlaps..");
    }
    DBG_ERROR("Two splods overlap.");
}

void spawnFixedLabel(const char* text, std::uint32_t color, int shownEventID, int expiredEventID)
{
    spawnLabel(text, color, 3.0, getEvent(shownEventID), getEvent(expiredEventID), EGLVector{0.0f, 0.0f}, 1.0f, 0.0f,
               EGLVector{0.0f, 0.0f}, 1.0f, 0.0f);
}

} // namespace

void openTickTimer()
{
    fTickTimer = DBG::createTimer("Tick game");
}

void closeTickTimer()
{
    DBG::destroyTimer(fTickTimer);
    fTickTimer = nullptr;
}

double reloadDeadline()
{
    return fReloadDeadline;
}

void setReloadDeadline(double deadline)
{
    fReloadDeadline = deadline;
}

void tickGame()
{
    fTickTimer->startTimer();
    const double t = gameTime();
    const double dt = gameTimeStep();
    updateScoreLabel();

    const SILVector pointer = mousePosition();
    setMousePosition(SILVector(std::clamp(pointer.x(), -FIELD_HALF_WIDTH, FIELD_HALF_WIDTH),
                               std::clamp(pointer.y(), -FIELD_HALF_HEIGHT, FIELD_HALF_HEIGHT)));
    const SILVector aim = mousePosition();
    const double angle = aimAngle();
    colourAimMarker(frontShellColor());
    moveAimMarker(EGLVector{aim.x(), aim.y()});
    updateLaser(EGLVector{aim.x(), aim.y()});

    // The lists hold the pairs of every sub-step; the alive test makes later listings of a killed body idle.
    const int subSteps = std::max(static_cast<int>(dt / SUB_STEP + 0.5), 1);
    SPLSystem& physics = physicsSystem();
    physics.lock();
    physics.run(dt, subSteps);
    for (std::size_t i = 0; i < physics.collisions().size(); ++i)
    {
        const SPLShapePair& pair = physics.collisions()[i];
        handleCollision(bodyOfTag(pair.first()->tag()), bodyOfTag(pair.second()->tag()));
    }
    for (std::size_t i = 0; i < physics.overlaps().size(); ++i)
    {
        const SPLShapePair& pair = physics.overlaps()[i];
        handleOverlap(bodyOfTag(pair.first()->tag()), bodyOfTag(pair.second()->tag()));
    }
    physics.unlock();

    tickLabels(t, dt);
    removeExpiredLabels();
    setGravity(t);
    tickExplosions(t, dt);
    QLMShield* shield = getShield();
    shield->circle().setAngle(static_cast<float>(angle));
    shield->circle().applyAngle();
    tickShield(shield, t, dt);
    tickPills(t, dt);
    tickBullets(t, dt);
    turnClip(static_cast<float>(angle));
    tickSplods(t, dt);
    updateGameClock();
    fTickTimer->stopTimer();
}

void fireGun()
{
    fReloadDeadline = gameTime() + RELOAD_TIME;
    const double angle = aimAngle();
    appendBullet(createBullet(frontShellColor(), SPLVector(0.0, 0.0), SPLVector(BULLET_SPEED, 0.0).rotated(angle)));
    popFrontShell();
    playSound(QLMSampleID::FIRE_GUN_SAMPLE_ID);
}

void showGetReady()
{
    spawnFixedLabel("Get ready", 0x8000FF00, QLMEventID::GET_READY_SHOWN_EVENT_ID,
                    QLMEventID::GET_READY_EXPIRED_EVENT_ID);
}

void showGameOver()
{
    spawnFixedLabel("Game over", 0x80FF0000, QLMEventID::GAME_OVER_SHOWN_EVENT_ID,
                    QLMEventID::GAME_OVER_EXPIRED_EVENT_ID);
}

void handleCollision(QLMBody* first, QLMBody* second)
{
    if (!first->isAlive() || !second->isAlive())
    {
        return;
    }
    checkObjectID(first);
    checkObjectID(second);
    if (first->objectID() == QLMObjectIDs::SHIELD || second->objectID() == QLMObjectIDs::SHIELD)
    {
        const int other = first->objectID() == QLMObjectIDs::SHIELD ? second->objectID() : first->objectID();
        switch (other)
        {
        case QLMObjectIDs::SHIELD:
            DBG_ERROR("Shield bounces against itself.");
        case QLMObjectIDs::SPLOD:
            DBG_ERROR("Splod bounces against non solid shield.");
        case QLMObjectIDs::BULLET:
            DBG_ERROR("Bullet bounces against non solid shield.");
        }
        DBG_ERROR("Pill bounces against non solid shield.");
    }
    // Only the two same-kind pairs depend on the order, and they keep it.
    if (first->objectID() <= second->objectID())
    {
        collideOrdered(first, second);
    }
    else
    {
        collideOrdered(second, first);
    }
}

void handleOverlap(QLMBody* first, QLMBody* second)
{
    if (!first->isAlive() || !second->isAlive())
    {
        return;
    }
    checkObjectID(first);
    checkObjectID(second);
    const bool firstIsShield = first->objectID() == QLMObjectIDs::SHIELD;
    const bool secondIsShield = second->objectID() == QLMObjectIDs::SHIELD;
    DBG_CHECK(!(firstIsShield && secondIsShield), "Shield overlaps itself.");
    if (!firstIsShield && !secondIsShield)
    {
        refuseOverlap(std::min(first->objectID(), second->objectID()), std::max(first->objectID(), second->objectID()));
    }
    QLMBody* subject = firstIsShield ? second : first;
    switch (subject->objectID())
    {
    case QLMObjectIDs::PILL:
        explodeAndKill(subject);
        playSound(QLMSampleID::PILL_EXPLOSION_SAMPLE_ID);
        break;
    case QLMObjectIDs::BULLET:
        // A bullet moving outward passes the ring; one moving inward or along it is stopped.
        if (subject->sphere()->position().dot(subject->sphere()->velocity()) <= 0.0)
        {
            explodeAndKill(subject);
            playSound(QLMSampleID::BULLET_EXPLOSION_SAMPLE_ID);
        }
        break;
    case QLMObjectIDs::SPLOD:
    {
        auto* splod = static_cast<QLMSplod*>(subject);
        splitSplodAtShield(*splod);
        explodeAndKill(splod);
        playSound(QLMSampleID::SPLOD_EXPLOSION_SAMPLE_ID);
        shrinkShieldFor(splod);
        break;
    }
    }
}

void applyPillEffect(QLMPill* pill, QLMBullet*)
{
    const int effectID = pill->effectID();
    if (effectID == 1)
    {
        awardPoints(pill, 100);
    }
    else if (2 <= effectID && effectID <= 16)
    {
        awardPoints(pill, 1000 * (effectID - 1));
    }
    else if (effectID == 17 || effectID == 57)
    {
        DBG_ASSERT(shieldIsInitialized());
        resizeShield(effectID == 17 ? SHIELD_PILL_DELTA : -SHIELD_PILL_DELTA, getShield());
    }
    else if (effectID == 18 || effectID == 25 || effectID == 58)
    {
        const double factor = effectID == 18 ? 0.25 : effectID == 25 ? -1.0 : 1.75;
        scalePillSpeeds(factor);
        scaleSplodSpeeds(factor);
    }
    else if (effectID == 26)
    {
        burstAllSplods();
    }
    else if (effectID == 41)
    {
        awardPoints(pill, -100);
    }
    else if (42 <= effectID && effectID <= 56)
    {
        awardPoints(pill, -1000 * (effectID - 41));
    }
    else
    {
        // 19 to 24, 27 to 40 and 59 to 64 have no effect.
        DBG_CHECK(0 < effectID && effectID <= 64, "Unknown effect ID.");
    }
}

void explodeBody(const QLMBody* body)
{
    const SPLShape* sphere = body->sphere();
    ECAEvent* nullEvent = getEvent(QLMEventID::NULL_EVENT_ID);
    QLMExplosion* explosion = new (std::nothrow)
        QLMExplosion(toFloatVector(sphere->position()), toFloatVector(sphere->velocity()), sphere->radius(),
                     EXPLOSION_GROWTH, body->sizeID(), body->colorID(), EXPLOSION_LIFETIME, nullEvent, nullEvent);
    DBG_ASSERT(explosion);
    appendExplosion(explosion);
}

void hitSplod(QLMSplod* splod)
{
    playSound(QLMSampleID::SPLOD_EXPLOSION_SAMPLE_ID);
    // A hit splits the splod the way the shield does.
    splitSplodAtShield(*splod);
    explodeAndKill(splod);
    awardPoints(splod, splodPoints(splod));
}

void burstAllSplods()
{
    // A copy: the halves that the splits append survive the burst. A splod that a contact of this tick already
    // split is passed by, so it is neither split nor scored twice.
    const std::vector<QLMSplod*> burst = splods();
    for (QLMSplod* splod : burst)
    {
        if (splod->isAlive())
        {
            hitSplod(splod);
        }
    }
}

void awardPoints(const QLMBody* body, int points)
{
    const EGLVector position = toFloatVector(body->sphere()->position());
    const EGLVector velocity = toFloatVector(body->sphere()->velocity());
    QLMScoreCounter::instance().add(points);
    ECAEvent* nullEvent = getEvent(QLMEventID::NULL_EVENT_ID);
    spawnLabel(pointsText(points), pointsColor(points), 2.0, nullEvent, nullEvent, position, 1.0f, 0.0f, velocity, 0.1f,
               static_cast<float>(randomTool()->uniform(-2.0, 2.0)));
}

int splodPoints(const QLMSplod* splod)
{
    switch (splod->sizeID())
    {
    case QLMSizeIDs::SMALL:
        return 100;
    case QLMSizeIDs::MEDIUM:
        return 500;
    case QLMSizeIDs::LARGE:
        return 1000;
    }
    DBG_ERROR("Unknown size ID.");
}

std::string pointsText(int points)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", points);
    return text;
}

std::uint32_t pointsColor(int points)
{
    return points < 1 ? 0x80FF0000 : 0x8000FF00;
}

bool isAudibleBounce(const QLMBody* first, const QLMBody* second)
{
    const SPLVector va = first->sphere()->velocity();
    const SPLVector vb = second->sphere()->velocity();
    const double p = va.length() * vb.length();
    if (p < 1e-5)
    {
        return false;
    }
    // Rounding can take the cosine of (anti)parallel velocities just past 1, where acos has no value.
    return std::acos(std::clamp(va.dot(vb) / p, -1.0, 1.0)) >= BOUNCE_ANGLE;
}
