#include "platform/silboot.h"
#include "platform/silimp.h"

#include "host/testing.h"
#include "tests/dbgtesting.h"

#include <gtest/gtest.h>

namespace
{

TEST(SILVector, AddsAndMultipliesComponentWise)
{
    const SILVector product = SILVector(2, -2).multiply(SILVector(3, 5));
    EXPECT_FLOAT_EQ(product.x(), 6);
    EXPECT_FLOAT_EQ(product.y(), -10);
    SILVector sum(0, 0);
    sum.add(SILVector(1, 1));
    EXPECT_FLOAT_EQ(sum.x(), 1);
    EXPECT_FLOAT_EQ(sum.y(), 1);
}

TEST(SILKeyID, ValueRequiresTheRange)
{
    EXPECT_EQ(SILKeyID(1).value(), 1);
    EXPECT_EQ(SILKeyID(95).value(), 95);
    EXPECT_EQ(thrownBy([] { SILKeyID(0).value(); }), "Assertion failure: invariant()");
    EXPECT_EQ(thrownBy([] { SILKeyID(96).value(); }), "Assertion failure: invariant()");
}

TEST(SILBoot, RejectsBadArgumentsInOrder)
{
    const HWND none = nullptr;
    EXPECT_EQ(thrownBy([] { openSIL(0, nullptr); }),
              "Assertion failure: \"Valid implementation.\" && (implementation == DIRECT_INPUT_IMPLEMENTATION)");
    EXPECT_EQ(thrownBy([] { openSIL(2, nullptr); }),
              "Assertion failure: \"Valid implementation.\" && (implementation == DIRECT_INPUT_IMPLEMENTATION)");
    EXPECT_EQ(thrownBy([] { openSIL(DIRECT_INPUT_IMPLEMENTATION, nullptr); }),
              "Assertion failure: \"Valid window handle pointer.\" && windowHandle");
    EXPECT_EQ(thrownBy([&] { openSIL(DIRECT_INPUT_IMPLEMENTATION, &none); }),
              "Assertion failure: \"Valid window handle.\" && (mWindowHandle != NULL)");
    EXPECT_EQ(thrownBy([] { closeSIL(nullptr); }), "Assertion failure: \"Valid SIL pointer.\" && sil");
}

// A focused window with the library open over it, a keyboard and a mouse as the game opens them.
class SILTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hosttest::resetWindows();
        WNDCLASSEXA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "input test";
        RegisterClassExA(&windowClass);
        window = CreateWindowExA(0, "input test", "input", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        hosttest::gainFocus(window);
        sil = openSIL(DIRECT_INPUT_IMPLEMENTATION, &window);
        keyboard = sil->openKeyboard(FOREGROUND_NONEXCLUSIVE_MODE);
        mouse = sil->openMouse(FOREGROUND_EXCLUSIVE_MODE, SILVector(0, 0), SILVector(2, -2));
        update(); // the first update acquires the devices; motion counts from then on
    }

    void TearDown() override
    {
        if (sil)
        {
            sil->closeKeyboard(keyboard);
            sil->closeMouse(mouse);
            closeSIL(sil);
        }
        hosttest::resetWindows();
    }

    // One main-loop pass: messages, then one poll.
    void update()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        sil->update();
    }

    HWND window = nullptr;
    SIL* sil = nullptr;
    SILKeyboard* keyboard = nullptr;
    SILMouse* mouse = nullptr;
};

TEST_F(SILTest, KeysReadTheirDirectInputIndices)
{
    struct Case
    {
        int keyID;
        int dik;
    };
    const Case cases[] = {{2, DIK_0},         {3, DIK_1},      {12, DIK_A},     {37, DIK_Z},
                          {45, DIK_RCONTROL}, {46, DIK_RMENU}, {85, DIK_UP},    {86, DIK_DOWN},
                          {87, DIK_LEFT},     {88, DIK_RIGHT}, {64, DIK_PAUSE}, {83, DIK_NUMPADENTER},
                          {95, DIK_ESCAPE}};
    for (const Case& c : cases)
    {
        hosttest::pressKeyDik(c.dik);
        update();
        EXPECT_TRUE(keyboard->isKeyDown(SILKeyID(c.keyID))) << "key " << c.keyID;
        EXPECT_FALSE(keyboard->isKeyDown(SILKeyID(1)));
        hosttest::releaseKeyDik(c.dik);
        update();
        EXPECT_FALSE(keyboard->isKeyDown(SILKeyID(c.keyID))) << "key " << c.keyID;
    }
    EXPECT_EQ(thrownBy([&] { keyboard->isKeyDown(SILKeyID(96)); }), "Assertion failure: invariant()");
}

