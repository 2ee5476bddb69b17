#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>

#include "app/events.h"
#include "input/input.h"
#include "standin/control.h"

namespace sim {
// The three accessibility settings compared and printed whole.
inline bool operator==(const AccessibilityFlags& a, const AccessibilityFlags& b) {
    return a.sticky == b.sticky && a.toggle == b.toggle && a.filter == b.filter;
}
inline std::ostream& operator<<(std::ostream& out, const AccessibilityFlags& f) {
    return out << std::hex << "{sticky 0x" << f.sticky << ", toggle 0x" << f.toggle << ", filter 0x"
               << f.filter << "}" << std::dec;
}
} // namespace sim

namespace testing_support {

// An action id list as the exclusive-actions calls take it.
using IdList = vel::Vector<int, vel::Allocator<int, 0>>;
inline IdList idList(std::initializer_list<int> ids) {
    IdList list;
    for (int id : ids)
        list.pushBack(id);
    return list;
}

// A pad report built field by field.
struct Report {
    _tov_XINPUT_GAMEPAD raw{};

    Report& buttons(std::uint16_t mask) {
        raw.wButtons = mask;
        return *this;
    }
    Report& press(int code) {
        raw.wButtons = static_cast<std::uint16_t>(raw.wButtons | (1u << code));
        return *this;
    }
    Report& triggers(std::uint8_t left, std::uint8_t right) {
        raw.bLeftTrigger = left;
        raw.bRightTrigger = right;
        return *this;
    }
    Report& sticks(std::int16_t lx, std::int16_t ly, std::int16_t rx, std::int16_t ry) {
        raw.sThumbLX = lx;
        raw.sThumbLY = ly;
        raw.sThumbRX = rx;
        raw.sThumbRY = ry;
        return *this;
    }
    operator const _tov_XINPUT_GAMEPAD&() const { return raw; }
};

// The five button queries of one pad code, as letters: down, pressed, released, clicked (a tap)
// and held, or '-' for each that is false.
std::string padQueries(const input::Gamepad& pad, int code);

// A raw mouse record as the PC device receives it.
app::InputEvent mouseEvent(std::uint16_t flags, std::int32_t x, std::int32_t y,
                           std::uint16_t buttonFlags = 0, std::int16_t buttonData = 0,
                           std::uint32_t type = app::RIM_TYPEMOUSE);
// A raw key event as the raw keyboard buffer receives it.
app::RawKeyEvent rawKeyEvent(int key, bool down, int modifiers = 0, char character = 0);

// Every test starts from a fresh host and platform.
class FreshMachine : public ::testing::Test {
protected:
    void SetUp() override { sim::reset(); }
    void TearDown() override { sim::reset(); }
};

// A manager with a PC device in PC input mode and focus, and the raw keyboard attached.
class ManagerTest : public FreshMachine {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the manager under test (replacing any earlier one).
    input::InputManager& make(bool createPCDevice = true, bool pcInputMode = true);

    // One frame: the host's key snapshot and raw keyboard update, then the manager's update.
    void frame(float dt = 1.0f / 60.0f);

    void keyDown(int vk) { keys[vk] = true; }
    void keyUp(int vk) { keys[vk] = false; }
    // Raw key events for the raw keyboard buffer.
    void rawKey(int vk, bool down, int modifiers = 0, char character = 0);
    // A raw relative mouse move and wheel notch.
    void mouseMove(int dx, int dy, int wheel = 0);
    // Makes the pad (slot 0 by default) the device in use by a frame with a stick pushed, then
    // releases it with a second frame.
    void switchToPad(unsigned user = 0);
    // World-step reads that leave the buffering mode as it was.
    bool steppedDigital(int action);
    float steppedAnalog(int action);

    std::unique_ptr<input::InputManager> manager;
    std::unique_ptr<input::Keyboard> keyboard;
    bool keys[256] = {};
};

} // namespace testing_support
