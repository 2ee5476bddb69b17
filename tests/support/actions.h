#pragma once

#include <cstdint>
#include <string>

#include "input/default_actions.h"
#include "support/fixture.h"

namespace testing_support {

// A manager test with the pad in slot 0 connected and at rest (pads only poll controllers that
// were connected when built or after a connectivity refresh).
class ActionTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        sim::connectPad(0);
        manager->refreshGamepadConnectivity();
    }
    void pad(const Report& report) { sim::setPad(0, report); }
    // The pad's report, then a frame.
    void padFrame(const Report& report, float dt = 1.0f / 60.0f) {
        pad(report);
        frame(dt);
    }

    // The active channel mask, bit by bit.
    std::uint32_t activeMask() {
        std::uint32_t mask = 0;
        for (int b = 0; b < 12; ++b) {
            if (manager->isChannelOn(1 << b))
                mask |= 1u << b;
        }
        return mask;
    }

    // Registers a test action in every channel at a gap id of the default table.
    int addAction(int id, input::ControlType type, int channels = -1) {
        manager->registerAction(id, ("T" + std::to_string(id)).c_str(), type, channels);
        return id;
    }
};

inline std::string narrow(const vel::WString& text) {
    std::string out;
    for (std::uint32_t i = 0; i < text.length(); ++i)
        out += static_cast<char>(text.c_str()[i]);
    return out;
}

} // namespace testing_support
