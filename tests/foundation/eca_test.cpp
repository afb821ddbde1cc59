#include "foundation/eca.h"

#include "foundation/dbg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{

// Everything the test parts do goes into one log, as "machine:what".
std::vector<std::string> gLog;

// A machine of the game's kind: its own field, copied by its own clone.
class LabelledMachine final : public ECAMachine
{
public:
    LabelledMachine(ECAMachineType* type, std::string label) : ECAMachine(type), mLabel(std::move(label)) {}
    ECACloneable* clone() const override { return new LabelledMachine(*this); }
    const std::string& label() const { return mLabel; }

private:
    std::string mLabel;
};

std::string labelOf(ECAMachine& machine)
{
    const auto* labelled = dynamic_cast<LabelledMachine*>(&machine);
    return labelled ? labelled->label() : "?";
}

void note(ECAMachine& machine, const std::string& what)
{
    gLog.push_back(labelOf(machine) + ":" + what);
}

class LogAction final : public ECAAction
{
public:
    explicit LogAction(std::string text, std::function<void()> also = {}) : mText(std::move(text)), mAlso(also) {}
    void execute(ECAMachine& machine) override
    {
        note(machine, mText);
        if (mAlso)
            mAlso();
    }
    ECACloneable* clone() const override { return new LogAction(*this); }

private:
    std::string mText;
    std::function<void()> mAlso;
};

// Logs each tick with the time in state that it sees, in milliseconds.
class LogProcess final : public ECAProcess
{
public:
    void tick(ECAMachine& machine) override
    {
        note(machine, "tick@" + std::to_string(static_cast<int>(machine.timeInState() * 1000.0 + 0.5)));
    }
    ECACloneable* clone() const override { return new LogProcess(*this); }
};

class LogCondition final : public ECACondition
{
public:
    LogCondition(std::string name, bool value) : mName(std::move(name)), mValue(value) {}
    bool evaluate(ECAMachine& machine) override
    {
        note(machine, "eval " + mName);
        return mValue;
    }
    ECACloneable* clone() const override { return new LogCondition(*this); }

private:
    std::string mName;
    bool mValue;
};

using Log = std::vector<std::string>;

} // namespace

// Builds parts and types for a test and destroys them afterwards in the order the library requires: types, then
// parts. A test must leave no machine running.
class ECAFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_TRUE(ECA::machines().empty()) << "a test left a machine running";
        ECA::clearMessages();
        for (ECAMachineType* type : mTypes)
            ECA::destroyMachineType(type);
        for (ECAState* state : mStates)
            ECA::destroyState(state);
        for (ECAEvent* event : mEvents)
            ECA::destroyEvent(event);
        while (!mParts.empty()) // newest first: a directly built state refers to older parts
            mParts.pop_back();
        gLog.clear();
    }

    ECAEvent* event()
    {
        mEvents.push_back(ECA::createEvent());
        return mEvents.back();
    }

    template <class Part, class... Arguments>
    Part* part(Arguments&&... arguments)
    {
        mParts.push_back(std::make_unique<Part>(std::forward<Arguments>(arguments)...));
        return static_cast<Part*>(mParts.back().get());
    }

    LogAction* action(const std::string& text, std::function<void()> also = {})
    {
        return part<LogAction>(text, std::move(also));
    }

    /// A state that logs "enter name" and "exit name" and, when ticking, its ticks.
    ECAState* state(const std::string& name, double durationSeconds = 1.0, bool ticking = false)
    {
        ECAProcess* process = ticking ? static_cast<ECAProcess*>(part<LogProcess>()) : ECA::nullProcess();
        mStates.push_back(ECA::createState(action("enter " + name), action("exit " + name), process, durationSeconds));
        return mStates.back();
    }

    ECAMachineType* type(ECAState* initial, ECAState* final)
    {
        mTypes.push_back(ECA::createMachineType({initial, final}, {}, {}, {}, initial, final));
        return mTypes.back();
    }

    static void row(ECAMachineType* type, ECAState* from, ECAEvent* on, ECAState* to, ECAAction* action = nullptr,
                    ECACondition* when = nullptr)
    {
        type->addTransition(
            ECATransition(from, on, when ? when : ECA::tautology(), action ? action : ECA::nullAction(), to));
    }

    static ECAMachine* start(ECAMachineType* type, const std::string& label)
    {
        return ECA::startMachine(LabelledMachine(type, label));
    }

    static void post(ECAEvent* event) { ECA::postMessage(ECAMessage(event)); }

    std::vector<ECAEvent*> mEvents;
    std::vector<ECAState*> mStates;
    std::vector<ECAMachineType*> mTypes;
    std::vector<std::unique_ptr<ECAReferenceCounted>> mParts;
};

