// The worked example of docs/integration.md: one game frame loop as the engine runs it. Events
// first (raw mouse to the manager, raw keys to the raw keyboard), then the key snapshot and the
// raw keyboard's update, then InputManager::update, then the game's reads; at a world-step
// boundary switchWorldStepBuffers, and resetMouseInputDeltas once the motion is used.
//
// The pad and the keys are scripted here through the stand-in's controls (sim::); a game gets
// them from XInput and from its window's messages.
#include <cstdio>

#include "app/events.h"
#include "input/input.h"
#include "standin/control.h"

namespace {

struct Frame {
    bool padA = false;
    bool enter = false;
    int mouseX = 0;
};

void runFrame(input::InputManager& manager, input::Keyboard& keyboard, const Frame& frame) {
    // 1. Events since the last frame.
    if (frame.mouseX != 0) {
        app::InputEvent mouse;
        mouse.rawInput.header.dwType = app::RIM_TYPEMOUSE;
        mouse.rawInput.data.mouse.usFlags = app::MOUSE_MOVE_RELATIVE;
        mouse.rawInput.data.mouse.lLastX = frame.mouseX;
        manager.dispatchAppEvent(&mouse);
    }
    // 2. The key snapshot and the raw keyboard.
    bool keys[256] = {};
    keys[0x0D] = frame.enter;
    manager.getInputX86()->updateKeyboardState(keys);
    keyboard.update();
    // 3. The pads as XInput reports them, then the update.
    _tov_XINPUT_GAMEPAD pad{};
    pad.wButtons = frame.padA ? 0x1000 : 0;
    sim::setPad(0, pad);
    manager.update(1.0f / 60.0f);
}

} // namespace

int main() {
    sim::reset();
    sim::connectPad(0); // XInput reports a pad in slot 0
    input::Keyboard keyboard;
    input::InputManager manager(true, true);
    manager.setKeyboard(&keyboard);
    manager.setFocus(true);
    manager.setMenu(true);

    // Pad A in slot 0 while a menu is open.
    runFrame(manager, keyboard, Frame{});
    runFrame(manager, keyboard, Frame{true, false, 0});
    std::printf("device: %s\n", manager.isUsingKeyboardAndMouse() ? "keyboard+mouse" : "pad");
    std::printf("MENU_A live: %d\n", manager.readDigital(input::ACTION_MENU_A));
    manager.setBufferingMode(input::BUFFERING_WORLD_STEP);
    std::printf("MENU_A world step: %d\n", manager.readDigital(input::ACTION_MENU_A));
    // The simulation step is over: the current step becomes the previous one.
    manager.switchWorldStepBuffers();

    // Enter on the keyboard, with the mouse moving: the keyboard and mouse take over.
    runFrame(manager, keyboard, Frame{false, true, 12});
    std::printf("device: %s\n", manager.isUsingKeyboardAndMouse() ? "keyboard+mouse" : "pad");
    std::printf("MENU_A live: %d\n", manager.readDigital(input::ACTION_MENU_A));
    std::printf("mouse x: %d\n", manager.getInputX86()->getRawMouseDeltaX());
    // The game has used the motion: the totals start again, and the next update publishes them.
    manager.resetMouseInputDeltas();
    runFrame(manager, keyboard, Frame{});
    std::printf("mouse x next frame: %d\n", manager.getInputX86()->getRawMouseDeltaX());
    return 0;
}
