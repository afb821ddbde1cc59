// ECA: parts, registries, machines, the message queue and the update step.

#include "foundation/eca.h"

#include "foundation/dbg.h"

#include <deque>
#include <functional>
#include <new>

namespace
{

void retain(ECAReferenceCounted* object)
{
    if (object)
        object->addReference();
}

void release(ECAReferenceCounted* object)
{
    if (object)
        object->removeReference();
}

template <class Part>
void retainEach(const std::set<Part*>& parts)
{
    for (Part* part : parts)
        part->addReference();
}

template <class Part>
void releaseEach(const std::set<Part*>& parts)
{
    for (Part* part : parts)
        part->removeReference();
}

// One registry per kind of object that a factory makes. Function-local, so that they exist whenever a factory is
// first called; at exit they free their nodes and destroy none of the objects still in them.
template <class Object>
std::set<Object*>& registry()
{
    static std::set<Object*> objects;
    return objects;
}

template <class Object>
void unregisterAndDestroy(Object* object)
{
    if (!object)
        return;
    registry<Object>().erase(object);
    delete object;
}

std::vector<ECAMachine*>& runningMachines()
{
    static std::vector<ECAMachine*> machines;
    return machines;
}

std::deque<ECAMessage>& messageQueue()
{
    static std::deque<ECAMessage> queue;
    return queue;
}

} // namespace

// ---- parts

ECAState::ECAState(ECAAction* entryAction, ECAAction* exitAction, ECAProcess* process, double durationSeconds)
    : mEntryAction(entryAction), mExitAction(exitAction), mProcess(process), mDuration(durationSeconds)
{
    mEntryAction->addReference();
    mExitAction->addReference();
    mProcess->addReference();
}

ECAState::~ECAState()
{
    mEntryAction->removeReference();
    mExitAction->removeReference();
    mProcess->removeReference();
}

ECACloneable* ECANullAction::clone() const
{
    DBG_ERROR("singleton ECANullAction can not be cloned.");
}

ECACloneable* ECANullProcess::clone() const
{
    DBG_ERROR("Singleton ECANullProcess can not be cloned.");
}

ECACloneable* ECATautology::clone() const
{
    DBG_ERROR("Singleton ECATautology can not be cloned.");
}

bool ECAStateIsExpired::evaluate(ECAMachine& machine)
{
    return machine.duration() <= machine.timeInState();
}

ECACloneable* ECAStateIsExpired::clone() const
{
    DBG_ERROR("Singleton ECAStateIsExpired can not be cloned.");
}

ECANegation::ECANegation(ECACondition* condition) : mCondition(condition)
{
    mCondition->addReference();
}

ECANegation::ECANegation(const ECANegation& other) : ECACondition(other), mCondition(other.mCondition)
{
    mCondition->addReference();
}

ECANegation::~ECANegation()
{
    mCondition->removeReference();
}

bool ECANegation::evaluate(ECAMachine& machine)
{
    return !mCondition->evaluate(machine);
}

ECACloneable* ECANegation::clone() const
{
    ECANegation* clone = new (std::nothrow) ECANegation(*this);
    DBG_ASSERT(clone);
    return clone;
}

void ECAMessageAction::execute(ECAMachine&)
{
    ECA::postMessage(mMessage);
}

ECACloneable* ECAMessageAction::clone() const
{
    ECAMessageAction* clone = new (std::nothrow) ECAMessageAction(*this);
    DBG_ASSERT(clone);
    return clone;
}

// ---- messages and transitions

ECAMessage::ECAMessage(ECAEvent* event) : mEvent(event)
{
    retainAll();
}

ECAMessage::ECAMessage(const ECAMessage& other)
    : mEvent(other.mEvent), mTargetMachine(other.mTargetMachine), mTargetMachineType(other.mTargetMachineType)
{
    retainAll();
}

ECAMessage& ECAMessage::operator=(const ECAMessage& other)
{
    if (this == &other)
        return *this;
    releaseAll();
    mEvent = other.mEvent;
    mTargetMachine = other.mTargetMachine;
    mTargetMachineType = other.mTargetMachineType;
    retainAll();
    return *this;
}

ECAMessage::~ECAMessage()
{
    releaseAll();
}

void ECAMessage::retainAll() const
{
    retain(mEvent);
    retain(mTargetMachine);
    retain(mTargetMachineType);
}

void ECAMessage::releaseAll() const
{
    release(mEvent);
    release(mTargetMachine);
    release(mTargetMachineType);
}

ECATransition::ECATransition(ECAState* state, ECAEvent* event, ECACondition* condition, ECAAction* action,
                             ECAState* nextState)
    : mState(state), mEvent(event), mCondition(condition), mAction(action), mNextState(nextState)
{
    DBG_ASSERT(state && event && condition && action && nextState);
    retainAll();
}

