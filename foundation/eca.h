#pragma once
// ECA: event-condition-action state machines, on which every screen of the game runs.
//
// The parts (events, states, actions, processes, conditions) are made by the factories below and kept in
// registries until destroyed. A machine type combines parts with a transition table; ECA::startMachine runs a clone
// of a prototype machine of a type. Everything talks to machines through the global message queue, which
// ECA::update drains once per frame. One thread; nothing here takes locks.
//
// Counted references (ECAReferenceCounted) record who refers to whom; they never destroy anything. Whoever creates
// a part destroys it, after the machine types that refer to it.

#include "foundation/refcount.h"

#include <cstddef>
#include <map>
#include <set>
#include <utility>
#include <vector>

class ECAMachine;
class ECAMachineType;

namespace ECA
{
ECAMachine* startMachine(const ECAMachine& prototype);
void update(double elapsedSeconds);
void retireFinishedMachines();
} // namespace ECA

/// Second base of the parts that can be copied: actions, processes, conditions and machines.
class ECACloneable
{
public:
    virtual ~ECACloneable() noexcept(false) = default;
    /// A new object equal to this one, allocated on the heap and owned by the caller, who converts it back to its
    /// class. Clones share the objects their source refers to.
    virtual ECACloneable* clone() const = 0;
};

/// An event is its identity: events are compared by address.
class ECAEvent final : public ECAReferenceCounted
{
public:
    ECAEvent() = default;
    ECAEvent(const ECAEvent&) = delete;
    ECAEvent& operator=(const ECAEvent&) = delete;
};

/// Something done to a machine: on entering or leaving a state, or when a transition fires.
class ECAAction : public ECAReferenceCounted, public ECACloneable
{
public:
    virtual void execute(ECAMachine& machine) = 0;
};

/// Work done for a machine once per update while it stands in a state.
class ECAProcess : public ECAReferenceCounted, public ECACloneable
{
public:
    virtual void tick(ECAMachine& machine) = 0;
};

/// A guard of a transition.
class ECACondition : public ECAReferenceCounted, public ECACloneable
{
public:
    virtual bool evaluate(ECAMachine& machine) = 0;
};

/// A state: what happens on entry and exit, what runs while in it, and for how long it lasts (seconds; read only by
/// ECAStateIsExpired). Holds a counted reference to each of its three parts, none of which may be empty.
class ECAState final : public ECAReferenceCounted
{
public:
    ECAState(ECAAction* entryAction, ECAAction* exitAction, ECAProcess* process, double durationSeconds);
    ECAState(const ECAState&) = delete;
    ECAState& operator=(const ECAState&) = delete;
    ~ECAState() override;

    ECAAction* entryAction() const { return mEntryAction; }
    ECAAction* exitAction() const { return mExitAction; }
    ECAProcess* process() const { return mProcess; }
    /// Seconds.
    double duration() const { return mDuration; }

private:
    ECAAction* mEntryAction;
    ECAAction* mExitAction;
    ECAProcess* mProcess;
    double mDuration;
};

/// An event with its addressees. A message with both targets empty goes to every running machine; every message
/// this program makes is of that kind. Each non-empty pointer holds a counted reference.
class ECAMessage
{
public:
    /// A message of the given event to every running machine.
    explicit ECAMessage(ECAEvent* event);
    ECAMessage(const ECAMessage& other);
    ECAMessage& operator=(const ECAMessage& other);
    ~ECAMessage();

    ECAEvent* event() const { return mEvent; }
    ECAMachine* targetMachine() const { return mTargetMachine; }
    ECAMachineType* targetMachineType() const { return mTargetMachineType; }

private:
    // Each skips an empty pointer.
    void retainAll() const;
    void releaseAll() const;

    ECAEvent* mEvent;
    ECAMachine* mTargetMachine = nullptr;
    ECAMachineType* mTargetMachineType = nullptr;
};

/// Does nothing. A singleton (ECA::nullAction) for states and transitions with nothing to do.
class ECANullAction final : public ECAAction
{
public:
    void execute(ECAMachine&) override {}
    /// Refuses: throws the Error "singleton ECANullAction can not be cloned.".
    ECACloneable* clone() const override;
};

/// Does nothing. A singleton (ECA::nullProcess) for states with nothing to run.
class ECANullProcess final : public ECAProcess
{
public:
    void tick(ECAMachine&) override {}
    /// Refuses: throws the Error "Singleton ECANullProcess can not be cloned.".
    ECACloneable* clone() const override;
};

