// The owning thread runs the frame loop while other threads read actions, select pads, bind and
// query bindings, poll pads and set rumble, as a game's render, audio and gameplay threads would.
// Run under ThreadSanitizer in CI; a deadlock ends the program through the watchdog.

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/events.h"
#include "d/tweakable.h"
#include "support/fixture.h"
#include "support/watchdog.h"

using namespace testing_support;

namespace {

constexpr int kFrames = 3000;
constexpr int kReaders = 3;
constexpr int kActionCount = input::ACTION_PHOTOMODE_TAKE_PHOTO_PC + 1;
// A stick axis without dead zone reaches -32768 / 32767, a little beyond -1.
constexpr float kAxisLimit = 1.0001f;
// Mouse-read look axes: a few hundred pixels of motion a frame times a factor of at most 2.
constexpr float kMouseLimit = 1.0e5f;

// xorshift64: cheap, per thread, reproducible.
struct Rng {
    std::uint64_t state;
    explicit Rng(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int oneIn) { return below(oneIn) == 0; }
    template <class T> T any() { return static_cast<T>(next()); }
};

float limitOf(int action) {
    using namespace input;
    for (int look : {ACTION_CAMERA_X, ACTION_CAMERA_Y, ACTION_FREECAMERA_HEADING,
                     ACTION_FREECAMERA_PITCH, ACTION_PHOTOMODE_HEADING, ACTION_PHOTOMODE_PITCH}) {
        if (action == look)
            return kMouseLimit;
    }
    return kAxisLimit;
}

// Collects what the reader threads found out of range; the main thread reports it.
struct Findings {
    std::atomic<long> count{0};
    std::mutex mutex;
    std::string first;

    void check(bool ok, const char* what, double value) {
        if (!ok && count.fetch_add(1) == 0) {
            std::lock_guard<std::mutex> guard(mutex);
            first = std::string(what) + " gave " + std::to_string(value);
        }
    }
};

class Threads : public ManagerTest {
protected:
    // One call of the kinds any thread may make, chosen at random.
    void readerCall(Rng& rng) {
        input::InputManager& m = *manager;
        int id = rng.between(-3, kActionCount + 3);
        bool valid = id >= 0 && id < kActionCount;
        switch (rng.below(16)) {
        case 0:
        case 1:
        case 2: {
            bool on = m.readDigital(id);
            findings.check(valid || !on, "readDigital outside the table", on);
            break;
        }
        case 3:
        case 4: {
            float v = m.readAnalog(id);
            findings.check(std::fabs(v) <= limitOf(id), "readAnalog", v);
            findings.check(valid || v == 0.0f, "readAnalog outside the table", v);
            break;
        }
        case 5: {
            float v = m.readRawAnalog(id);
            findings.check(std::fabs(v) <= limitOf(id), "readRawAnalog", v);
            break;
        }
        case 6: {
            m.isChannelOn(static_cast<int>(rng.next()));
            bool invalid = m.getActionName(id) == "INVALID";
            findings.check(valid || invalid, "getActionName outside the table", id);
            break;
        }
        case 7: {
            int slot = rng.between(-1, 4);
            if (slot < 0 || rng.chance(4))
                m.clearSelectedGamepad();
            else
                m.setSelectedGamepad(slot);
            int selected = m.getSelectedGamepad();
            findings.check(selected >= -1 && selected <= 3, "getSelectedGamepad", selected);
            int active = m.getActiveGamepadID();
            findings.check(active >= -1 && active <= 3, "getActiveGamepadID", active);
            input::Gamepad* pad = m.getGamepad();
            bool known = false;
            for (int s = 0; s < 4; ++s)
                known = known || pad == m.getGamepad(s);
            findings.check(known, "getGamepad() not one of the four slots", 0);
            break;
        }
        case 8:
            if (rng.chance(64))
                m.clearKeyBindings();
            else
                m.bindKeyboard(id, static_cast<unsigned short>(rng.between(0, 260)));
            break;
        case 9:
            if (rng.chance(64))
                m.clearGamepadBindings();
            else
                m.bindGamepad(id, static_cast<unsigned short>(rng.between(0, 24)));
            break;
        case 10:
            m.isKeyBound(static_cast<unsigned short>(rng.below(260)), rng.below(0x1000));
            break;
        case 11:
            m.isButtonBound(static_cast<unsigned short>(rng.below(24)), rng.below(0x1000));
            break;
        case 12: {
            int code = m.getGamepadButton(id);
            findings.check(code >= -1 && code <= 0xFFFF, "getGamepadButton", code);
            int glyph = m.getGlyphIndex(id);
            findings.check(glyph == -1 || (glyph >= 1 && glyph <= 23), "getGlyphIndex", glyph);
            int key = 0;
            m.getKeyCode(id, key);
            findings.check(key >= -1 && key <= 0xFFFF, "getKeyCode", key);
            vel::InplaceWString<128> name;
            m.getKeyName(id, name);
            break;
        }
        case 13: {
            input::Gamepad* pad = m.getGamepad(rng.below(4));
            int code = rng.between(0, 24);
            padQueries(*pad, code);
            pad->isConnected();
            pad->isActivity();
            float button = pad->getAnalogButton(code);
            findings.check(button >= 0.0f && button <= 1.0f, "getAnalogButton", button);
            break;
        }
        case 14: {
            input::Gamepad* pad = m.getGamepad(rng.below(4));
            int axis = rng.between(-1, 4);
            float v = pad->getAxis(axis);
            findings.check(std::fabs(v) <= 1.0f, "getAxis", v);
            float raw = pad->getRawAxis(axis);
            findings.check(std::fabs(raw) <= kAxisLimit, "getRawAxis", raw);
            break;
        }
        default: {
            input::Gamepad* pad = m.getSecondaryGamepad();
            if (rng.chance(2))
                pad = m.getGamepad(rng.below(4));
            const float speeds[] = {-0.5f, 0.0f, 0.25f, 1.0f, 7.0f, NAN};
            pad->setLowFrequencyRumble(speeds[rng.below(6)]);
            pad->setHighFrequencyRumble(speeds[rng.below(6)]);
            float low = pad->getLowFrequencyRumble();
            float high = pad->getHighFrequencyRumble();
            findings.check(low >= 0.0f && low <= 1.0f, "getLowFrequencyRumble", low);
            findings.check(high >= 0.0f && high <= 1.0f, "getHighFrequencyRumble", high);
            break;
        }
        }
    }

