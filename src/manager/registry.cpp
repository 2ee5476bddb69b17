#include "input/input_manager.h"

#include <utility>

namespace input {

void InputManager::registerAction(int id, const vel::InplaceString<32>& name, ControlType type,
                                  int channel) {
    if (id < 0)
        return;
    // Every step that can throw comes before the first visible change, so a failed allocation
    // leaves the table and the map as they were: the key and the entry are built aside, the
    // storage is reserved (its size unchanged), and the map insertion changes nothing when it
    // throws. What follows it cannot throw.
    vel::InplaceWString<32> key;
    key.assignNarrow(name.c_str(), name.length());
    ActionEntry entry;
    entry.controlType = type;
    entry.channelMask = static_cast<std::uint32_t>(channel);
    entry.name = name;

    std::uint32_t index = static_cast<std::uint32_t>(id);
    if (index >= actions.size())
        actions.reserve(index + 1); // storage for exactly id + 1 entries

    actionNames.set(std::move(key), id);
    if (index >= actions.size())
        actions.resize(index + 1); // within the reserved storage; gaps get default rows
    actions[index] = std::move(entry);
}

int InputManager::getAction(const vel::InplaceWString<128>& name) {
    return actionNames.find(name);
}

vel::InplaceString<128> InputManager::getActionName(int id) {
    if (id >= 0 && static_cast<std::uint32_t>(id) < actions.size())
        return vel::InplaceString<128>(actions[static_cast<std::uint32_t>(id)].name);
    static const vel::InplaceString<128> invalid("INVALID");
    return invalid;
}

bool InputManager::isActionAssigned(int id) {
    return id >= 0 && static_cast<std::uint32_t>(id) < actions.size();
}

} // namespace input
