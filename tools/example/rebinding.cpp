// The key binding screen of docs/integration.md: open the screen, capture the player's next key,
// check what else uses it, replace the binding, save the profile, and load it at the next start.
//
// Keys are scripted here through the stand-in's controls; a game gets them from its window.
#include <cstdio>
#include <string>

#include "input/input.h"
#include "standin/control.h"

namespace {

void frame(input::InputManager& manager, int heldKey) {
    bool keys[256] = {};
    if (heldKey >= 0)
        keys[heldKey] = true;
    manager.getInputX86()->updateKeyboardState(keys);
    manager.update(1.0f / 60.0f);
}

} // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "bindings_profile.txt";
    sim::reset();
    {
        input::InputManager manager(true, true);
        manager.setFocus(true);
        manager.setMenu(true);

        // Open the screen while Enter (which chose "Controls") is still down.
        frame(manager, 13);
        manager.setBinding(true);
        input::BindingCapture capture(manager);
        frame(manager, 13);
        input::CapturedInput next = capture.poll(); // Enter is ignored until released
        frame(manager, -1);
        capture.poll();
        frame(manager, 'H'); // the player presses H
        next = capture.poll();
        std::printf("captured: %s %d\n", next.kind == input::CapturedInput::KEY ? "key" : "other",
                    next.code);

        // What already uses H in the menus? Then H replaces MENU_Y's first key.
        int conflicts[8];
        int n = input::findConflicts(manager, input::BINDING_KEYBOARD, next.code,
                                     input::CHANNEL_MENU, conflicts, 8);
        std::printf("conflicts: %d\n", n);
        input::replaceBinding(manager, input::BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, next.code);
        manager.setBinding(false);

        input::ProfileError error;
        if (!input::saveBindingProfile(manager, path.c_str(), &error)) {
            std::fprintf(stderr, "%s: error: %s\n", path.c_str(), error.message);
            return 1;
        }
    }
    // The next start: defaults first, then the player's profile.
    input::InputManager manager(true, true);
    input::ProfileError error;
    if (!input::loadBindingProfile(manager, path.c_str(), &error)) {
        std::fprintf(stderr, "%s:%d:%d: error: %s\n", path.c_str(), error.line, error.column,
                     error.message);
        return 1;
    }
    unsigned short keys[4];
    int count = input::getBindings(manager, input::BINDING_KEYBOARD, input::ACTION_MENU_Y, keys, 4);
    std::printf("MENU_Y keys after loading:");
    for (int i = 0; i < count && i < 4; ++i)
        std::printf(" %d", keys[i]);
    std::printf("\n");
    std::remove(path.c_str());
    return 0;
}
