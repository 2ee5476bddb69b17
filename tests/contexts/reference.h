#pragma once

// A plain model of the single-key triggers for the randomised comparison: it keeps every frame's
// time and key state and works each answer out again from that history, rather than carrying
// state forward as the layer does.

#include <cstddef>
#include <vector>

#include "input/contexts.h"

namespace testing_support {

struct ReferenceTrigger {
    input::Trigger trigger;
    std::vector<double> times;
    std::vector<bool> down;

    // Appends a frame and returns the trigger's state in it.
    input::TriggerState frame(double now, bool isDown) {
        times.push_back(now);
        down.push_back(isDown);
        return stateAt(times.size() - 1);
    }

private:
    bool wasDown(std::size_t i) const { return i > 0 && down[i - 1]; }
    // The frame of the press that frame i's hold began with.
    std::size_t pressOf(std::size_t i) const {
        while (i > 0 && down[i - 1])
            --i;
        return i;
    }
    double held(std::size_t i) const { return times[i] - times[pressOf(i)]; }
    // The hold that ended at release frame i, measured to i.
    double heldAtRelease(std::size_t i) const { return times[i] - times[pressOf(i - 1)]; }

    bool pulseFires(std::size_t i) const {
        const input::Trigger& t = trigger;
        std::size_t press = pressOf(i);
        if (i == press)
            return true;
        int fired = 0;
        for (std::size_t j = press; j < i; ++j)
            fired += pulseFiresFrom(j, press) ? 1 : 0;
        if (t.count > 0 && fired >= t.count)
            return false;
        return pulseFiresFrom(i, press);
    }
    // A due time first + k * interval in (held of the frame before, held now].
    bool pulseFiresFrom(std::size_t j, std::size_t press) const {
        if (j == press)
            return true;
        double before = times[j - 1] - times[press], now = times[j] - times[press];
        for (int k = 0; k < 10000; ++k) {
            double due = trigger.firstDelay + k * static_cast<double>(trigger.interval);
            if (due > now)
                return false;
            if (due > before)
                return true;
        }
        return false;
    }

    input::TriggerState stateAt(std::size_t i) const {
        using input::TRIGGER_NONE;
        using input::TRIGGER_ONGOING;
        using input::TRIGGER_TRIGGERED;
        const input::Trigger& t = trigger;
        bool d = down[i], released = !d && wasDown(i);
        switch (t.kind) {
        case input::TRIGGER_DOWN: return d ? TRIGGER_TRIGGERED : TRIGGER_NONE;
        case input::TRIGGER_PRESSED: return d && !wasDown(i) ? TRIGGER_TRIGGERED : TRIGGER_NONE;
        case input::TRIGGER_RELEASED:
            return d ? TRIGGER_ONGOING : released ? TRIGGER_TRIGGERED : TRIGGER_NONE;
        case input::TRIGGER_HOLD: {
            if (!d)
                return TRIGGER_NONE;
            if (held(i) < t.time)
                return TRIGGER_ONGOING;
            if (!t.oneShot)
                return TRIGGER_TRIGGERED;
            for (std::size_t j = pressOf(i); j < i; ++j) {
                if (held(j) >= t.time)
                    return TRIGGER_NONE; // fired already
            }
            return TRIGGER_TRIGGERED;
        }
        case input::TRIGGER_HOLD_AND_RELEASE:
            if (d)
                return TRIGGER_ONGOING;
            return released && heldAtRelease(i) >= t.time ? TRIGGER_TRIGGERED : TRIGGER_NONE;
        case input::TRIGGER_TAP:
            if (d)
                return held(i) < t.time ? TRIGGER_ONGOING : TRIGGER_NONE;
            return released && heldAtRelease(i) < t.time ? TRIGGER_TRIGGERED : TRIGGER_NONE;
        case input::TRIGGER_PULSE:
            if (!d)
                return TRIGGER_NONE;
            if (pulseFires(i))
                return TRIGGER_TRIGGERED;
            {
                int fired = 0;
                for (std::size_t j = pressOf(i); j < i; ++j)
                    fired += pulseFiresFrom(j, pressOf(i)) ? 1 : 0;
                return t.count > 0 && fired >= t.count ? TRIGGER_NONE : TRIGGER_ONGOING;
            }
        default: return TRIGGER_NONE;
        }
    }
};

// The events of a frame from the states before and after it, written out case by case.
inline std::uint32_t referenceEvents(input::TriggerState before, input::TriggerState after) {
    using namespace input;
    std::uint32_t events = 0;
    if (after != TRIGGER_NONE && before != after && before != TRIGGER_ONGOING)
        events |= EVENT_STARTED; // from None, or a new try after a completed one
    if (after == TRIGGER_ONGOING)
        events |= EVENT_ONGOING;
    if (after == TRIGGER_TRIGGERED)
        events |= EVENT_TRIGGERED;
    if (before == TRIGGER_TRIGGERED && after != TRIGGER_TRIGGERED)
        events |= EVENT_COMPLETED;
    if (before == TRIGGER_ONGOING && after == TRIGGER_NONE)
        events |= EVENT_CANCELED;
    return events;
}

} // namespace testing_support