    // The owning thread's events and mode changes for one frame, then the frame itself.
    void ownerFrame(Rng& rng, int frameIndex) {
        input::InputManager& m = *manager;
        for (unsigned user = 0; user < 4; ++user) {
            if (rng.chance(50)) {
                sim::disconnectPad(user);
            } else if (rng.chance(3)) {
                using S = std::int16_t;
                sim::connectPad(user);
                sim::setPad(user,
                            Report()
                                .buttons(rng.any<std::uint16_t>())
                                .triggers(rng.any<std::uint8_t>(), rng.any<std::uint8_t>())
                                .sticks(rng.any<S>(), rng.any<S>(), rng.any<S>(), rng.any<S>()));
            }
        }
        if (rng.chance(40))
            m.refreshGamepadConnectivity();
        for (int n = rng.below(4); n > 0; --n) {
            auto flags = static_cast<std::uint16_t>(rng.below(4));
            int base = flags & app::MOUSE_MOVE_ABSOLUTE ? 32768 : 0;
            bool wheel = rng.chance(4);
            app::InputEvent event =
                mouseEvent(flags, base + rng.between(-100, 100), base + rng.between(-100, 100),
                           wheel ? app::RI_MOUSE_WHEEL : 0, wheel && rng.chance(2) ? 120 : -120,
                           static_cast<std::uint32_t>(rng.below(3)));
            m.dispatchAppEvent(&event);
        }
        for (int n = rng.below(4); n > 0; --n)
            rawKey(rng.between(-2, 258), rng.chance(2), rng.below(8), 'x');
        if (rng.chance(5)) {
            int vk = rng.below(256);
            keys[vk] = !keys[vk];
        }
        frame(1.0f / 60.0f);
        m.resetMouseInputDeltas();

        switch (rng.below(12)) {
        case 0: m.setGame(rng.chance(2)); break;
        case 1: m.setMenu(rng.chance(2)); break;
        case 2: m.setConversation(rng.chance(2)); break;
        case 3: m.setLoading(rng.chance(3)); break;
        case 4: m.setVideo(rng.chance(3)); break;
        case 5: m.setConsole(rng.chance(4)); break;
        case 6: m.setDebug(rng.chance(4)); break;
        case 7: m.setBinding(rng.chance(8)); break;
        case 8: m.setFreeCameraWithoutPlayerControls(rng.chance(4)); break;
        case 9: m.setRedirectToKeyframer(rng.chance(4)); break;
        case 10: m.setPlayerControlEnabled(!rng.chance(4), rng.chance(2)); break;
        default: m.setUIMessage(rng.chance(6)); break;
        }
        // The owner reads too; buffering stays live, since world-step reads are the owner's alone.
        m.readDigital(rng.below(kActionCount));
        m.readAnalog(rng.below(kActionCount));
        if (frameIndex % 4 == 3)
            m.switchWorldStepBuffers();
    }

    Findings findings;
};

TEST_F(Threads, FrameLoopWithConcurrentReadersFinishesAndReadsStayInRange) {
    Watchdog watchdog("the threaded frame loop", std::chrono::seconds(300));
    d::setTweakable("Rumble:Enable old system (PC)", true); // polls also consume rumble requests
    sim::connectPad(0);
    sim::connectPad(1);
    sim::setPad(1, Report().press(input::GAMEPAD_A));
    manager->refreshGamepadConnectivity();

    std::atomic<bool> done{false};
    std::atomic<int> started{0};
    std::vector<unsigned long long> calls(kReaders, 0);
    std::vector<std::thread> readers;
    for (int r = 0; r < kReaders; ++r) {
        readers.emplace_back([&, r] {
            Rng rng(static_cast<std::uint64_t>(r) + 11);
            started.fetch_add(1);
            unsigned long long n = 0;
            while (!done.load(std::memory_order_relaxed)) {
                readerCall(rng);
                ++n;
            }
            calls[static_cast<std::size_t>(r)] = n;
        });
    }
    while (started.load() < kReaders)
        std::this_thread::yield();

    Rng rng(7);
    for (int f = 0; f < kFrames; ++f)
        ownerFrame(rng, f);
    done = true;
    for (std::thread& reader : readers)
        reader.join();

    unsigned long long total = 0;
    for (int r = 0; r < kReaders; ++r) {
        EXPECT_GT(calls[static_cast<std::size_t>(r)], 0u) << "reader " << r << " never ran";
        total += calls[static_cast<std::size_t>(r)];
    }
    EXPECT_EQ(findings.count.load(), 0) << findings.first;
    EXPECT_EQ(manager->getBufferingMode(), input::BUFFERING_LIVE);
    std::printf("[ stress   ] %d frames, %d reader threads, %llu reader calls\n", kFrames, kReaders,
                total);
    RecordProperty("frames", kFrames);
    RecordProperty("reader_calls", std::to_string(total));
}

} // namespace