/// Always true. A singleton (ECA::tautology) for unguarded transitions.
class ECATautology final : public ECACondition
{
public:
    bool evaluate(ECAMachine&) override { return true; }
    /// Refuses: throws the Error "Singleton ECATautology can not be cloned.".
    ECACloneable* clone() const override;
};

/// True once the machine's time in its current state has reached the state's duration; a state of duration 0 is
/// expired at once. A singleton (ECA::stateIsExpired).
class ECAStateIsExpired final : public ECACondition
{
public:
    bool evaluate(ECAMachine& machine) override;
    /// Refuses: throws the Error "Singleton ECAStateIsExpired can not be cloned.".
    ECACloneable* clone() const override;
};

/// The logical opposite of another condition, which it holds a counted reference to.
class ECANegation final : public ECACondition
{
public:
    explicit ECANegation(ECACondition* condition);
    ECANegation(const ECANegation& other);
    ECANegation& operator=(const ECANegation&) = delete;
    ~ECANegation() override;

    bool evaluate(ECAMachine& machine) override;
    /// A new, unregistered negation of the same condition.
    ECACloneable* clone() const override;

private:
    ECACondition* mCondition;
};

/// Posts a copy of its message when executed; the executing machine is not used.
class ECAMessageAction final : public ECAAction
{
public:
    explicit ECAMessageAction(const ECAMessage& message) : mMessage(message) {}

    void execute(ECAMachine& machine) override;
    /// A new, unregistered message action with an equal message.
    ECACloneable* clone() const override;

    const ECAMessage& message() const { return mMessage; }

private:
    ECAMessage mMessage;
};

/// One row of a transition table: in state, on event, when condition holds, run action and go to next state.
/// A value holding a counted reference to each of its five parts, none of which may be empty.
class ECATransition
{
public:
    ECATransition(ECAState* state, ECAEvent* event, ECACondition* condition, ECAAction* action, ECAState* nextState);
    ECATransition(const ECATransition& other);
    ECATransition& operator=(const ECATransition& other);
    ~ECATransition();

    ECAState* state() const { return mState; }
    ECAEvent* event() const { return mEvent; }
    ECACondition* condition() const { return mCondition; }
    ECAAction* action() const { return mAction; }
    ECAState* nextState() const { return mNextState; }

private:
    void retainAll() const;
    void releaseAll() const;

    ECAState* mState;
    ECAEvent* mEvent;
    ECACondition* mCondition;
    ECAAction* mAction;
    ECAState* mNextState;
};

/// A fixed description of a machine: its vocabulary of parts (each holding a counted reference), its initial and
/// final states and its transition table.
class ECAMachineType final : public ECAReferenceCounted
{
public:
    ECAMachineType(const std::set<ECAState*>& states, const std::set<ECAEvent*>& events,
                   const std::set<ECACondition*>& conditions, const std::set<ECAAction*>& actions,
                   ECAState* initialState, ECAState* finalState);
    ECAMachineType(const ECAMachineType&) = delete;
    ECAMachineType& operator=(const ECAMachineType&) = delete;
    ~ECAMachineType() override;

    /// Adds the transition's row after any rows with the same state and event; the table keeps plain pointers.
    void addTransition(const ECATransition& transition);

    ECAState* initialState() const { return mInitialState; }
    ECAState* finalState() const { return mFinalState; }
    /// The running machines of this type, ordered by address.
    const std::set<ECAMachine*>& runningMachines() const { return mRunningMachines; }

private:
    friend class ECAMachine;
    friend ECAMachine* ECA::startMachine(const ECAMachine& prototype);
    friend void ECA::retireFinishedMachines();

    using Key = std::pair<ECAState*, ECAEvent*>;
    struct KeyOrder
    {
        bool operator()(const Key& a, const Key& b) const;
    };
    struct Outcome
    {
        ECACondition* condition;
        ECAAction* action;
        ECAState* nextState;
    };

    std::set<ECAState*> mStates;
    std::set<ECAEvent*> mEvents;
    std::set<ECACondition*> mConditions;
    std::set<ECAAction*> mActions;
    ECAState* mInitialState;
    ECAState* mFinalState;
    // A multimap keeps rows with equal keys in the order they were added.
    std::multimap<Key, Outcome, KeyOrder> mTransitions;
    std::set<ECAMachine*> mRunningMachines;
};

