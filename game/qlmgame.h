#pragma once
// The game: its own state machine beside the coordinator's. It waits idle until the coordinator enters its game
// state (event 13), shows "Get ready", lets the player fire and reload, shows "Game over" when the shield
// collapses and falls back to idle when that label expires. Every playing state has a paused twin that the
// menu's open and close events (9, 10) switch to and from; paused states are drawn but not ticked.
//
// Depends on ECA, the event, input, sound and graphics modules, the score counter and the game's parts
// (qlmgamebody, qlmgameshield, qlmgamebullet, qlmgamegun, qlmgamesplod, qlmgamepill, qlmgameexplosion,
// qlmgamelabel, qlmgamescenery, qlmgameclock, qlmgametick).

#include "foundation/eca.h"

/// The machine's states.
namespace QLMGameStateID
{
constexpr int GAME_IDLE = 1;
constexpr int GET_READY = 2;
constexpr int GET_READY_PAUSED = 3;
constexpr int LOADED = 4;
constexpr int LOADED_PAUSED = 5;
constexpr int GAME_OVER = 6;
constexpr int GAME_OVER_PAUSED = 7;
constexpr int RELOADING = 8;
constexpr int RELOADING_PAUSED = 9;
constexpr int GAME_FINAL = 10;
} // namespace QLMGameStateID

/// The machine's conditions.
namespace QLMGameConditionID
{
constexpr int ALWAYS = 1;
constexpr int MOUSE_BUTTON_DOWN = 2;
constexpr int MOUSE_BUTTON_UP = 3;
constexpr int RELOAD_DUE = 4;
constexpr int SHIELD_TOO_SMALL = 5;
} // namespace QLMGameConditionID

/// The machine's actions.
namespace QLMGameActionID
{
constexpr int NO_ACTION = 1;
constexpr int TICK_ACTION = 2;
constexpr int DRAW_ACTION = 3;
constexpr int RESET_ACTION = 4;
constexpr int FIRE_ACTION = 5;
constexpr int RELOAD_ACTION = 6;
constexpr int START_ACTION = 7;
constexpr int GAME_OVER_ACTION = 8;
} // namespace QLMGameActionID

/// A condition of the game's machine, by ID; evaluating another ID throws the Error "Unknown conditionID".
class QLMGameCondition final : public ECACondition
{
public:
    explicit QLMGameCondition(int conditionID) : fConditionID(conditionID) {}
    bool evaluate(ECAMachine& machine) override;
    /// A new condition with the same ID, owned by the caller.
    ECACloneable* clone() const override;

private:
    int fConditionID;
};

/// An action of the game's machine, by ID; executing another ID throws the Error "Unknown action ID.".
class QLMGameAction final : public ECAAction
{
public:
    explicit QLMGameAction(int actionID) : fActionID(actionID) {}
    void execute(ECAMachine& machine) override;
    /// A new action with the same ID, owned by the caller.
    ECACloneable* clone() const override;

private:
    int fActionID;
};

/// The game's running machine.
class QLMGameMachine final : public ECAMachine
{
public:
    explicit QLMGameMachine(ECAMachineType* machineType) : ECAMachine(machineType) {}
    /// Requires the machine to be valid.
    ~QLMGameMachine() noexcept(false) override;
    /// A new machine of the same type, not started, owned by the caller.
    ECACloneable* clone() const override;
    /// The machine's validity.
    bool invariant() const { return isValid(); }
};

/// Builds the game's objects and its machine type and starts the machine in the idle state. Once per run.
void initializeGame();
/// Destroys what initializeGame made; the machine has retired itself on the quit event before.
void shutdownGame();
/// Whether initializeGame has run and shutdownGame not yet.
bool gameInvariant();
/// The running game machine (as ECA::startMachine returned it).
QLMGameMachine* gameMachine();
/// The state of the ID (1 to 10).
ECAState* gameState(int stateID);

/// Puts every object back for a new game: scenery angle, score, pointer, laser, clock, labels, gravity,
/// explosions, shield, pills and their timer, bullets and the clip.
void resetGame();
/// Draws the game inside one scene of the view space.
void drawGame();
/// Appends a shell at the back of the clip: the colour of the splod nearest the centre, or at even odds a
/// random one.
void reloadGun();
