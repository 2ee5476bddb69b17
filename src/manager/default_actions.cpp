#include "input/default_actions.h"

#include "input/input_manager.h"

namespace input {

namespace {

struct DefaultActionRow {
    int id;
    const char* name;
    ControlType type;
    std::uint32_t channels;
};

const DefaultActionRow kDefaultActions[] = {
#define INPUT_DEFAULT_ACTION_ROW(name, id, type, channels) {id, #name, type, channels},
    INPUT_DEFAULT_ACTIONS(INPUT_DEFAULT_ACTION_ROW)
#undef INPUT_DEFAULT_ACTION_ROW
};

static_assert(sizeof(kDefaultActions) / sizeof(kDefaultActions[0]) == kDefaultActionCount,
              "78 default actions");

} // namespace

void InputManager::registerDefaultActions() {
    actions.clear();
    actionNames.clear();
    for (const DefaultActionRow& row : kDefaultActions)
        registerAction(row.id, row.name, row.type, static_cast<int>(row.channels));
}

} // namespace input
