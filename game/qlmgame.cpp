#include "game/qlmgame.h"

#include "foundation/dbg.h"
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
#include "game/qlmgamescenery.h"
#include "game/qlmgameshield.h"
#include "game/qlmgamesplod.h"
#include "game/qlmgametick.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmlookup.h"
#include "game/qlmsound.h"
#include "platform/egc.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <new>
#include <numbers>
#include <set>
#include <vector>

namespace
{

constexpr int CONDITION_COUNT = 5;
constexpr int ACTION_COUNT = 8;
constexpr int STATE_COUNT = 10;
constexpr std::size_t TRANSITION_COUNT = 40;

/// One row: in state `from`, on event, when condition holds, run action and go to state `to`.
struct QLMGameTransitionRow
{
    std::int32_t from;
    std::int32_t event;
    std::int32_t condition;
    std::int32_t action;
    std::int32_t to;
};

// The order decides which row fires first. Frame event 2 ticks and 5 draws in every playing state (the paused
// twins draw but never tick); 9 pauses, 10 resumes, 3 ends the machine from every state.
constexpr QLMGameTransitionRow gameTransitionTable[TRANSITION_COUNT] = {
    {1, 13, 1, 7, 2}, {1, 3, 1, 1, 10},                                                       //
    {2, 2, 1, 2, 2},  {2, 5, 1, 3, 2},  {2, 9, 1, 1, 3},  {2, 21, 1, 1, 4}, {2, 3, 1, 1, 10}, //
    {3, 5, 1, 3, 3},  {3, 21, 1, 1, 5}, {3, 10, 1, 1, 2}, {3, 3, 1, 1, 10},                   //
    {4, 5, 1, 3, 4},  {4, 2, 1, 2, 4},  {4, 19, 2, 5, 8}, {4, 9, 1, 1, 5},  {4, 22, 1, 8, 6}, //
    {4, 3, 1, 1, 10},                                                                         //
    {5, 5, 1, 3, 5},  {5, 10, 1, 1, 4}, {5, 22, 1, 8, 7}, {5, 3, 1, 1, 10},                   //
    {8, 5, 1, 3, 8},  {8, 2, 1, 2, 8},  {8, 19, 4, 6, 4}, {8, 9, 1, 1, 9},  {8, 22, 1, 8, 6}, //
    {8, 3, 1, 1, 10},                                                                         //
    {9, 5, 1, 3, 9},  {9, 10, 1, 1, 8}, {9, 22, 1, 8, 7}, {9, 3, 1, 1, 10},                   //
    {6, 5, 1, 3, 6},  {6, 2, 1, 2, 6},  {6, 9, 1, 1, 7},  {6, 24, 1, 1, 1}, {6, 3, 1, 1, 10}, //
    {7, 5, 1, 3, 7},  {7, 10, 1, 1, 6}, {7, 24, 1, 1, 1}, {7, 3, 1, 1, 10},                   //
};

// The events the machine type declares; 1, 14, 20 and 23 are declared but no row takes them.
constexpr int GAME_EVENT_IDS[] = {1, 2, 3, 5, 9, 10, 13, 14, 19, 20, 21, 22, 23, 24};

std::set<ECACondition*> fConditionSet;
std::map<int, QLMGameCondition*> fConditionMap;
std::set<ECAAction*> fActionSet;
std::map<int, QLMGameAction*> fActionMap;
std::set<ECAState*> fStateSet;
std::map<int, ECAState*> fStateMap;
std::set<ECAEvent*> gameEventSet;
std::vector<ECATransition> fTransitions;
ECAMachineType* fMachineType = nullptr;
QLMGameMachine* fGameMachine = nullptr;
DBGTimer* fDrawTimer = nullptr;
bool fInitialized = false;

template <class Set, class Map>
bool registryInvariant(const Set& set, const Map& map)
{
    return !set.empty() && !map.empty() && set.size() == map.size();
}

bool gameConditionsInvariant()
{
    return registryInvariant(fConditionSet, fConditionMap);
}

bool gameActionsInvariant()
{
    return registryInvariant(fActionSet, fActionMap);
}

bool gameStatesInvariant()
{
    return registryInvariant(fStateSet, fStateMap);
}

bool gameMachineTypeInvariant()
{
    return fMachineType != nullptr;
}

void buildGameEventSet()
{
    for (const int eventID : GAME_EVENT_IDS)
    {
        gameEventSet.insert(getEvent(eventID));
    }
}

void createGameTimers()
{
    setReloadDeadline(0.0);
    fDrawTimer = DBG::createTimer("Draw game");
    openTickTimer();
}

void destroyGameTimers()
{
    DBG::destroyTimer(fDrawTimer);
    fDrawTimer = nullptr;
    closeTickTimer();
}

QLMGameCondition* createGameCondition(int conditionID)
{
    QLMGameCondition* gameCondition = new (std::nothrow) QLMGameCondition(conditionID);
    DBG_ASSERT(gameCondition);
    return gameCondition;
}

QLMGameAction* createGameAction(int actionID)
{
    QLMGameAction* gameAction = new (std::nothrow) QLMGameAction(actionID);
    DBG_ASSERT(gameAction);
    return gameAction;
}

/// Makes the parts of the IDs 1 to count and keeps each in the set and the map.
template <class Part, class Base>
void createParts(int count, Part* (*create)(int), std::set<Base*>& set, std::map<int, Part*>& map)
{
    for (int id = 1; id <= count; ++id)
    {
        Part* part = create(id);
        set.insert(part);
        map[id] = part;
    }
}

template <class Part, class Base>
void destroyParts(std::set<Base*>& set, std::map<int, Part*>& map)
{
    for (const auto& [id, part] : map)
    {
        delete part;
    }
    map.clear();
    set.clear();
}

void createGameConditions()
{
    DBG_ASSERT(!gameConditionsInvariant());
    createParts(CONDITION_COUNT, createGameCondition, fConditionSet, fConditionMap);
    DBG_ASSERT(gameConditionsInvariant());
}

void destroyGameConditions()
{
    destroyParts(fConditionSet, fConditionMap);
}

void createGameActions()
{
    DBG_ASSERT(!gameActionsInvariant());
    createParts(ACTION_COUNT, createGameAction, fActionSet, fActionMap);
    DBG_ASSERT(gameActionsInvariant());
}

void destroyGameActions()
{
    destroyParts(fActionSet, fActionMap);
}

void createGameStates()
{
    DBG_ASSERT(!gameStatesInvariant());
    for (int id = 1; id <= STATE_COUNT; ++id)
    {
        ECAState* state = ECA::createState(ECA::nullAction(), ECA::nullAction(), ECA::nullProcess(), 0.0);
        fStateSet.insert(state);
        fStateMap[id] = state;
    }
    DBG_ASSERT(gameStatesInvariant());
}

void destroyGameStates()
{
    DBG_ASSERT(gameStatesInvariant());
    for (const auto& [id, state] : fStateMap)
    {
        ECA::destroyState(state);
    }
    fStateMap.clear();
    fStateSet.clear();
    DBG_ASSERT(!gameStatesInvariant());
}

void createGameTransitions()
{
    for (const QLMGameTransitionRow& row : gameTransitionTable)
    {
        fTransitions.emplace_back(gameState(row.from), getEvent(row.event),
                                  lookUp(fConditionMap, row.condition, "Unknown conditionID"),
                                  lookUp(fActionMap, row.action, "Unknown action ID."), gameState(row.to));
    }
}

void createGameMachineType()
{
    DBG_ASSERT(!gameMachineTypeInvariant());
    fMachineType = ECA::createMachineType(fStateSet, gameEventSet, fConditionSet, fActionSet,
                                          gameState(QLMGameStateID::GAME_IDLE), gameState(QLMGameStateID::GAME_FINAL));
    DBG_ASSERT(0 < TRANSITION_COUNT);
    for (const ECATransition& transition : fTransitions)
    {
        fMachineType->addTransition(transition);
    }
    DBG_ASSERT(gameMachineTypeInvariant());
}

void startGameMachine()
{
    const QLMGameMachine prototype(fMachineType);
    DBG_ASSERT(prototype.invariant());
    fGameMachine = static_cast<QLMGameMachine*>(ECA::startMachine(prototype));
}

void tickAction()
{
    tickGame();
    removeFinishedExplosions();
    removeDeadPills();
    removeDeadBullets();
    removeFarBullets();
    removeDeadSplods();
    removeFarSplods();
}

void startAction()
{
    resetGame();
    deleteSplods();
    showGetReady();
}

} // namespace

