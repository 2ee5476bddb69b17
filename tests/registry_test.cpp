// The action registry and the default vocabulary a new manager holds.

#include <algorithm>
#include <string>
#include <vector>

#include "support/defaults.h"
#include "support/fixture.h"

using namespace testing_support;

namespace {

std::string nameOf(input::InputManager& m, int id) {
    return m.getActionName(id).c_str();
}

// The action's channel bits, recovered one bit at a time.
std::uint32_t channelsOf(input::InputManager& m, int id) {
    std::uint32_t mask = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (m.channelMatch(id, static_cast<int>(1u << bit)))
            mask |= 1u << bit;
    }
    return mask;
}

} // namespace

using Registry = ManagerTest;

// Each id, gaps and the ids either side of the table included: name, channels and the shipped
// first key and pad code.
TEST_F(Registry, DefaultTableIsWhole) {
    input::InputManager& m = *manager;
    for (int id = -2; id <= input::kDefaultActionTableSize + 1; ++id) {
        SCOPED_TRACE(id);
        const DefaultRow& row = defaultRow(id);
        bool inside = id >= 0 && id < input::kDefaultActionTableSize;
        EXPECT_EQ(m.isActionAssigned(id), inside);
        EXPECT_EQ(nameOf(m, id), inside ? row.name : "INVALID");
        EXPECT_TRUE(row.id < 0 || m.getAction(row.name) == id); // a gap has no name to look up
        EXPECT_EQ(channelsOf(m, id), row.channels);
        int key = 0;
        EXPECT_EQ(m.getKeyCode(id, key), !row.keys.empty());
        EXPECT_EQ(key, row.keys.empty() ? -1 : row.keys[0]);
        EXPECT_EQ(m.getGamepadButton(id), row.pads.empty() ? -1 : row.pads[0]);
    }
}

// A default action reads as a fresh action of its listed type and channels does, both bound to the
// right trigger, the left stick's X axis and K, over frames of 0.25 s that push, hold, release and
// tap the trigger (the stick pushed in the first), then press K on the raw keyboard; in each mode
// that opens one of its channels, on a pad-only manager.
TEST_F(Registry, DefaultControlTypesShowInTheReads) {
    const int rows = static_cast<int>(kDefaultTable.size());
    constexpr int kTwins = 100;
    const std::uint8_t trigger[] = {128, 128, 0, 0, 128, 0, 0, 0};
    std::vector<bool> live(kDefaultTable.size());
    for (auto open : {&input::InputManager::setGame, &input::InputManager::setMenu,
                      &input::InputManager::setFreeCameraWithoutPlayerControls,
                      &input::InputManager::setDebug}) {
        sim::connectPad(0);
        input::InputManager& m = make(false, false);
        (m.*open)(true);
        m.clearGamepadBindings();
        m.clearKeyBindings();
        for (int i = 0; i < rows; ++i) {
            const DefaultRow& row = kDefaultTable[i];
            m.registerAction(kTwins + i, "TWIN", static_cast<input::ControlType>(row.type),
                             static_cast<int>(row.channels));
            for (int id : {row.id, kTwins + i}) {
                m.bindGamepad(id, input::GAMEPAD_RIGHT_TRIGGER);
                m.bindGamepad(id, input::GAMEPAD_LEFT_STICK_X);
                m.bindKeyboard(id, 'K');
            }
        }
        std::vector<std::string> reads(2 * kDefaultTable.size()); // the defaults, then the twins
        for (int f = 0; f < 8; ++f) {
            sim::setPad(0, Report().triggers(0, trigger[f]).sticks(f == 0 ? 32767 : 0, 0, 0, 0));
            if (f == 6)
                rawKey('K', true);
            frame(0.25f);
            for (int i = 0; i < 2 * rows; ++i) {
                int id = i < rows ? kDefaultTable[i].id : kTwins + i - rows;
                reads[i] += std::to_string(m.readDigital(id)) + ' ' +
                            std::to_string(m.readAnalog(id)) + ' ' +
                            std::to_string(steppedAnalog(id)) + ';';
            }
        }
        for (int i = 0; i < rows; ++i) {
            EXPECT_EQ(reads[i], reads[rows + i]) << kDefaultTable[i].name;
            live[i] = live[i] || m.isChannelOn(static_cast<int>(kDefaultTable[i].channels));
        }
    }
    EXPECT_EQ(std::count(live.begin(), live.end(), true), 75); // all but the debug keys
}

TEST_F(Registry, GrowthGapsLookupsAndReRegistration) {
    input::InputManager& m = *manager;
    m.registerAction(400, "LATE", input::CONTROL_DOWN, input::CHANNEL_ALL);
    EXPECT_TRUE(m.isActionAssigned(400));
    EXPECT_FALSE(m.isActionAssigned(401));
    EXPECT_EQ(nameOf(m, 401), "INVALID");
    for (int gap = 310; gap < 400; ++gap) {
        EXPECT_TRUE(m.isActionAssigned(gap));
        EXPECT_EQ(nameOf(m, gap), "");
    }
    EXPECT_EQ(channelsOf(m, 350), 0u); // a gap never reads

    EXPECT_EQ(m.getAction("NEVER_REGISTERED"), -1);
    EXPECT_EQ(m.getAction("menu_a"), -1); // names are case-sensitive
    EXPECT_EQ(m.getAction(""), -1);
    m.registerAction(401, "", input::CONTROL_DOWN, input::CHANNEL_MENU);
    EXPECT_EQ(m.getAction(""), 401);

    const char* longName = "FREECAMERA_SCALE_TRANSLATION_DOWN_AGAIN_AND_AGAIN"; // 49 characters
    m.registerAction(402, longName, input::CONTROL_DOWN, input::CHANNEL_MENU);
    EXPECT_EQ(nameOf(m, 402), longName);
    EXPECT_EQ(m.getAction(longName), 402);
    EXPECT_EQ(m.getAction("FREECAMERA_SCALE_TRANSLATION_DOWN"), 57);

    // A name registered again points at the newest id; the old id keeps its row, and a row
    // registered again keeps the names that pointed at it.
    m.registerAction(500, "MENU_A", input::CONTROL_DOWN, input::CHANNEL_GAME);
    EXPECT_EQ(m.getAction("MENU_A"), 500);
    EXPECT_EQ(nameOf(m, 18), "MENU_A");
    EXPECT_EQ(channelsOf(m, 18), input::CHANNEL_MENU);
    m.registerAction(402, "RENAMED", input::CONTROL_AXIS, input::CHANNEL_CONSOLE);
    EXPECT_EQ(nameOf(m, 402), "RENAMED");
    EXPECT_EQ(channelsOf(m, 402), input::CHANNEL_CONSOLE);
    EXPECT_EQ(m.getAction("RENAMED"), 402);
    EXPECT_EQ(m.getAction(longName), 402);
}
