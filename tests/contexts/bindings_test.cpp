// The key binding screen over the contexts layer: a capture rebinds a mapping in place, and the
// player's profile carries the mappings in a section of its own, loaded whole or not at all.

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "contexts/fixture.h"
#include "support/failing_allocations.h"
#include "support/profile_state.h"

using namespace testing_support;
using input::CapturedInput;
using input::Source;

namespace {

class ContextBindings : public ContextsTest {
protected:
    // A game's definitions: gameplay with two jumps, a 2D move and a look stick; a vehicle with a
    // key axis and an exit on a pad button of slot 2.
    void define() {
        jump = action("JUMP");
        move = action("MOVE", input::VALUE_AXIS_2D);
        look = action("LOOK", input::VALUE_AXIS_2D);
        steer = action("STEER", input::VALUE_AXIS_1D);
        exitAction = action("EXIT VEHICLE"); // a space: written by its index
        gameplay = context("GAMEPLAY");
        vehicle = context("VEHICLE", 10);
        map(gameplay, mapping(jump, Source::key(32)));
        map(gameplay, mapping(move, Source::keyAxis2D(87, 83, 65, 68)));
        map(gameplay, mapping(jump, Source::padButton(input::GAMEPAD_A)));
        map(gameplay, mapping(look, Source::padStick(1)));
        map(vehicle, mapping(steer, Source::keyAxis(65, 68)));
        map(vehicle, mapping(exitAction, Source::padButton(input::GAMEPAD_Y, 2)));
    }
    // Every mapping's source, as the layer answers for it.
    std::string sources() const {
        std::string out;
        for (int c = 0; c < layer->contextCount(); ++c) {
            for (int i = 0; i < layer->mappingCount(c); ++i) {
                input::Mapping m;
                EXPECT_TRUE(layer->getMapping(c, i, &m));
                out += std::to_string(c) + "." + std::to_string(i) + "=" +
                       std::to_string(m.source.kind) + ":";
                for (int code : m.source.codes)
                    out += std::to_string(code) + ",";
                out += "@" + std::to_string(m.source.pad) + " ";
            }
        }
        return out;
    }
    std::string profile() const {
        std::size_t size = input::writeBindingProfile(*manager, layer.get(), nullptr, 0);
        std::string text(size, '\0');
        EXPECT_EQ(input::writeBindingProfile(*manager, layer.get(), &text[0], size), size);
        return text;
    }
    // A new start of the game: a fresh manager and layer with the same definitions.
    void restart() {
        layer.reset();
        make();
        layer = std::make_unique<input::InputContexts>(*manager);
        define();
    }

    int jump = -1, move = -1, look = -1, steer = -1, exitAction = -1;
    int gameplay = -1, vehicle = -1;
};

CapturedInput captured(CapturedInput::Kind kind, int code, int slot = -1) {
    CapturedInput c;
    c.kind = kind;
    c.code = static_cast<std::uint16_t>(code);
    c.slot = static_cast<std::int8_t>(slot);
    return c;
}

} // namespace

