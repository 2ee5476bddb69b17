// Editing one binding and the queries a binding screen makes, each under one hold of the table's
// lock.
#include "contexts/state.h"
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

bool rebindContextMapping(InputContexts& contexts, int context, int mapping,
                          const CapturedInput& input, int part, ContextError* error) {
    Mapping current;
    if (!contexts.getMapping(context, mapping, &current)) {
        fail(error, "context %d has no mapping %d", context, mapping);
        return false;
    }
    const Source& old = current.source;
    // A pad source keeps the mapping's choice of pad: the player rebinds a button, not a pad.
    const int pad = usesPad(old) ? old.pad : kSelectedPad;
    const bool twoD =
        ContextsAccess::state(contexts).actions[static_cast<std::uint32_t>(current.action)].type ==
        VALUE_AXIS_2D;
    Source source;
    switch (input.kind) {
    case CapturedInput::KEY:
        if ((old.kind == SOURCE_KEY_AXIS && part >= 0 && part < 2) ||
            (old.kind == SOURCE_KEY_AXIS_2D && part >= 0 && part < 4)) {
            source = old;
            source.codes[part] = input.code;
        } else {
            source = Source::key(input.code);
        }
        break;
    case CapturedInput::PAD_BUTTON: source = Source::padButton(input.code, pad); break;
    case CapturedInput::PAD_STICK:
        source = twoD ? Source::padStick(input.code <= GAMEPAD_LEFT_STICK_Y ? 0 : 1, pad)
                      : Source::padAxis(input.code, pad);
        break;
    default: fail(error, "the capture saw no input to bind"); return false;
    }
    return contexts.rebind(context, mapping, source, error);
}

} // namespace input
