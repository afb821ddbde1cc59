#include "game/qlmscreenmachine.h"

#include "foundation/timers.h"
#include "game/qlmclone.h"

QLMScreenMachine::QLMScreenMachine(ECAMachineType* machineType, const char* drawTimerName, const char* tickTimerName)
    : ECAMachine(machineType), fDrawTimerName(drawTimerName), fTickTimerName(tickTimerName),
      fDrawTimer(DBG::createTimer(drawTimerName)), fTickTimer(DBG::createTimer(tickTimerName))
{
}

QLMScreenMachine::QLMScreenMachine(const QLMScreenMachine& other)
    : ECAMachine(other), fDrawTimerName(other.fDrawTimerName), fTickTimerName(other.fTickTimerName),
      fDrawTimer(DBG::createTimer(fDrawTimerName)), fTickTimer(DBG::createTimer(fTickTimerName))
{
}

QLMScreenMachine::~QLMScreenMachine()
{
    DBG::destroyTimer(fTickTimer);
    DBG::destroyTimer(fDrawTimer);
}

ECACloneable* QLMScreenMachine::clone() const
{
    return cloneOf(*this);
}

void addUnguardedTransition(ECAMachineType* machineType, ECAState* from, ECAEvent* event, ECAAction* action,
                            ECAState* to)
{
    machineType->addTransition(ECATransition(from, event, ECA::tautology(), action, to));
}
