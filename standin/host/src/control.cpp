#include "host/control.h"

#include "d/tweakable.h"
#include "loc/string_table.h"

namespace host {

void resetAll() {
    memory::failNthAllocation(0);
    xinput::reset();
    d::resetTweakables();
    loc::StringTable::getInstance()->clear();
}

} // namespace host
