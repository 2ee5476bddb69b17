// libFuzzer target: the input bytes are a bindings profile. Whatever they hold, reading either
// refuses them, with a message and a place on a line the text has, leaving both tables, every
// setting and the contexts layer's mappings as they were; or applies them, and then what the
// manager writes reads back, on a manager in another state, to the very same tables, settings and
// mappings. AddressSanitizer and
// UndefinedBehaviorSanitizer judge every step.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "input/contexts.h"
#include "input/input.h"
#include "input/rebinding.h"

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "profile_fuzz: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// The whole visible state: the writer's text holds both tables, every setting and the mappings.
std::string state(const input::InputManager& manager, const input::InputContexts& layer) {
    input::ProfileError error;
    std::size_t size = input::writeBindingProfile(manager, &layer, nullptr, 0, &error);
    if (size == 0 || size > input::kMaxProfileSize)
        broken("the tables could not be written", error.message);
    std::string text(size, '\0');
    if (input::writeBindingProfile(manager, &layer, &text[0], size, &error) != size)
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

// A game's contexts: a name with a space (written by index), the same action mapped twice, a
// source of every kind.
input::InputContexts& makeLayer(input::InputManager& manager) {
    static input::InputContexts layer(manager);
    int jump = layer.defineAction("JUMP", input::VALUE_DIGITAL);
    int move = layer.defineAction("MOVE", input::VALUE_AXIS_2D);
    int steer = layer.defineAction("STEER", input::VALUE_AXIS_1D);
    int exitAction = layer.defineAction("EXIT VEHICLE", input::VALUE_DIGITAL);
    int gameplay = layer.defineContext("GAMEPLAY", 0);
    int vehicle = layer.defineContext("VEHICLE", 10);
    const struct {
        int context, action;
        input::Source source;
    } mappings[] = {
        {gameplay, jump, input::Source::key(32)},
        {gameplay, jump, input::Source::padButton(input::GAMEPAD_A)},
        {gameplay, move, input::Source::keyAxis2D(87, 83, 65, 68)},
        {gameplay, move, input::Source::padStick(0, 1)},
        {vehicle, steer, input::Source::keyAxis(65, 68)},
        {vehicle, steer, input::Source::mouse(0)},
        {vehicle, exitAction, input::Source::action(input::ACTION_MENU_B)},
    };
    for (const auto& m : mappings) {
        input::Mapping mapping;
        mapping.action = m.action;
        mapping.source = m.source;
        if (layer.addMapping(m.context, mapping) < 0)
            broken("a mapping of the layer was refused", "");
    }
    return layer;
}

// The mappings' sources as defined, to start each input from.
struct Defaults {
    input::Source sources[2][4];
    int counts[2] = {};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static input::InputManager& manager = makeManager();
    static input::InputContexts& layer = makeLayer(manager);
    static const Defaults defaults = [] {
        Defaults d;
        for (int c = 0; c < 2; ++c) {
            d.counts[c] = layer.mappingCount(c);
            for (int i = 0; i < d.counts[c]; ++i) {
                input::Mapping m;
                layer.getMapping(c, i, &m);
                d.sources[c][i] = m.source;
            }
        }
        return d;
    }();
    input::resetBindingProfile(manager);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < defaults.counts[c]; ++i)
            layer.rebind(c, i, defaults.sources[c][i]);
    }
    const std::string before = state(manager, layer);

    const char* text = reinterpret_cast<const char*>(data);
    input::ProfileError error;
    if (!input::readBindingProfile(manager, &layer, text, size, &error)) {
        if (state(manager, layer) != before)
            broken("a refused profile changed the manager", error.message);
        if (error.message[0] == '\0')
            broken("a refusal without a message", "");
        bool nowhere = error.line == 0 && error.column == 0;
        if (!nowhere && (error.line < 1 || error.line > lineCount(data, size) || error.column < 1))
            broken("a refusal pointing outside the text", error.message);
        return 0;
    }

    // Applied: what is written reads back to the same, from another starting state.
    const std::string written = state(manager, layer);
    input::resetBindingProfile(manager);
    layer.rebind(0, 0, input::Source::key(13));
    layer.rebind(1, 1, input::Source::mouse(1));
    manager.setInvertVerticalForMouse(!manager.getInvertVerticalForMouse());
    manager.setSticksSwapped(true);
    manager.setMouseSensitivity(0.75f);
    manager.bindKeyboard(input::ACTION_MENU_A, 65);
    if (!input::readBindingProfile(manager, &layer, written.data(), written.size(), &error))
        broken("a written profile did not read back", std::string(error.message) + "\n" + written);
    if (state(manager, layer) != written)
        broken("a written profile read back to other tables or settings", written);
    return 0;
}
