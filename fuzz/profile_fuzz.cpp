// libFuzzer target: the input bytes are a bindings profile. Whatever they hold, reading either
// refuses them, with a message and a place on a line the text has, leaving both tables and every
// setting as they were; or applies them, and then what the manager writes reads back, on a
// manager in another state, to the very same tables and settings. AddressSanitizer and
// UndefinedBehaviorSanitizer judge every step.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "input/input.h"
#include "input/rebinding.h"

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "profile_fuzz: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// The whole visible state: the writer's text holds both tables and every setting.
std::string state(const input::InputManager& manager) {
    input::ProfileError error;
    std::size_t size = input::writeBindingProfile(manager, nullptr, 0, &error);
    if (size == 0 || size > input::kMaxProfileSize)
        broken("the tables could not be written", error.message);
    std::string text(size, '\0');
    if (input::writeBindingProfile(manager, &text[0], size, &error) != size)
        broken("the writer's measure and its text differ", error.message);
    return text;
}

int lineCount(const std::uint8_t* data, std::size_t size) {
    int lines = 1;
    for (std::size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    return lines;
}

input::InputManager& makeManager() {
    static input::InputManager manager(true, true);
    // Names a profile may meet beyond the defaults: one past the writer's name length, one with
    // a character a profile cannot write, ids far out and below zero.
    manager.registerAction(300,
                           "AN_ACTION_WHOSE_NAME_IS_LONGER_THAN_SIXTY_FOUR_BYTES_SO_IT_GOES_BY_ID",
                           input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager.registerAction(301, "TWO WORDS", input::CONTROL_DOWN, input::CHANNEL_GAME);
    manager.registerAction(302, "#HASH", input::CONTROL_DOWN, input::CHANNEL_GAME);
    manager.registerAction(70000, "FAR", input::CONTROL_DOWN, input::CHANNEL_GAME);
    return manager;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static input::InputManager& manager = makeManager();
    input::resetBindingProfile(manager);
    const std::string before = state(manager);

    const char* text = reinterpret_cast<const char*>(data);
    input::ProfileError error;
    if (!input::readBindingProfile(manager, text, size, &error)) {
        if (state(manager) != before)
            broken("a refused profile changed the manager", error.message);
        if (error.message[0] == '\0')
            broken("a refusal without a message", "");
        bool nowhere = error.line == 0 && error.column == 0;
        if (!nowhere && (error.line < 1 || error.line > lineCount(data, size) || error.column < 1))
            broken("a refusal pointing outside the text", error.message);
        return 0;
    }

    // Applied: what is written reads back to the same, from another starting state.
    const std::string written = state(manager);
    input::resetBindingProfile(manager);
    manager.setInvertVerticalForMouse(!manager.getInvertVerticalForMouse());
    manager.setSticksSwapped(true);
    manager.setMouseSensitivity(0.75f);
    manager.bindKeyboard(input::ACTION_MENU_A, 65);
    if (!input::readBindingProfile(manager, written.data(), written.size(), &error))
        broken("a written profile did not read back", std::string(error.message) + "\n" + written);
    if (state(manager) != written)
        broken("a written profile read back to other tables or settings", written);
    return 0;
}
