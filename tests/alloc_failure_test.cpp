// The engine heap may throw from any allocation. Each test makes the first, second, ... allocation
// of one operation fail in turn, until the operation runs through without reaching the failure,
// and checks after every throw that nothing leaked, that no lock stayed held, that the binding
// tables are as they were and that the manager still works.

#include <cstdint>
#include <string>
#include <vector>

#include "host/control.h"
#include "loc/string_table.h"
#include "support/every_lock.h"
#include "support/failing_allocations.h"
#include "support/fixture.h"

using namespace testing_support;

namespace {

constexpr int kFreshAction = 360; // a gap of the default table, registered by the tests
constexpr int kNewAction = 400;   // beyond the default table: registering it grows the table
const char* const kLongName = "AN_ACTION_NAME_OF_MORE_THAN_THIRTY_TWO_CHARACTERS";

class AllocFailure : public ManagerTest {
protected:
    void SetUp() override {
        FreshMachine::SetUp();
        blocksAtStart = host::memory::liveBlocks();
        make();
        manager->registerAction(kFreshAction, "ALLOC_TEST", input::CONTROL_DOWN, -1);
    }
    void TearDown() override {
        host::memory::failNthAllocation(0);
        manager.reset();
        EXPECT_EQ(host::memory::liveBlocks(), blocksAtStart) << "blocks left after destruction";
        ManagerTest::TearDown();
    }

    // What the binding queries can see of both tables: each id's first key and pad code, and
    // whether each code is bound in any channel.
    std::vector<int> bindingView() {
        std::vector<int> view;
        for (int id = -2; id <= kNewAction + 2; ++id) {
            int key = -1;
            manager->getKeyCode(id, key);
            view.push_back(key);
            view.push_back(manager->getGamepadButton(id));
        }
        for (unsigned short code = 0; code < input::KEY_COUNT; ++code)
            view.push_back(manager->isKeyBound(code, -1));
        for (unsigned short code = 0; code < 24; ++code)
            view.push_back(manager->isButtonBound(code, -1));
        return view;
    }

    // Another thread takes every lock of the manager and of its pads, under a watchdog.
    void expectLocksFree() {
        input::InputManager* m = manager.get();
        runOnOtherThread("a call from another thread after a failed allocation",
                         [m] { takeEveryLock(*m); });
    }

    // failEachAllocationInTurn, where after every throw the locks are free, the binding tables
    // are as they were before the first attempt and `more` holds.
    template <class Operation, class More>
    int failKeepingTables(const char* what, Operation operation, More more) {
        std::vector<int> tables = bindingView();
        return failEachAllocationInTurn(what, operation, [&] {
            expectLocksFree();
            EXPECT_EQ(bindingView(), tables);
            more();
        });
    }

    // A frame and a read still work.
    void expectUsable() {
        manager->setMenu(true);
        frame();
        manager->readDigital(input::ACTION_MENU_A);
        EXPECT_TRUE(manager->isChannelOn(input::CHANNEL_MENU));
        manager->setMenu(false);
    }

