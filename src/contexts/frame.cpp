// The layer's frame: which contexts are live and what they claim, each mapping's trigger state,
// each action's state and events, and the releases (pop, focus, a pad gone).
#include <cmath>

#include "contexts/state.h"
#include "input/input_manager.h"

namespace input {

namespace {

float magnitudeOf(ValueType type, const float v[2]) {
    if (type == VALUE_AXIS_2D)
        return std::sqrt(v[0] * v[0] + v[1] * v[1]);
    return std::fabs(v[0]);
}

// Claims: each atom goes to the highest-ranked live context mapping it, pass-through mappings
// aside; a mapping reads the atoms a higher context holds as zero.
void updateClaims(InputContexts::State& s) {
    s.claimsDirty = false;
    for (ContextRec& c : s.contexts)
        c.rank = 0;
    std::int32_t rank = 0;
    for (;;) { // rank the live contexts by priority, then by push order
        ContextRec* next = nullptr;
        for (ContextRec& c : s.contexts) {
            if (!c.effective || c.rank > 0)
                continue;
            if (!next || c.priority < next->priority ||
                (c.priority == next->priority && c.pushSerial < next->pushSerial))
                next = &c;
        }
        if (!next)
            break;
        next->rank = ++rank;
    }
    for (std::int16_t& claim : s.claims)
        claim = 0;
    for (const MappingRec& m : s.mappings) {
        std::int16_t r = static_cast<std::int16_t>(s.contexts[m.context].rank);
        if (r == 0 || m.def.passThrough)
            continue;
        for (int i = 0; i < m.atomCount; ++i) {
            std::int16_t& claim = s.claims[m.atoms[i]];
            claim = claim > r ? claim : r;
        }
    }
    for (MappingRec& m : s.mappings) {
        std::uint8_t before = m.claimed;
        m.claimed = 0;
        for (int i = 0; i < m.atomCount; ++i) {
            if (s.claims[m.atoms[i]] > s.contexts[m.context].rank)
                m.claimed = static_cast<std::uint8_t>(m.claimed | (1u << i));
        }
        // A source given back while held was pressed for the context that had it.
        if ((before & ~m.claimed) && s.contexts[m.context].rank > 0)
            m.waitRelease |= heldNow(s, m);
        std::int32_t zero = static_cast<std::int32_t>(s.atomValues.size()) - 1;
        for (int i = 0; i < 4; ++i)
            m.slots[i] = i < m.atomCount && !(m.claimed & (1u << i)) ? m.atoms[i] : zero;
    }
    // The frame's loop visits only live mappings (the storage is reserved by the definitions).
    s.live.clear();
    s.liveBegin.clear();
    for (std::uint32_t t = 0; t + 1 < s.orderBegin.size(); ++t) {
        s.liveBegin.pushBack(static_cast<std::int32_t>(s.live.size()));
        for (std::int32_t k = s.orderBegin[t]; k < s.orderBegin[t + 1]; ++k) {
            if (s.contexts[s.mappings[s.order[k]].context].effective)
                s.live.pushBack(s.order[k]);
        }
    }
    s.liveBegin.pushBack(static_cast<std::int32_t>(s.live.size()));

    // Which actions an atom that reads non-zero wakes.
    s.atomActionsBegin.resize(s.claims.size() + 1, 0);
    for (std::int32_t& begin : s.atomActionsBegin)
        begin = 0;
    for (std::int32_t index : s.live) {
        const MappingRec& m = s.mappings[index];
        for (int i = 0; i < m.atomCount; ++i) {
            if (!(m.claimed & (1u << i)))
                ++s.atomActionsBegin[m.atoms[i] + 1];
        }
    }
    for (std::uint32_t a = 0; a + 1 < s.atomActionsBegin.size(); ++a)
        s.atomActionsBegin[a + 1] += s.atomActionsBegin[a];
    s.atomActions.resize(static_cast<std::uint32_t>(s.atomActionsBegin[s.claims.size()]), 0);
    for (std::int32_t index : s.live) { // each span's start moves to its end as it fills
        const MappingRec& m = s.mappings[index];
        for (int i = 0; i < m.atomCount; ++i) {
            if (!(m.claimed & (1u << i)))
                s.atomActions[s.atomActionsBegin[m.atoms[i]]++] = m.def.action;
        }
    }
    for (std::uint32_t a = s.claims.size(); a > 0; --a)
        s.atomActionsBegin[a] = s.atomActionsBegin[a - 1];
    s.atomActionsBegin[0] = 0;
    s.wakeAll = true;
}

void setEffective(InputContexts::State& s, int context, bool effective) {
    ContextRec& c = s.contexts[context];
    if (c.effective == effective)
        return;
    c.effective = effective;
    s.claimsDirty = true;
    for (std::uint32_t i = 0; i < s.mappings.size(); ++i) {
        if (s.mappings[i].context != context)
            continue;
        if (effective) // what is down now was pressed for something else
            s.mappings[i].waitRelease = heldNow(s, s.mappings[i]);
        else
            releaseMapping(s, static_cast<int>(i));
    }
}

void updateEffective(InputContexts::State& s) {
    for (std::uint32_t i = 0; i < s.contexts.size(); ++i) {
        const ContextRec& c = s.contexts[i];
        bool effective = s.focus && c.pushed &&
                         (c.channels == 0 || s.manager->isChannelOn(static_cast<int>(c.channels)));
        setEffective(s, static_cast<int>(i), effective);
    }
}

// A pad that went away (or a selected pad that changed slot) releases the mappings reading it.
void releaseLostPads(InputContexts::State& s, const bool wasConnected[5], int wasSelected) {
    std::uint32_t lost = 0;
    for (int block = 0; block < 5; ++block) {
        if (wasConnected[block] && !s.devices.connected[block])
            lost |= 1u << block;
    }
    if (wasSelected != s.devices.selectedSlot)
        lost |= 1u << atom::kSelected;
    lost &= s.padsUsed;
    if (!lost)
        return;
    for (std::uint32_t i = 0; i < s.mappings.size(); ++i) {
        const Source& source = s.mappings[i].def.source;
        int block = source.pad == kSelectedPad ? atom::kSelected : source.pad;
        if (usesPad(source) && (lost & (1u << block)))
            releaseMapping(s, static_cast<int>(i));
    }
}

// The frame of one mapping whose value is not simply nothing (see step).
void evaluateMapping(InputContexts::State& s, MappingRec& m, float v[2]) {
    if (m.waitRelease) {
        // A pad that is not there says nothing about its buttons.
        const Source& source = m.def.source;
        int block = source.pad == kSelectedPad ? atom::kSelected : source.pad;
        bool present = !usesPad(source) || s.devices.connected[block];
        if (present && std::fabs(v[0]) < kRestLevel && std::fabs(v[1]) < kRestLevel)
            m.waitRelease = false;
        v[0] = v[1] = 0.0f;
    }
    if (m.idle && v[0] == 0.0f && v[1] == 0.0f) {
        m.value[0] = m.value[1] = 0.0f;
        m.state = TRIGGER_NONE;
        m.quiet = true;
        return;
    }
    applyModifiers(s, m, v);
    m.value[0] = v[0];
    m.value[1] = v[1];
    m.state = evaluateTriggers(s, m, magnitudeOf(s.actions[m.def.action].type, v));
    m.idle = m.state == TRIGGER_NONE && !m.hasCombo && m.smooth[0] == 0.0f && m.smooth[1] == 0.0f &&
             !runsBusy(m);
    m.quiet = m.idle && v[0] == 0.0f && v[1] == 0.0f;
    s.chordFired |= m.hasChord && m.state == TRIGGER_TRIGGERED;
}

// The action's state and value from its live mappings' last evaluation.
void gather(InputContexts::State& s, ActionRec& a, int topo) {
    TriggerState best = TRIGGER_NONE;
    float value[2] = {0.0f, 0.0f}, largest = 0.0f;
    for (std::int32_t k = s.orderBegin[topo]; k < s.orderBegin[topo + 1]; ++k) {
        const MappingRec& m = s.mappings[s.order[k]];
        if (!s.contexts[m.context].effective)
            continue;
        best = m.state > best ? m.state : best;
        float size = std::fabs(m.value[0]) + std::fabs(m.value[1]);
        if (size > largest) {
            largest = size;
            value[0] = m.value[0];
            value[1] = m.value[1];
        }
    }
    a.state = best;
    if (a.type == VALUE_DIGITAL) {
        a.value[0] = best == TRIGGER_TRIGGERED ? 1.0f : 0.0f;
        a.value[1] = 0.0f;
    } else {
        a.value[0] = value[0];
        a.value[1] = a.type == VALUE_AXIS_2D ? value[1] : 0.0f;
    }
}

// A fired chord takes its sources from every other mapping on them until they are let go.
void consumeChordSources(InputContexts::State& s) {
    for (const MappingRec& chord : s.mappings) {
        if (!chord.hasChord || chord.state != TRIGGER_TRIGGERED ||
            !s.contexts[chord.context].effective)
            continue;
        for (std::uint32_t i = 0; i < s.mappings.size(); ++i) {
            MappingRec& m = s.mappings[i];
            if (&m == &chord || m.hasChord || !s.contexts[m.context].effective)
                continue;
            for (int a = 0; a < m.atomCount; ++a) {
                bool shared = false;
                for (int b = 0; b < chord.atomCount; ++b)
                    shared |= m.atoms[a] == chord.atoms[b];
                if (shared) {
                    resetMapping(m);
                    m.waitRelease = true;
                    s.wakeAll = true;
                    gather(s, s.actions[m.def.action], s.actions[m.def.action].topo);
                    break;
                }
            }
        }
    }
}

int lowestBit(std::uint64_t bits) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(bits);
#else
    int n = 0;
    while (!(bits & 1)) {
        bits >>= 1;
        ++n;
    }
    return n;
#endif
}

} // namespace