/// A machine of a type, in one state at a time; times are seconds. The game's machines derive from it, add their own
/// fields and override clone() to copy them.
class ECAMachine : public ECAReferenceCounted, public ECACloneable
{
public:
    /// A machine of the type, not started: no state and all times 0. Holds a counted reference to the type.
    explicit ECAMachine(ECAMachineType* machineType);
    /// Copies the type (counted), the state and the times.
    ECAMachine(const ECAMachine& other);
    ECAMachine& operator=(const ECAMachine&) = delete;
    ~ECAMachine() override;

    /// A new machine of the same type, not started.
    ECACloneable* clone() const override;

    /// Fires the first row for (current state, event) whose condition holds: exit action, row action, entry action
    /// of the next state, whose time then starts at 0. Does nothing when no row fires.
    void handleEvent(ECAEvent* event);

    /// Reference-counted validity and a machine type.
    bool isValid() const;

    ECAMachineType* machineType() const { return mMachineType; }
    /// Empty before the machine is started and after it is retired.
    ECAState* currentState() const { return mCurrentState; }
    /// Seconds of updates since the machine was started.
    double totalTime() const { return mTotalTime; }
    /// Seconds of updates since the current state was entered.
    double timeInState() const { return mTimeInState; }
    /// The current state's duration in seconds, copied on entering it.
    double duration() const { return mDuration; }

private:
    friend ECAMachine* ECA::startMachine(const ECAMachine& prototype);
    friend void ECA::update(double elapsedSeconds);
    friend void ECA::retireFinishedMachines();

    void enter(ECAState* state);

    ECAMachineType* mMachineType;
    ECAState* mCurrentState = nullptr;
    double mTotalTime = 0.0;
    double mTimeInState = 0.0;
    double mDuration = 0.0;
};

namespace ECA
{

/// A new registered event, owned by the caller until ECA::destroyEvent.
ECAEvent* createEvent();
/// Unregisters and destroys the event; no event: nothing.
void destroyEvent(ECAEvent* event);

/// A new registered state over the three parts (never empty: use the null singletons) lasting the given seconds.
ECAState* createState(ECAAction* entryAction, ECAAction* exitAction, ECAProcess* process, double durationSeconds);
/// Unregisters (when registered) and destroys the state; no state: nothing.
void destroyState(ECAState* state);

/// A new registered negation of the condition.
ECANegation* createNegation(ECACondition* condition);
/// Unregisters and destroys the negation; no negation: nothing.
void destroyNegation(ECANegation* negation);

/// A new registered action that posts a copy of the message.
ECAMessageAction* createMessageAction(const ECAMessage& message);
/// Unregisters and destroys the message action; none: nothing.
void destroyMessageAction(ECAMessageAction* messageAction);

/// The singletons, built on first use and destroyed at exit; they refuse to be cloned.
ECANullAction* nullAction();
ECANullProcess* nullProcess();
ECATautology* tautology();
ECAStateIsExpired* stateIsExpired();

/// A new registered machine type over copies of the four sets. Its parts must outlive it.
ECAMachineType* createMachineType(const std::set<ECAState*>& states, const std::set<ECAEvent*>& events,
                                  const std::set<ECACondition*>& conditions, const std::set<ECAAction*>& actions,
                                  ECAState* initialState, ECAState* finalState);
/// Unregisters and destroys the type, before its parts; no type: nothing.
void destroyMachineType(ECAMachineType* machineType);

/// Starts a clone of the prototype in its type's initial state (running the entry action) and returns it. ECA owns
/// the clone until it is retired; the prototype stays the caller's. Never called during ECA::update.
ECAMachine* startMachine(const ECAMachine& prototype);

/// Appends a copy of the message to the queue.
void postMessage(const ECAMessage& message);
/// Delivers one message to its targets among the given running machines, in their order.
void dispatchMessage(const ECAMessage& message, const std::vector<ECAMachine*>& machines);
/// Drops every queued message undelivered.
void clearMessages();

/// One step of every running machine, in this order: tick each machine's process; add the elapsed seconds to its
/// times; deliver queued messages, including those posted meanwhile, until the queue is empty; retire the machines
/// that stand in their final state.
void update(double elapsedSeconds);
/// Runs the final state's exit action of each machine standing in its final state, then destroys the machine.
/// The others keep their order.
void retireFinishedMachines();
/// The running machines in the order they were started.
const std::vector<ECAMachine*>& machines();
/// The events, states, negations, message actions and machine types made here and not yet destroyed.
std::size_t registeredObjects();

} // namespace ECA