    std::int64_t blocksAtStart = 0;
};

TEST_F(AllocFailure, ConstructionLeavesNothingBehind) {
    manager.reset();
    std::int64_t liveBefore = host::memory::liveBlocks();
    sim::AccessibilityFlags flags = sim::accessibilityFlags();
    for (bool pc : {true, false}) {
        int points = failEachAllocationInTurn(
            pc ? "construction with a PC device" : "construction without a PC device",
            [pc] { input::InputManager built(pc, true); },
            [&] {
                EXPECT_EQ(input::InputManager::getInstance(), nullptr);
                EXPECT_EQ(sim::accessibilityFlags(), flags);
            });
        // The action table grows to each default id in turn; then the pads and the locks.
        EXPECT_GT(points, 80);
    }
    EXPECT_EQ(host::memory::liveBlocks(), liveBefore);
    make();
    expectUsable();
}

TEST_F(AllocFailure, RegisterActionChangesNothingWhenItThrows) {
    const vel::InplaceString<32> longName(kLongName);
    const vel::InplaceWString<128> longKey(kLongName);
    for (int id : {kNewAction, kFreshAction}) { // a new id that grows the table; an existing one
        int keyBefore = manager->getAction(longKey);
        bool grownBefore = manager->isActionAssigned(kNewAction);
        vel::InplaceString<128> nameBefore = manager->getActionName(id);
        int points = failKeepingTables(
            "registerAction",
            [&] { manager->registerAction(id, longName, input::CONTROL_PRESSED, -1); },
            [&] {
                EXPECT_EQ(manager->getAction(longKey), keyBefore);
                EXPECT_EQ(manager->isActionAssigned(kNewAction), grownBefore);
                EXPECT_TRUE(manager->getActionName(id) == nameBefore);
                expectUsable();
            });
        EXPECT_GE(points, 2); // the wide key or the table, and the name
        EXPECT_EQ(manager->getAction(longKey), id);
        EXPECT_TRUE(manager->getActionName(id) == kLongName);
    }
    EXPECT_EQ(manager->getAction("ALLOC_TEST"), kFreshAction); // names are never removed
    EXPECT_TRUE(manager->isActionAssigned(kNewAction));
    EXPECT_FALSE(manager->isActionAssigned(kNewAction + 1));
}

TEST_F(AllocFailure, BindingsLeaveTheTableAndItsLockAsTheyWere) {
    // Tables grow now and then: bind until each kind of growth has been failed at least once
    // (more bindings of one action, and a new highest action id).
    struct Case {
        const char* what;
        bool keys;
        bool newIds;
    };
    for (const Case& c :
         {Case{"bindKeyboard", true, false}, Case{"bindKeyboard, new ids", true, true},
          Case{"bindGamepad", false, false}, Case{"bindGamepad, new ids", false, true}}) {
        int points = 0;
        for (int i = 0; i < 80; ++i) {
            int id = c.newIds ? kNewAction + 1 + 16 * i : kFreshAction;
            unsigned short code = static_cast<unsigned short>(c.keys ? 'A' + i % 26 : i % 16);
            int n = failKeepingTables(
                c.what,
                [&] { c.keys ? manager->bindKeyboard(id, code) : manager->bindGamepad(id, code); },
                [&] { expectUsable(); });
            ASSERT_GE(n, 0);
            points += n;
            int first = -1;
            if (c.keys)
                manager->getKeyCode(id, first);
            else
                first = manager->getGamepadButton(id);
            EXPECT_EQ(first, c.newIds || i == 0 ? code : c.keys ? 'A' : 0) << c.what << " " << i;
        }
        EXPECT_GE(points, 1) << c.what;
    }
}

TEST_F(AllocFailure, BindDefaultInputsKeepsTheOldBindingsWhenItThrows) {
    manager->clearKeyBindings();
    manager->clearGamepadBindings();
    manager->bindKeyboard(input::ACTION_MENU_A, 'Z');
    manager->bindGamepad(input::ACTION_MENU_A, input::GAMEPAD_Y);
    int points = failKeepingTables(
        "bindDefaultInputs", [&] { manager->bindDefaultInputs(); }, [&] { expectUsable(); });
    EXPECT_GE(points, 4); // each table's storage and its index
    EXPECT_EQ(manager->getGamepadButton(input::ACTION_MENU_A), input::GAMEPAD_A);
    int key = -1;
    EXPECT_TRUE(manager->getKeyCode(input::ACTION_MENU_A, key));
    EXPECT_EQ(key, 13);
}

TEST_F(AllocFailure, SetExclusiveActionsKeepsTheOldListWhenItThrows) {
    IdList ids;
    for (int id = 0; id < 16; ++id)
        ids.pushBack(input::ACTION_MENU_A + id);
    int points = failKeepingTables(
        "setExclusiveActions", [&] { manager->setExclusiveActions(ids, input::CHANNEL_MENU); },
        [&] {
            EXPECT_FALSE(manager->isActionBlocked(input::ACTION_MENU_PADRIGHT));
            expectUsable();
        });
    EXPECT_EQ(points, 1);
    EXPECT_TRUE(manager->isActionBlocked(input::ACTION_MENU_PADRIGHT));
    EXPECT_FALSE(manager->isActionBlocked(input::ACTION_MENU_A));
}

TEST_F(AllocFailure, KeyNameReleasesTheBindingLockWhenItThrows) {
    // A display name longer than the caller's inline buffer is copied under keyBindingsLock.
    std::wstring longName(200, L'n');
    loc::StringTable::getInstance()->setString("KEYCODE_0x20", longName.c_str()); // Space
    vel::InplaceWString<128> name;
    int points = failKeepingTables(
        "getKeyName", [&] { manager->getKeyName(input::ACTION_ABORT_VIDEO, name); }, [] {});
    EXPECT_EQ(points, 1);
    EXPECT_EQ(name.length(), 200u);
}

TEST_F(AllocFailure, FrameUpdateAfterARegistrationReleasesItsLocks) {
    manager->setGame(true);
    frame();
    manager->switchWorldStepBuffers();
    manager->registerAction(kNewAction, "GROWN", input::CONTROL_DOWN, -1);
    manager->bindKeyboard(kNewAction, 'G');
    int points = failKeepingTables(
        "update and switchWorldStepBuffers after a registration",
        [&] {
            frame();                           // the step buffer grows to the new table size
            manager->switchWorldStepBuffers(); // the previous step buffer grows too
        },
        [] {});
    EXPECT_EQ(points, 2);
    keyDown('G');
    frame();
    manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
    EXPECT_TRUE(manager->readDigital(kNewAction));
}

} // namespace
