// Definitions: what is refused with which message and no change, and failed allocations that
// leave every context as it was.

#include <cmath>
#include <limits>

#include "contexts/fixture.h"
#include "host/control.h"
#include "support/failing_allocations.h"

using namespace testing_support;
using input::Mapping;
using input::Modifier;
using input::Source;
using input::Trigger;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

class ContextDefinitions : public ContextsTest {
protected:
    void SetUp() override {
        ContextsTest::SetUp();
        jump = action("jump");
        crouch = action("crouch");
        slide = action("slide");
        game = context("game");
        map(game, mapping(slide, Source::key('Z')).add(Trigger::chord(crouch)));
        layer->push(game);
    }
    // What a definition may not change: the ids the next definitions get and how a press reads.
    std::string fingerprint() {
        std::string out;
        input::ContextError error;
        out += std::to_string(layer->findAction("probe")) + std::to_string(layer->findContext("x"));
        keyDown('J');
        step();
        out += events(jump) + events(crouch) + events(slide);
        keyUp('J');
        step();
        out += events(jump);
        return out;
    }
    int jump = -1, crouch = -1, slide = -1, game = -1;
};

TEST_F(ContextDefinitions, BadMappingsAreRefusedWithAMessageAndChangeNothing) {
    map(game, mapping(jump, Source::key('J')));
    std::string before = fingerprint();

    auto with = [&](Trigger t) { return mapping(jump, Source::key('J')).add(t); };
    Trigger nanRelease = Trigger::down();
    nanRelease.release = kNaN;
    Trigger highRelease = Trigger::down();
    highRelease.release = 0.75f;
    const int unknownSteps[] = {crouch, 99};
    const int ownSteps[] = {crouch, jump};
    const int goodSteps[] = {crouch, slide};
    const float windows[] = {0.0f, 0.5f};
    const float badWindows[] = {0.0f, -1.0f};
    Mapping tooMany = mapping(jump, Source::key('J'));
    for (int i = 0; i < 5; ++i)
        tooMany.add(Trigger::pressed());
    Mapping onlyImplicit = mapping(jump, Source::key('J'));
    for (int i = 0; i < 4; ++i)
        onlyImplicit.add(Trigger::chord(crouch));

    struct Case {
        const char* name;
        int context;
        Mapping mapping;
        const char* message; // a part of it
    } cases[] = {
        {"unknown context", 7, with(Trigger::down()), "unknown context 7"},
        {"unregistered action", game, mapping(42, Source::key('J')), "action 42"},
        {"key code out of range", game, mapping(jump, Source::key(258)), "unknown key code 258"},
        {"negative key code", game, mapping(jump, Source::key(-1)), "unknown key code -1"},
        {"key axis with a bad key", game, mapping(jump, Source::keyAxis('A', 400)), "400"},
        {"pad code 10 is no button", game, mapping(jump, Source::padButton(10)), "button code 10"},
        {"pad slot 4", game, mapping(jump, Source::padButton(input::GAMEPAD_A, 4)), "pad 4"},
        {"axis code", game, mapping(jump, Source::padAxis(19)), "axis code 19"},
        {"stick 2", game, mapping(jump, Source::padStick(2)), "stick 2"},
        {"mouse axis 3", game, mapping(jump, Source::mouse(3)), "mouse axis 3"},
        {"unregistered manager action", game, mapping(jump, Source::action(5000)),
         "manager action 5000"},
        {"source kind", game, mapping(jump, Source()), "source kind 0"},
        {"negative hold time", game, with(Trigger::hold(-0.1f)), "trigger time"},
        {"NaN tap time", game, with(Trigger::tap(kNaN)), "trigger time"},
        {"NaN threshold", game, with([] {
             Trigger t = Trigger::down();
             t.actuation = kNaN;
             return t;
         }()),
         "actuation threshold"},
        {"zero threshold", game, with([] {
             Trigger t = Trigger::down();
             t.actuation = 0.0f;
             return t;
         }()),
         "actuation threshold"},
        {"NaN release", game, with(nanRelease), "release threshold"},
        {"release above actuation", game, with(highRelease), "release threshold"},
        {"negative multi-tap gap", game, with(Trigger::multiTap(2, -1.0f)), "multi-tap"},
        {"multi-tap count 0", game, with(Trigger::multiTap(0)), "count 0"},
        {"pulse interval 0", game, with(Trigger::pulse(0.5f, 0.0f)), "pulse times"},
        {"negative pulse limit", game, with(Trigger::pulse(0.5f, 0.1f, -2)), "pulse limit"},
        {"chord on itself", game, with(Trigger::chord(jump)), "on itself"},
        {"chord on an unknown action", game, with(Trigger::chord(-3)), "unknown action -3"},
        {"chord cycle", game, mapping(crouch, Source::key('C')).add(Trigger::chord(slide)),
         "wait on each other"},
        {"combo step on an unknown action", game, with(Trigger::combo(unknownSteps, windows, 2)),
         "unknown action 99"},
        {"combo step on its own action", game, with(Trigger::combo(ownSteps, windows, 2)),
         "own action"},
        {"combo of 0 steps", game, with(Trigger::combo(ownSteps, windows, 0)), "0 steps"},
        {"negative combo window", game, with(Trigger::combo(goodSteps, badWindows, 2)),
         "window -1"},
        {"trigger kind", game, with([] {
             Trigger t;
             t.kind = static_cast<input::TriggerKind>(12);
             return t;
         }()),
         "trigger kind 12"},
        {"five triggers", game, tooMany, "0-4 triggers"},
        {"four implicit triggers leave no room for Down", game, onlyImplicit, "room for Down"},
        {"dead zone upper under lower", game,
         mapping(jump, Source::padStick(0)).add(Modifier::deadZoneRadial(0.5f, 0.2f)), "dead zone"},
        {"NaN scale", game, mapping(jump, Source::padStick(0)).add(Modifier::scale(kNaN, 1.0f)),
         "not a number"},
        {"curve exponent 0", game,
         mapping(jump, Source::padStick(0)).add(Modifier::curve(0.0f, 1.0f)), "exponents"},
        {"smoothing under a frame", game,
         mapping(jump, Source::padStick(0)).add(Modifier::smooth(0.5f)), "frame"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        input::ContextError error;
        EXPECT_EQ(layer->addMapping(c.context, c.mapping, &error), -1);
        EXPECT_NE(std::string(error.message), "");
        EXPECT_NE(std::string(error.message).find(c.message), std::string::npos) << error.message;
    }
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(layer->addMapping(game, mapping(crouch, Source::key('C'))), 2)
        << "the refused mappings took no index";
}

TEST_F(ContextDefinitions, BadNamesAndTooManyContextsAreRefused) {
    input::ContextError error;
    EXPECT_EQ(layer->defineAction("jump", input::VALUE_DIGITAL, &error), -1);
    EXPECT_STREQ(error.message, "action 'jump' is already defined");
    EXPECT_EQ(layer->defineAction("", input::VALUE_DIGITAL, &error), -1);
    EXPECT_EQ(layer->defineAction(nullptr, input::VALUE_DIGITAL, &error), -1);
    EXPECT_EQ(layer->defineAction("a_name_of_thirty_two_characters_", input::VALUE_DIGITAL, &error),
              -1);
    EXPECT_EQ(layer->defineAction("x", static_cast<input::ValueType>(3), &error), -1);
    EXPECT_EQ(layer->defineContext("game", 0, 0, &error), -1);
    for (int i = 1; i < input::kMaxContexts; ++i)
        EXPECT_GE(layer->defineContext(("c" + std::to_string(i)).c_str(), i, 0, &error), 0);
    EXPECT_EQ(layer->defineContext("one_more", 0, 0, &error), -1);
    EXPECT_STREQ(error.message, "too many contexts: 'one_more' would be number 17 of at most 16");
    EXPECT_EQ(layer->findContext("one_more"), -1);
    EXPECT_EQ(layer->defineAction("probe", input::VALUE_DIGITAL), 3);
    input::ContextError untouched;
    EXPECT_FALSE(layer->rebind(game, 5, Source::key('A'), &untouched));
    EXPECT_FALSE(layer->rebind(game, 0, Source::key(300), &untouched));
    EXPECT_NE(std::string(untouched.message).find("300"), std::string::npos);
}

TEST_F(ContextDefinitions, RebindReplacesTheSourceInPlace) {
    int idx = map(game, mapping(jump, Source::key('J')).add(Trigger::pressed()));
    step();
    keyDown('K'); // as a capture sees it: K went down in the last update
    step();
    ASSERT_TRUE(layer->rebind(game, idx, Source::key('K')));
    step();
    EXPECT_EQ(events(jump), "-") << "K was already down when it became the binding";
    keyUp('K');
    step();
    keyDown('J');
    keyDown('K');
    step();
    EXPECT_EQ(events(jump), "ST");
    keyUp('K');
    step();
    keyDown('K');
    step();
    EXPECT_EQ(events(jump), "ST");
}

TEST_F(ContextDefinitions, AFailedAllocationLeavesEveryContextAsItWas) {
    map(game, mapping(jump, Source::key('J')));
    std::string before = fingerprint();
    int next = 0;
    failEachAllocationInTurn(
        "addMapping",
        [&] {
            Mapping m = mapping(crouch, Source::action(input::ACTION_MENU_A)); // grows the claims
            m.add(Trigger::chord(jump));
            next = layer->addMapping(game, m);
        },
        [&] { EXPECT_EQ(fingerprint(), before); });
    EXPECT_EQ(next, 2);
    failEachAllocationInTurn(
        "defineAction", [&] { next = layer->defineAction("probe", input::VALUE_AXIS_2D); },
        [&] { EXPECT_EQ(layer->findAction("probe"), -1); });
    EXPECT_EQ(next, 3);
    failEachAllocationInTurn(
        "construction", [&] { input::InputContexts another(*manager); }, [] {});
}

} // namespace
