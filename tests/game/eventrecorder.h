#pragma once
// A running machine that writes down the ID of every game and key event it receives, in order. It needs the
// events open (initializeEvents) from its construction to its destruction.

#include "foundation/eca.h"
#include "game/qlmevent.h"

#include <memory>
#include <set>
#include <utility>
#include <vector>

class EventRecorder
{
public:
    EventRecorder()
    {
        fStopEvent = ECA::createEvent();
        fRecording = ECA::createState(ECA::nullAction(), ECA::nullAction(), ECA::nullProcess(), 0.0);
        fFinal = ECA::createState(ECA::nullAction(), ECA::nullAction(), ECA::nullProcess(), 0.0);
        std::set<ECAEvent*> events{fStopEvent};
        std::set<ECAAction*> actions{ECA::nullAction()};
        for (int id = QLMEventID::MIN_EVENT_ID; id < QLMEventID::MAX_EVENT_ID; ++id)
        {
            fActions.push_back(std::make_unique<Record>(fIDs, id));
            events.insert(getEvent(id));
            actions.insert(fActions.back().get());
        }
        fType = ECA::createMachineType({fRecording, fFinal}, events, {ECA::tautology()}, actions, fRecording, fFinal);
        for (int id = QLMEventID::MIN_EVENT_ID; id < QLMEventID::MAX_EVENT_ID; ++id)
            fType->addTransition(ECATransition(fRecording, getEvent(id), ECA::tautology(),
                                               fActions[id - QLMEventID::MIN_EVENT_ID].get(), fRecording));
        fType->addTransition(ECATransition(fRecording, fStopEvent, ECA::tautology(), ECA::nullAction(), fFinal));
        ECA::startMachine(ECAMachine(fType));
    }

    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;

    /// Stops the machine (delivering what is still queued) and destroys its parts.
    ~EventRecorder()
    {
        ECA::postMessage(ECAMessage(fStopEvent));
        ECA::update(0.0);
        ECA::destroyMachineType(fType);
        fActions.clear();
        ECA::destroyState(fRecording);
        ECA::destroyState(fFinal);
        ECA::destroyEvent(fStopEvent);
    }

    /// Delivers every queued message and returns the IDs received since the last call.
    std::vector<int> deliver()
    {
        ECA::update(0.0);
        return std::exchange(fIDs, {});
    }

private:
    class Record final : public ECAAction
    {
    public:
        Record(std::vector<int>& ids, int id) : fIDs(ids), fID(id) {}
        void execute(ECAMachine&) override { fIDs.push_back(fID); }
        ECACloneable* clone() const override { return new Record(*this); }

    private:
        std::vector<int>& fIDs;
        int fID;
    };

    std::vector<int> fIDs;
    std::vector<std::unique_ptr<Record>> fActions;
    ECAEvent* fStopEvent;
    ECAState* fRecording;
    ECAState* fFinal;
    ECAMachineType* fType;
};
