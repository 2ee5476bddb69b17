#pragma once

#include "input/binding_table.h"
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

} // namespace input
