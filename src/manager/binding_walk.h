#pragma once

#include "manager/locks.h"

namespace input {

// The one walk over an action's bindings, shared by every reader: under the table's lock, visit
// the codes bound to `action` in binding order until a visit returns true. Returns whether one
// did; the lock is released on every way out.
template <class Table, class Visit>
bool walkBindings(vel::SpinLock& lock, const Table& table, int action, Visit&& visit) {
    SpinLockGuard guard(lock);
    auto range = table.equal_range(action);
    for (auto it = range.first; it != range.second; ++it) {
        if (visit(it->second))
            return true;
    }
    return false;
}

} // namespace input
