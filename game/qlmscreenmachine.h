#pragma once
// The machine of a screen that measures its tick and its draw with two named timers, which the debug console
// graphs, and the unguarded transitions the screens' tables are made of. Every copy (the clone that ECA runs included)
// makes a pair of its own and destroys it with itself.

#include "foundation/eca.h"

class DBGTimer;

/// Adds the transition from, on event, to to, running the action, with the tautology as its condition.
void addUnguardedTransition(ECAMachineType* machineType, ECAState* from, ECAEvent* event, ECAAction* action,
                            ECAState* to);

class QLMScreenMachine : public ECAMachine
{
public:
    /// A machine of the type with new timers of the two names (literals).
    QLMScreenMachine(ECAMachineType* machineType, const char* drawTimerName, const char* tickTimerName);
    QLMScreenMachine(const QLMScreenMachine& other);
    QLMScreenMachine& operator=(const QLMScreenMachine&) = delete;
    ~QLMScreenMachine() override;

    /// A new machine of the same type and timer names, not started.
    ECACloneable* clone() const override;

    DBGTimer& drawTimer() { return *fDrawTimer; }
    DBGTimer& tickTimer() { return *fTickTimer; }
    /// Both timers exist: from construction until destruction.
    bool timersExist() const { return fDrawTimer && fTickTimer; }

private:
    const char* fDrawTimerName;
    const char* fTickTimerName;
    DBGTimer* fDrawTimer;
    DBGTimer* fTickTimer;
};
