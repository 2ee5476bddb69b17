// One controller slot: edges, timers, sticks, connection, rumble and demo records.

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "d/tweakable.h"
#include "support/fixture.h"
#include "vel/file_stream.h"

using namespace testing_support;
using input::Gamepad;

namespace {

class Pad : public FreshMachine {
protected:
    void poll(Gamepad& pad, const Report& report, float dt = 0.125f) {
        sim::setPad(0, report);
        pad.update(dt);
    }
};

// The vibration messages sent to any user, as (user, left motor, right motor).
using Sent = std::vector<std::vector<int>>;
Sent sent() {
    Sent out;
    for (const sim::Vibration& v : sim::rumbleLog())
        out.push_back(
            {static_cast<int>(v.user), v.motors.wLeftMotorSpeed, v.motors.wRightMotorSpeed});
    return out;
}

constexpr float kSamePoll = 0.0f; // a step that reads another code of the poll before it

} // namespace

TEST_F(Pad, EdgesTimersTriggersAndDirections) {
    using namespace input;
    sim::connectPad(0);
    Gamepad pad(0);
    const struct {
        Report report;
        float dt;
        int code;
        const char* queries;
        float analogue; // getAnalogButton, or NaN when not checked
    } steps[] = {
        // A tap of 0.375 s, then a hold from exactly 0.4 s.
        {Report().press(GAMEPAD_X), 0.125f, GAMEPAD_X, "dp---", 1.0f},
        {Report().press(GAMEPAD_X), 0.125f, GAMEPAD_X, "d----", NAN},
        {Report().press(GAMEPAD_X), 0.125f, GAMEPAD_X, "d----", NAN},
        {Report(), 0.125f, GAMEPAD_X, "--rc-", 0.0f},
        {Report(), 0.125f, GAMEPAD_X, "-----", NAN},
        {Report().press(GAMEPAD_Y), 0.2f, GAMEPAD_Y, "dp---", NAN},
        {Report().press(GAMEPAD_Y), 0.2f, GAMEPAD_Y, "d---h", NAN},
        {Report().press(GAMEPAD_Y), 0.2f, GAMEPAD_Y, "d---h", NAN},
        {Report(), 0.2f, GAMEPAD_Y, "--r--", NAN},
        // Triggers are down strictly above 30, but their timers run as soon as they leave zero.
        {Report().triggers(30, 0), 0.2f, GAMEPAD_LEFT_TRIGGER, "---c-", 30 / 255.0f},
        {Report().triggers(10, 0), 0.2f, GAMEPAD_LEFT_TRIGGER, "-----", NAN},
        {Report().triggers(40, 0), 0.2f, GAMEPAD_LEFT_TRIGGER, "dp--h", NAN}, // 0.6 s off zero
        {Report().triggers(31, 255), 0.125f, GAMEPAD_RIGHT_TRIGGER, "dp---", 1.0f},
        {Report().triggers(30, 1), 0.125f, GAMEPAD_LEFT_TRIGGER, "--r--", NAN},
        {Report().triggers(30, 1), kSamePoll, GAMEPAD_RIGHT_TRIGGER, "--rc-", 1 / 255.0f},
        {Report(), 0.2f, GAMEPAD_LEFT_TRIGGER, "-----", NAN},
        // A direction is pressed only from rest, and alone.
        {Report().press(GAMEPAD_DPAD_UP), 0.125f, GAMEPAD_DPAD_UP, "dp---", NAN},
        {Report().press(GAMEPAD_DPAD_UP).press(GAMEPAD_DPAD_RIGHT), 0.125f, GAMEPAD_DPAD_RIGHT,
         "d----", NAN},
        {Report().press(GAMEPAD_DPAD_RIGHT), 0.125f, GAMEPAD_DPAD_RIGHT, "d----", NAN},
        {Report().press(GAMEPAD_DPAD_RIGHT), kSamePoll, GAMEPAD_DPAD_UP, "--rc-", NAN},
        {Report().press(GAMEPAD_DPAD_LEFT), 0.125f, GAMEPAD_DPAD_LEFT, "d----", NAN},
        {Report(), 0.125f, GAMEPAD_DPAD_LEFT, "--rc-", NAN},
        {Report().press(GAMEPAD_DPAD_UP).press(GAMEPAD_DPAD_RIGHT), 0.125f, GAMEPAD_DPAD_UP,
         "d----", NAN}, // a diagonal from rest
        // The unnamed bit 11 reads like the rest.
        {Report().press(11).press(GAMEPAD_A), 0.125f, 11, "dp---", NAN},
        {Report().press(11).press(GAMEPAD_A), kSamePoll, GAMEPAD_A, "dp---", 1.0f},
        {Report().press(11).press(GAMEPAD_A), kSamePoll, GAMEPAD_B, "-----", 0.0f},
    };
    for (const auto& step : steps) {
        if (step.dt != kSamePoll)
            poll(pad, step.report, step.dt);
        SCOPED_TRACE(&step - steps);
        EXPECT_EQ(padQueries(pad, step.code), step.queries);
        if (!std::isnan(step.analogue)) {
            EXPECT_FLOAT_EQ(pad.getAnalogButton(step.code), step.analogue);
        }
    }
}

