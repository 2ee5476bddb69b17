#include <algorithm>
#include <cmath>

#include "support/actions.h"

using namespace testing_support;
using namespace input;

class Analogue : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        manager->setGame(true);
    }
};

TEST_F(Analogue, InversionOfTheLookAxes) {
    manager->setFreeCameraWithoutPlayerControls(true); // game + free camera: all six are live
    const int horizontal[] = {ACTION_CAMERA_X, ACTION_FREECAMERA_HEADING, ACTION_PHOTOMODE_HEADING};
    const int vertical[] = {ACTION_CAMERA_Y, ACTION_FREECAMERA_PITCH, ACTION_PHOTOMODE_PITCH};
    // x, y: what the look axes read uninverted; the raw read leaves photo mode alone.
    auto check = [&](float x, float y, bool h, bool v, const char* where) {
        for (int id : horizontal) {
            EXPECT_EQ(manager->readAnalog(id), h ? -x : x) << where << id;
            EXPECT_EQ(manager->readRawAnalog(id), h && id != 304 ? -x : x) << where << id;
        }
        for (int id : vertical) {
            EXPECT_EQ(manager->readAnalog(id), v ? -y : y) << where << id;
            EXPECT_EQ(manager->readRawAnalog(id), v && id != 305 ? -y : y) << where << id;
        }
    };
    // Keyboard and mouse: the mouse deltas, flipped by the mouse flags only.
    mouseMove(10, -4);
    frame();
    float dx = manager->getInputX86()->getMouseDeltaX();
    float dy = manager->getInputX86()->getMouseDeltaY();
    ASSERT_GT(dx, 0.0f);
    ASSERT_LT(dy, 0.0f);
    manager->setInvertVerticalForPad(true);
    manager->setInvertHorizontalForPad(true);
    check(dx, dy, false, false, "mouse ");
    manager->setInvertVertical(true); // the setting of the device in use
    EXPECT_TRUE(manager->getInvertVerticalForMouse());
    check(dx, dy, false, true, "mouse V ");
    manager->setInvertVertical(false);
    manager->setInvertHorizontal(true);
    check(dx, dy, true, false, "mouse H ");
    manager->resetMouseInputDeltas();

    // Pad: right stick up and right; the pad flags only.
    switchToPad();
    padFrame(Report().sticks(32767, 0, 32767, 32767));
    EXPECT_TRUE(manager->isInvertVerticalOn());
    EXPECT_TRUE(manager->isInvertHorizontalOn());
    check(1.0f, -1.0f, true, true, "pad HV ");
    EXPECT_EQ(manager->readAnalog(ACTION_PHOTOMODE_X), 1.0f); // not a look axis
    manager->setInvertHorizontal(false);
    manager->setInvertVerticalForMouse(false);
    EXPECT_TRUE(manager->getInvertHorizontalForMouse()); // the pad's setting changed, not this
    check(1.0f, -1.0f, false, true, "pad V ");
    // At rest the pitch (negated stick) reads -0.0, and the inversion flips the sign bit.
    padFrame(Report());
    EXPECT_FALSE(std::signbit(manager->readAnalog(ACTION_FREECAMERA_HEADING)));
    EXPECT_FALSE(std::signbit(manager->readAnalog(ACTION_FREECAMERA_PITCH)));
    manager->setInvertVerticalForPad(false);
    EXPECT_TRUE(std::signbit(manager->readAnalog(ACTION_FREECAMERA_PITCH)));
}

