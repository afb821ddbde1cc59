#pragma once
// The debug console: two overlays for looking inside the running program. F2 toggles the time view, one graph per
// named timer of its last 100 mean durations, stacked up the right half of the screen; F1 toggles the trace view,
// the newest 30 debug text lines drawn upward from the bottom-left corner. Both start off, draw on the console draw
// event 4 (after the screens, before the menu) and end on the quit event 3.
//
// Each view is an ECA machine of its own type; the two types have the same shape (off, on, final).
//
// Depends on: the named timers and trace lines (foundation/timers.h), qlmevent, qlmgraphics (font 1, the space).

#include "foundation/eca.h"

#include <cstddef>
#include <deque>
#include <vector>

class DBGTimer;
class EGLLabel;
class EGLModel;
class EGLStream;
class EGLTransform;

/// Trace lines shown at most.
constexpr std::size_t TRACE_LINE_COUNT = 30;

/// The graph of one timer in an 800 by 150 frame: durations of 20 ms or more reach the top. Its lower-left corner
/// is at the current transform's origin.
class QLMTimeGraph
{
public:
    QLMTimeGraph();
    QLMTimeGraph(const QLMTimeGraph&) = delete;
    QLMTimeGraph& operator=(const QLMTimeGraph&) = delete;
    ~QLMTimeGraph() noexcept(false);

    /// Redraws the curve from the timer's history and names the graph after the timer.
    void update(const DBGTimer& timer);
    /// Draws the frame, the curve and the name; inside a scene.
    void draw();

    const EGLStream* curveStream() const { return fCurveStream; }
    const EGLLabel* label() const { return fLabel; }

    bool invariant() const;

private:
    EGLStream* fFrameStream;
    EGLModel* fFrameModel;
    EGLStream* fCurveStream;
    EGLModel* fCurveModel;
    EGLLabel* fLabel;
};

/// A view of the console: updated once per tick while on, drawn on each console draw event while on.
class QLMConsoleMachine : public ECAMachine
{
public:
    explicit QLMConsoleMachine(ECAMachineType* machineType) : ECAMachine(machineType) {}
    virtual void update() = 0;
    virtual void draw() = 0;
    ECACloneable* clone() const override = 0;
};

/// One graph per named timer, bound by position in the timers' order.
class QLMTimeMachine final : public QLMConsoleMachine
{
public:
    explicit QLMTimeMachine(ECAMachineType* machineType);
    QLMTimeMachine(const QLMTimeMachine&) = delete;
    QLMTimeMachine& operator=(const QLMTimeMachine&) = delete;
    ~QLMTimeMachine() override;

    /// A new time machine of the same type, without graphs.
    ECACloneable* clone() const override;
    /// As many graphs as timers, each redrawn from its timer.
    void update() override;
    /// The graphs from the bottom of the right half upwards.
    void draw() override;

    const std::vector<QLMTimeGraph*>& graphs() const { return fGraphs; }

    bool invariant() const;

private:
    EGLTransform* fTransform;
    std::vector<QLMTimeGraph*> fGraphs;
};

/// The newest trace lines as labels, oldest first.
class QLMTraceMachine final : public QLMConsoleMachine
{
public:
    explicit QLMTraceMachine(ECAMachineType* machineType);
    QLMTraceMachine(const QLMTraceMachine&) = delete;
    QLMTraceMachine& operator=(const QLMTraceMachine&) = delete;
    ~QLMTraceMachine() override;

    /// A new trace machine of the same type, without lines.
    ECACloneable* clone() const override;
    /// Takes every waiting trace line and keeps the newest TRACE_LINE_COUNT.
    void update() override;
    /// The lines from the bottom-left corner upwards, newest at the bottom.
    void draw() override;

    const std::deque<EGLLabel*>& lines() const { return fLines; }

    bool invariant() const;

private:
    EGLTransform* fTransform;
    std::deque<EGLLabel*> fLines;
};

/// Builds and starts the time view and the trace view, both off.
void initializeConsole();
/// Destroys both views' machine types and parts. Their machines must have ended.
void shutdownConsole();
