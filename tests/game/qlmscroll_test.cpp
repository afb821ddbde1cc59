#include "game/qlmscroll.h"

#include "egl/egltext.h"
#include "tests/dbgtesting.h"
#include "tests/game/screentesting.h"

#include <cstdint>
#include <string>
#include <vector>

namespace
{

constexpr std::uint32_t BAND_COLOR = 0x40000000;  // a quarter black
constexpr std::uint32_t HIDDEN_TEXT = 0x00000000; // added to the target: shows nothing, so the band can be seen

class ScrollTextTest : public ScreenTest
{
protected:
    void TearDown() override
    {
        for (QLMScrollText* const text : std::vector<QLMScrollText*>(scrollTexts().begin(), scrollTexts().end()))
            closeScrollText(text);
        ScreenTest::TearDown();
    }

    static QLMScrollText* open(const std::string& text, float y, float left, float right, float speed)
    {
        EGL* const egl = graphicsLibrary();
        return openScrollText(getFont(QLMFontID::SMALL_FONT_ID), egl->blendingMethod(EGL::ADDITIVE_BLENDING),
                              BAND_COLOR, HIDDEN_TEXT, text, y, left, right, speed);
    }

    /// Draws every text over white and presents the frame.
    static void drawOverWhite()
    {
        EGL* const egl = graphicsLibrary();
        egl->beginScene(getSpace());
        clearScreen(0xFFFFFFFF);
        drawScrollTexts();
        egl->endScene();
        egl->present();
    }
};

TEST_F(ScrollTextTest, StartsBeyondTheRightBoundAndWrapsThereOnceWhollyPastTheLeftBound)
{
    QLMScrollText* const text = open("Welcome to quillom 1.0!", 0.0f, -800.0f, 800.0f, 1.0f);
    const float h = text->label()->labelWidth() * 0.5f;
    ASSERT_GT(h, 0.0f);
    EXPECT_FLOAT_EQ(text->x(), 800.0f + h);

    float previous = text->x();
    int wraps = 0;
    for (int step = 0; step < 4000; ++step)
    {
        text->update();
        if (previous - 1.0f < -800.0f - h)
        {
            // Its right end had passed the left bound: it comes back with its left end at the right bound.
            EXPECT_FLOAT_EQ(text->x(), 800.0f + h) << "step " << step;
            ++wraps;
        }
        else
        {
            EXPECT_FLOAT_EQ(text->x(), previous - 1.0f) << "step " << step;
        }
        previous = text->x();
    }
    EXPECT_EQ(wraps, static_cast<int>(4000 / (1601.0f + 2.0f * h)));
}

TEST_F(ScrollTextTest, ASpeedOfZeroStandsStillAndANegativeSpeedMovesRightWithoutWrapping)
{
    QLMScrollText* const still = open("still", 0.0f, -800.0f, 800.0f, 0.0f);
    QLMScrollText* const back = open("back", 0.0f, -800.0f, 800.0f, -2.0f);
    const float stillStart = still->x();
    const float backStart = back->x();
    for (int step = 0; step < 1000; ++step)
        updateScrollTexts();
    EXPECT_FLOAT_EQ(still->x(), stillStart);
    EXPECT_FLOAT_EQ(back->x(), backStart + 2000.0f);
}

TEST_F(ScrollTextTest, TheBandCoversTheTextsBoxAndMovesWithIt)
{
    QLMScrollText* const text = open("Quick help", 200.0f, -800.0f, 800.0f, 0.0f);
    const float w = text->label()->labelWidth();
    const float lineHeight = text->label()->labelHeight();

    // Before its first update a text stands at the origin.
    drawOverWhite();
    const std::uint32_t shaded = pixelAt(0.0f, 0.0f);
    EXPECT_EQ(shaded, 0xBFBFBFu) << "a quarter black over white";
    EXPECT_EQ(pixelAt(w * 0.5f - 8.0f, 0.0f), shaded);
    EXPECT_EQ(pixelAt(0.0f, lineHeight * 0.5f - 4.0f), shaded);
    EXPECT_EQ(pixelAt(w * 0.5f + 8.0f, 0.0f), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(0.0f, lineHeight * 0.5f + 4.0f), 0xFFFFFFu);

    // The first update puts it at its place: wholly right of the screen, at its height.
    text->update();
    drawOverWhite();
    EXPECT_EQ(pixelAt(0.0f, 0.0f), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(796.0f, 200.0f), 0xFFFFFFu);
}

TEST_F(ScrollTextTest, ClosingATextThatIsNotOpenFails)
{
    QLMScrollText* const text = open("once", 0.0f, -800.0f, 800.0f, 1.0f);
    closeScrollText(text);
    EXPECT_FALSE(scrollTextIsOpen(text));
    EXPECT_EQ(thrownBy([text] { closeScrollText(text); }), "Assertion failure: scrollTextIsOpen(scrollText)");
}

} // namespace