TEST_F(Analogue, KeyPairsUseTheMoveActionsKeys) {
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), 0.0f); // no keys on the MOVE actions
    keyDown(74);
    keyDown(73);
    frame();
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), 0.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_Y), 0.0f);

    manager->bindKeyboard(ACTION_MOVE_LEFT, 74);  // J
    manager->bindKeyboard(ACTION_MOVE_RIGHT, 76); // L
    manager->bindKeyboard(ACTION_MOVE_DOWN, 75);  // K
    manager->bindKeyboard(ACTION_MOVE_UP, 73);    // I
    struct Case {
        int keys[2];
        float x, y;
    };
    // clang-format off
    const Case cases[] = {{{74, 73}, -1.0f, 1.0f}, {{76, 0}, 1.0f, 0.0f}, {{74, 76}, 0.0f, 0.0f},
                          {{75, 73}, 0.0f, 0.0f}, {{75, 76}, 1.0f, -1.0f}};
    // clang-format on
    for (const Case& c : cases) {
        std::fill(std::begin(keys), std::end(keys), false);
        keys[c.keys[0]] = true;
        keys[c.keys[1]] = true;
        frame();
        for (int id : {ACTION_MOVEMENT_X, ACTION_PHOTOMODE_X})
            EXPECT_EQ(manager->readAnalog(id), c.x) << c.keys[0] << " " << id;
        for (int id : {ACTION_MOVEMENT_Y, ACTION_PHOTOMODE_Z})
            EXPECT_EQ(manager->readAnalog(id), c.y) << c.keys[0] << " " << id;
        EXPECT_EQ(manager->readAnalog(ACTION_MOVE_UP), keys[73] ? 1.0f : 0.0f); // id 0 as any
    }
    // The MOVE actions' own gates do not matter: they are not live in a menu, or are blocked.
    manager->setMenu(true);
    IdList ids = idList({ACTION_PHOTOMODE_X});
    manager->setExclusiveActions(ids, CHANNEL_ALL);
    frame();
    EXPECT_FALSE(manager->readDigital(ACTION_MOVE_RIGHT));
    EXPECT_EQ(manager->readAnalog(ACTION_PHOTOMODE_X), 1.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_PHOTOMODE_Z), 0.0f); // blocked itself
    manager->clearExclusiveActions();
    manager->setMenu(false);
    manager->setFreeCameraWithoutPlayerControls(true);
    frame();
    EXPECT_EQ(manager->readAnalog(ACTION_FREECAMERA_X), 1.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_FREECAMERA_Z), -1.0f);
}

TEST_F(Analogue, FirstNonZeroBindingWins) {
    const int inverted = addAction(140, CONTROL_AXIS_INVERTED);
    manager->bindGamepad(inverted, GAMEPAD_LEFT_STICK_X);
    manager->bindGamepad(inverted, GAMEPAD_RIGHT_STICK_X);
    const int button = addAction(141, CONTROL_DOWN);
    manager->bindGamepad(button, GAMEPAD_LEFT_TRIGGER);
    manager->bindGamepad(button, GAMEPAD_A);
    manager->bindGamepad(button, GAMEPAD_LEFT_STICK_X); // sticks read 0.0 as buttons
    const int none = addAction(142, CONTROL_NONE);
    manager->bindGamepad(none, GAMEPAD_A);
    manager->bindKeyboard(none, 13);

    switchToPad();
    EXPECT_TRUE(std::signbit(manager->readAnalog(inverted))); // both at rest: -0.0
    EXPECT_EQ(manager->readAnalog(button), 0.0f);
    padFrame(Report().sticks(0, 0, 32767, 0).press(GAMEPAD_A));
    EXPECT_EQ(manager->readAnalog(inverted), -1.0f); // the first binding's -0.0 counts as zero
    EXPECT_EQ(manager->readAnalog(button), 1.0f);
    EXPECT_EQ(manager->readAnalog(none), 0.0f);
    padFrame(Report().sticks(32767, 0, -32768, 0).press(GAMEPAD_A).triggers(51, 0));
    EXPECT_EQ(manager->readAnalog(inverted), -1.0f);
    EXPECT_FLOAT_EQ(manager->readAnalog(button), 0.2f); // trigger pressure, no threshold
    padFrame(Report().triggers(1, 0));
    EXPECT_FLOAT_EQ(manager->readAnalog(button), 1.0f / 255.0f);

    // On the keyboard any action reads 1.0 while a key of it is down, whatever its type.
    keyDown(13);
    frame();
    ASSERT_TRUE(manager->isUsingKeyboardAndMouse());
    EXPECT_EQ(manager->readAnalog(none), 1.0f);
    manager->setMenu(true);
    frame();
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_A)); // pressed a frame ago
    EXPECT_EQ(manager->readAnalog(ACTION_MENU_A), 1.0f);
}