ECATransition::ECATransition(const ECATransition& other)
    : mState(other.mState), mEvent(other.mEvent), mCondition(other.mCondition), mAction(other.mAction),
      mNextState(other.mNextState)
{
    retainAll();
}

ECATransition& ECATransition::operator=(const ECATransition& other)
{
    if (this == &other)
        return *this;
    releaseAll();
    mState = other.mState;
    mEvent = other.mEvent;
    mCondition = other.mCondition;
    mAction = other.mAction;
    mNextState = other.mNextState;
    retainAll();
    return *this;
}

ECATransition::~ECATransition()
{
    releaseAll();
}

void ECATransition::retainAll() const
{
    mState->addReference();
    mEvent->addReference();
    mCondition->addReference();
    mAction->addReference();
    mNextState->addReference();
}

void ECATransition::releaseAll() const
{
    mState->removeReference();
    mEvent->removeReference();
    mCondition->removeReference();
    mAction->removeReference();
    mNextState->removeReference();
}

// ---- machine types and machines

bool ECAMachineType::KeyOrder::operator()(const Key& a, const Key& b) const
{
    // std::less gives a total order on pointers where the built-in < need not.
    if (a.first != b.first)
        return std::less<ECAState*>()(a.first, b.first);
    return std::less<ECAEvent*>()(a.second, b.second);
}

ECAMachineType::ECAMachineType(const std::set<ECAState*>& states, const std::set<ECAEvent*>& events,
                               const std::set<ECACondition*>& conditions, const std::set<ECAAction*>& actions,
                               ECAState* initialState, ECAState* finalState)
    : mStates(states), mEvents(events), mConditions(conditions), mActions(actions), mInitialState(initialState),
      mFinalState(finalState)
{
    retainEach(mStates);
    retainEach(mEvents);
    retainEach(mConditions);
    retainEach(mActions);
}

ECAMachineType::~ECAMachineType()
{
    releaseEach(mStates);
    releaseEach(mEvents);
    releaseEach(mConditions);
    releaseEach(mActions);
}

void ECAMachineType::addTransition(const ECATransition& transition)
{
    // Inserting into a multimap places the row after the rows already there with an equal key.
    mTransitions.insert({{transition.state(), transition.event()},
                         {transition.condition(), transition.action(), transition.nextState()}});
}

ECAMachine::ECAMachine(ECAMachineType* machineType) : mMachineType(machineType)
{
    mMachineType->addReference();
}

ECAMachine::ECAMachine(const ECAMachine& other)
    : ECAReferenceCounted(other), ECACloneable(other), mMachineType(other.mMachineType),
      mCurrentState(other.mCurrentState), mTotalTime(other.mTotalTime), mTimeInState(other.mTimeInState),
      mDuration(other.mDuration)
{
    mMachineType->addReference();
}

ECAMachine::~ECAMachine()
{
    mMachineType->removeReference();
}

ECACloneable* ECAMachine::clone() const
{
    ECAMachine* clone = new (std::nothrow) ECAMachine(mMachineType);
    DBG_ASSERT(clone);
    return clone;
}

bool ECAMachine::isValid() const
{
    return ECAReferenceCounted::isValid() && mMachineType;
}

void ECAMachine::enter(ECAState* state)
{
    mTimeInState = 0.0;
    mCurrentState = state;
    mDuration = state->duration();
    state->entryAction()->execute(*this);
}

void ECAMachine::handleEvent(ECAEvent* event)
{
    const auto [first, last] = mMachineType->mTransitions.equal_range({mCurrentState, event});
    for (auto row = first; row != last; ++row)
    {
        const ECAMachineType::Outcome outcome = row->second;
        if (!outcome.condition->evaluate(*this))
            continue;
        mCurrentState->exitAction()->execute(*this);
        outcome.action->execute(*this);
        enter(outcome.nextState);
        return;
    }
}

// ---- factories and the running of machines

ECAEvent* ECA::createEvent()
{
    ECAEvent* event = new (std::nothrow) ECAEvent();
    DBG_ASSERT(event);
    registry<ECAEvent>().insert(event);
    return event;
}

void ECA::destroyEvent(ECAEvent* event)
{
    unregisterAndDestroy(event);
}

ECAState* ECA::createState(ECAAction* entryAction, ECAAction* exitAction, ECAProcess* process, double durationSeconds)
{
    ECAState* state = new (std::nothrow) ECAState(entryAction, exitAction, process, durationSeconds);
    DBG_ASSERT(state);
    registry<ECAState>().insert(state);
    return state;
}

void ECA::destroyState(ECAState* state)
{
    unregisterAndDestroy(state);
}

ECANegation* ECA::createNegation(ECACondition* condition)
{
    ECANegation* negation = new (std::nothrow) ECANegation(condition);
    DBG_ASSERT(negation);
    registry<ECANegation>().insert(negation);
    return negation;
}

