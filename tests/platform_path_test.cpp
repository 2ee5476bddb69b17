// The library's calls into the operating system, checked on whatever platform runs the suite:
// the real user32 and XInput on Windows, the simulated machine elsewhere. Nothing here scripts the
// platform; each test compares the library with what the platform itself answers. The key names
// are compared with the platform's in key_names_test.cpp.

#include "support/fixture.h"

using namespace testing_support;

using PlatformPath = FreshMachine;

TEST_F(PlatformPath, HotKeysAreBackAfterTheDevice) {
    // Windows may refuse the SET calls (Wine does); the library ignores their result, so all that
    // holds everywhere is that the system ends where it started.
    sim::AccessibilityFlags before = sim::accessibilityFlags();
    for (int round = 0; round < 2; ++round) {
        input::InputManager manager(true, true);
        ASSERT_NE(manager.getInputX86(), nullptr);
        manager.update(1.0f / 60.0f);
    }
    EXPECT_EQ(sim::accessibilityFlags(), before);
}

TEST_F(PlatformPath, MouseButtonsAndScreenComeFromTheSystem) {
    // Nobody presses a mouse button during the run, and the absolute move lands on some screen.
    input::InputX86 pc;
    pc.construct();
    app::InputEvent event = mouseEvent(app::MOUSE_MOVE_ABSOLUTE, 1000, 1000);
    EXPECT_TRUE(pc.handleAppEvent(&event));
    event.rawInput.data.mouse.lLastX = 1100;
    EXPECT_TRUE(pc.handleAppEvent(&event));
    pc.update();
    for (unsigned short button : {1, 2, 4, 5, 6})
        EXPECT_FALSE(pc.keyDown(button)) << button;
    EXPECT_GT(sim::screenMetric(0), 0);
    EXPECT_GT(sim::screenMetric(1), 0);
    pc.destruct();
}

TEST_F(PlatformPath, UnscriptedPadGoesToThePlatformsXInput) {
    host::xinput::useDevice(3);
    input::Gamepad pad(3);
    unsigned reads = sim::padReads(3);
    pad.refreshGamepadConnectivity();
    pad.update(1.0f / 60.0f);
    EXPECT_GT(sim::padReads(3), reads);
    pad.enableRumble(true);
    pad.setLowFrequencyRumble(0.5f);
    pad.update(1.0f / 60.0f);
    pad.setLowFrequencyRumble(0.0f);
    pad.update(1.0f / 60.0f);
}
