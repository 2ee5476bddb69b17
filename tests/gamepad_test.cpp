// One controller slot: edges, timers, sticks, connection, rumble and demo records.

#include <cmath>
#include <cstring>
#include <limits>

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
};

} // namespace

TEST_F(Pad, TriggerThresholdAndDpadPressRule) {
    sim::setPad(0, Report());
    Gamepad pad(0);
    poll(pad, Report().triggers(30, 0));
    EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_LEFT_TRIGGER));
    EXPECT_FALSE(pad.buttonPressed(input::GAMEPAD_LEFT_TRIGGER));
    EXPECT_FLOAT_EQ(pad.getAnalogButton(input::GAMEPAD_LEFT_TRIGGER), 30 / 255.0f);
    poll(pad, Report().triggers(31, 255));
    EXPECT_TRUE(pad.buttonDown(input::GAMEPAD_LEFT_TRIGGER));
    EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_LEFT_TRIGGER));
    EXPECT_EQ(pad.getAnalogButton(input::GAMEPAD_RIGHT_TRIGGER), 1.0f);
    poll(pad, Report().triggers(30, 1));
    EXPECT_TRUE(pad.buttonReleased(input::GAMEPAD_LEFT_TRIGGER));
    EXPECT_TRUE(pad.buttonReleased(input::GAMEPAD_RIGHT_TRIGGER));
    EXPECT_FLOAT_EQ(pad.getAnalogButton(input::GAMEPAD_RIGHT_TRIGGER), 1 / 255.0f);

    using input::GAMEPAD_DPAD_RIGHT;
    using input::GAMEPAD_DPAD_UP;
    poll(pad, Report().press(GAMEPAD_DPAD_UP));
    EXPECT_TRUE(pad.buttonPressed(GAMEPAD_DPAD_UP));
    poll(pad, Report().press(GAMEPAD_DPAD_UP).press(GAMEPAD_DPAD_RIGHT));
    EXPECT_FALSE(pad.buttonPressed(GAMEPAD_DPAD_RIGHT)); // slid into a diagonal
    poll(pad, Report().press(GAMEPAD_DPAD_RIGHT));
    EXPECT_FALSE(pad.buttonPressed(GAMEPAD_DPAD_RIGHT)); // not from rest
    EXPECT_TRUE(pad.buttonReleased(GAMEPAD_DPAD_UP));
    poll(pad, Report());
    poll(pad, Report().press(GAMEPAD_DPAD_UP).press(GAMEPAD_DPAD_RIGHT));
    EXPECT_FALSE(pad.buttonPressed(GAMEPAD_DPAD_UP)); // a diagonal from rest
    EXPECT_FALSE(pad.buttonPressed(GAMEPAD_DPAD_RIGHT));
    EXPECT_TRUE(pad.buttonDown(GAMEPAD_DPAD_RIGHT));

    poll(pad, Report().press(11).press(input::GAMEPAD_A)); // unnamed bit 11 reads like the rest
    EXPECT_TRUE(pad.buttonPressed(11));
    EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_A));
    EXPECT_EQ(pad.getAnalogButton(input::GAMEPAD_A), 1.0f);
    EXPECT_EQ(pad.getAnalogButton(input::GAMEPAD_B), 0.0f);
}

TEST_F(Pad, HoldTimersClickAndHold) {
    sim::setPad(0, Report());
    Gamepad pad(0);
    for (int i = 0; i < 3; ++i)
        poll(pad, Report().press(input::GAMEPAD_X));
    EXPECT_FALSE(pad.buttonClicked(input::GAMEPAD_X)); // still down
    poll(pad, Report());
    EXPECT_TRUE(pad.buttonReleased(input::GAMEPAD_X));
    EXPECT_TRUE(pad.buttonClicked(input::GAMEPAD_X)); // 0.375 s
    poll(pad, Report());
    EXPECT_FALSE(pad.buttonReleased(input::GAMEPAD_X));
    EXPECT_FALSE(pad.buttonClicked(input::GAMEPAD_X));

    poll(pad, Report().press(input::GAMEPAD_Y), 0.2f);
    EXPECT_FALSE(pad.buttonHeld(input::GAMEPAD_Y));
    poll(pad, Report().press(input::GAMEPAD_Y), 0.2f);
    EXPECT_TRUE(pad.buttonHeld(input::GAMEPAD_Y)); // exactly 0.4 s
    poll(pad, Report().press(input::GAMEPAD_Y), 0.2f);
    EXPECT_TRUE(pad.buttonHeld(input::GAMEPAD_Y));
    poll(pad, Report(), 0.2f);
    EXPECT_FALSE(pad.buttonHeld(input::GAMEPAD_Y));
    EXPECT_FALSE(pad.buttonClicked(input::GAMEPAD_Y));

    // A trigger off zero runs its timer although it is not down.
    poll(pad, Report().triggers(10, 0), 0.2f);
    EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_LEFT_TRIGGER));
    EXPECT_TRUE(pad.buttonClicked(input::GAMEPAD_LEFT_TRIGGER));
    poll(pad, Report().triggers(10, 0), 0.2f);
    EXPECT_FALSE(pad.buttonClicked(input::GAMEPAD_LEFT_TRIGGER));
    poll(pad, Report().triggers(40, 0), 0.2f);
    EXPECT_TRUE(pad.buttonHeld(input::GAMEPAD_LEFT_TRIGGER)); // 0.6 s off zero
}

