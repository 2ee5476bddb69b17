// What a game reads from the layer: states, events, values, world-step totals and progress.
#include "contexts/state.h"

namespace input {

namespace {

bool validAction(const InputContexts::State& s, int action) {
    return action >= 0 && static_cast<std::uint32_t>(action) < s.actions.size();
}

} // namespace

// --- Reads ---------------------------------------------------------------------------------------

double InputContexts::now() const {
    return m_state->now;
}

TriggerState InputContexts::state(int action) const {
    return validAction(*m_state, action) ? m_state->actions[action].state : TRIGGER_NONE;
}

std::uint32_t InputContexts::events(int action) const {
    return validAction(*m_state, action) ? m_state->actions[action].events : 0;
}

float InputContexts::value(int action) const {
    return validAction(*m_state, action) ? m_state->actions[action].value[0] : 0.0f;
}

Value2 InputContexts::value2(int action) const {
    if (!validAction(*m_state, action))
        return Value2();
    const ActionRec& a = m_state->actions[action];
    return Value2{a.value[0], a.value[1]};
}

std::uint32_t InputContexts::stepEvents(int action) const {
    return validAction(*m_state, action) ? m_state->actions[action].stepEvents : 0;
}

int InputContexts::stepTriggerCount(int action) const {
    return validAction(*m_state, action) ? m_state->actions[action].stepTriggers : 0;
}

void InputContexts::switchWorldStep() {
    for (ActionRec& a : m_state->actions) {
        a.stepEvents = 0;
        a.stepTriggers = 0;
    }
}

namespace {

// Folds `pick` over the triggers of the action's live mappings that are down.
template <class Pick> float overLiveTriggers(const InputContexts::State& s, int action, Pick pick) {
    float best = 0.0f;
    if (!validAction(s, action))
        return best;
    int topo = s.actions[action].topo;
    for (std::int32_t k = s.orderBegin[topo]; k < s.orderBegin[topo + 1]; ++k) {
        const MappingRec& m = s.mappings[s.order[k]];
        if (!s.contexts[m.context].effective)
            continue;
        for (int i = 0; i < m.def.triggerCount; ++i) {
            if (m.runs[i].down) {
                float v =
                    pick(m.def.triggers[i], m.runs[i], static_cast<float>(s.now - m.runs[i].start));
                best = v > best ? v : best;
            }
        }
    }
    return best;
}

} // namespace

float InputContexts::holdProgress(int action) const {
    return overLiveTriggers(*m_state, action, [](const Trigger& t, const TriggerRun&, float held) {
        if (t.kind != TRIGGER_HOLD && t.kind != TRIGGER_HOLD_AND_RELEASE)
            return 0.0f;
        return held >= t.time ? 1.0f : held / t.time;
    });
}

float InputContexts::heldTime(int action) const {
    return overLiveTriggers(*m_state, action,
                            [](const Trigger&, const TriggerRun&, float held) { return held; });
}

int InputContexts::pulseCount(int action) const {
    return static_cast<int>(
        overLiveTriggers(*m_state, action, [](const Trigger& t, const TriggerRun& run, float) {
            return t.kind == TRIGGER_PULSE ? static_cast<float>(run.count) : 0.0f;
        }));
}

} // namespace input
