// Construction, the instance pointer, the frame update's world-step buffers and reset.

#include "support/fixture.h"

using namespace testing_support;
using input::InputManager;

namespace {

// Pad-driven actions of the tests' own, all on the menu channel.
constexpr int kStepDown = 320;     // CONTROL_DOWN on A
constexpr int kStepReleased = 322; // CONTROL_RELEASED on B

class WorldStep : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        make(false, false); // no PC device: the pad is always the device in use
        manager->setMenu(true);
        manager->registerAction(kStepDown, "STEP_DOWN", input::CONTROL_DOWN, input::CHANNEL_MENU);
        manager->registerAction(kStepReleased, "STEP_RELEASED", input::CONTROL_RELEASED,
                                input::CHANNEL_MENU);
        manager->bindGamepad(kStepDown, input::GAMEPAD_A);
        manager->bindGamepad(kStepReleased, input::GAMEPAD_B);
    }
    void pad(const Report& report) {
        sim::connectPad(0);
        sim::setPad(0, report);
        frame();
    }
};

} // namespace

// The instance pointer is the library's exported data, read here across the DLL boundary.
TEST_F(ManagerTest, InstanceIsTheLastBuiltUntilAnyIsDestroyed) {
    EXPECT_EQ(InputManager::getInstance(), manager.get());
    manager.reset();
    EXPECT_EQ(InputManager::sm_pInstance, nullptr);
    auto first = std::make_unique<InputManager>(false, false);
    EXPECT_EQ(InputManager::sm_pInstance, first.get());
    EXPECT_EQ(InputManager::getInstance(), first.get());
    auto second = std::make_unique<InputManager>(false, false);
    EXPECT_EQ(InputManager::getInstance(), second.get());
    first.reset();
    EXPECT_EQ(InputManager::getInstance(), nullptr);
    EXPECT_EQ(InputManager::sm_pInstance, nullptr);
}

TEST_F(ManagerTest, ThePcDeviceTakesTheMouseRecordsWithoutItKeyAndMouseQueriesAnswerNothing) {
    make(false, true);
    EXPECT_EQ(manager->getInputX86(), nullptr);
    EXPECT_EQ(manager->getKeyboard(), keyboard.get());
    EXPECT_TRUE(manager->isPCInputMode());
    app::InputEvent event = mouseEvent(app::MOUSE_MOVE_RELATIVE, 5, 0, app::RI_MOUSE_WHEEL, 120);
    EXPECT_FALSE(manager->dispatchAppEvent(&event));
    manager->setMouseSensitivity(0.3f);
    manager->resetMouseInputDeltas();
    frame();
    EXPECT_EQ(manager->getMouseWheel(), 0);
    int code = 5;
    vel::InplaceWString<128> name;
    name = L"stale";
    EXPECT_FALSE(manager->getKeyName(input::ACTION_MENU_Y, name));
    EXPECT_TRUE(name.empty());
    EXPECT_FALSE(manager->getKeyCode(input::ACTION_MENU_Y, code));
    EXPECT_EQ(code, -1);
    name = L"kept";
    manager->getKeycodeName(65, name);
    manager->getKeycodeName(0, name);
    EXPECT_TRUE(name == L"kept");

    // A device takes the raw mouse records, outside PC input mode too, and no other events. The
    // sensitivity the manager forwards is measured in activity_test.cpp (MouseThresholds).
    make(true, false);
    ASSERT_NE(manager->getInputX86(), nullptr);
    EXPECT_FALSE(manager->isPCInputMode());
    EXPECT_TRUE(manager->dispatchAppEvent(&event));
    app::RawKeyEvent key;
    app::FocusEvent focus;
    EXPECT_FALSE(manager->dispatchAppEvent(&key));
    EXPECT_FALSE(manager->dispatchAppEvent(&focus));
    frame();
    EXPECT_EQ(manager->getInputX86()->getRawMouseDeltaX(), 5);
    EXPECT_EQ(manager->getMouseWheel(), 1);
    manager->resetMouseInputDeltas();
    frame();
    EXPECT_EQ(manager->getMouseWheel(), 0);
    // Without the device or outside PC input mode, keys and mouse never make them the device in
    // use.
    for (bool pcDevice : {false, true}) {
        make(pcDevice, !pcDevice);
        keyDown(70);
        mouseMove(50, 50);
        frame();
        EXPECT_FALSE(manager->isUsingKeyboardAndMouse()) << pcDevice;
    }
}

TEST_F(WorldStep, ActionRegisteredLaterGetsAZeroSlotOnTheNextUpdate) {
    pad(Report().press(input::GAMEPAD_A));
    manager->registerAction(400, "LATE_DOWN", input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager->registerAction(401, "LATE_IDLE", input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager->bindGamepad(400, input::GAMEPAD_A);
    EXPECT_EQ(steppedAnalog(400), 0.0f); // beyond the buffer
    frame();
    EXPECT_EQ(steppedAnalog(400), 1.0f);
    EXPECT_EQ(steppedAnalog(401), 0.0f);
    EXPECT_EQ(steppedAnalog(kStepDown), 1.0f);
}

TEST_F(WorldStep, TwoSwitchesWithoutUpdateOrAResetLeaveNothingToCompare) {
    pad(Report().press(input::GAMEPAD_B));
    pad(Report()); // B released: the released action is on for this step
    manager->switchWorldStepBuffers();
    EXPECT_TRUE(steppedDigital(kStepReleased)); // 0.0 now, 1.0 in the step before
    manager->switchWorldStepBuffers();
    EXPECT_FALSE(steppedDigital(kStepReleased));
    EXPECT_EQ(steppedAnalog(kStepReleased), 0.0f);

    // A reset of the step buffers empties both and keeps the mode.
    pad(Report().press(input::GAMEPAD_B));
    pad(Report());
    manager->switchWorldStepBuffers();
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    pad(Report().press(input::GAMEPAD_A));
    EXPECT_TRUE(manager->readDigital(kStepDown));
    EXPECT_TRUE(manager->readDigital(kStepReleased)); // 0.0 now, 1.0 in the step before
    manager->resetStepBuffers();
    EXPECT_EQ(manager->getBufferingMode(), input::BUFFERING_WORLD_STEP);
    EXPECT_FALSE(manager->readDigital(kStepDown));
    EXPECT_FALSE(manager->readDigital(kStepReleased));
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
    EXPECT_EQ(steppedAnalog(kStepDown), 1.0f);
    // What a pad's reset forgets, and that a held button is pressed again, is the pad's test.
    EXPECT_FALSE(manager->getGamepad(0)->buttonDown(input::GAMEPAD_A));
}

TEST_F(ManagerTest, SteadyFramesAllocateNothing) {
    for (unsigned user = 0; user < 4; ++user)
        sim::connectPad(user);
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
