#include "input/input_x86.h"

#include "host/platform.h"
#include "loc/string_table.h"

namespace input {

namespace {

// The only codes looked up with the extended-key flag: the navigation block, the Windows and
// Applications keys, numeric-pad Divide, Num Lock and the two Alt keys.
bool isExtendedKey(int keyCode) {
    switch (keyCode) {
    case 33:
    case 34:
    case 35:
    case 36:
    case 37:
    case 38:
    case 39:
    case 40: // Page Up..Down
    case 45:
    case 46: // Insert, Delete
    case 91:
    case 92:
    case 93:  // Windows, Apps
    case 111: // Num /
    case 144: // Num Lock
    case 164:
    case 165: // Alt keys
        return true;
    default: return false;
    }
}

} // namespace

void InputX86::getKeycodeName(int keyCode, vel::InplaceWString<128>& name) const {
    if (keyCode <= 0) {
        name = "---";
        return;
    }
    vel::InplaceString<128> id;
    id.format("KEYCODE_0x%x", static_cast<unsigned>(keyCode));
    if (const wchar_t* text = loc::StringTable::getInstance()->getStringPtrById(id.c_str())) {
        name = text;
        return;
    }
    std::uint32_t scan =
        platform::mapVirtualKey(static_cast<std::uint32_t>(keyCode), platform::MAP_VK_TO_VSC);
    if (isExtendedKey(keyCode))
        scan |= 0x100;
    char buffer[128] = {};
    platform::getKeyNameText(static_cast<std::int32_t>(scan << 16), buffer, 128);
    if (buffer[0] != '\0') {
        name = buffer;
        return;
    }
    name.format(L"0x%x", static_cast<unsigned>(keyCode));
}

} // namespace input
