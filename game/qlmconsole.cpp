#include "game/qlmconsole.h"

#include "egl/egltext.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/timers.h"
#include "game/qlmclone.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlmscreenmachine.h"
#include "platform/egc.h"

#include <cstdint>
#include <new>
#include <set>
#include <string>

namespace
{

constexpr std::uint32_t CONSOLE_COLOR = 0xFFFF0000;
/// A graph's frame, space units.
constexpr float GRAPH_WIDTH = 800.0f;
constexpr float GRAPH_HEIGHT = 150.0f;
/// Durations from this on reach the top of a graph, seconds.
constexpr float GRAPH_TOP_SECONDS = 0.02f;
constexpr std::int32_t FRAME_VERTEX_COUNT = 5;
constexpr auto CURVE_VERTEX_COUNT = static_cast<std::int32_t>(TIMER_HISTORY_LENGTH);

EGLLabel* createConsoleLabel(const std::string& text)
{
    EGL* const egl = graphicsLibrary();
    return createLabel(egl, getFont(QLMFontID::SMALL_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING), text, 0.0f,
                       0.0f, CONSOLE_COLOR);
}

/// A red line strip over the stream's vertices, without blending.
EGLModel* createLineModel(EGLStream* stream)
{
    EGL* const egl = graphicsLibrary();
    return egl->createModel(stream, {0, stream->vertexCount()}, egl->primitiveType(EGL::LINE_STRIP),
                            egl->shadingMethod(EGL::FLAT_SHADING), egl->blendingMethod(EGL::NO_BLENDING),
                            egl->nullTexture());
}

EGLStream* createLineStream(std::int32_t vertexCount)
{
    EGL* const egl = graphicsLibrary();
    EGLStream* const stream = egl->createStream(EGL::COLOR_VERTICES, vertexCount, 0);
    egl->beginChange(stream);
    stream->setColors(0, {0, vertexCount},
                      std::vector<std::uint32_t>(static_cast<std::size_t>(vertexCount), CONSOLE_COLOR));
    egl->endChange(stream);
    return stream;
}

/// Ticks the view's machine: its update.
class QLMConsoleProcess final : public ECAProcess
{
public:
    void tick(ECAMachine& machine) override { static_cast<QLMConsoleMachine&>(machine).update(); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

/// Draws the view's machine.
class QLMConsoleDrawAction final : public ECAAction
{
public:
    void execute(ECAMachine& machine) override { static_cast<QLMConsoleMachine&>(machine).draw(); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

/// The machine type of one view and its parts: off until its key, then on until its key again; both end on quit.
template <class Machine>
class QLMConsoleView
{
public:
    /// The key-down event that toggles the view, and the names its creation checks report.
    QLMConsoleView(int keyEventID, const char* processName, const char* drawName)
        : fKeyEventID(keyEventID), fProcessName(processName), fDrawName(drawName)
    {
    }

    void build()
    {
        DBG_ASSERT(!isInitialized());
        ECAAction* const null = ECA::nullAction();
        ECACondition* const always = ECA::tautology();
        fOnProcess = created(new (std::nothrow) QLMConsoleProcess(), fProcessName);
        fDrawAction = created(new (std::nothrow) QLMConsoleDrawAction(), fDrawName);

        fOnState = ECA::createState(null, null, fOnProcess, 0.0);
        fOffState = ECA::createState(null, null, ECA::nullProcess(), 0.0);
        fFinalState = ECA::createState(null, null, ECA::nullProcess(), 0.0);

        ECAEvent* const quit = getEvent(QLMEventID::QUIT_EVENT_ID);
        ECAEvent* const key = getEvent(fKeyEventID);
        ECAEvent* const draw = getEvent(QLMEventID::DRAW_CONSOLE_EVENT_ID);
        fMachineType = ECA::createMachineType({fOnState, fOffState, fFinalState}, {quit, key, draw}, {always},
                                              {null, fDrawAction}, fOffState, fFinalState);
        addUnguardedTransition(fMachineType, fOffState, key, null, fOnState);
        addUnguardedTransition(fMachineType, fOnState, key, null, fOffState);
        addUnguardedTransition(fMachineType, fOnState, draw, fDrawAction, fOnState);
        addUnguardedTransition(fMachineType, fOnState, quit, null, fFinalState);
        addUnguardedTransition(fMachineType, fOffState, quit, null, fFinalState);
        DBG_ASSERT(isInitialized());
    }

    void start()
    {
        const Machine prototype(fMachineType);
        ECA::startMachine(prototype);
    }

    void destroy()
    {
        DBG_ASSERT(isInitialized());
        ECA::destroyMachineType(fMachineType);
        ECA::destroyState(fFinalState);
        ECA::destroyState(fOnState);
        ECA::destroyState(fOffState);
        delete fDrawAction;
        delete fOnProcess;
        fMachineType = nullptr;
        fOffState = fOnState = fFinalState = nullptr;
        fOnProcess = nullptr;
        fDrawAction = nullptr;
    }

    bool isInitialized() const
    {
        return fMachineType && fOffState && fOnState && fFinalState && fOnProcess && fDrawAction;
    }

private:
    int fKeyEventID;
    const char* fProcessName;
    const char* fDrawName;
    ECAMachineType* fMachineType = nullptr;
    ECAState* fOffState = nullptr;
    ECAState* fOnState = nullptr;
    ECAState* fFinalState = nullptr;
    QLMConsoleProcess* fOnProcess = nullptr;
    QLMConsoleDrawAction* fDrawAction = nullptr;
};

QLMConsoleView<QLMTimeMachine> fTimeView(QLMEventID::F2_DOWN_EVENT_ID, "mTimeMachineOnProcess", "mDrawTimeMachine");
QLMConsoleView<QLMTraceMachine> fTraceView(QLMEventID::F1_DOWN_EVENT_ID, "mTraceMachineOnProcess", "mDrawTraceMachine");

} // namespace

// Time graph ------------------------------------------------------------------------------------------------------

QLMTimeGraph::QLMTimeGraph()
    : fFrameStream(nullptr), fFrameModel(nullptr), fCurveStream(nullptr), fCurveModel(nullptr), fLabel(nullptr)
{
    EGL* const egl = graphicsLibrary();
    fFrameStream = createLineStream(FRAME_VERTEX_COUNT);
    egl->beginChange(fFrameStream);
    fFrameStream->setPositions(
        0, {0, FRAME_VERTEX_COUNT},
        {{0.0f, 0.0f}, {0.0f, GRAPH_HEIGHT}, {GRAPH_WIDTH, GRAPH_HEIGHT}, {GRAPH_WIDTH, 0.0f}, {0.0f, 0.0f}});
    egl->endChange(fFrameStream);
    fFrameModel = createLineModel(fFrameStream);
    fCurveStream = createLineStream(CURVE_VERTEX_COUNT);
    fCurveModel = createLineModel(fCurveStream);
    fLabel = createConsoleLabel("Timer");
    DBG_ASSERT(invariant());
}

QLMTimeGraph::~QLMTimeGraph() noexcept(false)
{
    DBG_ASSERT(invariant());
    destroyLabel(fLabel);
    EGL* const egl = graphicsLibrary();
    egl->destroy(fCurveModel);
    egl->destroy(fCurveStream);
    egl->destroy(fFrameModel);
    egl->destroy(fFrameStream);
}

void QLMTimeGraph::update(const DBGTimer& timer)
{
    const std::deque<double>& history = timer.timerHistory();
    const auto n = static_cast<std::int32_t>(history.size());
    const float step = GRAPH_WIDTH / static_cast<float>(n);
    std::vector<EGLVector> points;
    points.reserve(history.size());
    for (std::int32_t i = 0; i < n; ++i)
    {
        const float t = static_cast<float>(history[static_cast<std::size_t>(i)]);
        const float v = t > GRAPH_TOP_SECONDS ? GRAPH_TOP_SECONDS : t;
        points.push_back({static_cast<float>(i) * step, v * 50.0f * GRAPH_HEIGHT});
    }
    EGL* const egl = graphicsLibrary();
    egl->beginChange(fCurveStream);
    fCurveStream->setPositions(0, {0, n}, points);
    egl->endChange(fCurveStream);
    if (fLabel->text() != timer.timerName())
        fLabel->setText(timer.timerName());
}

void QLMTimeGraph::draw()
{
    EGL* const egl = graphicsLibrary();
    egl->drawModel(fFrameModel);
    egl->drawModel(fCurveModel);
    fLabel->drawLabel();
}

bool QLMTimeGraph::invariant() const
{
    return fFrameStream && fFrameModel && fCurveStream && fCurveModel && fLabel;
}

// Time view -------------------------------------------------------------------------------------------------------

QLMTimeMachine::QLMTimeMachine(ECAMachineType* machineType)
    : QLMConsoleMachine(machineType), fTransform(createTranslationTransform(graphicsLibrary(), {0.0f, 0.0f}))
{
}

QLMTimeMachine::~QLMTimeMachine()
{
    for (QLMTimeGraph* const graph : fGraphs)
        delete graph;
    graphicsLibrary()->destroy(fTransform);
}

ECACloneable* QLMTimeMachine::clone() const
{
    QLMTimeMachine* const clone = new (std::nothrow) QLMTimeMachine(machineType());
    DBG_ASSERT(clone);
    return clone;
}

void QLMTimeMachine::update()
{
    const std::set<DBGTimer*>& timers = DBG::timers();
    while (fGraphs.size() < timers.size())
    {
        QLMTimeGraph* const timeGraph = new (std::nothrow) QLMTimeGraph();
        DBG_ASSERT(timeGraph);
        fGraphs.push_back(timeGraph);
    }
    while (fGraphs.size() > timers.size())
    {
        delete fGraphs.back();
        fGraphs.pop_back();
    }
    // By position: a timer made or destroyed shifts the graphs after it.
    std::size_t i = 0;
    for (const DBGTimer* const timer : timers)
        fGraphs[i++]->update(*timer);
}

void QLMTimeMachine::draw()
{
    DBG_ASSERT(invariant());
    EGL* const egl = graphicsLibrary();
    EGLSpace* const space = getSpace();
    egl->beginScene(space);
    const float x = space->right() - GRAPH_WIDTH;
    float y = space->bottom();
    for (QLMTimeGraph* const graph : fGraphs)
    {
        changeTranslation(egl, fTransform, {x, y});
        egl->pushTransform(fTransform);
        graph->draw();
        egl->popTransform();
        y += GRAPH_HEIGHT;
    }
    egl->endScene();
}

bool QLMTimeMachine::invariant() const
{
    return fTransform && isValid();
}

// Trace view ------------------------------------------------------------------------------------------------------

QLMTraceMachine::QLMTraceMachine(ECAMachineType* machineType)
    : QLMConsoleMachine(machineType), fTransform(createTranslationTransform(graphicsLibrary(), {0.0f, 0.0f}))
{
}

QLMTraceMachine::~QLMTraceMachine()
{
    for (EGLLabel* const line : fLines)
        destroyLabel(line);
    graphicsLibrary()->destroy(fTransform);
}

ECACloneable* QLMTraceMachine::clone() const
{
    QLMTraceMachine* const clone = new (std::nothrow) QLMTraceMachine(machineType());
    DBG_ASSERT(clone);
    return clone;
}

void QLMTraceMachine::update()
{
    while (!DBG::textLinesEmpty())
    {
        // A label needs a character: an empty line keeps its place as a blank.
        const std::string& line = DBG::frontTextLine();
        fLines.push_back(createConsoleLabel(line.empty() ? " " : line));
        DBG::popTextLine();
    }
    while (fLines.size() > TRACE_LINE_COUNT)
    {
        destroyLabel(fLines.front());
        fLines.pop_front();
    }
}

void QLMTraceMachine::draw()
{
    DBG_ASSERT(invariant());
    EGL* const egl = graphicsLibrary();
    EGLSpace* const space = getSpace();
    egl->beginScene(space);
    const float x = space->left();
    float y = space->bottom();
    for (auto line = fLines.rbegin(); line != fLines.rend(); ++line)
    {
        changeTranslation(egl, fTransform, {x, y});
        egl->pushTransform(fTransform);
        (*line)->drawLabel();
        egl->popTransform();
        y += (*line)->labelHeight();
    }
    egl->endScene();
}

bool QLMTraceMachine::invariant() const
{
    return fTransform && isValid();
}

// The console -----------------------------------------------------------------------------------------------------

void initializeConsole()
{
    fTimeView.build();
    fTimeView.start();
    fTraceView.build();
    fTraceView.start();
}

void shutdownConsole()
{
    fTraceView.destroy();
    fTimeView.destroy();
}
