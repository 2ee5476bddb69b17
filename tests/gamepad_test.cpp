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
    static void enableRumbleSetting() {
        ASSERT_TRUE(d::setTweakable("Rumble:Enable old system (PC)", true));
    }
    // The motor speeds sent to a user, message by message.
    using Motors = std::vector<std::pair<int, int>>;
    static Motors motors(unsigned user) {
        Motors sent;
        for (const sim::Vibration& v : sim::rumbleLog()) {
            if (v.user == user)
                sent.emplace_back(v.motors.wLeftMotorSpeed, v.motors.wRightMotorSpeed);
        }
        return sent;
    }
};

} // namespace

TEST_F(Pad, TriggerThresholdAndDpadPressRule) {
    using namespace input;
    sim::connectPad(0);
    Gamepad pad(0);
    poll(pad, Report().triggers(30, 0)); // down strictly above 30; its timer runs from 1
    EXPECT_EQ(padQueries(pad, GAMEPAD_LEFT_TRIGGER), "---c-");
    EXPECT_FLOAT_EQ(pad.getAnalogButton(GAMEPAD_LEFT_TRIGGER), 30 / 255.0f);
    poll(pad, Report().triggers(31, 255));
    EXPECT_EQ(padQueries(pad, GAMEPAD_LEFT_TRIGGER), "dp---");
    EXPECT_EQ(pad.getAnalogButton(GAMEPAD_RIGHT_TRIGGER), 1.0f);
    poll(pad, Report().triggers(30, 1));
    EXPECT_EQ(padQueries(pad, GAMEPAD_LEFT_TRIGGER), "--rc-");
    EXPECT_EQ(padQueries(pad, GAMEPAD_RIGHT_TRIGGER), "--rc-");
    EXPECT_FLOAT_EQ(pad.getAnalogButton(GAMEPAD_RIGHT_TRIGGER), 1 / 255.0f);

    // A direction is pressed only from rest, and alone.
    poll(pad, Report().press(GAMEPAD_DPAD_UP));
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_UP), "dp---");
    poll(pad, Report().press(GAMEPAD_DPAD_UP).press(GAMEPAD_DPAD_RIGHT)); // slid into a diagonal
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_RIGHT), "d----");
    poll(pad, Report().press(GAMEPAD_DPAD_RIGHT)); // not from rest
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_RIGHT), "d----");
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_UP), "--rc-");
    poll(pad, Report().press(GAMEPAD_DPAD_LEFT)); // alone, but straight from another direction
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_LEFT), "d----");
    poll(pad, Report());
    poll(pad, Report().press(GAMEPAD_DPAD_UP).press(GAMEPAD_DPAD_RIGHT)); // a diagonal from rest
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_UP), "d----");
    EXPECT_EQ(padQueries(pad, GAMEPAD_DPAD_RIGHT), "d----");

    poll(pad, Report().press(11).press(GAMEPAD_A)); // unnamed bit 11 reads like the rest
    EXPECT_EQ(padQueries(pad, 11), "dp---");
    EXPECT_EQ(padQueries(pad, GAMEPAD_A), "dp---");
    EXPECT_EQ(pad.getAnalogButton(GAMEPAD_A), 1.0f);
    EXPECT_EQ(pad.getAnalogButton(GAMEPAD_B), 0.0f);
}

