// Editing one binding and the queries a binding screen makes, each under one hold of the table's
// lock.
#include "manager/binding_walk.h"
#include "manager/locks.h"
#include "rebinding/rebinding_access.h"

namespace input {

int getBindings(const InputManager& manager, BindingDevice device, int action,
                unsigned short* codes, int capacity) {
    if (!RebindingAccess::isDevice(device))
        return 0;
    RebindingAccess::Table t = RebindingAccess::table(manager, device);
    SpinLockGuard guard(t.lock);
    BindingTable::Span span = t.table.find(action);
    int count = 0;
    for (const BindingTable::Entry* e = span.first; e != span.last; ++e, ++count) {
        if (codes && count < capacity)
            codes[count] = e->code;
    }
    return count;
}

bool replaceBinding(InputManager& manager, BindingDevice device, int action, int index,
                    unsigned short code) {
    if (!RebindingAccess::isDevice(device) || index < 0 || !isProfileCode(device, code))
        return false;
    RebindingAccess::Table t = RebindingAccess::table(manager, device);
    SpinLockGuard guard(t.lock);
    BindingTable::Span span = t.table.find(action);
    std::uint32_t count = static_cast<std::uint32_t>(span.last - span.first);
    std::uint32_t at = static_cast<std::uint32_t>(index);
    if (at < count)
        return t.table.replace(action, at, code);
    if (at > count)
        return false;
    t.table.add(action, code); // a throw leaves the table as it was and the guard unlocks
    return true;
}

bool removeBinding(InputManager& manager, BindingDevice device, int action, int index) {
    if (!RebindingAccess::isDevice(device) || index < 0)
        return false;
    RebindingAccess::Table t = RebindingAccess::table(manager, device);
    SpinLockGuard guard(t.lock);
    return t.table.remove(action, static_cast<std::uint32_t>(index));
}

int findConflicts(const InputManager& manager, BindingDevice device, unsigned short code,
                  int channels, int* actions, int capacity) {
    if (!RebindingAccess::isDevice(device))
        return 0;
    RebindingAccess::Table t = RebindingAccess::table(manager, device);
    int count = 0;
    int last = 0;
    SpinLockGuard guard(t.lock);
    // The table is ordered by action, so an action bound twice to the code comes twice in a row.
    walkCodeBindings(t.table, RebindingAccess::actions(manager), code, channels, [&](int action) {
        if (count > 0 && action == last)
            return false;
        if (actions && count < capacity)
            actions[count] = action;
        ++count;
        last = action;
        return false;
    });
    return count;
}

} // namespace input
