#include <cmath>

#include "d/tweakable.h"
#include "support/actions.h"

using namespace testing_support;
using namespace input;

class Activity : public ActionTest {
protected:
    // A frame with F (MENU_X) down, then one with nothing.
    void toKeyboard() {
        keyDown(70);
        frame();
        keyUp(70);
        frame();
        ASSERT_TRUE(manager->isUsingKeyboardAndMouse());
    }
    bool after(const Report& report) {
        padFrame(report);
        pad(Report());
        return manager->isUsingKeyboardAndMouse();
    }
};

TEST_F(Activity, OnlyPositiveEvidenceSwitches) {
    EXPECT_TRUE(manager->isUsingKeyboardAndMouse()); // until the first update
    frame();
    EXPECT_TRUE(manager->isUsingKeyboardAndMouse()); // nothing happened
    EXPECT_FALSE(after(Report().press(GAMEPAD_A)));
    frame();
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse()); // a quiet frame changes nothing
    keyDown(90);                                      // Z: bound to nothing
    keyDown(19);                                      // Pause: bound to a raw-key action only
    frame();
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse());
    keyUp(90);
    keyUp(19);
    manager->setFocus(false); // channels play no part
    toKeyboard();
    EXPECT_TRUE(after(Report().press(10))); // a bit no digital action binds
    EXPECT_TRUE(after(Report().sticks(0, 0, 0, 7000)));

    // A key of one action and a button of another in the same frame: the keyboard wins.
    keyDown(70);
    EXPECT_TRUE(after(Report().press(GAMEPAD_B)));
    keyUp(70);
    frame();
    // Enter and A pressed together serve the same actions, and the pad is asked first.
    keyDown(13);
    EXPECT_FALSE(after(Report().press(GAMEPAD_A)));
    keyUp(13);
    frame();
    frame();
    // With A already held, MENU_A is no longer pressed on the pad, so Enter's click counts.
    padFrame(Report().press(GAMEPAD_A));
    keyDown(13);
    frame();
    EXPECT_TRUE(manager->isUsingKeyboardAndMouse());
}

// A release is evidence on the frame after the button went up, however short the press was (a
// press of no time leaves the hold timer at zero).
TEST_F(Activity, AReleaseCountsOnceTheButtonIsUp) {
    manager->bindGamepad(addAction(120, CONTROL_RELEASED), 10); // bit 10: nothing else binds it
    for (float held : {1.0f / 60.0f, 0.0f}) {
        toKeyboard();
        padFrame(Report().press(10), held);
        EXPECT_TRUE(manager->isUsingKeyboardAndMouse()) << held; // not released yet
        padFrame(Report());
        EXPECT_FALSE(manager->isUsingKeyboardAndMouse()) << held;
    }
}

TEST_F(Activity, StickThresholds) {
    struct Case {
        std::int16_t lx, ry;
        bool pad;
    };
    const Case cases[] = {{8113, 0, false}, {8114, 0, true}, {-8114, 0, false},
                          {-8115, 0, true}, {0, 8114, true}, {0, -8115, true}};
    for (const Case& c : cases) {
        toKeyboard();
        EXPECT_EQ(after(Report().sticks(c.lx, 0, 0, c.ry)), !c.pad) << c.lx << " " << c.ry;
    }
    // Only the current pad counts.
    sim::connectPad(1);
    manager->refreshGamepadConnectivity();
    manager->setSelectedGamepad(1);
    toKeyboard();
    EXPECT_TRUE(after(Report().sticks(32767, 0, 0, 0).press(GAMEPAD_A)));
    sim::setPad(1, Report().sticks(32767, 0, 0, 0));
    frame();
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse());
}

TEST_F(Activity, MouseThresholds) {
    manager->setMouseSensitivity(1.0f); // factor 2: one count gives twice the axis setting
    struct Case {
        float setting;
        int dx, dy;
        bool keyboard;
    };
    const Case cases[] = {{0.005f, 1, 0, false},  {0.005f, -1, 0, false}, {0.0055f, 1, 0, true},
                          {0.0055f, -1, 0, true}, {0.005f, 0, 1, false},  {0.0055f, 0, -1, true}};
    for (const Case& c : cases) {
        switchToPad();
        d::setTweakable("Input:Mouse X sensitivity", c.setting);
        d::setTweakable("Input:Mouse Y sensitivity", c.setting);
        manager->resetMouseInputDeltas();
        mouseMove(c.dx, c.dy);
        frame();
        float delta = c.dx ? manager->getInputX86()->getMouseDeltaX()
                           : manager->getInputX86()->getMouseDeltaY();
        ASSERT_EQ(std::fabs(delta), c.setting * 2.0f);
        EXPECT_EQ(manager->isUsingKeyboardAndMouse(), c.keyboard) << delta;
        manager->resetMouseInputDeltas();
    }
}
