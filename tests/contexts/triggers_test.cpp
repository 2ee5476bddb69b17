// The built-in triggers: the transition table and each boundary rule as scripted frames, the
// actuation thresholds, chords and combos, and a randomised comparison with a plain model.

#include <random>
#include <sstream>

#include "contexts/fixture.h"
#include "contexts/reference.h"

using namespace testing_support;
using input::Mapping;
using input::Source;
using input::Trigger;

namespace {

constexpr int kKey = 'K';

struct Script {
    const char* name;
    Trigger trigger;
    const char* keys;     // a frame each: 'D' down, '_' up; frames of 0.125 s
    const char* expected; // the frames' events, as ContextsTest::letters spells them
};

class ContextTriggers : public ContextsTest {
protected:
    // Runs `keys` against one mapping of kKey with `trigger` and returns the frames' events.
    std::string run(const Trigger& trigger, const char* keys) {
        int act = action("act");
        int ctx = context("ctx");
        map(ctx, mapping(act, Source::key(kKey)).add(trigger));
        layer->push(ctx);
        std::string out;
        for (const char* k = keys; *k; ++k) {
            if (*k == 'D')
                keyDown(kKey);
            else
                keyUp(kKey);
            step(0.125f);
            out += (out.empty() ? "" : " ") + events(act);
        }
        return out;
    }
};

TEST_F(ContextTriggers, EachTriggerAndItsBoundariesOverScriptedFrames) {
    // Between them the scripts pass through all nine pairs of the transition table. Times are
    // multiples of 0.125 s so that each boundary is met exactly.
    const Script scripts[] = {
        {"down: None->Triggered->Triggered->None", Trigger::down(), "_DD_", "- ST T C"},
        {"pressed: the press frame only", Trigger::pressed(), "_DD_", "- ST C -"},
        {"released: Ongoing while down, Triggered on release", Trigger::released(), "_DD__",
         "- SO O T C"},
        {"hold: Triggered from held >= time (inclusive), every frame", Trigger::hold(0.25f),
         "_DDDD_", "- SO O T T C"},
        {"hold one-shot: once, then None while still down", Trigger::hold(0.25f, true), "_DDDD_",
         "- SO O T C -"},
        {"hold let go before its time: Canceled", Trigger::hold(0.25f), "_DD_", "- SO O A"},
        {"hold-and-release at exactly its time: Triggered", Trigger::holdAndRelease(0.25f), "_DD__",
         "- SO O T C"},
        {"hold-and-release too short: Canceled", Trigger::holdAndRelease(0.25f), "_D_", "- SO A"},
        {"tap released under its time", Trigger::tap(0.25f), "_D__", "- SO T C"},
        {"tap released at exactly its time: not a tap (strict)", Trigger::tap(0.25f), "_DD_",
         "- SO O A"},
        {"tap held to its time: Canceled while still down", Trigger::tap(0.25f), "_DDD_",
         "- SO O A -"},
        {"double tap", Trigger::multiTap(2, 0.25f, 0.25f), "_D_D_", "- SO O T C"},
        {"double tap, an idle frame between taps, a gap of exactly 0.25 s (inclusive)",
         Trigger::multiTap(2, 0.25f, 0.25f), "_D__D_", "- SO O O T C"},
        {"double tap, a press after the gap begins a new try at once",
         Trigger::multiTap(2, 0.25f, 0.25f), "_D___D_", "- SO O O O O O"},
        {"double tap, gap over: Canceled on the idle frame, then a new try",
         Trigger::multiTap(2, 0.25f, 0.25f), "_D____D_", "- SO O O O A SO O"},
        {"double tap, first tap held too long", Trigger::multiTap(2, 0.25f, 0.25f), "_DDD_D_",
         "- SO O A - SO O"},
        {"triple tap", Trigger::multiTap(3, 0.25f, 0.25f), "_D_D_D_", "- SO O O O T C"},
        {"pulse: press, first delay, interval, limit of 3", Trigger::pulse(0.25f, 0.125f, 3),
         "_DDDDDD_", "- ST SOC T T C - -"},
        {"pulse without limit", Trigger::pulse(0.25f, 0.25f, 0), "_DDDDDD_",
         "- ST SOC T SOC T SOC A"},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        SetUp();
        EXPECT_EQ(run(script.trigger, script.keys), script.expected);
        TearDown();
    }
}

TEST_F(ContextTriggers, ACompletedIsNotLostWhileAnotherTriggerIsOngoing) {
    // Pressed fires on the press while Hold is still Ongoing; the next frame the action drops to
    // Ongoing, which ends the Triggered run with COMPLETED and starts a new one.
    int act = action("act");
    int ctx = context("ctx");
    map(ctx, mapping(act, Source::key(kKey)).add(Trigger::pressed()).add(Trigger::hold(0.25f)));
    layer->push(ctx);
    std::string out;
    for (char k : std::string("_DDD_")) {
        keys[kKey] = k == 'D';
        step();
        out += events(act) + " ";
    }
    EXPECT_EQ(out, "- ST SOC T C ");
}

TEST_F(ContextTriggers, ActuationIsInclusiveAndReleaseWithHysteresisIsStrict) {
    // A key scaled to exactly the threshold counts; just under does not.
    struct Case {
        float scale;
        bool down;
    } cases[] = {{0.5f, true}, {0.499f, false}, {-0.5f, true}};
    for (const Case& c : cases) {
        SetUp();
        int act = action("act");
        int ctx = context("ctx");
        map(ctx, mapping(act, Source::key(kKey)).add(input::Modifier::scale(c.scale, 1.0f)));
        layer->push(ctx);
        step();
        keyDown(kKey);
        step();
        EXPECT_EQ(layer->triggered(act), c.down) << "scale " << c.scale;
        TearDown();
    }

    // A pad trigger with press at 0.5 and release at 0.375.
    SetUp();
    int act = action("throttle", input::VALUE_AXIS_1D);
    int ctx = context("drive");
    Trigger t = Trigger::down();
    t.release = 0.375f;
    map(ctx, mapping(act, Source::padButton(input::GAMEPAD_LEFT_TRIGGER, 0)).add(t));
    layer->push(ctx);
    sim::connectPad(0);
    std::string states;
    for (int level : {0, 120, 128, 100, 96, 95, 120, 128}) {
        sim::setPad(0, Report().triggers(static_cast<std::uint8_t>(level), 0));
        step();
        states += layer->triggered(act) ? 'T' : '-';
    }
    // 120/255 under 0.5; 128/255 over; 96/255 = 0.376 still held; 95/255 = 0.373 let go.
    EXPECT_EQ(states, "--TTT--T");
    EXPECT_NEAR(layer->value(act), 128 / 255.0f, 1e-6f);
}

TEST_F(ContextTriggers, PulseFiresAtMostOnceInALongFrameAndProgressIsReported) {
    int act = action("scroll");
    int hold = action("exit");
    int ctx = context("menu");
    map(ctx, mapping(act, Source::key(kKey)).add(Trigger::pulse(0.25f, 0.125f)));
    map(ctx, mapping(hold, Source::key('E')).add(Trigger::hold(0.5f, true)));
    layer->push(ctx);
    step();
    keyDown(kKey);
    keyDown('E');
    step();
    EXPECT_EQ(layer->pulseCount(act), 1);
    EXPECT_FLOAT_EQ(layer->holdProgress(hold), 0.0f);
    step(0.25f);
    EXPECT_FLOAT_EQ(layer->holdProgress(hold), 0.5f);
    EXPECT_FLOAT_EQ(layer->heldTime(hold), 0.25f);
    step(1.0f); // passes eight due times: one pulse
    EXPECT_EQ(layer->pulseCount(act), 3);
    EXPECT_TRUE(layer->triggered(act));
    EXPECT_FLOAT_EQ(layer->holdProgress(hold), 1.0f);
    step(0.0625f); // the next due time is 1.375 s after the press: not yet
    EXPECT_EQ(layer->state(act), input::TRIGGER_ONGOING);
    EXPECT_EQ(layer->pulseCount(act), 3);
    keyUp(kKey);
    keyUp('E');
    step();
    EXPECT_FLOAT_EQ(layer->holdProgress(hold), 0.0f);
    EXPECT_FLOAT_EQ(layer->heldTime(hold), 0.0f);
}

TEST_F(ContextTriggers, ChordFiresWithItsModifierAndLeavesTheBareKeyUntilReleased) {
    int shift = action("shift");
    int one = action("one");
    int shiftOne = action("shift_one");
    int ctx = context("game");
    map(ctx, mapping(shift, Source::key(0x10)));
    map(ctx, mapping(one, Source::key('1')).add(Trigger::pressed()));
    map(ctx, mapping(shiftOne, Source::key('1')).add(Trigger::chord(shift)));
    layer->push(ctx);
    step();

    keyDown(0x10);
    step();
    keyDown('1');
    step();
    EXPECT_EQ(events(shiftOne), "ST");
    EXPECT_EQ(events(one), "-") << "the bare key stays quiet while the chord fires";
    keyUp(0x10); // Shift first: the held 1 is not a fresh press
    step();
    EXPECT_EQ(events(shiftOne), "C");
    EXPECT_EQ(events(one), "-");
    step();
    EXPECT_EQ(events(one), "-");
    keyUp('1');
    step();
    keyDown('1');
    step();
    EXPECT_EQ(events(one), "ST");
    EXPECT_EQ(events(shiftOne), "-") << "1 alone is nothing in progress for the chord";
}

TEST_F(ContextTriggers, BlockerVetoesAndImplicitTriggersMustAllHold) {
    int guard = action("guard");
    int attack = action("attack");
    int ctx = context("game");
    map(ctx, mapping(guard, Source::key('G')));
    Mapping m = mapping(attack, Source::key('A'));
    m.add(Trigger::hold(0.25f)).add(Trigger::blocker(guard));
    map(ctx, m);
    layer->push(ctx);
    step();
    keyDown('A');
    step();
    step();
    step();
    EXPECT_TRUE(layer->triggered(attack));
    keyDown('G');
    step();
    EXPECT_EQ(events(attack), "C") << "the blocker vetoes: Triggered -> None";
    keyUp('G');
    step();
    EXPECT_EQ(events(attack), "ST");
}

TEST_F(ContextTriggers, ComboStepsInOrderWithinTheirWindows) {
    int a = action("a");
    int b = action("b");
    int c = action("c");
    int special = action("special");
    int ctx = context("fight");
    map(ctx, mapping(a, Source::key('A')).add(Trigger::pressed()));
    map(ctx, mapping(b, Source::key('B')).add(Trigger::pressed()));
    map(ctx, mapping(c, Source::key('C')).add(Trigger::pressed()));
    const int steps[] = {a, b, c};
    const float windows[] = {0.0f, 0.25f, 0.25f};
    map(ctx, mapping(special, Source::key('X')).add(Trigger::combo(steps, windows, 3)));
    layer->push(ctx);
    step();

    auto press = [&](int key) {
        keyDown(key);
        step();
        std::string e = events(special);
        keyUp(key);
        step();
        return e + "," + events(special);
    };
    // In order, each within 0.25 s (the release frame between takes 0.125 s).
    EXPECT_EQ(press('A'), "SO,O");
    EXPECT_EQ(press('B'), "O,O");
    EXPECT_EQ(press('C'), "T,C");
    // A wrong step cancels; the first step out of turn starts again.
    EXPECT_EQ(press('A'), "SO,O");
    EXPECT_EQ(press('C'), "A,-");
    EXPECT_EQ(press('A'), "SO,O");
    EXPECT_EQ(press('A'), "O,O") << "step 0 again begins a new try";
    EXPECT_EQ(press('B'), "O,O");
    EXPECT_EQ(press('C'), "T,C") << "each step 0.25 s after the one before: in (inclusive)";
    EXPECT_EQ(press('A'), "SO,O");
    EXPECT_EQ(press('B'), "O,O");
    step();
    EXPECT_EQ(events(special), "O") << "0.25 s after step B";
    EXPECT_EQ(press('C'), "A,-") << "0.375 s after step B: the window has passed";
}

TEST_F(ContextTriggers, MatchesAPlainModelOnRandomPresses) {
    std::mt19937 random(29);
    const Trigger triggers[] = {
        Trigger::down(),
        Trigger::pressed(),
        Trigger::released(),
        Trigger::hold(0.25f),
        Trigger::hold(0.5f, true),
        Trigger::holdAndRelease(0.375f),
        Trigger::tap(0.25f),
        Trigger::pulse(0.25f, 0.125f, 0),
        Trigger::pulse(0.0625f, 0.1875f, 4),
    };
    const float steps[] = {0.0f, 0.0625f, 0.125f, 0.1875f, 0.25f};
    for (int kind = 0; kind < static_cast<int>(sizeof triggers / sizeof triggers[0]); ++kind) {
        for (int round = 0; round < 20; ++round) {
            SetUp();
            int act = action("act");
            int ctx = context("ctx");
            map(ctx, mapping(act, Source::key(kKey)).add(triggers[kind]));
            layer->push(ctx);
            ReferenceTrigger model{triggers[kind], {}, {}};
            input::TriggerState before = input::TRIGGER_NONE;
            std::ostringstream trace;
            for (int f = 0; f < 60; ++f) {
                bool down = f > 0 && random() % 3 == 0 ? !keys[kKey] : keys[kKey];
                keys[kKey] = down;
                float dt = steps[random() % 5];
                step(dt);
                input::TriggerState expected = model.frame(layer->now(), down);
                trace << (down ? 'D' : '_') << dt << ' ';
                ASSERT_EQ(layer->state(act), expected)
                    << "trigger " << kind << " frame " << f << ": " << trace.str();
                ASSERT_EQ(layer->events(act), referenceEvents(before, expected))
                    << "trigger " << kind << " frame " << f << ": " << trace.str();
                before = expected;
            }
            TearDown();
        }
    }
}

} // namespace