bool heldNow(const InputContexts::State& s, const MappingRec& m) {
    float v[2];
    readSource(s, m, 0, v);
    return std::fabs(v[0]) >= kRestLevel || std::fabs(v[1]) >= kRestLevel;
}

void releaseMapping(InputContexts::State& s, int mapping) {
    MappingRec& m = s.mappings[mapping];
    resetMapping(m);
    m.waitRelease = true;
    s.wakeAll = true;
    settleAction(s, m.def.action);
}

void settleAction(InputContexts::State& s, int action) {
    ActionRec& a = s.actions[action];
    TriggerState before = a.state;
    gather(s, a, a.topo);
    if (a.state != before)
        a.pending |= frameEvents(before, a.state);
}

void InputContexts::step(float dt) {
    State& s = *m_state;
    if (!(dt >= 0.0f) || !isFinite(dt))
        dt = 0.0f;
    s.now += dt;

    bool wasConnected[5];
    for (int i = 0; i < 5; ++i)
        wasConnected[i] = s.devices.connected[i];
    int wasSelected = s.devices.selectedSlot;
    takeSnapshot(s);
    releaseLostPads(s, wasConnected, wasSelected);
    updateEffective(s);
    if (s.claimsDirty)
        updateClaims(s);

    // Per action, its live mappings; a mapping at rest whose triggers wait for nothing costs a
    // look at its atoms.
    const float* values = s.atomValues.data();
    const std::int32_t* live = s.live.data();
    const std::int32_t* begin = s.liveBegin.data();
    MappingRec* mappings = s.mappings.data();
    ActionRec* actions = s.actions.data();
    std::uint32_t frame = ++s.frame;
    bool all = s.wakeAll;
    s.wakeAll = false;
    std::uint64_t* due = s.due.data();
    std::uint32_t count = s.topo.size();
    if (all) {
        for (std::uint32_t t = 0; t < count; ++t)
            due[t >> 6] |= std::uint64_t(1) << (t & 63);
    } else {
        const std::int32_t* wakes = s.atomActions.data();
        const std::int32_t* wakesBegin = s.atomActionsBegin.data();
        for (std::int32_t a : s.usedAtoms) {
            if (values[a] != 0.0f) {
                for (std::int32_t k = wakesBegin[a]; k < wakesBegin[a + 1]; ++k) {
                    std::uint32_t t = static_cast<std::uint32_t>(actions[wakes[k]].topo);
                    due[t >> 6] |= std::uint64_t(1) << (t & 63);
                }
            }
        }
        for (std::int32_t index : s.awake) {
            std::uint32_t t = static_cast<std::uint32_t>(actions[mappings[index].def.action].topo);
            due[t >> 6] |= std::uint64_t(1) << (t & 63);
        }
    }
    s.awake.clear();
    Vec<std::int32_t>& touched = s.touched[frame & 1];
    touched.clear();
    s.chordFired = false;
    // The due actions in evaluation order; every other one has its mappings quiet and reading
    // nothing, so it stays None and 0.
    for (std::uint32_t word = 0; word < s.due.size(); ++word) {
        while (due[word] != 0) {
            std::uint64_t bits = due[word];
            std::uint32_t t = word * 64 + static_cast<std::uint32_t>(lowestBit(bits));
            due[word] = bits & (bits - 1);
            std::int32_t id = s.topo[t];
            ActionRec& a = actions[id];
            a.stamp = frame;
            touched.pushBack(id); // reserved for every action
            TriggerState previous = a.state, best = TRIGGER_NONE;
            a.previous = previous;
            float value[2] = {0.0f, 0.0f}, largest = 0.0f;
            for (std::int32_t k = begin[t]; k < begin[t + 1]; ++k) {
                MappingRec& m = mappings[live[k]];
                float v[2];
                combineSlots(values, m.slots, m.combine, v);
                if (m.quiet && !m.waitRelease && v[0] == 0.0f && v[1] == 0.0f)
                    continue;
                evaluateMapping(s, m, v);
                if (!m.quiet || m.waitRelease)
                    s.awake.pushBack(live[k]); // reserved for every mapping
                best = m.state > best ? m.state : best;
                float size = std::fabs(m.value[0]) + std::fabs(m.value[1]);
                if (size > largest) {
                    largest = size;
                    value[0] = m.value[0];
                    value[1] = m.value[1];
                }
            }
            a.state = best;
            bool digital = a.type == VALUE_DIGITAL;
            a.value[0] = digital ? (best == TRIGGER_TRIGGERED ? 1.0f : 0.0f) : value[0];
            a.value[1] = a.type == VALUE_AXIS_2D ? value[1] : 0.0f;
            a.rose = best == TRIGGER_TRIGGERED && previous != TRIGGER_TRIGGERED;
        }
    }
    if (s.chordFired)
        consumeChordSources(s);
    // An action looked at last frame but not now is None with nothing to report.
    for (std::int32_t id : s.touched[(frame + 1) & 1]) {
        if (actions[id].stamp != frame)
            actions[id].events = 0;
    }
    for (std::int32_t id : touched) {
        ActionRec& a = actions[id];
        a.events = frameEvents(a.previous, a.state) | a.pending;
        a.pending = 0;
        a.stepEvents |= a.events;
        a.stepTriggers += a.state == TRIGGER_TRIGGERED;
    }
}

