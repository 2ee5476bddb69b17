// Codes, indices and records outside what the devices and the registry know.

#include "app/events.h"
#include "d/tweakable.h"
#include "support/fixture.h"

using namespace testing_support;

namespace {

const int kOutsideButtons[] = {-1, 18, 19, 20, 23, 254, 256, 1000};

} // namespace

TEST_F(FreshMachine, PadCodesOutsideTheDomainReadNothing) {
    Report everything =
        Report().buttons(0xFFFF).triggers(255, 255).sticks(32767, 32767, 32767, 32767);
    sim::setPad(0, Report());
    input::Gamepad pad(0);
    sim::setPad(0, everything);
    pad.update(0.1f);
    pad.update(0.5f);
    sim::setPad(0, Report());
    pad.update(0.1f);
    sim::setPad(0, everything);
    pad.update(0.1f); // every bit and trigger freshly pressed, all timers running
    for (int code : kOutsideButtons) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(pad.buttonDown(code));
        EXPECT_FALSE(pad.buttonPressed(code));
        EXPECT_FALSE(pad.buttonReleased(code));
        EXPECT_FALSE(pad.buttonClicked(code));
        EXPECT_FALSE(pad.buttonHeld(code));
        EXPECT_EQ(pad.getAnalogButton(code), 0.0f);
    }
    EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_BUTTON_NONE));
    EXPECT_FALSE(pad.buttonPressed(input::GAMEPAD_BUTTON_NONE));
    EXPECT_EQ(pad.getAnalogButton(input::GAMEPAD_BUTTON_NONE), 0.0f);
    for (int axis : {-1, 4, 20}) {
        EXPECT_EQ(pad.getAxis(axis), 0.0f) << axis;
        EXPECT_EQ(pad.getRawAxis(axis), 0.0f) << axis;
    }
    EXPECT_TRUE(pad.buttonDown(input::GAMEPAD_RIGHT_TRIGGER));
    EXPECT_EQ(pad.getAxis(3), 1.0f);
}

TEST_F(FreshMachine, PadOutsideTheUserIndicesNeverCallsXInput) {
    for (unsigned user = 0; user < 4; ++user)
        sim::setPad(user, Report().press(input::GAMEPAD_A));
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
    for (unsigned user = 0; user < 4; ++user) {
        EXPECT_EQ(sim::padReads(user), 0u);
        EXPECT_TRUE(sim::vibrations(user).empty());
    }
}

TEST_F(FreshMachine, KeyCodesOutsideTheTablesReadFalse) {
    input::InputX86 pc;
    bool all[256];
    for (bool& key : all)
        key = true;
    pc.updateKeyboardState(all);
    app::InputEvent notch;
    notch.rawInput.data.mouse.usButtonFlags = app::RI_MOUSE_WHEEL;
    notch.rawInput.data.mouse.usButtonData = 120;
    pc.handleAppEvent(&notch);
    pc.update();
    ASSERT_TRUE(pc.keyDown(input::KEY_WHEEL_UP));
    for (unsigned short code : {258, 259, 1000, 65535}) {
        EXPECT_FALSE(pc.keyDown(code)) << code;
        EXPECT_FALSE(pc.keyUp(code)) << code;
        EXPECT_FALSE(pc.keyClicked(code)) << code;
    }

    input::Keyboard keyboard;
    app::RawKeyEvent down;
    down.down = true;
    for (int code = 0; code < 256; ++code) {
        down.keyCode = code;
        keyboard.handleAppEvent(&down);
    }
    keyboard.update();
    EXPECT_FALSE(keyboard.keyDown(-1));
    EXPECT_FALSE(keyboard.keyDown(256));
    EXPECT_FALSE(keyboard.keyPressed(1000));
    EXPECT_FALSE(keyboard.keyPressed(-256));
}

TEST_F(FreshMachine, RawKeyEventsOutsideTheCodesAreIgnored) {
    input::Keyboard keyboard;
    app::RawKeyEvent event;
    event.down = true;
    event.modifiers = app::RawKeyEvent::MODIFIER_CTRL;
    for (int code : {-1, 256, 300, 100000, -100000}) {
        event.keyCode = code;
        EXPECT_FALSE(keyboard.handleAppEvent(&event));
        event.down = !event.down;
        EXPECT_FALSE(keyboard.handleAppEvent(&event));
        event.down = !event.down;
    }
    keyboard.update();
    EXPECT_TRUE(keyboard.isKeyboardBufferEmpty());
    for (int code = 0; code < 256; ++code)
        EXPECT_FALSE(keyboard.keyDown(code)) << code;
}

TEST_F(FreshMachine, RawInputRecordsOtherThanMouseAreIgnored) {
    input::InputX86 pc;
    for (std::uint32_t type : {1u, 2u, 77u}) { // keyboard, HID, unknown
        app::InputEvent event;
        event.rawInput.header.dwType = type;
        event.rawInput.data.mouse.usFlags = app::MOUSE_MOVE_RELATIVE;
        event.rawInput.data.mouse.lLastX = 40;
        event.rawInput.data.mouse.lLastY = -40;
        event.rawInput.data.mouse.usButtonFlags = app::RI_MOUSE_WHEEL;
        event.rawInput.data.mouse.usButtonData = 120;
        EXPECT_TRUE(pc.dispatchAppEvent(&event));
    }
    pc.update();
    EXPECT_EQ(pc.getRawMouseDeltaX(), 0);
    EXPECT_EQ(pc.getRawMouseDeltaY(), 0);
    EXPECT_EQ(pc.getMouseWheel(), 0);
    EXPECT_FALSE(pc.keyDown(input::KEY_WHEEL_UP));
}

TEST_F(ManagerTest, NegativeActionIdsChangeNothing) {
    input::InputManager& m = *manager;
    std::uint64_t allocations = host::memory::allocationCount();
    m.registerAction(-1, "NEGATIVE", input::CONTROL_DOWN, input::CHANNEL_ALL);
    m.registerAction(-310, "MENU_A", input::CONTROL_DOWN, input::CHANNEL_ALL);
    EXPECT_EQ(host::memory::allocationCount(), allocations);
    EXPECT_EQ(m.getAction("NEGATIVE"), -1);
    EXPECT_EQ(m.getAction("MENU_A"), 18);
    EXPECT_FALSE(m.isActionAssigned(-1));
    EXPECT_TRUE(m.isActionAssigned(309));
    EXPECT_FALSE(m.isActionAssigned(310));

    m.setMenu(true);
    keyDown(13);
    frame();
    for (int id : {-1, -310, 310, 1 << 30}) {
        EXPECT_FALSE(m.readDigital(id)) << id;
        EXPECT_EQ(m.readAnalog(id), 0.0f) << id;
        EXPECT_STREQ(m.getActionName(id).c_str(), "INVALID");
    }
    EXPECT_TRUE(m.readDigital(input::ACTION_MENU_A));
}
