#include <algorithm>
#include <vector>

#include "host/control.h"
#include "support/actions.h"
#include "support/defaults.h"

using namespace testing_support;
using namespace input;

class Bindings : public ActionTest {
protected:
    // One pass per mode that between them open every channel an action can be live in.
    template <class Press> void scan(const std::vector<int>& codes, bool keys, Press press) {
        for (int mode = 0; mode < 3; ++mode) {
            manager->setGame(mode == 0);
            manager->setMenu(mode == 1);
            manager->setFreeCameraWithoutPlayerControls(mode == 2);
            for (int code : codes) {
                press(code);
                frame();
                ASSERT_EQ(manager->isUsingKeyboardAndMouse(), keys);
                std::uint32_t mask = activeMask();
                for (int id = 0; id < kDefaultActionTableSize; ++id) {
                    if (!manager->channelMatch(id, static_cast<int>(mask)))
                        continue;
                    const std::vector<int>& bound =
                        keys ? defaultRow(id).keys : defaultRow(id).pads;
                    EXPECT_EQ(manager->readAnalog(id) != 0.0f,
                              std::count(bound.begin(), bound.end(), code) == 1)
                        << "action " << id << " code " << code << " mode " << mode;
                }
            }
        }
    }
};

TEST_F(Bindings, DefaultKeysPressOnlyTheirActions) {
    // Every key and the wheel; the mouse buttons come from the operating system (below).
    std::vector<int> codes;
    for (int code = 0; code < 258; ++code) {
        if (code != 1 && code != 2 && code != 4 && code != 5 && code != 6)
            codes.push_back(code);
    }
    scan(codes, true, [&](int code) {
        std::fill(std::begin(keys), std::end(keys), false);
        manager->resetMouseInputDeltas();
        if (code < 256)
            keyDown(code);
        else
            mouseMove(0, 0, code == KEY_WHEEL_UP ? 1 : -1);
    });
}

// Only the simulated machine's key state can be scripted.
class SimBindings : public Bindings {};

TEST_F(SimBindings, DefaultMouseButtonsPressOnlyTheirActions) {
    scan({1, 2, 4, 5, 6}, true, [&](int code) {
        for (int button : {1, 2, 4, 5, 6})
            sim::setAsyncKey(button, button == code);
    });
}

TEST_F(Bindings, DefaultPadCodesPressOnlyTheirActions) {
    switchToPad();
    std::vector<int> codes;
    for (int code = 0; code < 24; ++code) {
        if (code != 18 && code != 19)
            codes.push_back(code);
    }
    scan(codes, false, [&](int code) {
        Report report;
        if (code == GAMEPAD_LEFT_TRIGGER)
            report.triggers(255, 0);
        else if (code == GAMEPAD_RIGHT_TRIGGER)
            report.triggers(0, 255);
        else if (code >= GAMEPAD_LEFT_STICK_X)
            report.sticks(code == 20 ? 32767 : 0, code == 21 ? 32767 : 0, code == 22 ? 32767 : 0,
                          code == 23 ? 32767 : 0);
        else
            report.press(code);
        pad(report);
    });
}

TEST_F(Bindings, SwappedSticksMoveOnlyMovementAndCamera) {
    manager->setSticksSwapped(true);
    EXPECT_EQ(manager->getGamepadButton(ACTION_CAMERA_X), 22); // not until the defaults are made
    manager->bindDefaultInputs();
    EXPECT_EQ(manager->getGamepadButton(ACTION_MOVEMENT_X), 22);
    EXPECT_EQ(manager->getGamepadButton(ACTION_MOVEMENT_Y), 23);
    EXPECT_EQ(manager->getGamepadButton(ACTION_CAMERA_X), 20);
    EXPECT_EQ(manager->getGamepadButton(ACTION_CAMERA_Y), 21);
    for (int id : {36, 37, 38, 39, 48, 49, 50, 51, 300, 301, 304, 305, 8, 309})
        EXPECT_EQ(manager->getGamepadButton(id), defaultRow(id).pads[0]) << id;
    manager->setSticksSwapped(false);
    manager->bindDefaultInputs();
    EXPECT_EQ(manager->getGamepadButton(ACTION_CAMERA_X), 22);
}

