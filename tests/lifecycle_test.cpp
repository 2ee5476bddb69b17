// Construction, the instance pointer, the frame update's world-step buffers and reset.

#include "app/events.h"
#include "support/fixture.h"

using namespace testing_support;
using input::InputManager;

namespace {

// Pad-driven actions of the tests' own, all on the menu channel.
constexpr int kStepDown = 320;     // CONTROL_DOWN on A
constexpr int kStepAxis = 321;     // CONTROL_AXIS on the left stick's X
constexpr int kStepReleased = 322; // CONTROL_RELEASED on B

// A stick value whose dead-zone reading is `units` / 24903.
std::int16_t stick(int units) {
    return static_cast<std::int16_t>(7864 + units);
}

class WorldStep : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        make(false, false); // no PC device: the pad is always the device in use
        manager->setMenu(true);
        manager->registerAction(kStepDown, "STEP_DOWN", input::CONTROL_DOWN, input::CHANNEL_MENU);
        manager->registerAction(kStepAxis, "STEP_AXIS", input::CONTROL_AXIS, input::CHANNEL_MENU);
        manager->registerAction(kStepReleased, "STEP_RELEASED", input::CONTROL_RELEASED,
                                input::CHANNEL_MENU);
        manager->bindGamepad(kStepDown, input::GAMEPAD_A);
        manager->bindGamepad(kStepAxis, input::GAMEPAD_LEFT_STICK_X);
        manager->bindGamepad(kStepReleased, input::GAMEPAD_B);
    }
    void pad(const Report& report) {
        sim::setPad(0, report);
        frame();
    }
    float slot(int action) {
        input::BufferingMode mode = manager->getBufferingMode();
        manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
        float value = manager->readAnalog(action);
        manager->setBufferingMode(mode);
        return value;
    }
};

} // namespace

TEST_F(ManagerTest, InstanceIsTheLastBuiltUntilAnyIsDestroyed) {
    EXPECT_EQ(InputManager::getInstance(), manager.get());
    manager.reset();
    EXPECT_EQ(InputManager::getInstance(), nullptr);
    auto first = std::make_unique<InputManager>(false, false);
    EXPECT_EQ(InputManager::getInstance(), first.get());
    auto second = std::make_unique<InputManager>(false, false);
    EXPECT_EQ(InputManager::getInstance(), second.get());
    first.reset();
    EXPECT_EQ(InputManager::getInstance(), nullptr);
    second.reset();
    EXPECT_EQ(InputManager::getInstance(), nullptr);
}

TEST_F(ManagerTest, WithoutPCDeviceEventsGoNowhere) {
    make(false, true);
    EXPECT_EQ(manager->getInputX86(), nullptr);
    EXPECT_EQ(manager->getKeyboard(), keyboard.get());
    EXPECT_TRUE(manager->isPCInputMode());
    app::InputEvent event;
    event.rawInput.data.mouse.lLastX = 5;
    EXPECT_FALSE(manager->dispatchAppEvent(&event));
    frame();
    EXPECT_EQ(manager->getMouseWheel(), 0);

    make(true, false);
    ASSERT_NE(manager->getInputX86(), nullptr);
    EXPECT_FALSE(manager->isPCInputMode());
    EXPECT_TRUE(manager->dispatchAppEvent(&event));
}

TEST_F(WorldStep, DigitalActionHoldsItsOneUntilTheSwitch) {
    pad(Report().press(input::GAMEPAD_A));
    pad(Report());
    pad(Report());
    EXPECT_FALSE(manager->readDigital(kStepDown)); // live
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    EXPECT_TRUE(manager->readDigital(kStepDown));
    EXPECT_EQ(manager->readAnalog(kStepDown), 1.0f);

    manager->switchWorldStepBuffers();
    EXPECT_EQ(manager->getBufferingMode(), input::BUFFERING_LIVE);
    frame();
    EXPECT_EQ(slot(kStepDown), 0.0f);
}

TEST_F(WorldStep, AnalogueActionKeepsItsLatestNonZeroValue) {
    pad(Report().sticks(stick(17432), 0, 0, 0));
    pad(Report());
    pad(Report().sticks(stick(7471), 0, 0, 0));
    EXPECT_FLOAT_EQ(slot(kStepAxis), 7471 / 24903.0f);

    manager->switchWorldStepBuffers();
    pad(Report().sticks(stick(17432), 0, 0, 0));
    pad(Report());
    EXPECT_FLOAT_EQ(slot(kStepAxis), 17432 / 24903.0f);
}

