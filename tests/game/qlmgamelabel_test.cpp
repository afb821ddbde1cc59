#include "game/qlmgamelabel.h"

#include "game/qlmcounter.h"
#include "game/qlmgametick.h"
#include "tests/game/eventrecorder.h"
#include "tests/game/gameplaytesting.h"

#include <string>
#include <vector>

namespace
{

class QLMGameLabelTest : public GamePlayTest
{
protected:
    /// The laid-out width of the text in the score display's font.
    static float widthOf(const std::string& text)
    {
        EGL* egl = graphicsLibrary();
        EGLLabel* label = createLabel(egl, getFont(QLMFontID::SMALL_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING),
                                      text, 0.5f, 0.5f, 0xFFFFFFFF);
        const float width = label->labelWidth();
        destroyLabel(label);
        return width;
    }
};

TEST_F(QLMGameLabelTest, GetReadyPostsWhenShownAndWhenItExpiresAfterThreeSecondsGrowingToFourTimesItsSize)
{
    EventRecorder recorder;
    showGetReady();
    EXPECT_EQ(recorder.deliver(), std::vector<int>{QLMEventID::GET_READY_SHOWN_EVENT_ID});
    for (int i = 0; i < 11; ++i)
    {
        tickLabels(0.0, 0.25);
        removeExpiredLabels();
    }
    ASSERT_EQ(floatingLabels().size(), 1u);
    EXPECT_FLOAT_EQ(floatingLabels().front()->scale(), 3.75f);
    EXPECT_TRUE(recorder.deliver().empty());
    tickLabels(0.0, 0.25);
    removeExpiredLabels();
    EXPECT_TRUE(floatingLabels().empty()) << "removed in the tick whose age reaches the lifetime";
    EXPECT_EQ(recorder.deliver(), std::vector<int>{QLMEventID::GET_READY_EXPIRED_EVENT_ID});
}

TEST_F(QLMGameLabelTest, ALabelDriftsTurnsAndGrowsWithItsRates)
{
    spawnLabel("x", 0xFFFFFFFF, 2.0, getEvent(QLMEventID::NULL_EVENT_ID), getEvent(QLMEventID::NULL_EVENT_ID),
               EGLVector{10.0f, 20.0f}, 1.0f, 0.0f, EGLVector{100.0f, -50.0f}, 0.1f, 1.0f);
    tickLabels(0.0, 0.5);
    const QLMLabel* label = floatingLabels().front();
    EXPECT_FLOAT_EQ(label->position().x, 60.0f);
    EXPECT_FLOAT_EQ(label->position().y, -5.0f);
    EXPECT_FLOAT_EQ(label->scale(), 1.05f);
    EXPECT_FLOAT_EQ(label->age(), 0.5f);
}

TEST_F(QLMGameLabelTest, TheScoreDisplayShowsTheCounterWithItsSign)
{
    for (const int score : {0, 1500, -15000})
    {
        QLMScoreCounter::instance().reset();
        QLMScoreCounter::instance().add(score);
        updateScoreLabel();
        EXPECT_EQ(scoreLabel()->labelWidth(), widthOf(std::to_string(score))) << score;
    }
}

} // namespace
