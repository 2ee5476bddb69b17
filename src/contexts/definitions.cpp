// Defining actions, contexts and mappings: every check first, then everything that can allocate,
// then a commit that cannot fail, so a refused or failed definition leaves the layer as it was.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "contexts/state.h"
#include "input/input_manager.h"
#include "manager/heap_object.h"

namespace input {

void fail(ContextError* error, const char* format, ...) {
    if (!error)
        return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(error->message, sizeof error->message, format, args);
    va_end(args);
}

namespace {

bool checkName(const char* name, const char* what, ContextError* error) {
    std::size_t length = name ? std::strlen(name) : 0;
    if (length >= 1 && length <= 31)
        return true;
    fail(error, "%s name must have 1-31 characters", what);
    return false;
}

template <class Rec> int findByName(const Vec<Rec>& records, const char* name) {
    if (!name)
        return -1;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
        if (std::strcmp(records[i].name, name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

// The evaluation order with one more mapping, built beside the current one.
class OrderBuilder {
public:
    OrderBuilder(const InputContexts::State& s, const MappingRec& extra)
        : m_s(s), m_extra(extra), m_actions(s.actions.size()), m_mappings(s.mappings.size() + 1) {}

    // False when the dependencies of chords and combos make a cycle through `culprit`.
    bool build(int& culprit) {
        m_begin.resize(m_actions + 1, 0);
        for (std::uint32_t k = 0; k < m_mappings; ++k)
            ++m_begin[mapping(k).def.action + 1];
        for (std::uint32_t a = 0; a < m_actions; ++a)
            m_begin[a + 1] += m_begin[a];
        Vec<std::int32_t> fill;
        fill = m_begin;
        m_byAction.resize(m_mappings, 0);
        for (std::uint32_t k = 0; k < m_mappings; ++k)
            m_byAction[fill[mapping(k).def.action]++] = static_cast<std::int32_t>(k);

        m_mark.resize(m_actions, 0);
        topo.reserve(m_actions);
        for (std::uint32_t a = 0; a < m_actions; ++a) {
            if (!visit(static_cast<int>(a), culprit))
                return false;
        }
        order.reserve(m_mappings);
        orderBegin.reserve(m_actions + 1);
        position.resize(m_actions, 0);
        for (std::uint32_t p = 0; p < m_actions; ++p) {
            int a = topo[p];
            position[a] = static_cast<std::int32_t>(p);
            orderBegin.pushBack(static_cast<std::int32_t>(order.size()));
            for (std::int32_t k = m_begin[a]; k < m_begin[a + 1]; ++k)
                order.pushBack(m_byAction[k]);
        }
        orderBegin.pushBack(static_cast<std::int32_t>(order.size()));
        return true;
    }

    Vec<std::int32_t> topo, order, orderBegin, position;

private:
    const MappingRec& mapping(std::uint32_t k) const {
        return k < m_s.mappings.size() ? m_s.mappings[k] : m_extra;
    }

    // Depth first, the actions a mapping's chords and combos read placed before it.
    bool visit(int action, int& culprit) {
        if (m_mark[action] == 2)
            return true;
        if (m_mark[action] == 1) {
            culprit = action;
            return false;
        }
        m_mark[action] = 1;
        for (std::int32_t k = m_begin[action]; k < m_begin[action + 1]; ++k) {
            const Mapping& def = mapping(static_cast<std::uint32_t>(m_byAction[k])).def;
            for (int i = 0; i < def.triggerCount; ++i) {
                const Trigger& t = def.triggers[i];
                if (t.kind == TRIGGER_CHORD && !visit(t.action, culprit))
                    return false;
                for (int j = 0; t.kind == TRIGGER_COMBO && j < t.count; ++j) {
                    if (!visit(t.steps[j], culprit))
                        return false;
                }
            }
        }
        m_mark[action] = 2;
        topo.pushBack(action);
        return true;
    }

    const InputContexts::State& m_s;
    const MappingRec& m_extra;
    std::uint32_t m_actions, m_mappings;
    Vec<std::int32_t> m_begin, m_byAction;
    Vec<std::uint8_t> m_mark;
};

std::uint32_t claimSize(const MappingRec& m, std::uint32_t current) {
    std::uint32_t needed = current;
    for (int i = 0; i < m.atomCount; ++i) {
        std::uint32_t end = static_cast<std::uint32_t>(m.atoms[i]) + 1;
        needed = end > needed ? end : needed;
    }
    return needed;
}

// Sizes the per-atom tables for `claims` atoms and lists the new atoms; the storage is reserved.
void growAtoms(InputContexts::State& s, const std::int32_t* atoms, int count,
               std::uint32_t claims) {
    s.claims.resize(claims, 0);
    s.atomValues.resize(claims + 1, 0.0f);
    s.atomValues[claims] = 0.0f; // the zero slot (it was an atom's before growing)
    for (int i = 0; i < count; ++i) {
        bool listed = false;
        for (std::int32_t used : s.usedAtoms)
            listed |= used == atoms[i];
        if (!listed) {
            s.usedAtoms.pushBack(atoms[i]);
            refreshAtom(s, atoms[i]); // so that what is held now is known before the next step
        }
    }
}

std::uint32_t padBit(const Source& source) {
    if (!usesPad(source))
        return 0;
    return 1u << (source.pad == kSelectedPad ? atom::kSelected : source.pad);
}

} // namespace

InputContexts::InputContexts(InputManager& manager) : m_state(newObject<State>()) {
    m_state->manager = &manager;
    try {
        m_state->contexts.reserve(kMaxContexts);
        m_state->claims.resize(atom::kActions, 0);
        m_state->atomValues.resize(atom::kActions + 1, 0.0f);
        m_state->orderBegin.pushBack(0);
        m_state->liveBegin.pushBack(0);
        m_state->atomActionsBegin.reserve(atom::kActions + 1);
    } catch (...) {
        deleteObject(m_state);
        throw;
    }
}

InputContexts::~InputContexts() {
    deleteObject(m_state);
}

int InputContexts::defineAction(const char* name, ValueType type, ContextError* error) {
    State& s = *m_state;
    if (!checkName(name, "an action", error))
        return -1;
    if (findByName(s.actions, name) >= 0) {
        fail(error, "action '%s' is already defined", name);
        return -1;
    }
    if (type < VALUE_DIGITAL || type > VALUE_AXIS_2D) {
        fail(error, "unknown value type %d for action '%s'", static_cast<int>(type), name);
        return -1;
    }
    // An action without mappings reads nothing, so it can go last in the order.
    s.actions.reserve(s.actions.size() + 1);
    s.topo.reserve(s.topo.size() + 1);
    s.orderBegin.reserve(s.orderBegin.size() + 1);
    s.liveBegin.reserve(s.orderBegin.size() + 1);
    for (Vec<std::int32_t>& touched : s.touched)
        touched.reserve(s.actions.size() + 1);
    std::uint32_t words = (s.actions.size() + 1 + 63) / 64;
    s.due.reserve(words);
    ActionRec a;
    std::memcpy(a.name, name, std::strlen(name) + 1);
    a.type = type;
    a.topo = static_cast<std::int32_t>(s.topo.size());
    int id = static_cast<int>(s.actions.size());
    s.actions.pushBack(a);
    s.topo.pushBack(id);
    s.orderBegin.pushBack(static_cast<std::int32_t>(s.order.size()));
    s.due.resize(words, 0);
    s.claimsDirty = true; // the live order gets the new action
    return id;
}

int InputContexts::findAction(const char* name) const {
    return findByName(m_state->actions, name);
}

int InputContexts::defineContext(const char* name, int priority, std::uint32_t channels,
                                 ContextError* error) {
    State& s = *m_state;
    if (!checkName(name, "a context", error))
        return -1;
    if (findByName(s.contexts, name) >= 0) {
        fail(error, "context '%s' is already defined", name);
        return -1;
    }
    if (s.contexts.size() >= static_cast<std::uint32_t>(kMaxContexts)) {
        fail(error, "too many contexts: '%s' would be number %d of at most %d", name,
             static_cast<int>(s.contexts.size()) + 1, kMaxContexts);
        return -1;
    }
    ContextRec c;
    std::memcpy(c.name, name, std::strlen(name) + 1);
    c.priority = priority;
    c.channels = channels;
    s.contexts.pushBack(c); // reserved in full at construction
    return static_cast<int>(s.contexts.size()) - 1;
}

int InputContexts::findContext(const char* name) const {
    return findByName(m_state->contexts, name);
}

int InputContexts::addMapping(int context, const Mapping& mapping, ContextError* error) {
    State& s = *m_state;
    if (context < 0 || static_cast<std::uint32_t>(context) >= s.contexts.size()) {
        fail(error, "unknown context %d", context);
        return -1;
    }
    if (mapping.action < 0 || static_cast<std::uint32_t>(mapping.action) >= s.actions.size()) {
        fail(error, "mapping to action %d, which is not defined", mapping.action);
        return -1;
    }
    if (!checkSource(*s.manager, mapping.source, error))
        return -1;
    if (mapping.triggerCount < 0 || mapping.triggerCount > kMaxTriggers ||
        mapping.modifierCount < 0 || mapping.modifierCount > kMaxModifiers) {
        fail(error, "a mapping has 0-%d triggers and 0-%d modifiers (got %d and %d)", kMaxTriggers,
             kMaxModifiers, mapping.triggerCount, mapping.modifierCount);
        return -1;
    }
    MappingRec m;
    m.def = mapping;
    bool anyExplicit = false;
    for (int i = 0; i < mapping.triggerCount; ++i) {
        const Trigger& t = mapping.triggers[i];
        if (!checkTrigger(s, t, mapping.action, error))
            return -1;
        anyExplicit |= t.role == ROLE_EXPLICIT;
        m.hasCombo |= t.kind == TRIGGER_COMBO;
        m.hasChord |= t.kind == TRIGGER_CHORD && t.role != ROLE_BLOCKER;
    }
    for (int i = 0; i < mapping.modifierCount; ++i) {
        if (!checkModifier(mapping.modifiers[i], error))
            return -1;
    }
    if (!anyExplicit) { // a mapping of implicit triggers and blockers fires while down
        if (m.def.triggerCount == kMaxTriggers) {
            fail(error, "a mapping without an explicit trigger needs room for Down (at most %d)",
                 kMaxTriggers - 1);
            return -1;
        }
        m.def.triggers[m.def.triggerCount++] = Trigger::down();
    }
    for (int i = 0; i < m.def.triggerCount; ++i) {
        Trigger& t = m.def.triggers[i];
        if (t.release < 0.0f)
            t.release = t.actuation; // no hysteresis
    }
    m.atomCount = sourceAtoms(mapping.source, m.atoms);
    m.combine = combineOf(mapping.source);
    m.context = context;
    m.local = s.contexts[context].mappingCount;
    m.idle = !m.hasCombo;

    OrderBuilder order(s, m);
    int culprit = -1;
    if (!order.build(culprit)) {
        fail(error, "chords and combos of action '%s' would wait on each other through '%s'",
             s.actions[mapping.action].name, s.actions[culprit].name);
        return -1;
    }
    std::uint32_t claims = claimSize(m, s.claims.size());
    s.claims.reserve(claims);
    s.atomValues.reserve(claims + 1);
    s.usedAtoms.reserve(s.usedAtoms.size() + static_cast<std::uint32_t>(m.atomCount));
    s.mappings.reserve(s.mappings.size() + 1);
    s.live.reserve(s.mappings.size() + 1);
    s.liveBegin.reserve(s.actions.size() + 1);
    s.awake.reserve(s.mappings.size() + 1);
    s.atomActions.reserve(4 * (s.mappings.size() + 1));
    s.atomActionsBegin.reserve(claims + 1);

    // Nothing below allocates.
    growAtoms(s, m.atoms, m.atomCount, claims);
    s.mappings.pushBack(m);
    // Judged once its atoms have values: a source held now counts only once released.
    MappingRec& added = s.mappings[s.mappings.size() - 1];
    added.waitRelease = s.contexts[context].effective && heldNow(s, added);
    takeOver(s.topo, order.topo);
    takeOver(s.order, order.order);
    takeOver(s.orderBegin, order.orderBegin);
    for (std::uint32_t a = 0; a < s.actions.size(); ++a)
        s.actions[a].topo = order.position[a];
    s.padsUsed |= padBit(mapping.source);
    s.anyChord |= m.hasChord;
    s.claimsDirty = true;
    return s.contexts[context].mappingCount++;
}

MappingRec* findMapping(InputContexts::State& s, int context, int mapping) {
    for (MappingRec& m : s.mappings) {
        if (m.context == context && m.local == mapping)
            return &m;
    }
    return nullptr;
}

void reserveRebinds(InputContexts::State& s, const Source* sources, int count) {
    std::uint32_t claims = s.claims.size();
    std::uint32_t atomTotal = 0;
    for (int i = 0; i < count; ++i) {
        MappingRec probe;
        probe.atomCount = sourceAtoms(sources[i], probe.atoms);
        claims = claimSize(probe, claims);
        atomTotal += static_cast<std::uint32_t>(probe.atomCount);
    }
    s.claims.reserve(claims);
    s.atomValues.reserve(claims + 1);
    s.atomActionsBegin.reserve(claims + 1);
    s.usedAtoms.reserve(s.usedAtoms.size() + atomTotal);
}

void commitRebind(InputContexts::State& s, MappingRec& target, const Source& source) noexcept {
    std::int32_t atoms[4];
    int atomCount = sourceAtoms(source, atoms);
    MappingRec probe;
    probe.atomCount = atomCount;
    for (int i = 0; i < atomCount; ++i)
        probe.atoms[i] = atoms[i];
    growAtoms(s, atoms, atomCount, claimSize(probe, s.claims.size()));
    target.combine = combineOf(source);
    target.def.source = source;
    target.atomCount = atomCount;
    for (int i = 0; i < atomCount; ++i)
        target.atoms[i] = atoms[i];
    resetMapping(target);
    target.waitRelease = heldNow(s, target);
    s.wakeAll = true;
    settleAction(s, target.def.action);
    s.padsUsed |= padBit(source);
    s.claimsDirty = true;
}

bool InputContexts::rebind(int context, int mapping, const Source& source, ContextError* error) {
    State& s = *m_state;
    MappingRec* target = findMapping(s, context, mapping);
    if (!target) {
        fail(error, "context %d has no mapping %d", context, mapping);
        return false;
    }
    if (!checkSource(*s.manager, source, error))
        return false;
    reserveRebinds(s, &source, 1); // a throw leaves everything as it was
    commitRebind(s, *target, source);
    return true;
}

int InputContexts::mappingCount(int context) const {
    const State& s = *m_state;
    if (context < 0 || static_cast<std::uint32_t>(context) >= s.contexts.size())
        return 0;
    return s.contexts[static_cast<std::uint32_t>(context)].mappingCount;
}

bool InputContexts::getMapping(int context, int mapping, Mapping* out) const {
    const MappingRec* m = findMapping(*m_state, context, mapping);
    if (m && out)
        *out = m->def;
    return m != nullptr;
}

const char* InputContexts::actionName(int action) const {
    const State& s = *m_state;
    if (action < 0 || static_cast<std::uint32_t>(action) >= s.actions.size())
        return nullptr;
    return s.actions[static_cast<std::uint32_t>(action)].name;
}

const char* InputContexts::contextName(int context) const {
    const State& s = *m_state;
    if (context < 0 || static_cast<std::uint32_t>(context) >= s.contexts.size())
        return nullptr;
    return s.contexts[static_cast<std::uint32_t>(context)].name;
}

int InputContexts::actionCount() const {
    return static_cast<int>(m_state->actions.size());
}

int InputContexts::contextCount() const {
    return static_cast<int>(m_state->contexts.size());
}

} // namespace input