TEST_F(SILTest, MouseMovesByVelocityTimesMotion)
{
    hosttest::moveMouse(window, 10, 10, -5, 7);
    update();
    EXPECT_FLOAT_EQ(mouse->position().x(), -10);
    EXPECT_FLOAT_EQ(mouse->position().y(), -14);

    mouse->setVelocity(SILVector(4, -4));
    hosttest::moveMouse(window, 12, 12, 3, 1);
    hosttest::moveMouse(window, 13, 13, 0, 1);
    update();
    EXPECT_FLOAT_EQ(mouse->position().x(), 2) << "motion between two polls adds up";
    EXPECT_FLOAT_EQ(mouse->position().y(), -22);

    mouse->setPosition(SILVector(100, 50));
    update();
    EXPECT_FLOAT_EQ(mouse->position().x(), 100);
}

TEST_F(SILTest, ButtonsMapLeftMiddleRight)
{
    for (int button : {LEFT_BUTTON, MIDDLE_BUTTON, RIGHT_BUTTON})
    {
        hosttest::pressMouseButton(window, button, 5, 5);
        update();
        for (int other : {LEFT_BUTTON, MIDDLE_BUTTON, RIGHT_BUTTON})
            EXPECT_EQ(mouse->isButtonDown(other), other == button) << "pressed " << button << ", asked " << other;
        hosttest::releaseMouseButton(window, button, 5, 5);
        update();
        EXPECT_FALSE(mouse->isButtonDown(button));
    }
    EXPECT_EQ(thrownBy([&] { mouse->isButtonDown(4); }),
              "Assertion failure: \"Valid mouse button.\" && (MIN_BUTTON < button) && (button < MAX_BUTTON)");
}

TEST_F(SILTest, FocusLossReadsAsIdleAndFocusBringsTheDevicesBack)
{
    hosttest::pressKeyDik(DIK_SPACE);
    hosttest::pressMouseButton(window, LEFT_BUTTON, 5, 5);
    update();
    ASSERT_TRUE(keyboard->isKeyDown(SILKeyID(49)));
    ASSERT_TRUE(mouse->isButtonDown(LEFT_BUTTON));

    hosttest::loseFocus(window);
    hosttest::moveMouse(window, 20, 20, 50, 50);
    EXPECT_NO_THROW(update());
    EXPECT_FALSE(keyboard->isKeyDown(SILKeyID(49)));
    EXPECT_FALSE(mouse->isButtonDown(LEFT_BUTTON));
    EXPECT_FLOAT_EQ(mouse->position().x(), 0);

    hosttest::gainFocus(window);
    update();
    hosttest::moveMouse(window, 21, 21, 1, 0);
    update();
    EXPECT_FLOAT_EQ(mouse->position().x(), 2);
}

TEST_F(SILTest, OpenAndCloseBookkeeping)
{
    EXPECT_EQ(sil->keyboards().size(), 1u);
    EXPECT_EQ(sil->mice().size(), 1u);
    EXPECT_EQ(thrownBy([&] { sil->openKeyboard(MAX_COOPERATIVE_MODE); }),
              "Assertion failure: \"Valid cooperative mode.\" && (MIN_COOPERATIVE_MODE < cooperativeMode) && "
              "(cooperativeMode < MAX_COOPERATIVE_MODE)");

    sil->closeKeyboard(keyboard);
    EXPECT_EQ(thrownBy([&] { sil->closeKeyboard(keyboard); }),
              "Assertion failure: \"Open keyboard.\" && isOpen(keyboard)");
    sil->closeMouse(mouse);
    EXPECT_EQ(thrownBy([&] { sil->closeMouse(nullptr); }), "Assertion failure: \"Valid mouse pointer.\" && mouse");
    closeSIL(sil);
    EXPECT_EQ(thrownBy([&] { closeSIL(sil); }),
              "Assertion failure: \"SIL is open.\" && (mOpenSILs.find(sil) != mOpenSILs.end())");
    sil = nullptr;
}

} // namespace