TEST_F(Pad, HoldTimersClickAndHold) {
    using namespace input;
    sim::connectPad(0);
    Gamepad pad(0);
    const struct {
        Report report;
        float dt;
        int code;
        const char* queries;
    } steps[] = {
        {Report().press(GAMEPAD_X), 0.125f, GAMEPAD_X, "dp---"},
        {Report().press(GAMEPAD_X), 0.125f, GAMEPAD_X, "d----"},
        {Report().press(GAMEPAD_X), 0.125f, GAMEPAD_X, "d----"},
        {Report(), 0.125f, GAMEPAD_X, "--rc-"}, // a tap of 0.375 s
        {Report(), 0.125f, GAMEPAD_X, "-----"},
        {Report().press(GAMEPAD_Y), 0.2f, GAMEPAD_Y, "dp---"},
        {Report().press(GAMEPAD_Y), 0.2f, GAMEPAD_Y, "d---h"}, // held from exactly 0.4 s
        {Report().press(GAMEPAD_Y), 0.2f, GAMEPAD_Y, "d---h"},
        {Report(), 0.2f, GAMEPAD_Y, "--r--"},
        // A trigger off zero runs its timer although it is not down.
        {Report().triggers(10, 0), 0.2f, GAMEPAD_LEFT_TRIGGER, "---c-"},
        {Report().triggers(10, 0), 0.2f, GAMEPAD_LEFT_TRIGGER, "-----"},
        {Report().triggers(40, 0), 0.2f, GAMEPAD_LEFT_TRIGGER, "dp--h"}, // 0.6 s off zero
    };
    for (const auto& step : steps) {
        poll(pad, step.report, step.dt);
        EXPECT_EQ(padQueries(pad, step.code), step.queries) << "step " << &step - steps;
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
    Gamepad pad(0); // not connected
    EXPECT_EQ(sim::padReads(0), 1u);
    EXPECT_FALSE(pad.isConnected());
    pad.update(0.1f); // the first poll reads in any case
    EXPECT_EQ(sim::padReads(0), 2u);
    sim::connectPad(0);
    sim::setPad(0, Report().press(input::GAMEPAD_A).sticks(30000, 0, 0, 0));
    pad.update(0.1f);
    pad.update(0.1f);
    EXPECT_EQ(sim::padReads(0), 2u);
    EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_A));
    EXPECT_FALSE(pad.isActivity());

    pad.refreshGamepadConnectivity();
    pad.update(0.1f);
    EXPECT_EQ(sim::padReads(0), 3u);
    EXPECT_TRUE(pad.isConnected());
    EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_A));
    pad.update(0.1f);
    EXPECT_EQ(sim::padReads(0), 4u);

    sim::disconnectPad(0);
    pad.update(0.1f); // the failed read still counts, then reads stop
    pad.update(0.1f);
    EXPECT_EQ(sim::padReads(0), 5u);
    EXPECT_FALSE(pad.isConnected());
    EXPECT_EQ(padQueries(pad, input::GAMEPAD_A), "-----");
    EXPECT_EQ(pad.getAxis(0), 0.0f);
    EXPECT_EQ(pad.getRawAxis(0), 0.0f);
    EXPECT_FALSE(pad.isActivity());
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
        pad.setLowFrequencyRumble(1.5f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 1.0f);
        pad.setLowFrequencyRumble(-0.2f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.0f);
        pad.setHighFrequencyRumble(std::numeric_limits<float>::quiet_NaN());
        EXPECT_EQ(pad.getHighFrequencyRumble(), 0.0f);

        pad.setLowFrequencyRumble(0.5f); // the setting is off by default
        pad.update(0.1f);
        pad.update(0.1f);
        EXPECT_TRUE(motors(1).empty());
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.5f);
    }
    EXPECT_EQ(motors(1), Motors({{0, 0}})); // destruction stops the motors whatever the setting

    sim::reset();
    enableRumbleSetting();
    {
        Gamepad pad(2); // not connected: messages go out all the same
        pad.setLowFrequencyRumble(0.5f);
        pad.setHighFrequencyRumble(1.0f);
        pad.update(0.1f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.0f);
        EXPECT_EQ(pad.getHighFrequencyRumble(), 0.0f);
        pad.update(0.1f);
        EXPECT_EQ(motors(2), Motors({{32767, 65535}, {0, 0}}));

        pad.enableRumble(false);
        pad.setLowFrequencyRumble(0.25f);
        pad.update(0.1f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.25f);
    }
    EXPECT_EQ(motors(2).size(), 2u); // disabled: no stop either
}

TEST_F(Pad, DemoRecordsAreCurrentThenPrevious) {
    Report first = Report().press(input::GAMEPAD_A).triggers(7, 200).sticks(1, -2, 3, -4);
    Report second = Report().press(input::GAMEPAD_B).sticks(-30000, 0, 0, 25000);
    sim::connectPad(0);
    sim::setPad(0, first);
    Gamepad pad(0);
    pad.update(0.1f);
    sim::setPad(0, second);
    pad.update(0.1f);

    vel::FileStream out;
    out.openMemory(vel::FileStream::MODE_WRITE);
    pad.updateDemoRecording(out);
    ASSERT_EQ(out.writtenSize(), 24u);
    EXPECT_EQ(std::memcmp(out.writtenData(), &second.raw, 12), 0);
    EXPECT_EQ(std::memcmp(out.writtenData() + 12, &first.raw, 12), 0);
    pad.updateDemoRecording(out);
    EXPECT_EQ(out.writtenSize(), 48u);

    // Playback replaces both reports: A released, B pressed, the stick as recorded.
    unsigned char record[24];
    std::memcpy(record, &first.raw, 12);
    std::memcpy(record + 12, &second.raw, 12);
    vel::FileStream in;
    in.openMemory(vel::FileStream::MODE_READ, record, sizeof record);
    pad.updateDemoRecording(in);
    EXPECT_EQ(in.position(), 24u);
    EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_A));
    EXPECT_TRUE(pad.buttonReleased(input::GAMEPAD_B));
    EXPECT_FLOAT_EQ(pad.getRawAxis(3), -4 / 32767.0f);
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
    EXPECT_EQ(buttons, bit(input::GAMEPAD_Y));
}