bool QLMGameCondition::evaluate(ECAMachine&)
{
    switch (fConditionID)
    {
    case QLMGameConditionID::ALWAYS:
        return true;
    case QLMGameConditionID::MOUSE_BUTTON_DOWN:
        return isMouseButtonDown(1);
    case QLMGameConditionID::MOUSE_BUTTON_UP:
        return !isMouseButtonDown(1);
    case QLMGameConditionID::RELOAD_DUE:
        return reloadDeadline() <= gameTime();
    case QLMGameConditionID::SHIELD_TOO_SMALL:
        DBG_ASSERT(shieldIsInitialized());
        return getShield()->circle().radius() <= SHIELD_COLLAPSE_RADIUS;
    }
    DBG_ERROR("Unknown conditionID");
}

ECACloneable* QLMGameCondition::clone() const
{
    return createGameCondition(fConditionID);
}

void QLMGameAction::execute(ECAMachine&)
{
    switch (fActionID)
    {
    case QLMGameActionID::NO_ACTION:
        return;
    case QLMGameActionID::TICK_ACTION:
        tickAction();
        return;
    case QLMGameActionID::DRAW_ACTION:
        drawGame();
        return;
    case QLMGameActionID::RESET_ACTION:
        resetGame();
        deleteSplods();
        return;
    case QLMGameActionID::FIRE_ACTION:
        fireGun();
        return;
    case QLMGameActionID::RELOAD_ACTION:
        reloadGun();
        return;
    case QLMGameActionID::START_ACTION:
        startAction();
        return;
    case QLMGameActionID::GAME_OVER_ACTION:
        showGameOver();
        return;
    }
    DBG_ERROR("Unknown action ID.");
}

