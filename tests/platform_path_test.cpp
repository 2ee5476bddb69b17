// The library's calls into the operating system, checked on whatever platform runs the suite:
// the real user32 and XInput on Windows, the simulated machine elsewhere. Nothing here scripts the
// platform; each test compares the library with what the platform itself answers.

#include <string>

#include "app/events.h"
#include "loc/string_table.h"
#include "support/fixture.h"

using namespace testing_support;

namespace {

using PlatformPath = FreshMachine;

std::string narrow(const vel::WString& text) {
    std::string out;
    for (std::uint32_t i = 0; i < text.length(); ++i)
        out += static_cast<char>(text.c_str()[i]);
    return out;
}

std::string libraryKeyName(int vk) {
    input::InputX86 pc;
    vel::InplaceWString<128> name;
    pc.getKeycodeName(vk, name);
    return narrow(name);
}

} // namespace

TEST_F(PlatformPath, KeyNamesAreThePlatformsNames) {
    EXPECT_EQ(libraryKeyName('A'), "A");
    // Plain keys, then keys looked up with the extended flag (Page Up, Insert, Num Lock).
    for (int vk : {int('A'), int('Z'), int('7'), 0x20, 0x1B, 0x0D, 0x70}) {
        std::string platform =
            sim::keyNameText(static_cast<std::int32_t>(sim::mapVirtualKey(vk) << 16));
        EXPECT_FALSE(platform.empty()) << "vk " << vk;
        EXPECT_EQ(libraryKeyName(vk), platform) << "vk " << vk;
    }
    for (int vk : {0x21, 0x2D, 0x90}) {
        std::uint32_t scan = sim::mapVirtualKey(vk) | 0x100;
        std::string platform = sim::keyNameText(static_cast<std::int32_t>(scan << 16));
        if (!platform.empty()) {
            EXPECT_EQ(libraryKeyName(vk), platform) << "vk " << vk;
        }
    }
}

TEST_F(PlatformPath, StringTableNameWinsOverThePlatform) {
    loc::StringTable::getInstance()->setString("KEYCODE_0x41", L"Letter A");
    EXPECT_EQ(libraryKeyName('A'), "Letter A");
}

TEST_F(PlatformPath, HotKeysAreBackAfterTheDevice) {
    // Windows may refuse the SET calls (Wine does); the library ignores their result, so all that
    // holds everywhere is that the system ends where it started.
    sim::AccessibilityFlags before = sim::accessibilityFlags();
    for (int round = 0; round < 2; ++round) {
        input::InputManager manager(true, true);
        ASSERT_NE(manager.getInputX86(), nullptr);
        manager.update(1.0f / 60.0f);
    }
    sim::AccessibilityFlags after = sim::accessibilityFlags();
    EXPECT_EQ(after.sticky, before.sticky);
    EXPECT_EQ(after.toggle, before.toggle);
    EXPECT_EQ(after.filter, before.filter);
}

TEST_F(PlatformPath, MouseButtonsAndScreenComeFromTheSystem) {
    // Nobody presses a mouse button during the run, and the absolute move lands on some screen.
    input::InputX86 pc;
    pc.construct();
    app::InputEvent event;
    event.rawInput.header.dwType = app::RIM_TYPEMOUSE;
    event.rawInput.data.mouse.usFlags = app::MOUSE_MOVE_ABSOLUTE;
    event.rawInput.data.mouse.lLastX = 1000;
    event.rawInput.data.mouse.lLastY = 1000;
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