// --- Contexts at run time ------------------------------------------------------------------------

bool InputContexts::push(int context) {
    State& s = *m_state;
    if (context < 0 || static_cast<std::uint32_t>(context) >= s.contexts.size())
        return false;
    ContextRec& c = s.contexts[context];
    if (c.pushed)
        return true;
    c.pushed = true;
    c.pushSerial = ++s.pushSerial;
    // Live at once: what is held is judged by the last step, whatever this frame brings.
    updateEffective(s);
    if (s.claimsDirty)
        updateClaims(s);
    return true;
}

bool InputContexts::pop(int context) {
    State& s = *m_state;
    if (context < 0 || static_cast<std::uint32_t>(context) >= s.contexts.size())
        return false;
    s.contexts[context].pushed = false;
    setEffective(s, context, false);
    // What it gave back is judged by what was down at the last step.
    updateClaims(s);
    return true;
}

bool InputContexts::isPushed(int context) const {
    const State& s = *m_state;
    return context >= 0 && static_cast<std::uint32_t>(context) < s.contexts.size() &&
           s.contexts[context].pushed;
}

void InputContexts::setFocus(bool focus) {
    State& s = *m_state;
    s.focus = focus;
    updateEffective(s);
    if (s.claimsDirty)
        updateClaims(s);
}

} // namespace input