TEST_F(WorldStep, ActionRegisteredLaterGetsAZeroSlotOnTheNextUpdate) {
    pad(Report().press(input::GAMEPAD_A));
    manager->registerAction(400, "LATE_DOWN", input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager->registerAction(401, "LATE_IDLE", input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager->bindGamepad(400, input::GAMEPAD_A);
    EXPECT_EQ(slot(400), 0.0f); // beyond the buffer
    frame();
    EXPECT_EQ(slot(400), 1.0f);
    EXPECT_EQ(slot(401), 0.0f);
    EXPECT_EQ(slot(kStepDown), 1.0f);
}

TEST_F(WorldStep, TwoSwitchesWithoutUpdateLeaveNothingToCompare) {
    pad(Report().press(input::GAMEPAD_B));
    pad(Report()); // B released: the released action is on for this step
    manager->switchWorldStepBuffers();
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    EXPECT_TRUE(manager->readDigital(kStepReleased)); // 0.0 now, 1.0 in the step before
    manager->switchWorldStepBuffers();
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    EXPECT_FALSE(manager->readDigital(kStepReleased));
    EXPECT_EQ(manager->readAnalog(kStepReleased), 0.0f);
}

TEST_F(WorldStep, ResetStepBuffersEmptiesBothAndKeepsTheMode) {
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    pad(Report().press(input::GAMEPAD_A));
    EXPECT_TRUE(manager->readDigital(kStepDown));
    manager->resetStepBuffers();
    EXPECT_EQ(manager->getBufferingMode(), input::BUFFERING_WORLD_STEP);
    EXPECT_FALSE(manager->readDigital(kStepDown));
    EXPECT_EQ(manager->readAnalog(kStepDown), 0.0f);
    frame();
    EXPECT_TRUE(manager->readDigital(kStepDown));
}

TEST_F(WorldStep, ResetClearsThePadsAndNothingElse) {
    manager->setSelectedGamepad(0);
    pad(Report().press(input::GAMEPAD_A));
    manager->reset();
    EXPECT_EQ(manager->getSelectedGamepad(), 0);
    EXPECT_TRUE(manager->isChannelOn(input::CHANNEL_MENU));
    EXPECT_EQ(slot(kStepDown), 1.0f);
    input::Gamepad* first = manager->getGamepad(0);
    EXPECT_FALSE(first->buttonDown(input::GAMEPAD_A));
    frame(); // A still held: pressed again, as from rest
    EXPECT_TRUE(first->buttonPressed(input::GAMEPAD_A));
}

TEST_F(ManagerTest, SecondaryGamepadIsAlwaysSlotOne) {
    EXPECT_EQ(manager->getSecondaryGamepad(), manager->getGamepad(1));
    manager->setSelectedGamepad(1);
    EXPECT_EQ(manager->getSecondaryGamepad(), manager->getGamepad());
    manager->setSelectedGamepad(3);
    EXPECT_EQ(manager->getSecondaryGamepad(), manager->getGamepad(1));
    EXPECT_EQ(manager->getSecondaryGamepad()->getID(), 1);
}

TEST_F(ManagerTest, SteadyFramesAllocateNothing) {
    for (unsigned user = 0; user < 4; ++user)
        sim::setPad(user, Report());
    make();
    manager->setMenu(true);
    manager->setGame(true);
    auto busyFrame = [&](int n) {
        for (unsigned user = 0; user < 4; ++user) {
            Report report;
            report.buttons(static_cast<std::uint16_t>(n & 1 ? 0x1001 : 0x2000 << user))
                .triggers(static_cast<std::uint8_t>(n * 20), 40)
                .sticks(static_cast<std::int16_t>(n * 3000), -20000, 9000, 0);
            sim::setPad(user, report);
        }
        n & 1 ? keyDown(13) : keyUp(13);
        rawKey('W', n & 1, 0x1, 'w');
        mouseMove(n, -n, n & 1 ? 1 : -1);
        frame(0.1f);
        manager->readDigital(input::ACTION_MENU_A);
        manager->readAnalog(input::ACTION_CAMERA_X);
        manager->readRawAnalog(input::ACTION_MOVEMENT_X);
    };
    // The first frame and the first switch size the step buffers.
    for (int n = 0; n < 3; ++n) {
        busyFrame(n);
        manager->switchWorldStepBuffers();
    }
    std::uint64_t before = host::memory::allocationCount();
    for (int n = 3; n < 12; ++n) {
        busyFrame(n);
        if (n % 3 == 0) {
            manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
            manager->readDigital(input::ACTION_MENU_A);
            manager->switchWorldStepBuffers();
        }
    }
    EXPECT_EQ(host::memory::allocationCount(), before);
}
