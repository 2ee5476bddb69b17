// The PC keyboard-and-mouse device: key snapshots, raw mouse records, scaling and hot keys.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "d/tweakable.h"
#include "support/fixture.h"

using namespace testing_support;
using input::InputX86;

namespace {

void feed(InputX86& pc, app::InputEvent event) {
    EXPECT_TRUE(pc.handleAppEvent(&event));
}

void wheel(InputX86& pc, std::int16_t data) {
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 0, 0, app::RI_MOUSE_WHEEL, data));
}

struct Snapshot {
    bool keys[256] = {};
};

// Mouse buttons 1, 2, 4, 5, 6 and Z: 'd' for each down.
std::string downs(const InputX86& pc) {
    std::string out;
    for (int code : {1, 2, 4, 5, 6, int('Z')})
        out += pc.keyDown(static_cast<unsigned short>(code)) ? 'd' : '-';
    return out;
}

// isAnyKeyPressed's key, or -1 when it says none (and then it must have set -1 too).
int firstPressed(const InputX86& pc) {
    int key = 0;
    bool any = pc.isAnyKeyPressed(key);
    EXPECT_EQ(any, key != -1) << key;
    return any ? key : -1;
}

using InputX86Keys = FreshMachine;
using InputX86Mouse = FreshMachine;
using SimInputX86 = FreshMachine;

} // namespace

TEST_F(InputX86Keys, SnapshotEdgesAndReset) {
    InputX86 pc;
    Snapshot held;
    held.keys['A'] = true;
    held.keys[0xA0] = true;
    pc.updateKeyboardState(held.keys);
    // A down and clicked, 0xA0 clicked, then the first key pressed.
    auto state = [&] {
        return std::string{pc.keyDown('A') ? 'd' : '-', pc.keyClicked('A') ? 'c' : '-',
                           pc.keyClicked(0xA0) ? 'c' : '-', ' '} +
               std::to_string(firstPressed(pc));
    };
    EXPECT_EQ(state(), "--- -1"); // taken by the next update
    pc.update();
    EXPECT_EQ(state(), "dcc 65");
    for (unsigned short code = 0; code < input::KEY_COUNT; ++code)
        EXPECT_EQ(pc.keyUp(code), pc.keyDown(code)) << code;
    pc.update();
    EXPECT_EQ(state(), "d-- -1");
    pc.reset();
    EXPECT_EQ(state(), "--- -1");
    pc.update(); // the snapshot is still pending
    EXPECT_EQ(state(), "dcc 65");
    pc.updateKeyboardState(Snapshot().keys);
    pc.update();
    EXPECT_EQ(state(), "--- -1");
}

// The copy skips keys whose states all agree; against the plain rules (previous = current,
// current = pending, the buttons from the system, the wheel codes from the notches), over random
// frames that change a few keys, hold them, press buttons, turn the wheel and reset.
TEST_F(SimInputX86, KeyStatesFollowThePlainRulesOverRandomFrames) {
    InputX86 pc;
    std::mt19937 random(7);
    bool pending[input::KEY_COUNT] = {}, current[input::KEY_COUNT] = {},
         previous[input::KEY_COUNT] = {}, buttons[7] = {};
    int notches = 0;
    for (int frame = 0; frame < 400; ++frame) {
        SCOPED_TRACE(frame);
        int what = static_cast<int>(random() % 8);
        if (what < 3) { // a few keys anywhere, some next to each other
            Snapshot snapshot;
            for (int i = 0; i < 256; ++i)
                snapshot.keys[i] = pending[i];
            for (int n = static_cast<int>(random() % 4); n >= 0; --n) {
                int code = static_cast<int>(random() % 256);
                snapshot.keys[code] = pending[code] = !pending[code];
            }
            pc.updateKeyboardState(snapshot.keys);
        } else if (what == 3) {
            int vk = std::vector<int>{1, 2, 4, 5, 6}[random() % 5];
            buttons[vk] = !buttons[vk];
            sim::setAsyncKey(vk, buttons[vk]);
        } else if (what == 4) { // one notch since the last reset of the deltas
            pc.resetMouseInputDeltas();
            notches = random() % 2 ? 1 : -1;
            wheel(pc, static_cast<std::int16_t>(notches * 120));
        } else if (what == 5) {
            pc.reset();
            for (int i = 0; i < input::KEY_COUNT; ++i)
                current[i] = previous[i] = false;
            notches = 0;
        }
        pc.update();
        for (int i = 0; i < input::KEY_COUNT; ++i) {
            previous[i] = current[i];
            current[i] = pending[i];
        }
        for (int vk : {1, 4, 2, 5, 6})
            current[vk] = buttons[vk];
        current[input::KEY_WHEEL_UP] = notches > 0;
        current[input::KEY_WHEEL_DOWN] = notches < 0;
        for (unsigned short code = 0; code < input::KEY_COUNT; ++code) {
            ASSERT_EQ(pc.keyDown(code), current[code]) << code;
            ASSERT_EQ(pc.keyClicked(code), current[code] && !previous[code]) << code;
        }
    }
}

