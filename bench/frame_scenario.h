#pragma once

// The game's frame as the benchmarks measure it: the default tables, the PC device present, one
// pad connected, the game running, then one read of every default action on the device in use.

#include <memory>
#include <stdexcept>

#include "input/input.h"
#include "standin/control.h"

namespace bench {

enum class Device { Pad, Keyboard };

inline const char* deviceName(Device device) {
    return device == Device::Pad ? "pad" : "keyboard";
}

// Whether the game reads an action as a float (sticks, triggers as analogue buttons) or a bool.
inline bool readsAsAnalogue(input::ControlType type) {
    return (type >= input::CONTROL_AXIS && type <= input::CONTROL_AXIS_NEGATIVE_HALF) ||
           type == input::CONTROL_ANALOGUE_BUTTON;
}

struct FrameScenario {
    std::unique_ptr<input::InputManager> manager;
    bool keys[256] = {};
    int ids[input::kDefaultActionCount] = {};
    bool analogue[input::kDefaultActionCount] = {};

    explicit FrameScenario(Device device) {
        sim::reset();
        _tov_XINPUT_GAMEPAD report{};
        if (device == Device::Pad) {
            report.wButtons = 0x1000; // A held
            report.sThumbLX = 20000;
            report.sThumbRY = -12000;
        }
        sim::connectPad(0); // connected either way
        sim::setPad(0, report);
        manager = std::make_unique<input::InputManager>(true, true);
        manager->setFocus(true);
        manager->setGame(true);
        manager->bindKeyboard(input::ACTION_MOVE_LEFT, 74);
        manager->bindKeyboard(input::ACTION_MOVE_RIGHT, 76);
        keys[74] = device == Device::Keyboard;
        int n = 0;
#define BENCH_DEFAULT_ACTION(name, id, type, channels)                                             \
    ids[n] = id;                                                                                   \
    analogue[n++] = readsAsAnalogue(input::type);
        INPUT_DEFAULT_ACTIONS(BENCH_DEFAULT_ACTION)
#undef BENCH_DEFAULT_ACTION
        update();
        update();
        if (manager->isUsingKeyboardAndMouse() != (device == Device::Keyboard))
            throw std::logic_error("device in use not reached");
    }
    ~FrameScenario() {
        manager.reset();
        sim::reset();
    }
    FrameScenario(const FrameScenario&) = delete;
    FrameScenario& operator=(const FrameScenario&) = delete;

    void update() {
        manager->getInputX86()->updateKeyboardState(keys);
        manager->update(1.0f / 60.0f);
    }
    // One live read of each default action; the sum keeps the reads from being optimised out.
    float readAll() {
        float sum = 0.0f;
        for (int i = 0; i < input::kDefaultActionCount; ++i)
            sum += analogue[i] ? manager->readAnalog(ids[i])
                               : (manager->readDigital(ids[i]) ? 1.0f : 0.0f);
        return sum;
    }
    float frame() {
        update();
        return readAll();
    }
};

} // namespace bench