// ---- parts

TEST(ECAParts, SingletonsAreSharedAndRefuseCloningWithTheirOwnMessages)
{
    EXPECT_EQ(ECA::nullAction(), ECA::nullAction());
    EXPECT_EQ(ECA::nullProcess(), ECA::nullProcess());
    EXPECT_EQ(ECA::tautology(), ECA::tautology());
    EXPECT_EQ(ECA::stateIsExpired(), ECA::stateIsExpired());

    struct Case
    {
        const ECACloneable* singleton;
        const char* message;
    };
    const Case cases[] = {
        {ECA::nullAction(), "singleton ECANullAction can not be cloned."},
        {ECA::nullProcess(), "Singleton ECANullProcess can not be cloned."},
        {ECA::tautology(), "Singleton ECATautology can not be cloned."},
        {ECA::stateIsExpired(), "Singleton ECAStateIsExpired can not be cloned."},
    };
    for (const Case& c : cases)
    {
        try
        {
            delete c.singleton->clone();
            ADD_FAILURE() << "cloned: " << c.message;
        }
        catch (const DBGException& exception)
        {
            EXPECT_STREQ(exception.kind(), "Error");
            EXPECT_STREQ(exception.description(), c.message);
        }
    }
}

TEST(ECAParts, StateHoldsReferencesToItsPartsUntilDestroyedRegisteredOrNot)
{
    LogAction entry("entry");
    LogProcess process;
    const std::size_t before = ECA::registeredObjects();
    ECAState* registered = ECA::createState(&entry, &entry, &process, 2.5);
    EXPECT_EQ(ECA::registeredObjects(), before + 1);
    EXPECT_EQ(registered->duration(), 2.5);
    EXPECT_EQ(entry.referenceCount(), 2);
    EXPECT_EQ(process.referenceCount(), 1);

    ECA::destroyState(new ECAState(&entry, &entry, &process, 0.0)); // never registered: still destroyed
    EXPECT_EQ(entry.referenceCount(), 2);
    EXPECT_EQ(ECA::registeredObjects(), before + 1) << "only what the factories made is counted";
    ECA::destroyState(registered);
    EXPECT_EQ(ECA::registeredObjects(), before);
    EXPECT_EQ(entry.referenceCount(), 0);
    EXPECT_EQ(process.referenceCount(), 0);

    ECA::destroyState(nullptr);
    ECA::destroyEvent(nullptr);
    ECA::destroyNegation(nullptr);
    ECA::destroyMessageAction(nullptr);
    ECA::destroyMachineType(nullptr);
}

TEST(ECAParts, NegationInvertsAndItsCloneSharesTheInnerCondition)
{
    ECAMachineType* type = ECA::createMachineType({}, {}, {}, {}, nullptr, nullptr);
    {
        ECAMachine machine(type);
        ECANegation* notTrue = ECA::createNegation(ECA::tautology());
        ECANegation* notNotTrue = ECA::createNegation(notTrue);
        EXPECT_FALSE(notTrue->evaluate(machine));
        EXPECT_TRUE(notNotTrue->evaluate(machine));
        EXPECT_EQ(notTrue->referenceCount(), 1);

        const std::int32_t sharedCount = ECA::tautology()->referenceCount();
        auto* clone = dynamic_cast<ECANegation*>(notTrue->clone());
        ASSERT_NE(clone, nullptr);
        EXPECT_FALSE(clone->evaluate(machine));
        EXPECT_EQ(clone->referenceCount(), 0) << "a clone is a new object";
        EXPECT_EQ(ECA::tautology()->referenceCount(), sharedCount + 1) << "the clone negates the same condition";
        delete clone;
        EXPECT_EQ(ECA::tautology()->referenceCount(), sharedCount);

        ECA::destroyNegation(notNotTrue);
        EXPECT_EQ(notTrue->referenceCount(), 0);
        ECA::destroyNegation(notTrue);
    }
    ECA::destroyMachineType(type);
}