ECACloneable* QLMGameAction::clone() const
{
    return createGameAction(fActionID);
}

QLMGameMachine::~QLMGameMachine() noexcept(false)
{
    DBG_ASSERT(invariant());
}

ECACloneable* QLMGameMachine::clone() const
{
    QLMGameMachine* machine = new (std::nothrow) QLMGameMachine(machineType());
    DBG_ASSERT(machine);
    DBG_ASSERT(machine->invariant());
    return machine;
}

void initializeGame()
{
    DBG_ASSERT(!gameInvariant());
    initializeExplosionModels();
    initializeScenery();
    initializeScoreLabel();
    initializeAimMarker();
    initializeLaser();
    initializeGun();
    resetGameClock();
    DBG_ASSERT(!physicsIsInitialized());
    initializePhysics();
    DBG_ASSERT(physicsIsInitialized());
    initializeGravity();
    initializeShield();
    DBG_ASSERT(!pillsInvariant());
    initializeGameTimer(0.0);
    DBG_ASSERT(pillsInvariant());
    DBG_ASSERT(bulletsInvariant());
    initializeClip();
    buildGameEventSet();
    createGameTimers();
    createGameConditions();
    createGameActions();
    createGameStates();
    createGameTransitions();
    createGameMachineType();
    startGameMachine();
    fInitialized = true;
}

void shutdownGame()
{
    DBG_ASSERT(gameInvariant());
    DBG_ASSERT(gameMachineTypeInvariant());
    ECA::destroyMachineType(fMachineType);
    fMachineType = nullptr;
    fTransitions.clear();
    destroyGameStates();
    destroyGameActions();
    destroyGameConditions();
    destroyGameTimers();
    gameEventSet.clear();
    deleteSplods();
    DBG_ASSERT(clipInvariant());
    emptyClip();
    shutdownClip();
    DBG_ASSERT(bulletsInvariant());
    deleteBullets();
    DBG_ASSERT(pillsInvariant());
    shutdownGameTimer();
    deletePills();
    DBG_ASSERT(!pillsInvariant());
    DBG_ASSERT(shieldIsInitialized());
    shutdownShield();
    deleteExplosions();
    DBG_ASSERT(gravityIsInitialized());
    shutdownGravity();
    deleteLabels();
    DBG_ASSERT(physicsIsInitialized());
    shutdownPhysics();
    shutdownGun();
    shutdownLaser();
    shutdownAimMarker();
    shutdownScoreLabel();
    shutdownScenery();
    shutdownExplosionModels();
    // The machine retired itself on the quit event.
    fGameMachine = nullptr;
    fInitialized = false;
}

bool gameInvariant()
{
    return fInitialized;
}

QLMGameMachine* gameMachine()
{
    return fGameMachine;
}

ECAState* gameState(int stateID)
{
    return lookUp(fStateMap, stateID, "Unknown state ID.");
}

void resetGame()
{
    resetScenery();
    QLMScoreCounter::instance().reset();
    resetMousePosition();
    resetLaser();
    resetGameClock();
    deleteLabels();
    setGravity(0.0);
    deleteExplosions();
    QLMCircle& ring = getShield()->circle();
    ring.setAngle(static_cast<float>(std::numbers::pi / 2.0));
    ring.applyAngle();
    ring.setRadius(200.0f);
    deletePills();
    setGameTimer(0.0);
    deleteBullets();
    emptyClip();
    clipCounters().fill(0);
    refillClip();
    turnClip(0.0f);
}

void drawGame()
{
    fDrawTimer->startTimer();
    EGL* egl = graphicsLibrary();
    egl->beginScene(getSpace());
    drawScenery();
    drawExplosions();
    drawPills();
    drawBullets();
    drawSplods();
    drawLaser();
    drawAimMarker();
    getShield()->circle().draw();
    drawClip();
    drawGun();
    drawLabels();
    drawScoreLabel();
    egl->endScene();
    fDrawTimer->stopTimer();
}

void reloadGun()
{
    std::array<int, 4>& counters = clipCounters();
    countSplodWeights(counters[0], counters[1], counters[2], counters[3]);
    int colorID = colourOfNearestSplod();
    if (randomTool()->bernoulli(0.5))
    {
        colorID = randomShellColor();
    }
    appendShell(colorID);
    playSound(QLMSampleID::RELOAD_GUN_SAMPLE_ID);
}