TEST_F(Pad, SticksDeadZoneAndActivity) {
    sim::setPad(0, Report());
    Gamepad pad(0);
    poll(pad, Report().sticks(7864, -7864, 7865, -7865));
    EXPECT_EQ(pad.getAxis(0), 0.0f);
    EXPECT_EQ(pad.getAxis(1), 0.0f);
    EXPECT_FLOAT_EQ(pad.getAxis(2), 1 / 24903.0f);
    EXPECT_EQ(pad.getAxis(3), 0.0f);
    EXPECT_TRUE(pad.isActivity()); // 7865 and -7865 are outside the dead zone
    poll(pad, Report().sticks(32767, -32768, 0, 12345));
    EXPECT_EQ(pad.getAxis(0), 1.0f);
    EXPECT_EQ(pad.getAxis(1), -1.0f);
    EXPECT_EQ(pad.getRawAxis(0), 1.0f);
    EXPECT_FLOAT_EQ(pad.getRawAxis(1), -32768 / 32767.0f);
    EXPECT_FLOAT_EQ(pad.getRawAxis(3), 12345 / 32767.0f);

    poll(pad, Report().sticks(7864, -7864, 7864, -7864).triggers(30, 30));
    EXPECT_FALSE(pad.isActivity());
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
    EXPECT_FALSE(pad.buttonDown(input::GAMEPAD_A));
    EXPECT_FALSE(pad.buttonReleased(input::GAMEPAD_A));
    EXPECT_EQ(pad.getAxis(0), 0.0f);
    EXPECT_EQ(pad.getRawAxis(0), 0.0f);
    EXPECT_FALSE(pad.isActivity());
}

TEST_F(Pad, ResetForgetsReportsTimersAndRequests) {
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
    EXPECT_TRUE(pad.buttonPressed(input::GAMEPAD_B));
    EXPECT_FALSE(pad.buttonHeld(input::GAMEPAD_B)); // the timer restarted
    EXPECT_TRUE(sim::vibrations(0).empty());
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
        EXPECT_TRUE(sim::vibrations(1).empty());
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.5f);
    }
    auto stops = sim::vibrations(1); // destruction stops the motors whatever the setting
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].wLeftMotorSpeed, 0);
    EXPECT_EQ(stops[0].wRightMotorSpeed, 0);

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
        auto sent = sim::vibrations(2);
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].wLeftMotorSpeed, 32767);
        EXPECT_EQ(sent[0].wRightMotorSpeed, 65535);
        EXPECT_EQ(sent[1].wLeftMotorSpeed, 0);
        EXPECT_EQ(sent[1].wRightMotorSpeed, 0);

        pad.enableRumble(false);
        pad.setLowFrequencyRumble(0.25f);
        pad.update(0.1f);
        EXPECT_EQ(pad.getLowFrequencyRumble(), 0.25f);
    }
    EXPECT_EQ(sim::vibrations(2).size(), 2u); // disabled: no stop either
}

TEST_F(Pad, DemoRecordsAreCurrentThenPrevious) {
    Report first = Report().press(input::GAMEPAD_A).triggers(7, 200).sticks(1, -2, 3, -4);
    Report second = Report().press(input::GAMEPAD_B).sticks(-30000, 0, 0, 25000);
    sim::setPad(0, first);
    Gamepad pad(0);
    pad.update(0.1f);
    sim::setPad(0, second);
    pad.update(0.1f);

    vel::FileStream out;
    out.openMemory(vel::FileStream::MODE_WRITE);
    pad.updateDemoRecording(out);
    ASSERT_EQ(out.memorySize(), 24u);
    EXPECT_EQ(std::memcmp(out.memoryData(), &second.raw, 12), 0);
    EXPECT_EQ(std::memcmp(out.memoryData() + 12, &first.raw, 12), 0);
    pad.updateDemoRecording(out);
    EXPECT_EQ(out.memorySize(), 48u);

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
    sim::setPad(2, Report().press(input::GAMEPAD_Y));
    make();
    frame();
    manager->setSelectedGamepad(2);
    vel::FileStream out;
    out.openMemory(vel::FileStream::MODE_WRITE);
    manager->updateDemoRecording(out);
    ASSERT_EQ(out.memorySize(), 24u);
    std::uint16_t buttons = 0;
    std::memcpy(&buttons, out.memoryData(), 2);
    EXPECT_EQ(buttons, bit(input::GAMEPAD_Y));
}
