#pragma once

#include "input/binding_table.h"

namespace input {

// Builds the default key and pad tables into `keys` and `pads` (which should be empty), the
// sticks laid out as `sticksSwapped` says. Throws on a failed allocation; the caller's tables
// are then partly built and should be dropped.
void buildDefaultBindings(bool sticksSwapped, BindingTable& keys, BindingTable& pads);

} // namespace input
