#include <string>

#include "support/actions.h"

using namespace testing_support;
using namespace input;

namespace {

// One action per control type 0-14 at gap ids 100-114, all bound to pad A and to key K.
constexpr int kFirst = 100;
constexpr int kKey = 75;

// Frames of 0.25 s: up, down, up (a tap), up, down, down (a hold), up.
const bool kDown[] = {false, true, false, false, true, true, false};

// Per control type 0-14 and frame: the pad's live and world-step readings, then the keyboard's.
// clang-format off
const char* const kExpected[15][4] = {
    {"0000000", "0000000", "0000000", "0000000"}, // none
    {"0000000", "0000000", "0000000", "0100110"}, // axis types: no button; the key buffers 1.0
    {"0000000", "0000000", "0000000", "0100110"},
    {"0000000", "0000000", "0000000", "0100110"},
    {"0000000", "0000000", "0000000", "0100110"},
    {"0100110", "0100110", "0100110", "0100110"}, // down
    {"0100100", "0100100", "0100100", "0100100"}, // pressed
    {"0010001", "0001000", "0100110", "0010001"}, // released; a key reads as down
    {"0100110", "0100110", "0100110", "0100110"}, // analogue button
    {"0010000", "0010000", "0100100", "0100100"}, // tap: the short press; a key as pressed
    {"0000010", "0000000", "0100110", "0000010"}, // hold: from 0.4 s; a key as down
    {"0000000", "0000000", "0000000", "0000000"}, // raw keys read the raw keyboard only
    {"0000000", "0000000", "0000000", "0000000"},
    {"0000000", "0000000", "0000000", "0000000"},
    {"0000000", "0000000", "0000000", "0000000"},
};
// clang-format on

} // namespace

class Digital : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        manager->setGame(true);
        for (int type = 0; type <= 14; ++type) {
            addAction(kFirst + type, static_cast<ControlType>(type));
            manager->bindGamepad(kFirst + type, GAMEPAD_A);
            manager->bindKeyboard(kFirst + type, kKey);
        }
    }

    // Runs the frames on one device, reading every type live and from the world step.
    void run(bool onPad) {
        std::string live[15], step[15];
        if (onPad)
            switchToPad();
        for (bool down : kDown) {
            if (onPad)
                pad(down ? Report().press(GAMEPAD_A) : Report());
            else
                keys[kKey] = down;
            frame(0.25f);
            ASSERT_EQ(manager->isUsingKeyboardAndMouse(), !onPad);
            for (int type = 0; type <= 14; ++type) {
                live[type] += manager->readDigital(kFirst + type) ? '1' : '0';
                step[type] += steppedDigital(kFirst + type) ? '1' : '0';
            }
            manager->switchWorldStepBuffers();
        }
        for (int type = 0; type <= 14; ++type) {
            EXPECT_EQ(live[type], kExpected[type][onPad ? 0 : 2]) << "type " << type;
            EXPECT_EQ(step[type], kExpected[type][onPad ? 1 : 3]) << "type " << type;
        }
    }
};

TEST_F(Digital, ControlTypesOnThePad) {
    run(true);
}

TEST_F(Digital, ControlTypesOnTheKeyboard) {
    run(false);
}

TEST_F(Digital, WorldStepComparesTheStepBuffers) {
    manager->setMenu(true);
    keyDown(13); // MENU_A (pressed) and MENU_A_DOWN
    frame();
    manager->switchWorldStepBuffers();
    keyUp(13);
    frame();
    keyDown(13);
    frame(); // pressed again: 1.0 in this step and in the one before
    keyUp(13);
    frame(); // released within the step: the step keeps its 1.0
    manager->setBufferingMode(static_cast<BufferingMode>(7)); // any mode but live is buffered
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_A));
    EXPECT_TRUE(manager->readDigital(ACTION_MENU_A_DOWN));
    manager->switchWorldStepBuffers();
    // A stick pushed positive reads as on from the buffer, never live.
    switchToPad();
    manager->setMenu(false);
    padFrame(Report().sticks(20000, 0, 0, 0));
    EXPECT_FALSE(manager->readDigital(ACTION_MOVEMENT_X));
    EXPECT_TRUE(steppedDigital(ACTION_MOVEMENT_X));
}

// The D-pad and trigger rules themselves are the pad's (gamepad_test.cpp).
TEST_F(Digital, AnyPadBindingCountsButNoButtonOrStickNever) {
    switchToPad();
    manager->bindGamepad(kFirst + CONTROL_DOWN, GAMEPAD_BUTTON_NONE);
    manager->bindGamepad(kFirst + CONTROL_DOWN, GAMEPAD_LEFT_STICK_X);
    manager->bindGamepad(kFirst + CONTROL_DOWN, GAMEPAD_Y);
    padFrame(Report().press(GAMEPAD_Y).sticks(32767, 0, 0, 0));
    EXPECT_TRUE(manager->readDigital(kFirst + CONTROL_DOWN));
    addAction(120, CONTROL_DOWN);
    manager->bindGamepad(120, GAMEPAD_BUTTON_NONE);
    manager->bindGamepad(120, GAMEPAD_LEFT_STICK_X);
    manager->bindGamepad(120, 0xFFFF);
    EXPECT_FALSE(manager->readDigital(120));
}

TEST_F(Digital, RawKeysAndShift) {
    const int rawDown = addAction(130, CONTROL_RAW_KEY_DOWN);
    const int rawPressed = addAction(131, CONTROL_RAW_KEY_PRESSED);
    const int shiftDown = addAction(132, CONTROL_RAW_SHIFT_KEY_DOWN);
    const int shiftPressed = addAction(133, CONTROL_RAW_SHIFT_KEY_PRESSED);
    for (int id : {rawDown, rawPressed, shiftDown, shiftPressed}) {
        manager->bindKeyboard(id, 76);  // L
        manager->bindKeyboard(id, 300); // beyond the raw keys: never reads
    }
    manager->bindKeyboard(shiftPressed, 77); // M
    auto reads = [&] {
        std::string out;
        for (int id : {rawDown, rawPressed, shiftDown, shiftPressed})
            out += manager->readDigital(id) ? '1' : '0';
        return out;
    };
    // Raw key types read the raw buffer whichever device is in use, and not the key snapshot.
    switchToPad();
    keyDown(76);
    frame();
    EXPECT_EQ(reads(), "0000");
    rawKey(76, true);
    frame();
    EXPECT_EQ(reads(), "1100");
    frame();
    EXPECT_EQ(reads(), "1000");
    rawKey(16, true); // Shift
    frame();
    EXPECT_EQ(reads(), "0010");
    rawKey(77, true, 0x1);
    frame();
    EXPECT_EQ(reads(), "0011");
    EXPECT_FALSE(manager->isUsingKeyboardAndMouse());

    manager->setKeyboard(nullptr); // without the raw buffer, raw keys read nothing
    EXPECT_EQ(reads(), "0000");
}
