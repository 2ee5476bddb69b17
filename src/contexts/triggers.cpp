// The built-in triggers, how several on one mapping combine, and the transition table that turns
// an action's states into events.
#include <cmath>

#include "contexts/state.h"

namespace input {

namespace {

struct Edge {
    bool down, pressed, released;
    double held; // since the press; at the release, how long it was down
};

// Actuation with hysteresis: down at or above `actuation`, up strictly below `release`.
Edge actuate(const Trigger& t, TriggerRun& run, float magnitude, double now) {
    float release = t.release; // addMapping puts the actuation in for "none"
    bool was = run.down;
    bool down = was ? magnitude >= release : magnitude >= t.actuation;
    run.down = down;
    if (down && !was)
        run.start = now;
    return {down, down && !was, was && !down, now - run.start};
}

TriggerState multiTap(const Trigger& t, TriggerRun& run, const Edge& e, double now) {
    if (run.fired) { // the press that completed the taps: nothing until it is let go
        run.fired = e.down;
        return TRIGGER_NONE;
    }
    if (e.pressed) {
        if (run.count > 0 && now - run.mark > t.gap)
            run.count = 0;
        if (++run.count >= t.count) {
            run.count = 0;
            run.fired = true;
            return TRIGGER_TRIGGERED;
        }
        return TRIGGER_ONGOING;
    }
    if (run.count == 0)
        return TRIGGER_NONE;
    if ((e.down || e.released) && e.held >= t.time) {
        run.count = 0; // held too long for a tap
        run.fired = e.down;
        return TRIGGER_NONE;
    }
    if (e.released)
        run.mark = now;
    if (!e.down && !e.released && now - run.mark > t.gap) {
        run.count = 0;
        return TRIGGER_NONE;
    }
    return TRIGGER_ONGOING;
}

TriggerState pulse(const Trigger& t, TriggerRun& run, const Edge& e) {
    if (e.pressed) {
        run.count = 1;
        run.mark = t.firstDelay;
        return TRIGGER_TRIGGERED;
    }
    if (!e.down)
        return TRIGGER_NONE;
    if (t.count > 0 && run.count >= t.count)
        return TRIGGER_NONE;
    if (e.held < run.mark)
        return TRIGGER_ONGOING;
    ++run.count;
    // One pulse a frame: the due times this frame passed are dropped, not caught up.
    double skipped = std::floor((e.held - run.mark) / t.interval);
    run.mark += (skipped + 1.0) * t.interval;
    return TRIGGER_TRIGGERED;
}

TriggerState combo(const InputContexts::State& s, const Trigger& t, TriggerRun& run, double now) {
    if (run.count > 0 && now - run.mark > t.windows[run.count])
        run.count = 0;
    int expected = t.steps[run.count];
    if (s.actions[expected].rose) {
        run.mark = now;
        if (++run.count == t.count) {
            run.count = 0;
            return TRIGGER_TRIGGERED;
        }
        return TRIGGER_ONGOING;
    }
    for (int i = 0; i < t.count; ++i) {
        int step = t.steps[i];
        if (step != expected && s.actions[step].rose) {
            // Out of turn: over, though it may begin a new try.
            run.count = step == t.steps[0] ? 1 : 0;
            run.mark = now;
            break;
        }
    }
    return run.count > 0 ? TRIGGER_ONGOING : TRIGGER_NONE;
}

TriggerState runTrigger(const InputContexts::State& s, const Trigger& t, TriggerRun& run,
                        float magnitude) {
    double now = s.now;
    if (t.kind == TRIGGER_COMBO)
        return combo(s, t, run, now);
    if (t.kind == TRIGGER_CHORD)
        return s.actions[t.action].state == TRIGGER_TRIGGERED ? TRIGGER_TRIGGERED : TRIGGER_NONE;
    Edge e = actuate(t, run, magnitude, now);
    switch (t.kind) {
    case TRIGGER_DOWN: return e.down ? TRIGGER_TRIGGERED : TRIGGER_NONE;
    case TRIGGER_PRESSED: return e.pressed ? TRIGGER_TRIGGERED : TRIGGER_NONE;
    case TRIGGER_RELEASED:
        return e.down ? TRIGGER_ONGOING : e.released ? TRIGGER_TRIGGERED : TRIGGER_NONE;
    case TRIGGER_HOLD:
        if (!e.down) {
            run.fired = false;
            return TRIGGER_NONE;
        }
        if (e.held < t.time)
            return TRIGGER_ONGOING;
        if (!t.oneShot)
            return TRIGGER_TRIGGERED;
        if (run.fired)
            return TRIGGER_NONE;
        run.fired = true;
        return TRIGGER_TRIGGERED;
    case TRIGGER_HOLD_AND_RELEASE:
        if (e.down)
            return TRIGGER_ONGOING;
        return e.released && e.held >= t.time ? TRIGGER_TRIGGERED : TRIGGER_NONE;
    case TRIGGER_TAP:
        if (e.down)
            return e.held < t.time ? TRIGGER_ONGOING : TRIGGER_NONE;
        return e.released && e.held < t.time ? TRIGGER_TRIGGERED : TRIGGER_NONE;
    case TRIGGER_MULTI_TAP: return multiTap(t, run, e, now);
    case TRIGGER_PULSE: return pulse(t, run, e);
    default: return TRIGGER_NONE;
    }
}

bool finiteNonNegative(float v) {
    return isFinite(v) && v >= 0.0f;
}

} // namespace

TriggerState evaluateTriggers(const InputContexts::State& s, MappingRec& m, float magnitude) {
    // Explicit: any one; implicit: all; blocker: vetoes. addMapping gives every mapping at least
    // one explicit trigger.
    bool explicitTriggered = false, implicitsHold = true, ongoing = false, blocked = false;
    for (int i = 0; i < m.def.triggerCount; ++i) {
        const Trigger& t = m.def.triggers[i];
        TriggerState state = runTrigger(s, t, m.runs[i], magnitude);
        switch (t.role) {
        case ROLE_EXPLICIT:
            explicitTriggered |= state == TRIGGER_TRIGGERED;
            ongoing |= state == TRIGGER_ONGOING;
            break;
        case ROLE_IMPLICIT:
            implicitsHold &= state == TRIGGER_TRIGGERED;
            ongoing |= state == TRIGGER_ONGOING;
            break;
        case ROLE_BLOCKER: blocked |= state == TRIGGER_TRIGGERED; break;
        }
    }
    if (blocked)
        return TRIGGER_NONE;
    if (explicitTriggered && implicitsHold)
        return TRIGGER_TRIGGERED;
    // An explicit trigger that fired while an implicit one is not even Ongoing (a chord's key
    // alone) is nothing in progress.
    return ongoing ? TRIGGER_ONGOING : TRIGGER_NONE;
}

bool runsBusy(const MappingRec& m) {
    for (int i = 0; i < m.def.triggerCount; ++i) {
        const TriggerRun& run = m.runs[i];
        TriggerKind kind = m.def.triggers[i].kind;
        if (run.down || (kind == TRIGGER_MULTI_TAP && (run.count > 0 || run.fired)))
            return true;
    }
    return false;
}

void resetMapping(MappingRec& m) {
    for (TriggerRun& run : m.runs)
        run = TriggerRun();
    m.smooth[0] = m.smooth[1] = 0.0f;
    m.value[0] = m.value[1] = 0.0f;
    m.state = TRIGGER_NONE;
    m.idle = !m.hasCombo;
    m.quiet = false;
}

std::uint32_t frameEvents(TriggerState before, TriggerState after) {
    static const std::uint32_t table[3][3] = {
        // to None, Ongoing, Triggered
        {0, EVENT_STARTED | EVENT_ONGOING, EVENT_STARTED | EVENT_TRIGGERED}, // from None
        {EVENT_CANCELED, EVENT_ONGOING, EVENT_TRIGGERED},                    // from Ongoing
        {EVENT_COMPLETED, EVENT_COMPLETED | EVENT_STARTED | EVENT_ONGOING, EVENT_TRIGGERED},
    };
    return table[before][after];
}

bool checkTrigger(const InputContexts::State& s, const Trigger& t, int owner, ContextError* error) {
    if (t.kind < TRIGGER_DOWN || t.kind > TRIGGER_COMBO) {
        fail(error, "unknown trigger kind %d", static_cast<int>(t.kind));
        return false;
    }
    if (t.role < ROLE_EXPLICIT || t.role > ROLE_BLOCKER) {
        fail(error, "unknown trigger role %d", static_cast<int>(t.role));
        return false;
    }
    if (!(isFinite(t.actuation) && t.actuation > 0.0f)) {
        fail(error, "actuation threshold %g must be a number above 0", t.actuation);
        return false;
    }
    if (t.release != t.release ||
        (t.release >= 0.0f && !(t.release > 0.0f && t.release <= t.actuation))) {
        fail(error, "release threshold %g must be above 0 and at most the actuation %g", t.release,
             t.actuation);
        return false;
    }
    int actions = static_cast<int>(s.actions.size());
    switch (t.kind) {
    case TRIGGER_HOLD:
    case TRIGGER_HOLD_AND_RELEASE:
    case TRIGGER_TAP:
        if (isFinite(t.time) && t.time > 0.0f)
            return true;
        fail(error, "trigger time %g must be a number of seconds above 0", t.time);
        return false;
    case TRIGGER_MULTI_TAP:
        if (!(isFinite(t.time) && t.time > 0.0f) || !finiteNonNegative(t.gap)) {
            fail(error, "multi-tap times (tap %g, gap %g) must be numbers, the tap above 0", t.time,
                 t.gap);
            return false;
        }
        if (t.count >= 1)
            return true;
        fail(error, "multi-tap count %d must be at least 1", t.count);
        return false;
    case TRIGGER_PULSE:
        if (!(isFinite(t.firstDelay) && t.firstDelay > 0.0f) ||
            !(isFinite(t.interval) && t.interval > 0.0f)) {
            fail(error, "pulse times (first %g, interval %g) must be numbers of seconds above 0",
                 t.firstDelay, t.interval);
            return false;
        }
        if (t.count >= 0)
            return true;
        fail(error, "pulse limit %d must be 0 (none) or more", t.count);
        return false;
    case TRIGGER_CHORD:
        if (t.action < 0 || t.action >= actions) {
            fail(error, "chord on unknown action %d", t.action);
            return false;
        }
        if (t.action == owner) {
            fail(error, "chord of action '%s' on itself", s.actions[owner].name);
            return false;
        }
        return true;
    case TRIGGER_COMBO:
        if (t.count < 1 || t.count > kMaxComboSteps) {
            fail(error, "combo of %d steps (1-%d)", t.count, kMaxComboSteps);
            return false;
        }
        for (int i = 0; i < t.count; ++i) {
            if (t.steps[i] < 0 || t.steps[i] >= actions) {
                fail(error, "combo step %d on unknown action %d", i, t.steps[i]);
                return false;
            }
            if (t.steps[i] == owner) {
                fail(error, "combo step %d on its own action '%s'", i, s.actions[owner].name);
                return false;
            }
            if (i > 0 && !finiteNonNegative(t.windows[i])) {
                fail(error, "combo step %d window %g must be a number of seconds, 0 or more", i,
                     t.windows[i]);
                return false;
            }
        }
        return true;
    default: return true;
    }
}

} // namespace input
