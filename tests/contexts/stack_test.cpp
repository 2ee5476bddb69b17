// Contexts at run time over scripted frames: claims, push and pop, channels, focus, pads going
// away, world steps; then the sources and the modifiers.

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "contexts/fixture.h"
#include "host/control.h"
#include "support/watchdog.h"

using namespace testing_support;
using input::Modifier;
using input::Source;
using input::Trigger;

namespace {

constexpr int kEnter = 13;

class ContextStack : public ContextsTest {
protected:
    void SetUp() override {
        ContextsTest::SetUp();
        interact = action("interact");
        exitCar = action("exit_car");
        gameplay = context("gameplay", 0);
        vehicle = context("vehicle", 1);
        map(gameplay, mapping(interact, Source::key('E')));
        map(vehicle, mapping(exitCar, Source::key('E')).add(Trigger::hold(0.5f)));
    }
    int interact = -1, exitCar = -1, gameplay = -1, vehicle = -1;
};

TEST_F(ContextStack, AHigherContextClaimsItsSourcesWhetherOrNotItsActionFires) {
    layer->push(gameplay);
    layer->push(vehicle);
    step();
    keyDown('E');
    std::string frames;
    for (int i = 0; i < 6; ++i) {
        step();
        frames += events(interact) + "/" + events(exitCar) + " ";
    }
    EXPECT_EQ(frames, "-/SO -/O -/O -/O -/T -/T ");
    keyUp('E');
    step();
    EXPECT_EQ(events(exitCar), "C");
    EXPECT_EQ(events(interact), "-");

    // Popped, the vehicle gives E back.
    layer->pop(vehicle);
    keyDown('E');
    step();
    EXPECT_EQ(events(interact), "ST");
}

TEST_F(ContextStack, PassThroughAndEqualPriorityFollowPushOrder) {
    int honk = action("honk");
    int cabin = context("cabin", 1);
    input::Mapping m = mapping(honk, Source::key('E'));
    m.passThrough = true;
    map(cabin, m);
    layer->push(gameplay);
    layer->push(cabin);
    step();
    keyDown('E');
    step();
    EXPECT_TRUE(layer->triggered(honk));
    EXPECT_TRUE(layer->triggered(interact)) << "a pass-through mapping claims nothing";

    // Same priority as cabin, pushed later: vehicle takes E from cabin's non-pass-through peers.
    keyUp('E');
    step();
    layer->push(vehicle);
    step();
    keyDown('E');
    step();
    EXPECT_EQ(layer->state(exitCar), input::TRIGGER_ONGOING);
    EXPECT_FALSE(layer->triggered(interact));
    EXPECT_FALSE(layer->triggered(honk)) << "a pass-through mapping is still claimed from above";
}

TEST_F(ContextStack, PushingIgnoresWhatIsAlreadyHeldUntilReleased) {
    int confirm = action("confirm");
    int menu = context("menu", 5);
    map(menu, mapping(confirm, Source::key(kEnter)).add(Trigger::pressed()));
    keyDown(kEnter); // the Enter that opened the menu
    step();
    layer->push(menu);
    step();
    step();
    EXPECT_EQ(events(confirm), "-");
    keyUp(kEnter);
    step();
    keyDown(kEnter);
    step();
    EXPECT_EQ(events(confirm), "ST");
}

TEST_F(ContextStack, PoppingEndsEachActionOnceAndRepushingKeepsState) {
    int brake = action("brake");
    map(vehicle, mapping(brake, Source::key('S')));
    layer->push(gameplay);
    layer->push(vehicle);
    step();
    keyDown('E');
    keyDown('S');
    step();
    step();
    EXPECT_FLOAT_EQ(layer->holdProgress(exitCar), 0.25f);
    layer->push(vehicle); // already pushed: nothing starts over
    step();
    EXPECT_FLOAT_EQ(layer->holdProgress(exitCar), 0.5f);

    layer->pop(vehicle);
    EXPECT_EQ(layer->state(exitCar), input::TRIGGER_NONE) << "at once";
    EXPECT_EQ(layer->state(brake), input::TRIGGER_NONE);
    step();
    EXPECT_EQ(events(exitCar), "A") << "Ongoing -> Canceled";
    EXPECT_EQ(events(brake), "C") << "Triggered -> Completed";
    EXPECT_EQ(events(interact), "-") << "E is still down since before gameplay got it back";
    step();
    EXPECT_EQ(events(exitCar), "-");
    EXPECT_EQ(events(brake), "-");
    EXPECT_FALSE(layer->isPushed(vehicle));
}

TEST_F(ContextStack, AContextNeedsItsChannels) {
    int pause = action("pause_confirm");
    int menu = context("pause", 9, input::CHANNEL_MENU);
    map(menu, mapping(pause, Source::key('E')));
    layer->push(gameplay);
    layer->push(menu);
    step();
    keyDown('E');
    step();
    EXPECT_FALSE(layer->triggered(pause)) << "menu channel closed: the context is not live";
    EXPECT_TRUE(layer->triggered(interact));
    manager->setMenu(true);
    step(); // the channels change in this update
    step();
    EXPECT_FALSE(layer->triggered(interact)) << "claimed by the live pause context";
    EXPECT_FALSE(layer->triggered(pause)) << "E went down before the context came alive";
    keyUp('E');
    step();
    keyDown('E');
    step();
    EXPECT_TRUE(layer->triggered(pause));
}

TEST_F(ContextStack, FocusLossReleasesEverySourceUntilSeenUp) {
    layer->push(gameplay);
    layer->push(vehicle);
    step();
    keyDown('E');
    step();
    layer->setFocus(false);
    manager->setFocus(false);
    step();
    EXPECT_EQ(events(exitCar), "A");
    step();
    EXPECT_EQ(events(exitCar), "-");
    layer->setFocus(true);
    manager->setFocus(true);
    step();
    step();
    EXPECT_EQ(layer->state(exitCar), input::TRIGGER_NONE) << "E was down before focus came back";
    keyUp('E');
    step();
    keyDown('E');
    step();
    EXPECT_EQ(events(exitCar), "SO");
}

TEST_F(ContextStack, APadThatDisconnectsReleasesItsSources) {
    int boost = action("boost");
    int fire = action("fire");
    map(gameplay, mapping(boost, Source::padButton(input::GAMEPAD_A, 1)).add(Trigger::released()));
    map(gameplay, mapping(fire, Source::padButton(input::GAMEPAD_B)).add(Trigger::hold(1.0f)));
    layer->push(gameplay);
    sim::connectPad(0);
    sim::connectPad(1);
    step();
    sim::setPad(1, Report().press(input::GAMEPAD_A));
    sim::setPad(0, Report().press(input::GAMEPAD_B));
    step();
    EXPECT_EQ(layer->state(boost), input::TRIGGER_ONGOING);
    EXPECT_EQ(layer->state(fire), input::TRIGGER_ONGOING);
    sim::disconnectPad(1);
    step();
    EXPECT_EQ(events(boost), "A") << "gone, not released: no Triggered";
    EXPECT_EQ(layer->state(fire), input::TRIGGER_ONGOING) << "pad 0 is still there";
    sim::connectPad(1);
    manager->refreshGamepadConnectivity();
    step();
    step();
    EXPECT_EQ(layer->state(boost), input::TRIGGER_NONE) << "A still down when it came back";
    sim::disconnectPad(0); // the selected pad
    step();
    EXPECT_EQ(events(fire), "A");
}

TEST_F(ContextStack, WorldStepsSeeEveryTriggeredFrame) {
    int tap = action("tap");
    map(gameplay, mapping(tap, Source::key('T')).add(Trigger::pressed()));
    layer->push(gameplay);
    step();
    layer->switchWorldStep();
    // Three frames in one world step: pressed, held, released and pressed again.
    keyDown('T');
    step();
    step();
    keyUp('T');
    step();
    keyDown('T');
    step();
    EXPECT_EQ(layer->stepTriggerCount(tap), 2);
    EXPECT_EQ(letters(layer->stepEvents(tap)), "STC");
    layer->switchWorldStep();
    EXPECT_EQ(layer->stepTriggerCount(tap), 0);
    step();
    EXPECT_EQ(letters(layer->stepEvents(tap)), "C");
}

TEST_F(ContextStack, SourcesReadWhatTheManagerPublished) {
    int move = action("move", input::VALUE_AXIS_2D);
    int steer = action("steer", input::VALUE_AXIS_1D);
    int look = action("look", input::VALUE_AXIS_2D);
    int menuA = action("menu_a");
    int ctx = context("all");
    map(ctx, mapping(move, Source::keyAxis2D('W', 'S', 'A', 'D')));
    map(ctx, mapping(steer, Source::keyAxis('Q', 'R')));
    map(ctx, mapping(look, Source::mouse(2)));
    map(ctx, mapping(menuA, Source::action(input::ACTION_MENU_A)));
    layer->push(ctx);
    manager->setMenu(true);
    step();
    keyDown('W');
    keyDown('D');
    keyDown('Q');
    keyDown(kEnter); // MENU_A on the keyboard
    mouseMove(3, -2);
    step();
    EXPECT_FLOAT_EQ(layer->value2(move).x, 1.0f);
    EXPECT_FLOAT_EQ(layer->value2(move).y, 1.0f);
    EXPECT_FLOAT_EQ(layer->value(steer), -1.0f);
    EXPECT_EQ(layer->value2(look).x > 0.0f, true);
    EXPECT_EQ(layer->value2(look).y < 0.0f, true);
    EXPECT_TRUE(layer->triggered(menuA));
}

TEST_F(ContextStack, ModifiersApplyInOrderOnTheRawStick) {
    struct Case {
        const char* name;
        Modifier modifiers[3];
        int count;
        std::int16_t x, y;
        float ex, ey;
    } cases[] = {
        {"radial scaled: below the lower bound",
         {Modifier::deadZoneRadial()},
         1,
         3276,
         3276,
         0.0f,
         0.0f},
        {"radial scaled: 0.6 on x maps to 0.5",
         {Modifier::deadZoneRadial()},
         1,
         19660,
         0,
         0.5f,
         0.0f},
        {"radial scaled: full on a diagonal keeps direction, length 1",
         {Modifier::deadZoneRadial()},
         1,
         32767,
         32767,
         0.70710677f,
         0.70710677f},
        {"radial unscaled keeps the value above the bound",
         {Modifier::deadZoneRadialUnscaled()},
         1,
         19660,
         0,
         0.6f,
         0.0f},
        {"axial per axis", {Modifier::deadZoneAxial()}, 1, 19660, 3276, 0.5f, 0.0f},
        {"no dead zone: the raw value", {Modifier::scale(1.0f, 1.0f)}, 1, 3276, 0, 0.1f, 0.0f},
        {"curve after the dead zone",
         {Modifier::deadZoneRadial(), Modifier::curve(2.0f, 2.0f)},
         2,
         -19660,
         0,
         -0.25f,
         0.0f},
        {"scale, negate, swizzle in order",
         {Modifier::scale(2.0f, 3.0f), Modifier::negate(false, true), Modifier::swizzle()},
         3,
         16384,
         -8192,
         0.75f,
         1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        int look = action("look", input::VALUE_AXIS_2D);
        int ctx = context("ctx");
        input::Mapping m = mapping(look, Source::padStick(1, 0));
        for (int i = 0; i < c.count; ++i)
            m.add(c.modifiers[i]);
        map(ctx, m);
        layer->push(ctx);
        sim::connectPad(0);
        step();
        sim::setPad(0, Report().sticks(0, 0, c.x, c.y));
        step();
        EXPECT_NEAR(layer->value2(look).x, c.ex, 2e-4f);
        EXPECT_NEAR(layer->value2(look).y, c.ey, 2e-4f);
        TearDown();
    }
}

TEST_F(ContextStack, SmoothingAndTheManagersInversion) {
    int look = action("look", input::VALUE_AXIS_2D);
    int camera = action("camera", input::VALUE_AXIS_2D);
    int ctx = context("ctx");
    map(ctx, mapping(look, Source::keyAxis2D('W', 'S', 'A', 'D')).add(Modifier::smooth(2.0f)));
    map(ctx, mapping(camera, Source::padStick(1, 0)).add(Modifier::invert(false, true)));
    layer->push(ctx);
    sim::connectPad(0);
    step();
    keyDown('D');
    sim::setPad(0, Report().sticks(0, 0, 0, 32767));
    step();
    EXPECT_FLOAT_EQ(layer->value2(look).x, 0.5f);
    EXPECT_FLOAT_EQ(layer->value2(camera).y, 1.0f);
    step();
    EXPECT_FLOAT_EQ(layer->value2(look).x, 0.75f);
    keyUp('D');
    step();
    EXPECT_FLOAT_EQ(layer->value2(look).x, 0.375f) << "smoothing runs down after the release";
    manager->setInvertVerticalForPad(true);
    step();
    EXPECT_FLOAT_EQ(layer->value2(camera).y, -1.0f);
}

TEST_F(ContextStack, ASteadyFrameAllocatesNothing) {
    int move = action("move", input::VALUE_AXIS_2D);
    map(gameplay, mapping(move, Source::padStick(0)).add(Modifier::deadZoneRadial()));
    map(vehicle, mapping(interact, Source::key('F')).add(Trigger::pulse(0.25f, 0.125f)));
    layer->push(gameplay);
    layer->push(vehicle);
    sim::connectPad(0);
    step();
    keyDown('E');
    keyDown('F');
    sim::setPad(0, Report().sticks(20000, 0, 0, 0));
    std::uint64_t before = host::memory::allocationCount();
    for (int i = 0; i < 50; ++i) {
        step(1.0f / 60.0f);
        layer->switchWorldStep();
    }
    layer->pop(vehicle);
    layer->push(vehicle);
    step();
    EXPECT_EQ(host::memory::allocationCount(), before);
}

} // namespace

namespace {

// The layer reads the pad reports without their lock, as only the owning thread writes them;
// other threads' pad queries and live reads meanwhile must not race with it (run under TSan).
TEST_F(ContextStack, StepsWhileOtherThreadsQueryThePads) {
    Watchdog watchdog("contexts with reader threads", std::chrono::seconds(120));
    int fire = action("fire");
    int look = action("look", input::VALUE_AXIS_2D);
    map(gameplay, mapping(fire, Source::padButton(input::GAMEPAD_A)).add(Trigger::hold(0.25f)));
    map(gameplay, mapping(look, Source::padStick(1, 0)).add(Modifier::deadZoneRadial()));
    layer->push(gameplay);
    sim::connectPad(0);
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            float sink = 0.0f;
            while (!stop.load()) {
                input::Gamepad* pad = manager->getGamepad(0);
                sink += pad->buttonDown(input::GAMEPAD_A) ? 1.0f : pad->getAxis(2);
                sink += manager->readRawAnalog(input::ACTION_CAMERA_X);
            }
            EXPECT_FALSE(std::isnan(sink));
        });
    }
    int triggered = 0;
    for (int i = 0; i < 400; ++i) {
        sim::setPad(0, Report().buttons(i % 8 < 5 ? 0x1000 : 0).sticks(0, 0, 20000, 0));
        step(1.0f / 16.0f);
        triggered += layer->triggered(fire) ? 1 : 0;
        EXPECT_GT(layer->value2(look).x, 0.0f);
    }
    stop = true;
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(triggered, 50) << "each 5-frame press reaches 0.25 s on its fifth frame";
}

} // namespace
