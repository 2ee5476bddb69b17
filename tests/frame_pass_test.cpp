// The frame update gathers every action in one pass per binding table; a live read of each id
// made right after must give exactly what the pass stored, over random tables, bindings,
// channels, exclusive lists, pads, keys, raw keys and mouse motion.

#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "support/fixture.h"

using namespace testing_support;

namespace {

bool bufferedAsAnalogue(input::ControlType type) {
    return (type >= input::CONTROL_AXIS && type <= input::CONTROL_AXIS_NEGATIVE_HALF) ||
           type == input::CONTROL_ANALOGUE_BUTTON;
}

class FramePass : public ManagerTest {
protected:
    std::mt19937 random{1};
    std::map<int, input::ControlType> types; // every registered id
    std::vector<int> boundKeys;              // so that key presses mostly hit bindings

    int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }

    void randomTables() {
#define FRAME_PASS_DEFAULT(name, id, type, channels) types[id] = input::type;
        INPUT_DEFAULT_ACTIONS(FRAME_PASS_DEFAULT)
#undef FRAME_PASS_DEFAULT
        for (int i = below(40); i > 0; --i) {
            int id = chance(70) ? below(320) : 320 + below(200);
            auto type = static_cast<input::ControlType>(below(16));
            int channels = chance(20) ? -1 : 1 << below(12);
            manager->registerAction(id, "RANDOM", type, channels);
            types[id] = type;
        }
        if (chance(20)) {
            manager->setSticksSwapped(chance(50));
            manager->bindDefaultInputs();
        }
        if (chance(15))
            manager->clearKeyBindings();
        if (chance(15))
            manager->clearGamepadBindings();
        // The movement actions whose keys make the keyboard's axes, and the axes themselves.
        static const int kAxisIds[] = {0, 1, 2, 3, 4, 5, 6, 7, 48, 49, 50, 51, 300, 301, 304, 305};
        for (int i = below(80); i > 0; --i) {
            int id = chance(25)   ? kAxisIds[below(16)]
                     : chance(90) ? below(540)
                                  : (chance(50) ? -1 - below(5) : 100000);
            if (chance(50)) {
                int key = chance(90) ? below(258) : 300;
                boundKeys.push_back(key < 256 ? key : 'K');
                manager->bindKeyboard(id, static_cast<unsigned short>(key));
            } else
                manager->bindGamepad(id, static_cast<unsigned short>(chance(90) ? below(24) : 255));
        }
    }

    void randomModes() {
        manager->setGame(chance(60));
        manager->setMenu(chance(40));
        manager->setVideo(chance(20));
        manager->setLoading(chance(20));
        manager->setConversation(chance(20));
        manager->setDebug(chance(20));
        manager->setFocus(chance(90));
        manager->setPlayerControlEnabled(chance(80), false);
        manager->setInvertVerticalForPad(chance(50));
        manager->setInvertHorizontalForPad(chance(50));
        manager->setInvertVerticalForMouse(chance(50));
        manager->setInvertHorizontalForMouse(chance(50));
        if (chance(30)) {
            IdList ids;
            for (int i = below(6); i > 0; --i)
                ids.pushBack(below(320));
            manager->setExclusiveActions(ids, static_cast<input::Channel>(1 << below(12)));
        } else {
            manager->clearExclusiveActions();
        }
    }

    void randomDevices() {
        for (unsigned user = 0; user < 4; ++user) {
            if (chance(30)) {
                sim::disconnectPad(user);
                continue;
            }
            auto axis = [&] {
                return static_cast<std::int16_t>(chance(40) ? 0 : below(65536) - 32768);
            };
            Report report;
            report.buttons(static_cast<std::uint16_t>(chance(30) ? 0 : random()))
                .triggers(static_cast<std::uint8_t>(below(256)),
                          static_cast<std::uint8_t>(below(256)))
                .sticks(axis(), axis(), axis(), axis());
            sim::connectPad(user);
            sim::setPad(user, report);
        }
        if (chance(20))
            manager->refreshGamepadConnectivity();
        if (chance(30))
            manager->setSelectedGamepad(below(4));
        else if (chance(20))
            manager->clearSelectedGamepad();
        for (int i = below(6); i > 0; --i) {
            int vk = chance(70) && !boundKeys.empty() ? boundKeys[below(int(boundKeys.size()))]
                                                      : below(256);
            keys[vk] = !keys[vk];
        }
        if (chance(30))
            sim::setAsyncKey(1 + below(6), chance(50));
        for (int i = below(3); i > 0; --i)
            rawKey(below(256), chance(60), 0, 'a');
        if (chance(40))
            mouseMove(below(9) - 4, below(9) - 4, chance(20) ? below(3) - 1 : 0);
    }

    // Compares the pass's values with live reads of every id, bit for bit.
    void expectPassMatchesLiveReads(int seed, int frameIndex) {
        std::vector<float> live;
        for (const auto& entry : types) {
            int id = entry.first;
            if (bufferedAsAnalogue(entry.second)) {
                float v = manager->readAnalog(id);
                live.push_back(v == 0.0f ? 0.0f : v);
            } else {
                live.push_back(manager->readDigital(id) ? 1.0f : 0.0f);
            }
        }
        manager->setBufferingMode(input::BUFFERING_WORLD_STEP);
        std::size_t i = 0;
        for (const auto& entry : types) {
            float stored = manager->readAnalog(entry.first);
            EXPECT_EQ(std::memcmp(&stored, &live[i], sizeof stored), 0)
                << "seed " << seed << ", frame " << frameIndex << ", action " << entry.first
                << " (type " << entry.second << "): pass " << stored << ", live " << live[i]
                << (manager->isUsingKeyboardAndMouse() ? ", keyboard" : ", pad");
            ++i;
        }
        manager->setBufferingMode(input::BUFFERING_LIVE);
    }
};

TEST_F(FramePass, MatchesLiveReadsOverRandomConfigurations) {
    for (int seed = 0; seed < 150; ++seed) {
        random.seed(static_cast<unsigned>(seed));
        types.clear();
        boundKeys.clear();
        for (bool& key : keys)
            key = false;
        make(chance(85), chance(85));
        randomTables();
        randomModes();
        for (int f = 0; f < 6; ++f) {
            randomDevices();
            if (chance(30))
                randomModes();
            manager->switchWorldStepBuffers(); // this frame's values alone
            frame(chance(50) ? 1.0f / 60.0f : 0.3f);
            expectPassMatchesLiveReads(seed, f);
            if (HasFailure())
                return;
        }
    }
}

} // namespace