TEST_F(ECAFixture, MessageActionPostsACopyOfItsMessageEachTimeItRuns)
{
    ECAEvent* ping = event();
    ECAState* idle = state("idle");
    ECAMachineType* machineType = type(idle, idle);
    ECAMessageAction* send = ECA::createMessageAction(ECAMessage(ping));
    EXPECT_EQ(ping->referenceCount(), 1) << "the held message refers to its event";

    auto* clone = dynamic_cast<ECAMessageAction*>(send->clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->message().event(), ping);
    EXPECT_EQ(clone->message().targetMachine(), nullptr);
    EXPECT_EQ(clone->message().targetMachineType(), nullptr);
    delete clone;

    ECAState* listening = state("listening");
    ECAMachineType* listener = type(listening, idle);
    row(listener, listening, ping, listening, action("pong"));
    start(listener, "L");
    {
        ECAMachine sender(machineType);
        send->execute(sender);
        send->execute(sender);
    }
    ECA::update(0.0);
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "L:pong"), 2);

    ECA::destroyMessageAction(send);
    EXPECT_EQ(ping->referenceCount(), 0);

    ECAEvent* quit = event();
    row(listener, listening, quit, idle);
    post(quit);
    ECA::update(0.0);
}

// ---- machines

TEST_F(ECAFixture, StartRunsTheInitialEntryActionOnTheCloneAndListsMachinesInStartOrder)
{
    ECAEvent* go = event();
    ECAState* begin = state("begin", 0.75);
    ECAState* end = state("end");
    ECAMachineType* first = type(begin, end);
    ECAMachineType* second = type(begin, end);
    row(first, begin, go, end);
    row(second, begin, go, end);

    const LabelledMachine prototype(second, "B");
    ECAMachine* b = ECA::startMachine(prototype);
    ECAMachine* a = start(first, "A");
    EXPECT_NE(b, &prototype);
    EXPECT_EQ(labelOf(*b), "B") << "the prototype's own clone was used";
    EXPECT_EQ(b->currentState(), begin);
    EXPECT_EQ(b->duration(), 0.75);
    EXPECT_EQ(b->referenceCount(), 1);
    EXPECT_EQ(prototype.currentState(), nullptr) << "the prototype stays as it was";
    EXPECT_EQ(ECA::machines(), (std::vector<ECAMachine*>{b, a}));
    EXPECT_EQ(second->runningMachines(), (std::set<ECAMachine*>{b}));
    EXPECT_EQ(gLog, (Log{"B:enter begin", "A:enter begin"}));

    post(go);
    ECA::update(0.0);
    EXPECT_TRUE(ECA::machines().empty());
    EXPECT_TRUE(first->runningMachines().empty());
}

TEST_F(ECAFixture, MessagePostedByAnEntryActionAtStartIsHandledAtTheNextDrain)
{
    ECAEvent* ready = event();
    ECAState* done = state("done");
    ECAState* waiting =
        part<ECAState>(action("enter waiting", [ready] { post(ready); }), ECA::nullAction(), ECA::nullProcess(), 1.0);
    ECAMachineType* machineType = type(waiting, done);
    row(machineType, waiting, ready, done);

    ECAMachine* machine = start(machineType, "M");
    EXPECT_EQ(machine->currentState(), waiting);
    ECA::update(0.0);
    EXPECT_EQ(gLog, (Log{"M:enter waiting", "M:enter done", "M:exit done"}));
    EXPECT_TRUE(ECA::machines().empty());
}

TEST_F(ECAFixture, UpdateTicksBeforeAddingTimeAndTransitionsRestartOnlyTheTimeInState)
{
    ECAEvent* next = event();
    ECAEvent* quit = event();
    ECAState* one = state("one", 1.0, true);
    ECAState* two = state("two", 1.0, true);
    ECAState* end = state("end");
    ECAMachineType* machineType = type(one, end);
    row(machineType, one, next, two);
    row(machineType, two, quit, end);
    ECAMachine* machine = start(machineType, "M");

    ECA::update(0.25);
    ECA::update(0.5);
    EXPECT_EQ(machine->totalTime(), 0.75);
    EXPECT_EQ(machine->timeInState(), 0.75);
    ECA::update(0.0);
    EXPECT_EQ(machine->totalTime(), 0.75) << "a step of 0 changes no time";

    post(next);
    ECA::update(0.125); // ticks in "one", then enters "two"
    EXPECT_EQ(machine->timeInState(), 0.0);
    EXPECT_EQ(machine->totalTime(), 0.875);
    ECA::update(0.125);
    EXPECT_EQ(gLog, (Log{"M:enter one", "M:tick@0", "M:tick@250", "M:tick@750", "M:tick@750", "M:exit one",
                         "M:enter two", "M:tick@0"}));

    post(quit);
    ECA::update(0.0);
}

