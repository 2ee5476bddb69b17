// Constructs the manager, binds an action, runs frames and reads the action: Space, then pad A
// in slot 0 (scripted through the host stand-in's XInput users).

#include <cstdio>

#include "game_input.h"
#include "host/control.h"
#include "input/input.h"
#include "input/version.h"

int main() {
    std::printf("gameinput %s\n", INPUT_VERSION_STRING);
    input::InputManager manager(true, true);
    manager.setFocus(true);
    manager.setGame(true);
    game::setUpInput();
    _tov_XINPUT_GAMEPAD pad{}; // a pad in slot 0, at rest
    host::xinput::connect(0);
    host::xinput::setReport(0, pad);

    int failures = 0;
    auto expect = [&](bool ok, const char* what) {
        std::printf("%s: %s\n", what, ok ? "ok" : "FAILED");
        failures += ok ? 0 : 1;
    };
    game::inputFrame(false);
    expect(!game::jumped(), "nothing pressed, no jump");
    game::inputFrame(true);
    expect(game::jumped(), "Space pressed, jump");
    game::inputFrame(true);
    expect(!game::jumped(), "Space held, no second jump");

    game::inputFrame(false);
    pad.wButtons = 0x1000; // A
    host::xinput::setReport(0, pad);
    game::inputFrame(false);
    expect(game::jumped(), "pad A pressed, jump");
    expect(!manager.isUsingKeyboardAndMouse(), "the pad is the device in use");

    std::printf(failures ? "consumer: %d failed\n" : "consumer: all passed\n", failures);
    return failures ? 1 : 0;
}
