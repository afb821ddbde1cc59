#include "game/qlminput.h"

#include "tests/dbgtesting.h"
#include "tests/game/gametesting.h"

#include <cstdint>
#include <string>

namespace
{

class QLMCharacterBufferTest : public GameTest
{
protected:
    QLMCharacterBuffer buffer;

    bool type(std::uint32_t character) { return buffer.onCharacter(*window(), character); }
    bool press(int keyCode) { return buffer.onKeyDown(*window(), keyCode); }
};

TEST_F(QLMCharacterBufferTest, StartsWithOneBlank)
{
    EXPECT_EQ(buffer.text(), " ");
}

TEST_F(QLMCharacterBufferTest, KeepsCharactersFrom32To128AsUnsignedBytes)
{
    struct Case
    {
        std::uint32_t character;
        bool kept;
    };
    const Case cases[] = {
        {31, false},    {32, true},    {'a', true},   {127, true}, {128, true},   {129, false},
        {255, false},   {'\t', false}, {'\r', false}, {8, false},  {0x141, true}, // taken as its low byte, 'A'
        {0x100, false},
    };
    for (const Case& c : cases)
    {
        buffer.text().clear();
        EXPECT_EQ(type(c.character), c.kept) << c.character;
        const std::string kept(1, static_cast<char>(c.character & 0xFF));
        EXPECT_EQ(buffer.text(), c.kept ? kept : "") << c.character;
    }
}

TEST_F(QLMCharacterBufferTest, KeepsTheFirstTwentyCharacters)
{
    buffer.text().clear();
    const std::string typed = "abcdefghijklmnopqrstuvwxy";
    for (char character : typed)
    {
        const bool room = buffer.text().size() < 20;
        EXPECT_EQ(type(static_cast<unsigned char>(character)), room) << character;
    }
    EXPECT_EQ(buffer.text(), typed.substr(0, 20));
}

TEST_F(QLMCharacterBufferTest, BackspaceRemovesTheLastCharacterAndIsAlwaysHandled)
{
    constexpr int BACKSPACE = 2;
    buffer.text() = "ab";
    EXPECT_TRUE(press(BACKSPACE));
    EXPECT_EQ(buffer.text(), "a");
    EXPECT_TRUE(press(BACKSPACE));
    EXPECT_TRUE(press(BACKSPACE)) << "also on an empty text";
    EXPECT_EQ(buffer.text(), "");
    buffer.text() = "ab";
    for (int other : {1, 3, 4, 80})
        EXPECT_FALSE(press(other)) << other;
    EXPECT_EQ(buffer.text(), "ab");
}

class QLMInputTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        initializeInput();
        processMessages(); // the first poll acquires the mouse; motion counts from then on
    }
    void TearDown() override
    {
        shutdownInput();
        GameTest::TearDown();
    }
};

TEST_F(QLMInputTest, OpensTheMouseAtTheCentreAndTheKeyboard)
{
    EXPECT_TRUE(mouseIsOpen());
    EXPECT_TRUE(keyboardIsOpen());
    EXPECT_FLOAT_EQ(mousePosition().x(), 0);
    EXPECT_FLOAT_EQ(mousePosition().y(), 0);
    EXPECT_EQ(inputLibrary()->mice().size(), 1u);
    EXPECT_EQ(inputLibrary()->keyboards().size(), 1u);
}

TEST_F(QLMInputTest, VelocitiesScaleTheMotionAndTurnYUpwards)
{
    struct Case
    {
        int velocityID; // 0: as opened
        float x;
        float y;
    };
    const Case cases[] = {{0, 40, -20}, {1, 20, -10}, {2, 40, -20}, {3, 60, -30}};
    for (const Case& c : cases)
    {
        if (c.velocityID != 0)
            setMouseVelocity(c.velocityID);
        setMousePosition(SILVector(0, 0));
        hosttest::moveMouse(windowHandle(), 50, 50, 10, 5); // right and down on the screen
        processMessages();
        EXPECT_FLOAT_EQ(mousePosition().x(), c.x) << "velocity " << c.velocityID;
        EXPECT_FLOAT_EQ(mousePosition().y(), c.y) << "velocity " << c.velocityID;
    }
    for (int unknown : {0, 4})
        EXPECT_EQ(thrownBy([&] { setMouseVelocity(unknown); }), "Error: Unknown mouse velocity.") << unknown;
}

TEST_F(QLMInputTest, ButtonsReadAsOfTheLastPoll)
{
    hosttest::pressMouseButton(windowHandle(), LEFT_BUTTON, 5, 5);
    EXPECT_FALSE(isMouseButtonDown(LEFT_BUTTON));
    processMessages();
    EXPECT_TRUE(isMouseButtonDown(LEFT_BUTTON));
    EXPECT_FALSE(isMouseButtonDown(RIGHT_BUTTON));
    hosttest::releaseMouseButton(windowHandle(), LEFT_BUTTON, 5, 5);
    processMessages();
    EXPECT_FALSE(isMouseButtonDown(LEFT_BUTTON));
}

TEST_F(QLMInputTest, TypedTextReachesTheBufferOnlyWhileInputIsOpen)
{
    resetCharacterBuffer();
    hosttest::typeText("Ann");
    hosttest::pressKey(VK_BACK);
    processMessages();
    EXPECT_EQ(characterBuffer(), "An");

    shutdownInput();
    hosttest::typeText("e");
    processMessages();
    EXPECT_EQ(characterBuffer(), "An") << "the text stays, and no more characters come";
    initializeInput();
}

TEST_F(QLMInputTest, OpeningOrClosingTwiceFailsItsCheck)
{
    EXPECT_EQ(thrownBy([] { initializeInput(); }), "Assertion failure: !mouseIsOpen()");
    shutdownInput();
    EXPECT_EQ(thrownBy([] { shutdownInput(); }), "Assertion failure: keyboardIsOpen()");
    EXPECT_EQ(thrownBy([] { mousePosition(); }), "Assertion failure: mouseIsOpen()");
    initializeInput();
}

} // namespace