TEST_F(ContextBindings, ACaptureRebindsAMappingInPlace) {
    define();
    struct Case {
        const char* what;
        int context, mapping;
        CapturedInput input;
        int part;
        Source expected;
    };
    const std::vector<Case> cases = {
        {"a key for a key", gameplay, 0, captured(CapturedInput::KEY, 70), -1, Source::key(70)},
        {"one of four keys", gameplay, 1, captured(CapturedInput::KEY, 38), 0,
         Source::keyAxis2D(38, 83, 65, 68)},
        {"the last of four keys", gameplay, 1, captured(CapturedInput::KEY, 39), 3,
         Source::keyAxis2D(38, 83, 65, 39)},
        {"a key pair's positive key", vehicle, 0, captured(CapturedInput::KEY, 76), 1,
         Source::keyAxis(65, 76)},
        {"a part past the pair's keys takes the whole source", vehicle, 0,
         captured(CapturedInput::KEY, 77), 2, Source::key(77)},
        {"a button keeps the mapping's pad", vehicle, 1,
         captured(CapturedInput::PAD_BUTTON, input::GAMEPAD_B, 0), -1,
         Source::padButton(input::GAMEPAD_B, 2)},
        {"a button for a key follows the selected pad", gameplay, 0,
         captured(CapturedInput::PAD_BUTTON, input::GAMEPAD_X, 1), -1,
         Source::padButton(input::GAMEPAD_X)},
        {"a stick direction for a 2D action is the whole stick", gameplay, 3,
         captured(CapturedInput::PAD_STICK, input::GAMEPAD_LEFT_STICK_Y, 0), -1,
         Source::padStick(0)},
        {"a stick direction for a 1D action is one axis", vehicle, 0,
         captured(CapturedInput::PAD_STICK, input::GAMEPAD_RIGHT_STICK_X, 0), -1,
         Source::padAxis(input::GAMEPAD_RIGHT_STICK_X)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        input::ContextError error;
        ASSERT_TRUE(
            input::rebindContextMapping(*layer, c.context, c.mapping, c.input, c.part, &error))
            << error.message;
        input::Mapping m;
        ASSERT_TRUE(layer->getMapping(c.context, c.mapping, &m));
        EXPECT_EQ(m.source.kind, c.expected.kind);
        EXPECT_EQ(std::vector<int>(m.source.codes, m.source.codes + 4),
                  std::vector<int>(c.expected.codes, c.expected.codes + 4));
        EXPECT_EQ(m.source.pad, c.expected.pad);
    }
    // Nothing captured, a mapping that is not there, a key the layer refuses: no change.
    const std::string before = sources();
    input::ContextError error;
    EXPECT_FALSE(input::rebindContextMapping(*layer, gameplay, 0,
                                             captured(CapturedInput::CANCELLED, 0), -1, &error));
    EXPECT_STREQ(error.message, "the capture saw no input to bind");
    EXPECT_FALSE(input::rebindContextMapping(*layer, gameplay, 9, captured(CapturedInput::KEY, 70),
                                             -1, &error));
    EXPECT_STREQ(error.message, "context 0 has no mapping 9");
    EXPECT_FALSE(input::rebindContextMapping(*layer, gameplay, 0, captured(CapturedInput::KEY, 300),
                                             -1, &error));
    EXPECT_EQ(sources(), before);

    // The rebound mapping fires on its new input, not the old one.
    layer->push(gameplay);
    input::rebindContextMapping(*layer, gameplay, 0, captured(CapturedInput::KEY, 70), -1);
    step();
    keyDown(32);
    step();
    EXPECT_EQ(events(jump), "-");
    keyUp(32);
    keyDown(70);
    step();
    EXPECT_EQ(events(jump), "ST");
}

TEST_F(ContextBindings, TheProfileCarriesTheMappingsAndTheNextStartReadsThemBack) {
    define();
    input::rebindContextMapping(*layer, gameplay, 2,
                                captured(CapturedInput::PAD_BUTTON, input::GAMEPAD_B, 0));
    input::rebindContextMapping(*layer, gameplay, 1, captured(CapturedInput::KEY, 38), 0);
    input::rebindContextMapping(*layer, vehicle, 1,
                                captured(CapturedInput::PAD_BUTTON, input::GAMEPAD_X, 3));
    input::replaceBinding(*manager, input::BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 72);
    manager->setSticksSwapped(true);
    const std::string text = profile();
    EXPECT_EQ(text.find("gameinput-bindings 2\n"), text.find('\n') + 1) << text;
    const char* const lines[] = {
        "\nmap GAMEPLAY JUMP 0 key:32\n",     "\nmap GAMEPLAY MOVE 0 keys2d:38,83,65,68\n",
        "\nmap GAMEPLAY JUMP 1 button:13\n",  "\nmap GAMEPLAY LOOK 0 stick:1\n",
        "\nmap VEHICLE STEER 0 keys:65,68\n", "\nmap VEHICLE @4 0 button:14@2\n",
    };
    for (const char* line : lines)
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    const std::string state = sources() + visibleState(*manager);

    // Saved, loaded by the next start: the same mappings, tables and settings, the same text.
    Folder folder("context_profile");
    const std::string file = folder.path("profile.txt");
    input::ProfileError error;
    ASSERT_TRUE(input::saveBindingProfile(*manager, layer.get(), file.c_str(), &error))
        << error.message;
    restart();
    ASSERT_NE(sources() + visibleState(*manager), state);
    ASSERT_TRUE(input::loadBindingProfile(*manager, layer.get(), file.c_str(), &error))
        << error.message;
    EXPECT_EQ(sources() + visibleState(*manager), state);
    EXPECT_EQ(profile(), text);

    // A profile of before the layer loads with it and leaves the mappings; the calls without the
    // layer load this one's tables and leave its mappings aside.
    restart();
    const std::string defaults = sources();
    const std::string old = "gameinput-bindings 1\nkey MENU_A 72\n";
    ASSERT_TRUE(input::readBindingProfile(*manager, layer.get(), old.data(), old.size(), &error))
        << error.message;
    EXPECT_EQ(sources(), defaults);
    ASSERT_TRUE(input::readBindingProfile(*manager, text.data(), text.size(), &error))
        << error.message;
    EXPECT_EQ(sources(), defaults);
    EXPECT_EQ(visibleState(*manager), state.substr(state.find("0:")));
}

TEST_F(ContextBindings, ABadMapLineRefusesTheWholeProfileAndNamesWhere) {
    define();
    struct Case {
        std::string line;
        int column;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"map CAR JUMP 0 key:70", 5, "unknown context \"CAR\""},
        {"map @7 JUMP 0 key:70", 5, "unknown context \"@7\""},
        {"map GAMEPLAY FLY 0 key:70", 14, "unknown mapping action \"FLY\""},
        {"map GAMEPLAY JUMP 2 key:70", 19,
         "context GAMEPLAY maps JUMP 2 times, so it has no mapping 2 of it"},
        {"map GAMEPLAY JUMP x key:70", 19, "\"x\" is not a mapping's number"},
        {"map GAMEPLAY JUMP 0 key70", 21, "\"key70\" is not a source"},
        {"map GAMEPLAY JUMP 0 keys:1", 21, "\"keys:1\" is not a source"},
        {"map GAMEPLAY JUMP 0 button:12@4", 21, "\"button:12@4\" is not a source"},
        {"map GAMEPLAY JUMP 0 key:12@0", 21, "\"key:12@0\" is not a source"},
        {"map GAMEPLAY JUMP 0 key:300", 21, "unknown key code 300"},
        {"map GAMEPLAY JUMP 0 key:70\nmap GAMEPLAY JUMP 0 key:71", 1,
         "mapping 0 of JUMP in GAMEPLAY is given twice"},
        {"map GAMEPLAY JUMP 0", 21, "expected a source"},
        {"map GAMEPLAY JUMP 0 key:70 more", 28, "unexpected \"more\" after the statement"},
    };
    const std::string state = sources() + visibleState(*manager);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        // Everything before the map line is good and is not applied either.
        const std::string text = "gameinput-bindings 2\nsticks-swapped 1\nkey MENU_A 72\n" + c.line;
        input::ProfileError error;
        EXPECT_FALSE(
            input::readBindingProfile(*manager, layer.get(), text.data(), text.size(), &error));
        EXPECT_EQ(error.column, c.column) << error.message;
        EXPECT_NE(std::string(error.message).find(c.message), std::string::npos) << error.message;
        EXPECT_EQ(sources() + visibleState(*manager), state);
    }
    // "map" belongs to version 2.
    const std::string old = "gameinput-bindings 1\nmap GAMEPLAY JUMP 0 key:70\n";
    input::ProfileError error;
    EXPECT_FALSE(input::readBindingProfile(*manager, layer.get(), old.data(), old.size(), &error));
    EXPECT_STREQ(error.message, "unknown statement \"map\"");
}

