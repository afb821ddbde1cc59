#include "game/qlmconsole.h"

#include "egl/egltext.h"
#include "foundation/timers.h"
#include "tests/game/screentesting.h"

#include <cstddef>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

class ConsoleTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        while (!DBG::textLinesEmpty())
            DBG::popTextLine();
        initializeConsole();
    }

    void TearDown() override
    {
        post(QLMEventID::QUIT_EVENT_ID);
        shutdownConsole();
        ScreenTest::TearDown();
    }

    template <class Machine>
    static Machine& running()
    {
        for (ECAMachine* const machine : ECA::machines())
            if (auto* const found = dynamic_cast<Machine*>(machine))
                return *found;
        throw std::logic_error("not running");
    }

    static long long drawsOfAFrame()
    {
        hosttest::resetD3D8Counters();
        runFrame();
        return hosttest::d3d8Counters().draws;
    }
};

TEST_F(ConsoleTest, EachKeyDownTogglesItsViewAndTwoInOneFrameLeaveItAsItWas)
{
    DBGTimer* const timer = DBG::createTimer("Tick test"); // something to graph
    EXPECT_EQ(drawsOfAFrame(), 0) << "both start off";

    tapKey(VK_F2);
    runFrame();
    EXPECT_GT(drawsOfAFrame(), 0) << "time view on";
    EXPECT_FALSE(running<QLMTimeMachine>().graphs().empty());

    tapKey(VK_F2);
    tapKey(VK_F2);
    EXPECT_GT(drawsOfAFrame(), 0) << "two toggles in one frame";

    tapKey(VK_F2);
    runFrame();
    EXPECT_EQ(drawsOfAFrame(), 0) << "time view off";

    DBG::pushTextLine("a line");
    tapKey(VK_F1);
    EXPECT_EQ(drawsOfAFrame(), 0) << "in its first frame a view draws what its last update left: nothing yet";
    EXPECT_GT(drawsOfAFrame(), 0) << "trace view on";
    DBG::destroyTimer(timer);
}

TEST_F(ConsoleTest, AGraphPerTimerCurvesItsHistoryCappedAtTwentyMilliseconds)
{
    // Every clock reading advances the virtual clock by 30 ms: each measurement lasts 30 ms.
    hosttest::useVirtualClock(30'000'000);
    DBGTimer* const slow = DBG::createTimer("Slow timer");
    for (int i = 0; i < 10; ++i)
    {
        slow->startTimer();
        slow->stopTimer();
    }
    tapKey(VK_F2);
    runFrame();
    runFrame();
    hosttest::useRealClock();

    const QLMTimeMachine& view = running<QLMTimeMachine>();
    ASSERT_EQ(view.graphs().size(), DBG::timers().size());
    const QLMTimeGraph* graph = nullptr;
    for (const QLMTimeGraph* const g : view.graphs())
        if (g->label()->text() == "Slow timer")
            graph = g;
    ASSERT_NE(graph, nullptr) << "each graph is named after its timer";
    std::vector<EGLVector> points;
    graph->curveStream()->positions({0, 100}, points);
    ASSERT_EQ(points.size(), 100u);
    EXPECT_FLOAT_EQ(points.front().x, 0.0f);
    EXPECT_FLOAT_EQ(points.front().y, 0.0f) << "no measurement yet: the bottom edge";
    EXPECT_FLOAT_EQ(points.back().x, 792.0f);
    EXPECT_FLOAT_EQ(points.back().y, 150.0f) << "30 ms reaches the top and no further";

    const std::size_t graphs = view.graphs().size();
    DBG::destroyTimer(slow);
    runFrame();
    EXPECT_EQ(view.graphs().size(), graphs - 1) << "graphs follow the timers";
}

TEST_F(ConsoleTest, TheTraceViewKeepsTheNewestThirtyLinesAndTakesThemOnlyWhileOn)
{
    for (int i = 1; i <= 40; ++i)
        DBG::pushTextLine("line " + std::to_string(i));
    DBG::pushTextLine("");
    runFrame();
    EXPECT_FALSE(DBG::textLinesEmpty()) << "lines wait while the view is off";

    tapKey(VK_F1);
    runFrame();
    runFrame();
    EXPECT_TRUE(DBG::textLinesEmpty());
    const std::deque<EGLLabel*>& lines = running<QLMTraceMachine>().lines();
    ASSERT_EQ(lines.size(), TRACE_LINE_COUNT);
    EXPECT_EQ(lines.front()->text(), "line 12");
    EXPECT_EQ(lines[TRACE_LINE_COUNT - 2]->text(), "line 40");
    EXPECT_EQ(lines.back()->text(), " ") << "an empty line shows as a blank";

    // The newest line at the bottom-left corner, in red.
    const hosttest::PresentedFrame& frame = hosttest::lastPresentedFrame();
    bool red = false;
    for (int y = frame.height - 40; y < frame.height; ++y)
        for (int x = 0; x < 200; ++x)
            red = red || (frame.at(x, y) & 0x00FFFFFF) == 0x00FF0000;
    EXPECT_TRUE(red);
}

TEST_F(ConsoleTest, BothViewsEndOnQuitFromOnAndOff)
{
    tapKey(VK_F1);
    runFrame();
    ASSERT_EQ(ECA::machines().size(), 2u);
    post(QLMEventID::QUIT_EVENT_ID);
    EXPECT_TRUE(ECA::machines().empty());
}

} // namespace