TEST_F(Analogue, HalfAxes) {
    const int positive = addAction(150, CONTROL_AXIS_POSITIVE_HALF);
    const int negative = addAction(151, CONTROL_AXIS_NEGATIVE_HALF);
    const int noButton = addAction(152, CONTROL_AXIS_POSITIVE_HALF);
    const int button = addAction(153, CONTROL_AXIS_NEGATIVE_HALF);
    const int unbound = addAction(154, CONTROL_AXIS_POSITIVE_HALF);
    manager->bindGamepad(positive, GAMEPAD_LEFT_STICK_X);
    manager->bindGamepad(negative, GAMEPAD_LEFT_STICK_X);
    manager->bindGamepad(noButton, GAMEPAD_BUTTON_NONE);
    manager->bindGamepad(button, GAMEPAD_A);
    switchToPad();
    struct Case {
        std::int16_t v;
        float positive, negative;
    };
    // clang-format off
    const Case cases[] = {{0, -1.0f, -1.0f}, {32767, 1.0f, -1.0f}, {-32768, -1.0f, 1.0f},
                          {20316, 12452.0f / 24903 * 2 - 1, -1.0f}};
    // clang-format on
    for (const Case& c : cases) {
        padFrame(Report().sticks(c.v, 0, 0, 0).press(GAMEPAD_A));
        EXPECT_FLOAT_EQ(manager->readAnalog(positive), c.positive) << c.v;
        EXPECT_FLOAT_EQ(manager->readAnalog(negative), c.negative) << c.v;
        EXPECT_EQ(manager->readAnalog(noButton), -1.0f);
        EXPECT_EQ(manager->readAnalog(button), -1.0f);
        EXPECT_EQ(manager->readAnalog(unbound), 0.0f);
    }
    padFrame(Report().sticks(16384, 0, 0, 0));
    EXPECT_NEAR(manager->readRawAnalog(positive), 16384.0f / 32767 * 2 - 1, 1e-6);
    sim::disconnectPad(0);
    frame();
    EXPECT_EQ(manager->readAnalog(positive), -1.0f);
    EXPECT_EQ(manager->readAnalog(negative), -1.0f);
    manager->setGame(false);
    frame();
    EXPECT_EQ(manager->readAnalog(positive), 0.0f); // not live
}

// The dead zone's edges are the pad's (gamepad_test.cpp).
TEST_F(Analogue, SticksReadWithDeadZoneOrRawAndTheStepKeepsTheLatestValue) {
    switchToPad();
    padFrame(Report().sticks(0, 0, 16384, 32767));
    EXPECT_FLOAT_EQ(manager->readAnalog(ACTION_CAMERA_X), 8520.0f / 24903);
    EXPECT_FLOAT_EQ(manager->readRawAnalog(ACTION_CAMERA_X), 16384 / 32767.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_CAMERA_Y), -1.0f); // negated: up is -1
    EXPECT_EQ(manager->readRawAnalog(ACTION_CAMERA_Y), -1.0f);
    EXPECT_EQ(manager->readAnalog(ACTION_MOVEMENT_X), 0.0f);

    padFrame(Report().sticks(0, 0, 32767, 0));
    manager->setGame(false);
    frame();
    manager->setBufferingMode(BUFFERING_WORLD_STEP);
    EXPECT_EQ(manager->readAnalog(ACTION_CAMERA_X), 1.0f);
    EXPECT_EQ(manager->readRawAnalog(ACTION_CAMERA_X), 0.0f); // live and gated
    manager->setBufferingMode(static_cast<BufferingMode>(3)); // only mode 2 reads the buffer
    EXPECT_EQ(manager->readAnalog(ACTION_CAMERA_X), 0.0f);

    // A later value from the other device replaces the pad's; the switch goes back to live reads.
    manager->setBufferingMode(BUFFERING_LIVE);
    manager->setGame(true);
    padFrame(Report());
    mouseMove(-3, 0);
    frame();
    ASSERT_TRUE(manager->isUsingKeyboardAndMouse());
    float camera = manager->readAnalog(ACTION_CAMERA_X);
    EXPECT_LT(camera, 0.0f);
    manager->setBufferingMode(BUFFERING_WORLD_STEP);
    EXPECT_EQ(manager->readAnalog(ACTION_CAMERA_X), camera);
    manager->switchWorldStepBuffers();
    EXPECT_EQ(manager->getBufferingMode(), BUFFERING_LIVE);
}