TEST_F(InputX86Mouse, RelativeMotionAndWheelNotches) {
    InputX86 pc;
    for (std::uint32_t type : {1u, 2u, 77u}) // keyboard, HID, unknown: taken and ignored
        feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 40, -40, app::RI_MOUSE_WHEEL, 120, type));
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 5, -3));
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 7, 1));
    EXPECT_EQ(pc.getRawMouseDeltaX(), 0); // published by update
    pc.update();
    EXPECT_EQ(pc.getRawMouseDeltaX(), 12);
    EXPECT_EQ(pc.getRawMouseDeltaY(), -2);
    EXPECT_EQ(pc.getMouseWheel(), 0);
    EXPECT_FALSE(pc.keyDown(input::KEY_WHEEL_UP));
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 1, 0));
    pc.update(); // the accumulators run on until the host resets them
    EXPECT_EQ(pc.getRawMouseDeltaX(), 13);
    pc.resetMouseInputDeltas();
    EXPECT_EQ(pc.getRawMouseDeltaX(), 13);
    pc.update();
    EXPECT_EQ(pc.getRawMouseDeltaX(), 0);

    wheel(pc, 240);
    wheel(pc, 120);
    wheel(pc, 0);
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 0, 0, app::RI_MOUSE_HWHEEL, 120));
    pc.update();
    EXPECT_EQ(pc.getMouseWheel(), 2);
    EXPECT_EQ(firstPressed(pc), input::KEY_WHEEL_UP);
    for (int frame = 0; frame < 3; ++frame) {
        pc.update();
        EXPECT_TRUE(pc.keyDown(input::KEY_WHEEL_UP));
        EXPECT_FALSE(pc.keyClicked(input::KEY_WHEEL_UP));
    }
    for (int notch = 0; notch < 3; ++notch)
        wheel(pc, -120);
    pc.update();
    EXPECT_EQ(pc.getMouseWheel(), -1);
    EXPECT_FALSE(pc.keyDown(input::KEY_WHEEL_UP));
    EXPECT_TRUE(pc.keyClicked(input::KEY_WHEEL_DOWN));
}

TEST_F(InputX86Mouse, SensitivityFactorAndSettingsScaleTheDeltas) {
    InputX86 pc;
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 10, -20));
    pc.update();
    EXPECT_FLOAT_EQ(pc.getMouseDeltaX(), 10.5f); // 0.5 at construction: factor 1.05
    EXPECT_FLOAT_EQ(pc.getMouseDeltaY(), -21.0f);
    for (float low : {-3.0f, 0.0f}) {
        pc.setMouseSensitivity(low);
        EXPECT_FLOAT_EQ(pc.getMouseDeltaX(), 0.1f * 10.0f);
    }
    for (float high : {7.0f, 1.0f}) {
        pc.setMouseSensitivity(high);
        EXPECT_EQ(pc.getMouseDeltaX(), 20.0f);
    }
    ASSERT_TRUE(d::setTweakable("Input:Mouse X sensitivity", 0.5f));
    ASSERT_TRUE(d::setTweakable("Input:Mouse Y sensitivity", 3.0f));
    EXPECT_EQ(pc.getMouseDeltaX(), 10.0f);
    EXPECT_EQ(pc.getMouseDeltaY(), -120.0f);
}

TEST_F(SimInputX86, MouseButtonsComeFromTheSystem) {
    InputX86 pc;
    Snapshot snapshot;
    for (int code : {1, 2, 4, 5, 6, int('Z')})
        snapshot.keys[code] = true;
    pc.updateKeyboardState(snapshot.keys);
    sim::setAsyncKey(4, true);
    sim::setAsyncKey('Z', false);
    sim::clearAsyncKeyQueries();
    pc.update();
    EXPECT_EQ(sim::asyncKeyQueries(), (std::vector<int>{1, 4, 2, 5, 6})); // the buttons alone
    EXPECT_EQ(downs(pc), "--d--d");
    EXPECT_EQ(firstPressed(pc), 4);

    sim::setAsyncKey(2, true);
    pc.updateKeyboardState(Snapshot().keys);
    pc.update();
    EXPECT_EQ(firstPressed(pc), 2);
    EXPECT_EQ(downs(pc), "-dd---");
}