TEST_F(ContextBindings, AReadWithMappingsChangesNothingWhenAnAllocationFails) {
    define();
    // Sources on inputs no mapping read before, so that the layer must grow to take them.
    const std::string text = "gameinput-bindings 2\nkey MENU_A 72\nsticks-swapped 1\n"
                             "map GAMEPLAY JUMP 0 action:300\n"
                             "map GAMEPLAY JUMP 1 button:9@3\n"
                             "map VEHICLE STEER 0 axis:22@1\n";
    manager->registerAction(300, "LATE", input::CONTROL_DOWN, input::CHANNEL_ALL);
    const std::string state = sources() + visibleState(*manager);
    int failed = failEachAllocationInTurn(
        "readBindingProfile with mappings",
        [&] {
            input::ProfileError error;
            if (!input::readBindingProfile(*manager, layer.get(), text.data(), text.size(),
                                           &error)) {
                ASSERT_STREQ(error.message, "out of memory");
                throw std::bad_alloc();
            }
        },
        [&] { EXPECT_EQ(sources() + visibleState(*manager), state); });
    ASSERT_GT(failed, 0);
    EXPECT_NE(sources(), state.substr(0, sources().size()));
    EXPECT_NE(profile().find("map GAMEPLAY JUMP 0 action:300\n"), std::string::npos);
}
