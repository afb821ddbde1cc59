#include "platform/egc.h"

#include "host/dinput8.h"
#include "host/testing.h"
#include "platform/sil.h"
#include "tests/dbgtesting.h"

#include <gtest/gtest.h>

namespace
{

// The game's title and style: a topmost pop-up with a caption.
constexpr unsigned int GAME_STYLE = 0x210;

class EGCTest : public ::testing::Test
{
protected:
    void SetUp() override { hosttest::resetWindows(); }
    void TearDown() override { hosttest::resetWindows(); }
};

TEST_F(EGCTest, OpensEverythingAndClosesItAgain)
{
    openEGC("Quillom 1.0", GAME_STYLE);
    EXPECT_NE(graphicsLibrary(), nullptr);
    EXPECT_NE(inputLibrary(), nullptr);
    EXPECT_NE(randomTool(), nullptr);
    EXPECT_NE(soundLibrary(), nullptr);
    ASSERT_NE(window(), nullptr);
    EXPECT_STREQ(window()->title(), "Quillom 1.0");
    EXPECT_EQ(window()->size().x(), 320);
    EXPECT_EQ(window()->size().y(), 200);

    closeEGC();
    EXPECT_EQ(graphicsLibrary(), nullptr);
    EXPECT_EQ(inputLibrary(), nullptr);
    EXPECT_EQ(randomTool(), nullptr);
    EXPECT_EQ(soundLibrary(), nullptr);
    EXPECT_EQ(window(), nullptr);
}

TEST_F(EGCTest, ASecondOpenFailsBeforeCreatingAnything)
{
    openEGC("Quillom 1.0", GAME_STYLE);
    EGCWindow* first = window();
    EXPECT_EQ(thrownBy([] { openEGC("again", GAME_STYLE); }), "Assertion failure: !windowIsOpen()");
    EXPECT_EQ(window(), first);
    closeEGC();
}

TEST_F(EGCTest, CloseWithoutOpenFailsInTheSoundLibrary)
{
    EXPECT_EQ(thrownBy([] { closeEGC(); }), "Assertion failure: \"Valid SSL.\" && ssl");
}

TEST_F(EGCTest, ProcessMessagesPollsTheInputDevicesWithoutPendingMessages)
{
    openEGC("Quillom 1.0", GAME_STYLE);
    const HWND handle = static_cast<EGCWin32Window*>(window())->handle();
    hosttest::gainFocus(handle);
    SILKeyboard* keyboard = inputLibrary()->openKeyboard(FOREGROUND_NONEXCLUSIVE_MODE);
    processMessages();

    hosttest::pressKeyDik(DIK_ESCAPE);
    processMessages();
    EXPECT_TRUE(keyboard->isKeyDown(SILKeyID(95)));

    hosttest::releaseKeyDik(DIK_ESCAPE);
    processMessages();
    EXPECT_FALSE(keyboard->isKeyDown(SILKeyID(95)));

    inputLibrary()->closeKeyboard(keyboard);
    closeEGC();
}

TEST_F(EGCTest, RegisteredHandlersReceiveTheWindowsMessages)
{
    struct KeyCounter : EGCDefaultMessageHandler
    {
        int keys = 0;
        bool onKeyDown(EGCWindow&, int) override
        {
            ++keys;
            return true;
        }
    } counter;

    openEGC("Quillom 1.0", GAME_STYLE);
    hosttest::gainFocus(static_cast<EGCWin32Window*>(window())->handle());
    window()->addMessageHandler(&counter);
    hosttest::pressKey('A');
    processMessages();
    window()->removeMessageHandler(&counter);
    closeEGC();
    EXPECT_EQ(counter.keys, 1);
}

} // namespace