TEST_F(Bindings, OrderDuplicatesAndClears) {
    manager->bindKeyboard(ACTION_MOVE_UP, 87);
    manager->bindKeyboard(ACTION_MOVE_UP, 38);
    manager->bindGamepad(ACTION_MENU_A, GAMEPAD_B); // after the default A
    manager->bindGamepad(ACTION_MOVE_RIGHT, 0xFFFF);
    EXPECT_EQ(manager->getGamepadButton(ACTION_MOVE_RIGHT), 65535);
    int key = 0;
    EXPECT_TRUE(manager->getKeyCode(ACTION_MOVE_UP, key));
    EXPECT_EQ(key, 87);
    EXPECT_EQ(manager->getGamepadButton(ACTION_MENU_A), GAMEPAD_A);

    manager->clearKeyBindings();
    EXPECT_FALSE(manager->getKeyCode(ACTION_MOVE_UP, key));
    EXPECT_FALSE(manager->getKeyCode(ACTION_MENU_Y, key));
    EXPECT_FALSE(manager->isKeyBound(83, -1));
    EXPECT_EQ(manager->getGamepadButton(ACTION_MENU_A), GAMEPAD_A); // the pad table stays
    manager->clearGamepadBindings();
    EXPECT_EQ(manager->getGamepadButton(ACTION_MENU_A), -1);

    // The defaults replace everything, the caller's bindings included, without duplicates.
    manager->bindKeyboard(ACTION_MOVE_UP, 87);
    manager->bindDefaultInputs();
    EXPECT_FALSE(manager->getKeyCode(ACTION_MOVE_UP, key));
    std::int64_t blocks = host::memory::liveBlocks();
    manager->bindDefaultInputs();
    EXPECT_EQ(host::memory::liveBlocks(), blocks);
    EXPECT_EQ(manager->getGamepadButton(ACTION_ABORT_VIDEO), GAMEPAD_A);
}

TEST_F(Bindings, BoundQueriesFollowChannels) {
    // Escape serves ABORT_VIDEO, TOGGLE_MENU, MENU_B and DEBUG_DISABLE (all channels).
    EXPECT_TRUE(manager->isKeyBound(27, CHANNEL_MENU));
    EXPECT_TRUE(manager->isKeyBound(27, CHANNEL_VIDEO));
    EXPECT_FALSE(manager->isKeyBound(27, 0));
    EXPECT_TRUE(manager->isKeyBound(70, CHANNEL_MENU));
    EXPECT_FALSE(manager->isKeyBound(70, CHANNEL_GAME | CHANNEL_PLAYER));
    EXPECT_FALSE(manager->isKeyBound(90, -1));
    EXPECT_TRUE(manager->isButtonBound(GAMEPAD_LEFT_THUMB, CHANNEL_MENU));
    EXPECT_FALSE(manager->isButtonBound(GAMEPAD_LEFT_THUMB, CHANNEL_GAME));
    EXPECT_TRUE(manager->isButtonBound(GAMEPAD_START, CHANNEL_DEBUG_KEYS)); // DEBUG_ENABLE
    EXPECT_FALSE(manager->isButtonBound(10, -1));

    // Ids outside the table, or a gap with no channels, never count, until registered.
    manager->bindKeyboard(-1, 200);
    manager->bindKeyboard(kDefaultActionTableSize, 201);
    manager->bindKeyboard(100, 202);
    manager->bindGamepad(-7, 10);
    manager->bindGamepad(kDefaultActionTableSize + 5, 11);
    for (int code : {200, 201, 202})
        EXPECT_FALSE(manager->isKeyBound(static_cast<unsigned short>(code), -1)) << code;
    EXPECT_FALSE(manager->isButtonBound(10, -1));
    EXPECT_FALSE(manager->isButtonBound(11, -1));
    manager->registerAction(kDefaultActionTableSize, "LATE", CONTROL_DOWN, CHANNEL_LOADING);
    EXPECT_TRUE(manager->isKeyBound(201, CHANNEL_LOADING));
    EXPECT_FALSE(manager->isKeyBound(201, CHANNEL_MENU));
    EXPECT_FALSE(manager->isButtonBound(11, -1));
}