TEST_F(ECAFixture, TransitionRunsExitThenItsActionThenEntryAlsoBackIntoTheSameState)
{
    ECAEvent* again = event();
    ECAEvent* quit = event();
    ECAState* loop = state("loop");
    ECAState* end = state("end");
    ECAMachineType* machineType = type(loop, end);
    row(machineType, loop, again, loop, action("again"));
    row(machineType, loop, quit, end, action("quit"));
    ECAMachine* machine = start(machineType, "M");

    ECA::update(0.5);
    post(again);
    ECA::update(0.0);
    EXPECT_EQ(machine->timeInState(), 0.0) << "re-entering restarts the time";
    post(quit);
    ECA::update(0.0);
    EXPECT_EQ(gLog, (Log{"M:enter loop", "M:exit loop", "M:again", "M:enter loop", "M:exit loop", "M:quit",
                         "M:enter end", "M:exit end"}));
}

TEST_F(ECAFixture, FirstAddedRowWhoseConditionHoldsFiresAndLaterRowsAreNotEvaluated)
{
    struct Case
    {
        bool first, second;
        Log expected;
    };
    const Case cases[] = {
        {true, true, {"M:eval first", "M:exit s", "M:via first", "M:enter end", "M:exit end"}},
        {false, true, {"M:eval first", "M:eval second", "M:exit s", "M:via second", "M:enter end", "M:exit end"}},
        {false, false, {"M:eval first", "M:eval second"}},
    };
    for (const Case& c : cases)
    {
        ECAEvent* go = event();
        ECAState* s = state("s");
        ECAState* end = state("end");
        ECAMachineType* machineType = type(s, end);
        row(machineType, s, go, end, action("via first"), part<LogCondition>("first", c.first));
        row(machineType, s, go, end, action("via second"), part<LogCondition>("second", c.second));
        start(machineType, "M");
        gLog.clear();

        post(go);
        ECA::update(0.0);
        EXPECT_EQ(gLog, c.expected) << c.first << c.second;
        if (!ECA::machines().empty())
        {
            row(machineType, s, go, end);
            post(go);
            ECA::update(0.0);
        }
    }
}

TEST_F(ECAFixture, EachMessageReachesAllMachinesInStartOrderBeforeTheNextIncludingThosePostedWhileDraining)
{
    ECAEvent* first = event();
    ECAEvent* second = event();
    ECAEvent* quit = event();
    ECAState* s = state("s");
    ECAState* end = state("end");
    ECAMachineType* poster = type(s, end);
    ECAMachineType* listener = type(s, end);
    for (ECAMachineType* machineType : {poster, listener})
    {
        row(machineType, s, second, s, action("second"));
        row(machineType, s, quit, end);
    }
    row(poster, s, first, s, action("first", [second] { post(second); }));
    row(listener, s, first, s, action("first"));

    // Start order rules, whatever the machines' addresses.
    start(poster, "P");
    start(listener, "L");
    gLog.clear();
    post(first);
    ECA::update(0.0);
    const Log handled = {"P:exit s", "P:first",  "P:enter s", "L:exit s", "L:first",  "L:enter s",
                         "P:exit s", "P:second", "P:enter s", "L:exit s", "L:second", "L:enter s"};
    EXPECT_EQ(gLog, handled);

    post(quit);
    ECA::update(0.0);
}

TEST_F(ECAFixture, MachineEnteringItsFinalStateKeepsReceivingThatUpdateThenIsRetiredWithTheExitAction)
{
    ECAEvent* finish = event();
    ECAEvent* later = event();
    ECAEvent* quit = event();
    ECAState* s = state("s");
    ECAState* end = state("end");
    ECAMachineType* stays = type(s, end);
    ECAMachineType* leaves = type(s, end);
    row(leaves, s, finish, end);
    row(leaves, end, later, end, action("later"));
    row(stays, s, quit, end);

    ECAMachine* a = start(stays, "A");
    start(leaves, "B");
    ECAMachine* c = start(stays, "C");
    gLog.clear();
    post(finish);
    post(later);
    ECA::update(0.0);
    EXPECT_EQ(gLog, (Log{"B:exit s", "B:enter end", "B:exit end", "B:later", "B:enter end", "B:exit end"}));
    EXPECT_EQ(ECA::machines(), (std::vector<ECAMachine*>{a, c})) << "survivors keep their order";
    EXPECT_TRUE(leaves->runningMachines().empty());
    EXPECT_EQ(leaves->referenceCount(), 0) << "the retired machine gave back its type";

    post(quit);
    ECA::update(0.0);
}