TEST_F(SimInputX86, AbsoluteMotionScalesToTheScreenAndSkipsJumps) {
    sim::setScreenMetric(0, 1000);
    sim::setScreenMetric(1, 500);
    sim::setScreenMetric(78, 4000);
    sim::setScreenMetric(79, 2000);
    InputX86 pc;
    auto absolute = [&](std::int32_t x, std::int32_t y, bool virtualDesktop = false) {
        std::uint16_t flags = app::MOUSE_MOVE_ABSOLUTE;
        if (virtualDesktop)
            flags |= app::MOUSE_VIRTUAL_DESKTOP;
        feed(pc, mouseEvent(flags, x, y));
        pc.update();
        return std::make_pair(pc.getRawMouseDeltaX(), pc.getRawMouseDeltaY());
    };
    using Delta = std::pair<int, int>;
    EXPECT_EQ(absolute(30000, 30000), Delta(0, 0));    // nothing to measure from yet
    EXPECT_EQ(absolute(36553, 23447), Delta(99, -49)); // toward zero
    EXPECT_EQ(absolute(37553, 23447, true), Delta(99 + 61, -49));
    EXPECT_EQ(absolute(45745, 23448), Delta(160, -49));       // 8192 across: a jump
    EXPECT_EQ(absolute(53936, 23448), Delta(160 + 124, -49)); // 8191 from the new base
    EXPECT_EQ(absolute(53937, 31640), Delta(284, -49));       // a jump on one axis moves neither
    EXPECT_EQ(absolute(53937, 31640 - 8191), Delta(284, -49 - 62));
    pc.reset(); // keeps the last position: the next event measures from it
    EXPECT_EQ(absolute(53937 + 6553, 23449), Delta(99, 0));
}

TEST_F(SimInputX86, HotKeysOffWhileTheDeviceLives) {
    const sim::AccessibilityFlags before{0x1FE, 0x0C, 0x7F};
    sim::setAccessibilityFlags(before);
    InputX86 pc;
    pc.destruct(); // nothing saved: nothing restored
    EXPECT_TRUE(sim::spiCalls().empty());
    Snapshot held;
    held.keys['H'] = true;
    pc.updateKeyboardState(held.keys);
    feed(pc, mouseEvent(app::MOUSE_MOVE_RELATIVE, 9, 9));
    pc.update();
    pc.construct(); // clears the published state and the mouse, keeps the pending snapshot
    EXPECT_FALSE(pc.keyDown('H'));
    pc.update();
    EXPECT_TRUE(pc.keyClicked('H'));
    EXPECT_EQ(pc.getRawMouseDeltaX(), 0);

    using Rows = std::vector<std::vector<std::uint32_t>>;
    Rows registered; // the keyboard, then the mouse, without a target window
    for (const auto& r : sim::rawInputRegistrations())
        registered.push_back({r.usagePage, r.usage, r.flags, r.targetWindow ? 1u : 0u});
    EXPECT_EQ(registered, (Rows{{1, 6, 0, 0}, {1, 2, 0, 0}}));

    // action, uiParam, cbSize, flags, fWinIni: get the three, clear the hot-key bits, restore.
    const Rows expected = {
        {58, 8, 8, 0x1FE, 0},         {52, 8, 8, 0x0C, 0},         {50, 24, 24, 0x7F, 0},
        {59, 8, 8, 0x1FE & ~0xCu, 0}, {53, 8, 8, 0x0C & ~0xCu, 0}, {51, 24, 24, 0x7F & ~0xCu, 0},
        {59, 8, 8, 0x1FE, 0},         {53, 8, 8, 0x0C, 0},         {51, 24, 24, 0x7F, 0},
    };
    EXPECT_EQ(sim::accessibilityFlags().toggle, 0u);
    pc.destruct();
    Rows calls;
    for (const sim::SpiCall& c : sim::spiCalls())
        calls.push_back({c.action, c.uiParam, c.cbSize, c.dwFlags, c.fWinIni});
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(sim::accessibilityFlags(), before);
}

// That they are back afterwards is checked on every platform (platform_path_test.cpp).
TEST_F(SimInputX86, ManagerSwitchesHotKeysAroundItsDevice) {
    const sim::AccessibilityFlags defaults = sim::accessibilityFlags();
    { input::InputManager withoutDevice(false, true); }
    EXPECT_TRUE(sim::spiCalls().empty());
    EXPECT_TRUE(sim::rawInputRegistrations().empty());
    input::InputManager manager(true, true);
    EXPECT_EQ(sim::rawInputRegistrations().size(), 2u);
    EXPECT_EQ(sim::accessibilityFlags().sticky, defaults.sticky & ~0xCu);
    EXPECT_EQ(sim::accessibilityFlags().filter, defaults.filter & ~0xCu);
}