TEST_F(Pad, SticksDeadZoneAndActivity) {
    sim::connectPad(0);
    Gamepad pad(0);
    struct Case {
        std::int16_t v;
        float axis;
        bool activity;
    };
    // clang-format off
    const Case cases[] = {{7864, 0.0f, false}, {7865, 1 / 24903.0f, true}, {32767, 1.0f, true},
                          {-7864, 0.0f, false}, {-7865, 0.0f, true}, {-7866, -1 / 24903.0f, true},
                          {-32768, -1.0f, true}, {12345, 4481 / 24903.0f, true}};
    // clang-format on
    for (int axis = 0; axis < 4; ++axis) {
        for (const Case& c : cases) {
            std::int16_t v[4] = {};
            v[axis] = c.v;
            poll(pad, Report().sticks(v[0], v[1], v[2], v[3]).triggers(30, 30));
            SCOPED_TRACE(c.v);
            EXPECT_FLOAT_EQ(pad.getAxis(axis), c.axis) << axis;
            EXPECT_FLOAT_EQ(pad.getRawAxis(axis), c.v / 32767.0f) << axis;
            EXPECT_EQ(pad.isActivity(), c.activity) << axis;
        }
    }
    poll(pad, Report().triggers(0, 31));
    EXPECT_TRUE(pad.isActivity());
    poll(pad, Report().press(10));
    EXPECT_TRUE(pad.isActivity());
}

TEST_F(Pad, ReadsOnlyWhileConnectedOrAfterARefresh) {
    sim::setPad(0, Report().press(input::GAMEPAD_A).sticks(30000, 0, 0, 0)); // not connected
    Gamepad pad(0);
    // The controller reads so far, then connected, A's queries and activity.
    auto state = [&] {
        return std::to_string(sim::padReads(0)) + (pad.isConnected() ? " c " : " - ") +
               padQueries(pad, input::GAMEPAD_A) + (pad.isActivity() ? " a" : " -");
    };
    EXPECT_EQ(state(), "1 - ----- -");
    pad.update(0.1f); // the first poll reads in any case: a report without a connection
    EXPECT_EQ(state(), "2 - ----- -");
    sim::connectPad(0);
    pad.update(0.1f);
    pad.update(0.1f);
    EXPECT_EQ(state(), "2 - ----- -");

    pad.refreshGamepadConnectivity();
    pad.update(0.1f);
    EXPECT_EQ(state(), "3 c dp--- a");
    pad.update(0.1f);
    EXPECT_EQ(state(), "4 c d---- a");

    sim::disconnectPad(0); // the controller still holds its report
    pad.update(0.1f);      // the failed read still counts, then reads stop
    pad.update(0.1f);
    EXPECT_EQ(state(), "5 - ----- -");
    EXPECT_EQ(pad.getAxis(0), 0.0f);
    EXPECT_EQ(pad.getRawAxis(0), 0.0f);
}

TEST_F(Pad, ResetForgetsReportsTimersAndRequests) {
    sim::connectPad(0);
    sim::setPad(0, Report().press(input::GAMEPAD_B));
    Gamepad pad(0);
    pad.update(0.3f);
    pad.update(0.3f);
    pad.setHighFrequencyRumble(0.75f);
    pad.reset();
    EXPECT_TRUE(pad.isConnected());
    EXPECT_EQ(pad.getID(), 0);
    EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_B));
    EXPECT_EQ(pad.getHighFrequencyRumble(), 0.0f);
    pad.update(0.3f);
    EXPECT_EQ(padQueries(pad, input::GAMEPAD_B), "dp---"); // the timer restarted
    EXPECT_TRUE(sim::rumbleLog().empty());
}