void ECA::destroyNegation(ECANegation* negation)
{
    unregisterAndDestroy(negation);
}

ECAMessageAction* ECA::createMessageAction(const ECAMessage& message)
{
    ECAMessageAction* messageAction = new (std::nothrow) ECAMessageAction(message);
    DBG_ASSERT(messageAction);
    registry<ECAMessageAction>().insert(messageAction);
    return messageAction;
}

void ECA::destroyMessageAction(ECAMessageAction* messageAction)
{
    unregisterAndDestroy(messageAction);
}

ECANullAction* ECA::nullAction()
{
    static ECANullAction action;
    return &action;
}

ECANullProcess* ECA::nullProcess()
{
    static ECANullProcess process;
    return &process;
}

ECATautology* ECA::tautology()
{
    static ECATautology condition;
    return &condition;
}

ECAStateIsExpired* ECA::stateIsExpired()
{
    static ECAStateIsExpired condition;
    return &condition;
}

ECAMachineType* ECA::createMachineType(const std::set<ECAState*>& states, const std::set<ECAEvent*>& events,
                                       const std::set<ECACondition*>& conditions, const std::set<ECAAction*>& actions,
                                       ECAState* initialState, ECAState* finalState)
{
    ECAMachineType* machineType =
        new (std::nothrow) ECAMachineType(states, events, conditions, actions, initialState, finalState);
    DBG_ASSERT(machineType);
    registry<ECAMachineType>().insert(machineType);
    return machineType;
}

void ECA::destroyMachineType(ECAMachineType* machineType)
{
    unregisterAndDestroy(machineType);
}

ECAMachine* ECA::startMachine(const ECAMachine& prototype)
{
    ECAMachine* machine = dynamic_cast<ECAMachine*>(prototype.clone());
    DBG_ASSERT(machine);
    // The entry action runs before the machine is listed: a message it posts reaches the new machine only when the
    // queue is next drained.
    machine->enter(machine->mMachineType->mInitialState);
    runningMachines().push_back(machine);
    machine->addReference();
    machine->mMachineType->mRunningMachines.insert(machine);
    return machine;
}

void ECA::postMessage(const ECAMessage& message)
{
    messageQueue().push_back(message);
}

void ECA::dispatchMessage(const ECAMessage& message, const std::vector<ECAMachine*>& machines)
{
    ECAEvent* event = message.event();
    ECAMachine* targetMachine = message.targetMachine();
    ECAMachineType* targetMachineType = message.targetMachineType();
    if (targetMachineType && targetMachine)
    {
        targetMachine->handleEvent(event);
    }
    else if (targetMachineType)
    {
        for (ECAMachine* machine : targetMachineType->runningMachines())
            machine->handleEvent(event);
    }
    else
    {
        DBG_CHECK(!targetMachine, "Unsupported message.");
        // By index: the vector is the live list of running machines.
        for (std::size_t i = 0; i < machines.size(); ++i)
            machines[i]->handleEvent(event);
    }
}

void ECA::clearMessages()
{
    messageQueue().clear();
}

void ECA::update(double elapsedSeconds)
{
    std::vector<ECAMachine*>& running = runningMachines();
    for (std::size_t i = 0; i < running.size(); ++i)
        running[i]->mCurrentState->process()->tick(*running[i]);
    for (ECAMachine* machine : running)
    {
        machine->mTotalTime += elapsedSeconds;
        machine->mTimeInState += elapsedSeconds;
    }

    // Messages posted while draining go to the back and are handled before the drain ends. The front message is
    // taken off the queue as a copy, which holds its references while it is delivered, so that an action may
    // clear or extend the queue safely.
    std::deque<ECAMessage>& queue = messageQueue();
    while (!queue.empty())
    {
        const ECAMessage message = queue.front();
        queue.pop_front();
        dispatchMessage(message, running);
    }

    retireFinishedMachines();
}

void ECA::retireFinishedMachines()
{
    std::vector<ECAMachine*>& running = runningMachines();
    std::vector<ECAMachine*> survivors;
    for (std::size_t i = 0; i < running.size(); ++i)
    {
        ECAMachine* machine = running[i];
        ECAState* finalState = machine->mMachineType->mFinalState;
        if (machine->mCurrentState != finalState)
        {
            survivors.push_back(machine);
            continue;
        }
        finalState->exitAction()->execute(*machine);
        machine->mCurrentState = nullptr;
        machine->mMachineType->mRunningMachines.erase(machine);
        machine->removeReference();
        delete machine;
    }
    running.swap(survivors);
}

const std::vector<ECAMachine*>& ECA::machines()
{
    return runningMachines();
}

std::size_t ECA::registeredObjects()
{
    return registry<ECAEvent>().size() + registry<ECAState>().size() + registry<ECANegation>().size() +
           registry<ECAMessageAction>().size() + registry<ECAMachineType>().size();
}