TEST_F(ECAFixture, MachineStartedInItsFinalStateIsRetiredAtTheEndOfTheNextUpdate)
{
    ECAState* only = state("only", 1.0, true);
    start(type(only, only), "M");
    EXPECT_EQ(ECA::machines().size(), 1u);
    ECA::update(0.0);
    EXPECT_EQ(gLog, (Log{"M:enter only", "M:tick@0", "M:exit only"}));
    EXPECT_TRUE(ECA::machines().empty());
}

TEST_F(ECAFixture, StateIsExpiredHoldsOnceTheTimeInStateReachesTheDurationAndOnlyWhenAnEventArrives)
{
    ECAEvent* poll = event();
    ECAState* timed = state("timed", 0.5);
    ECAState* instant = state("instant", 0.0);
    ECAState* end = state("end");
    ECAMachineType* machineType = type(timed, end);
    row(machineType, timed, poll, instant, nullptr, ECA::stateIsExpired());
    row(machineType, instant, poll, end, nullptr, ECA::stateIsExpired());
    ECAMachine* machine = start(machineType, "M");

    ECA::update(0.25);
    post(poll);
    ECA::update(0.0);
    EXPECT_EQ(machine->currentState(), timed);
    ECA::update(0.25); // exactly the duration, but no event
    EXPECT_EQ(machine->currentState(), timed);

    post(poll); // fires, and a state of duration 0 is expired at once
    post(poll);
    ECA::update(0.0);
    EXPECT_TRUE(ECA::machines().empty());
}

TEST_F(ECAFixture, ClearMessagesDropsQueuedMessagesUndeliveredAndReleasesTheirReferences)
{
    ECA::clearMessages();
    ECAEvent* go = event();
    ECAState* s = state("s");
    ECAState* end = state("end");
    ECAMachineType* machineType = type(s, end);
    row(machineType, s, go, end);
    ECAMachine* machine = start(machineType, "M");

    post(go);
    post(go);
    EXPECT_EQ(go->referenceCount(), 2) << "the table's row holds no reference, the two messages do";
    ECA::clearMessages();
    EXPECT_EQ(go->referenceCount(), 0);
    ECA::update(0.0);
    EXPECT_EQ(machine->currentState(), s);

    post(go);
    ECA::update(0.0);
}

TEST_F(ECAFixture, MachineTypeAndTransitionsHoldCountedReferences)
{
    ECAEvent* go = event();
    ECAState* s = state("s");
    ECAState* end = state("end");
    ECAAction* act = action("act");
    ECACondition* when = part<LogCondition>("when", true);
    ECAMachineType* machineType = ECA::createMachineType({s, end}, {go}, {when}, {act}, s, end);
    mTypes.push_back(machineType);
    EXPECT_EQ(s->referenceCount(), 1);
    EXPECT_EQ(go->referenceCount(), 1);
    EXPECT_EQ(when->referenceCount(), 1);
    EXPECT_EQ(act->referenceCount(), 1);
    {
        const ECATransition transition(s, go, when, act, end);
        ECATransition copy(transition);
        EXPECT_EQ(s->referenceCount(), 3);
        EXPECT_EQ(end->referenceCount(), 3);
        copy = ECATransition(end, go, ECA::tautology(), ECA::nullAction(), end);
        EXPECT_EQ(s->referenceCount(), 2);
        EXPECT_EQ(end->referenceCount(), 4) << "state and next state of the copy";
        const ECATransition& self = copy; // self-assignment through a second name: clang refuses "copy = copy"
        copy = self;
        EXPECT_EQ(end->referenceCount(), 4);
        machineType->addTransition(transition);
    }
    EXPECT_EQ(s->referenceCount(), 1) << "the table keeps plain pointers";
    EXPECT_EQ(act->referenceCount(), 1);

    ECAMachine* machine = start(machineType, "M");
    EXPECT_EQ(machineType->referenceCount(), 1);
    EXPECT_TRUE(machine->isValid());
    post(go);
    ECA::update(0.0);
    EXPECT_EQ(machineType->referenceCount(), 0);

    ECA::destroyMachineType(machineType);
    mTypes.pop_back();
    EXPECT_EQ(s->referenceCount(), 0);
    EXPECT_EQ(act->referenceCount(), 0);
}

TEST_F(ECAFixture, TransitionRefusesAnEmptyPart)
{
    ECAState* s = state("s");
    try
    {
        ECATransition transition(s, nullptr, ECA::tautology(), ECA::nullAction(), s);
        FAIL() << "built";
    }
    catch (const DBGException& exception)
    {
        EXPECT_STREQ(exception.description(), "state && event && condition && action && nextState");
    }
    EXPECT_EQ(s->referenceCount(), 0);
}