TEST_F(Pad, RumbleClampsAndIsSentOnlyWhenAllowed) {
    {
        Gamepad pad(1);
        for (float asked : {1.5f, -0.2f, std::numeric_limits<float>::quiet_NaN()}) {
            pad.setLowFrequencyRumble(asked);
            pad.setHighFrequencyRumble(asked);
            EXPECT_EQ(pad.getLowFrequencyRumble(), asked > 1.0f ? 1.0f : 0.0f) << asked;
            EXPECT_EQ(pad.getHighFrequencyRumble(), asked > 1.0f ? 1.0f : 0.0f) << asked;
        }
        pad.setLowFrequencyRumble(0.5f); // the setting is off by default
        pad.update(0.1f);
        pad.update(0.1f);
        EXPECT_TRUE(sim::rumbleLog().empty());
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.5f);
    }
    EXPECT_EQ(sent(), Sent({{1, 0, 0}})); // destruction stops the motors whatever the setting

    sim::clearRumbleLog();
    ASSERT_TRUE(d::setTweakable("Rumble:Enable old system (PC)", true));
    {
        Gamepad pad(2); // not connected: messages go out all the same
        pad.setLowFrequencyRumble(0.5f);
        pad.setHighFrequencyRumble(1.0f);
        pad.update(0.1f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.0f);
        EXPECT_EQ(pad.getHighFrequencyRumble(), 0.0f);
        pad.update(0.1f);
        EXPECT_EQ(sent(), Sent({{2, 32767, 65535}, {2, 0, 0}}));

        pad.enableRumble(false);
        pad.setLowFrequencyRumble(0.25f);
        pad.update(0.1f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.25f);
    }
    EXPECT_EQ(sent().size(), 2u); // disabled: no stop either
}

// The frame update polls the pads in slot order, each sending what was asked of it.
TEST_F(ManagerTest, RumbleGoesOutPadByPadEachFrame) {
    ASSERT_TRUE(d::setTweakable("Rumble:Enable old system (PC)", true));
    for (int slot = 3; slot >= 0; --slot)
        manager->getGamepad(slot)->setLowFrequencyRumble(0.25f * static_cast<float>(slot));
    manager->getGamepad(1)->setHighFrequencyRumble(1.0f);
    frame();
    EXPECT_EQ(sent(), Sent({{0, 0, 0}, {1, 16383, 65535}, {2, 32767, 0}, {3, 49151, 0}}));
    sim::clearRumbleLog();
    manager->getGamepad(3)->enableRumble(false);
    manager->getGamepad(2)->setHighFrequencyRumble(0.5f);
    frame();
    EXPECT_EQ(sent(), Sent({{0, 0, 0}, {1, 0, 0}, {2, 0, 32767}}));
}

// Mode 2 records: the pad's current then previous report go out through the second transfer.
// Every other mode plays back through the first.
TEST_F(Pad, DemoRecordsAreCurrentThenPreviousAndOnlyMode2Records) {
    Report first = Report().press(input::GAMEPAD_A).triggers(7, 200).sticks(1, -2, 3, -4);
    Report second = Report().press(input::GAMEPAD_B).sticks(-30000, 0, 0, 25000);
    unsigned char played[48] = {}; // two records' worth: a transfer must take exactly one
    std::memcpy(played, &first.raw, 12);
    std::memcpy(played + 12, &second.raw, 12);
    for (int mode : {2, 1, 0, 3, -1}) {
        SCOPED_TRACE(mode);
        sim::connectPad(0);
        sim::setPad(0, first);
        Gamepad pad(0);
        pad.update(0.1f);
        sim::setPad(0, second);
        pad.update(0.1f);
        vel::FileStream stream;
        stream.openMemory(mode, played, sizeof played);
        pad.updateDemoRecording(stream);
        if (mode == 2) {
            EXPECT_EQ(stream.position(), 0u);
            ASSERT_EQ(stream.writtenSize(), 24u);
            EXPECT_EQ(std::memcmp(stream.writtenData(), &second.raw, 12), 0);
            EXPECT_EQ(std::memcmp(stream.writtenData() + 12, &first.raw, 12), 0);
            EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_B));
        } else {
            // Playback replaces both reports: A released, B pressed, the stick as recorded.
            EXPECT_EQ(stream.writtenSize(), 0u);
            EXPECT_EQ(stream.position(), 24u);
            EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_A));
            EXPECT_TRUE(pad.buttonReleased(input::GAMEPAD_B));
            EXPECT_FLOAT_EQ(pad.getRawAxis(3), -4 / 32767.0f);
        }
    }
}

TEST_F(ManagerTest, DemoRecordingFollowsTheCurrentPad) {
    sim::connectPad(2);
    sim::setPad(2, Report().press(input::GAMEPAD_Y));
    make();
    frame();
    manager->setSelectedGamepad(2);
    vel::FileStream out;
    out.openMemory(vel::FileStream::MODE_WRITE);
    manager->updateDemoRecording(out);
    ASSERT_EQ(out.writtenSize(), 24u);
    std::uint16_t buttons = 0;
    std::memcpy(&buttons, out.writtenData(), 2);
    EXPECT_EQ(buttons, Report().press(input::GAMEPAD_Y).raw.wButtons);
}
