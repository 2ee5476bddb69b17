#pragma once

#include "input/binding_table.h"
#include "input/input_manager.h"
#include "manager/locks.h"

namespace input {

// The one walk over an action's bindings, shared by every reader: under the table's lock, visit
// the codes bound to `action` in binding order until a visit returns true. Returns whether one
// did; the lock is released on every way out.
template <class Visit>
bool walkBindings(vel::SpinLock& lock, const BindingTable& table, int action, Visit&& visit) {
    SpinLockGuard guard(lock);
    BindingTable::Span span = table.find(action);
    for (const BindingTable::Entry* it = span.first; it != span.last; ++it) {
        if (visit(it->code))
            return true;
    }
    return false;
}

// The one walk over the bindings of a code, shared by the bound queries and the conflict query:
// in table order, visit(action) for each entry of `code` whose action is registered and has a
// channel bit in `channels`, until a visit returns true. The caller holds the table's lock.
template <class Visit>
bool walkCodeBindings(const BindingTable& table, const vel::Vector<ActionEntry>& actions,
                      unsigned short code, int channels, Visit&& visit) {
    for (const BindingTable::Entry& binding : table) {
        std::uint32_t action = static_cast<std::uint32_t>(binding.action);
        if (binding.code == code && action < actions.size() &&
            (actions[action].channelMask & static_cast<std::uint32_t>(channels)) != 0 &&
            visit(binding.action))
            return true;
    }
    return false;
}

} // namespace input
