#include "game/qlmcoordinator.h"

#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/timers.h"
#include "game/qlmevent.h"
#include "game/qlminput.h"
#include "game/qlmscore.h"
#include "platform/egc.h"

#include <cstdint>
#include <new>
#include <set>

namespace
{

using namespace QLMEventID;

// Screens alternate every 20 seconds of machine time while nobody plays.
constexpr double SCREEN_DURATION = 20.0;

QLMCoordinatorHandler* fCoordinatorHandler = nullptr;

ECAMessageAction* fEnterIntroAction = nullptr;
ECAMessageAction* fLeaveIntroAction = nullptr;
ECAMessageAction* fEnterHallOfFameAction = nullptr;
ECAMessageAction* fLeaveHallOfFameAction = nullptr;
ECAMessageAction* fEnterNameEntryAction = nullptr;
ECAMessageAction* fLeaveNameEntryAction = nullptr;
ECAMessageAction* fEnterGameAction = nullptr;
ECAMessageAction* fLeaveGameAction = nullptr;

ECAState* fIntroState = nullptr;
ECAState* fHallOfFameState = nullptr;
ECAState* fNameEntryState = nullptr;
ECAState* fGameState = nullptr;
ECAState* fFinalState = nullptr;

ECACondition* fIsHighscoreCondition = nullptr;
ECANegation* fIsNoHighscoreCondition = nullptr;
ECAMachineType* fCoordinatorMachineType = nullptr;

ECAMessageAction* createPostAction(int eventID)
{
    return ECA::createMessageAction(ECAMessage(getEvent(eventID)));
}

void buildCoordinatorMachine()
{
    fEnterIntroAction = createPostAction(INTRO_ENTERED_EVENT_ID);
    fLeaveIntroAction = createPostAction(INTRO_LEFT_EVENT_ID);
    fEnterHallOfFameAction = createPostAction(HALL_OF_FAME_ENTERED_EVENT_ID);
    fLeaveHallOfFameAction = createPostAction(HALL_OF_FAME_LEFT_EVENT_ID);
    fEnterNameEntryAction = createPostAction(NAME_ENTRY_ENTERED_EVENT_ID);
    fLeaveNameEntryAction = createPostAction(NAME_ENTRY_LEFT_EVENT_ID);
    fEnterGameAction = createPostAction(GAME_ENTERED_EVENT_ID);
    fLeaveGameAction = createPostAction(GAME_LEFT_EVENT_ID);

    ECAProcess* none = ECA::nullProcess();
    fIntroState = ECA::createState(fEnterIntroAction, fLeaveIntroAction, none, SCREEN_DURATION);
    fHallOfFameState = ECA::createState(fEnterHallOfFameAction, fLeaveHallOfFameAction, none, SCREEN_DURATION);
    fNameEntryState = ECA::createState(fEnterNameEntryAction, fLeaveNameEntryAction, none, 0.0);
    fGameState = ECA::createState(fEnterGameAction, fLeaveGameAction, none, 0.0);
    fFinalState = ECA::createState(ECA::nullAction(), ECA::nullAction(), none, 0.0);

    fIsHighscoreCondition = createIsHighscoreCondition();
    fIsNoHighscoreCondition = ECA::createNegation(fIsHighscoreCondition);

    ECACondition* expired = ECA::stateIsExpired();
    ECACondition* always = ECA::tautology();
    ECAAction* nothing = ECA::nullAction();

    const std::set<ECAState*> states = {fIntroState, fHallOfFameState, fNameEntryState, fGameState, fFinalState};
    std::set<ECAEvent*> events;
    for (int eventID :
         {FRAME_EVENT_ID, QUIT_EVENT_ID, INTRO_ENTERED_EVENT_ID, INTRO_LEFT_EVENT_ID, HALL_OF_FAME_ENTERED_EVENT_ID,
          HALL_OF_FAME_LEFT_EVENT_ID, NAME_ENTRY_ENTERED_EVENT_ID, NAME_ENTRY_LEFT_EVENT_ID, RETURN_DOWN_EVENT_ID,
          GAME_OVER_EXPIRED_EVENT_ID, MOUSE_RELEASED_EVENT_ID})
        events.insert(getEvent(eventID));
    const std::set<ECACondition*> conditions = {expired, always, fIsHighscoreCondition, fIsNoHighscoreCondition};
    const std::set<ECAAction*> actions = {fEnterIntroAction,      fLeaveIntroAction,     fEnterHallOfFameAction,
                                          fLeaveHallOfFameAction, fEnterNameEntryAction, fLeaveNameEntryAction,
                                          fEnterGameAction,       fLeaveGameAction,      nothing};
    fCoordinatorMachineType = ECA::createMachineType(states, events, conditions, actions, fIntroState, fFinalState);

    struct Row
    {
        ECAState* from;
        int eventID;
        ECACondition* condition;
        ECAState* to;
    };
    // The machine tries the rows of a state and event in this order.
    const Row rows[] = {
        {fIntroState, FRAME_EVENT_ID, expired, fHallOfFameState},
        {fIntroState, MOUSE_RELEASED_EVENT_ID, always, fGameState},
        {fIntroState, QUIT_EVENT_ID, always, fFinalState},
        {fHallOfFameState, FRAME_EVENT_ID, expired, fIntroState},
        {fHallOfFameState, MOUSE_RELEASED_EVENT_ID, always, fGameState},
        {fHallOfFameState, QUIT_EVENT_ID, always, fFinalState},
        {fNameEntryState, RETURN_DOWN_EVENT_ID, always, fHallOfFameState},
        {fNameEntryState, QUIT_EVENT_ID, always, fFinalState},
        {fGameState, GAME_OVER_EXPIRED_EVENT_ID, fIsNoHighscoreCondition, fHallOfFameState},
        {fGameState, GAME_OVER_EXPIRED_EVENT_ID, fIsHighscoreCondition, fNameEntryState},
        {fGameState, QUIT_EVENT_ID, always, fFinalState},
    };
    for (const Row& row : rows)
        fCoordinatorMachineType->addTransition(
            ECATransition(row.from, getEvent(row.eventID), row.condition, nothing, row.to));
}

void destroyCoordinatorMachine()
{
    ECA::destroyMachineType(fCoordinatorMachineType);
    ECA::destroyNegation(fIsNoHighscoreCondition);
    deleteIsHighscoreCondition(fIsHighscoreCondition);
    for (ECAState* state : {fIntroState, fHallOfFameState, fNameEntryState, fGameState, fFinalState})
        ECA::destroyState(state);
    for (ECAMessageAction* action :
         {fEnterIntroAction, fLeaveIntroAction, fEnterHallOfFameAction, fLeaveHallOfFameAction, fEnterNameEntryAction,
          fLeaveNameEntryAction, fEnterGameAction, fLeaveGameAction})
        ECA::destroyMessageAction(action);
    fCoordinatorMachineType = nullptr;
    fIsNoHighscoreCondition = nullptr;
    fIsHighscoreCondition = nullptr;
    fIntroState = fHallOfFameState = fNameEntryState = fGameState = fFinalState = nullptr;
    fEnterIntroAction = fLeaveIntroAction = fEnterHallOfFameAction = fLeaveHallOfFameAction = nullptr;
    fEnterNameEntryAction = fLeaveNameEntryAction = fEnterGameAction = fLeaveGameAction = nullptr;
}

} // namespace

bool QLMCoordinatorHandler::onCharacter(EGCWindow&, std::uint32_t)
{
    DBG::pushTextLine("Character buffer: " + characterBuffer());
    return false;
}

bool isInitialized()
{
    return fCoordinatorHandler != nullptr;
}

void initializeCoordinator()
{
    DBG_ASSERT(!isInitialized());
    fCoordinatorHandler = new (std::nothrow) QLMCoordinatorHandler();
    DBG_ASSERT(fCoordinatorHandler);
    window()->addMessageHandler(fCoordinatorHandler);
    buildCoordinatorMachine();
    ECAMachine prototype(fCoordinatorMachineType);
    ECA::startMachine(prototype);
    DBG_ASSERT(isInitialized());
}

void shutdownCoordinator()
{
    DBG_ASSERT(isInitialized());
    destroyCoordinatorMachine();
    window()->removeMessageHandler(fCoordinatorHandler);
    delete fCoordinatorHandler;
    fCoordinatorHandler = nullptr;
}
