// Codes, indices, ids and records outside what the devices and the registry know.

#include <algorithm>
#include <climits>

#include "d/tweakable.h"
#include "support/actions.h"

using namespace testing_support;

TEST_F(FreshMachine, PadCodesOutsideTheDomainReadNothing) {
    sim::connectPad(0);
    input::Gamepad pad(0);
    pad.update(0.1f);
    sim::setPad(0, Report().buttons(0xFFFF).triggers(255, 255).sticks(32767, 32767, 32767, 32767));
    pad.update(0.5f); // every bit and trigger freshly pressed, and held past the hold time
    ASSERT_EQ(padQueries(pad, input::GAMEPAD_RIGHT_TRIGGER), "dp--h");
    for (int code : {-1, 18, 19, 20, 23, 254, 255, 256, 1000}) {
        EXPECT_EQ(padQueries(pad, code), "-----") << code;
        EXPECT_EQ(pad.getAnalogButton(code), 0.0f) << code;
    }
    for (int axis : {-1, 4, 20}) {
        EXPECT_EQ(pad.getAxis(axis), 0.0f) << axis;
        EXPECT_EQ(pad.getRawAxis(axis), 0.0f) << axis;
    }
    EXPECT_EQ(pad.getAxis(3), 1.0f);
}

TEST_F(FreshMachine, PadOutsideTheUserIndicesNeverCallsXInput) {
    for (unsigned user = 0; user < 4; ++user)
        sim::connectPad(user);
    ASSERT_TRUE(d::setTweakable("Rumble:Enable old system (PC)", true));
    {
        input::Gamepad pad(4);
        pad.setLowFrequencyRumble(1.0f);
        pad.refreshGamepadConnectivity();
        pad.update(0.1f);
        EXPECT_FALSE(pad.isConnected());
        EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_A));
        EXPECT_EQ(pad.getLowFrequencyRumble(), 1.0f); // the poll did nothing at all
    }
    for (unsigned user = 0; user < 4; ++user)
        EXPECT_EQ(sim::padReads(user), 0u);
    EXPECT_TRUE(sim::rumbleLog().empty());
}

TEST_F(FreshMachine, KeyCodesOutsideTheTablesReadFalse) {
    input::InputX86 pc;
    bool all[256];
    std::fill(std::begin(all), std::end(all), true);
    pc.updateKeyboardState(all);
    app::InputEvent notch = mouseEvent(app::MOUSE_MOVE_RELATIVE, 0, 0, app::RI_MOUSE_WHEEL, 120);
    pc.handleAppEvent(&notch);
    pc.update();
    ASSERT_TRUE(pc.keyDown(input::KEY_WHEEL_UP));
    for (unsigned short code : {258, 259, 1000, 65535})
        EXPECT_FALSE(pc.keyDown(code) || pc.keyUp(code) || pc.keyClicked(code)) << code;

    // Raw key events outside the codes are ignored whole, their modifiers too.
    input::Keyboard keyboard;
    auto send = [&](int code, bool down, int modifiers) {
        app::RawKeyEvent event = rawKeyEvent(code, down, modifiers);
        EXPECT_FALSE(keyboard.handleAppEvent(&event));
    };
    for (int code : {-1, 256, 300, 100000, -100000}) {
        send(code, true, app::RawKeyEvent::MODIFIER_CTRL);
        send(code, false, app::RawKeyEvent::MODIFIER_CTRL);
    }
    keyboard.update();
    EXPECT_TRUE(keyboard.isKeyboardBufferEmpty());
    for (int code = 0; code < 256; ++code) {
        EXPECT_FALSE(keyboard.keyDown(code)) << code;
        send(code, true, 0);
    }
    keyboard.update();
    for (int code : {-1, 256, 1000, -256})
        EXPECT_FALSE(keyboard.keyDown(code) || keyboard.keyPressed(code)) << code;
}

TEST_F(ManagerTest, IdsOutsideTheTableChangeAndReadNothing) {
    input::InputManager& m = *manager;
    std::uint64_t allocations = host::memory::allocationCount();
    m.registerAction(-1, "NEGATIVE", input::CONTROL_DOWN, input::CHANNEL_ALL);
    m.registerAction(-310, "MENU_A", input::CONTROL_DOWN, input::CHANNEL_ALL);
    EXPECT_EQ(host::memory::allocationCount(), allocations);
    EXPECT_EQ(m.getAction("NEGATIVE"), -1);
    EXPECT_EQ(m.getAction("MENU_A"), input::ACTION_MENU_A);
    EXPECT_TRUE(m.isActionAssigned(input::kDefaultActionTableSize - 1));

    // Enter is down and bound to ids outside the table too; an exclusive list is in force.
    m.setMenu(true);
    m.bindKeyboard(-3, 13);
    m.bindKeyboard(input::kDefaultActionTableSize + 1, 13);
    IdList exclusive = idList({input::ACTION_MENU_A});
    m.setExclusiveActions(exclusive, input::CHANNEL_ALL);
    keyDown(13);
    frame();
    EXPECT_TRUE(m.readDigital(input::ACTION_MENU_A));
    const int outside[] = {
        INT_MIN, -310, -3, -1, input::kDefaultActionTableSize, input::kDefaultActionTableSize + 1,
        INT_MAX};
    for (input::BufferingMode mode : {input::BUFFERING_LIVE, input::BUFFERING_WORLD_STEP}) {
        m.setBufferingMode(mode);
        for (int id : outside) {
            SCOPED_TRACE(id);
            EXPECT_FALSE(m.readDigital(id));
            EXPECT_EQ(m.readAnalog(id), 0.0f);
            EXPECT_EQ(m.readRawAnalog(id), 0.0f);
        }
    }
    for (int id : outside) {
        SCOPED_TRACE(id);
        EXPECT_STREQ(m.getActionName(id).c_str(), "INVALID");
        EXPECT_FALSE(m.isActionAssigned(id));
        EXPECT_FALSE(m.channelMatch(id, -1));
        EXPECT_FALSE(m.isActionBlocked(id));
    }
}
