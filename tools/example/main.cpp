// A minimal frame loop: pad A pressed in slot 0 while a menu is open, read live and from the
// world-step buffers.
#include <cstdio>

#include "input/input.h"
#include "standin/control.h"

int main() {
    sim::reset();
    input::InputManager manager(true, true);
    manager.setFocus(true);
    manager.setMenu(true);

    _tov_XINPUT_GAMEPAD report{};
    sim::connectPad(0);
    sim::setPad(0, report);
    manager.update(1.0f / 60.0f);
    report.wButtons = 0x1000; // A
    sim::setPad(0, report);
    manager.update(1.0f / 60.0f);

    std::printf("device: %s\n", manager.isUsingKeyboardAndMouse() ? "keyboard+mouse" : "pad");
    std::printf("MENU_A live: %d\n", manager.readDigital(input::ACTION_MENU_A));
    manager.setBufferingMode(input::BUFFERING_WORLD_STEP);
    std::printf("MENU_A world step: %d\n", manager.readDigital(input::ACTION_MENU_A));
    return 0;
}
