#include "keyboard_layout.h"

namespace winsim {

// US layout: virtual-key code to set-1 scan code, as MapVirtualKey(MAPVK_VK_TO_VSC) gives it.
unsigned usScanCode(unsigned vk) {
    static const unsigned char letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                              0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                              0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    static const unsigned char numpad[10] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                             0x4C, 0x4D, 0x47, 0x48, 0x49};
    if (vk >= 'A' && vk <= 'Z')
        return letters[vk - 'A'];
    if (vk >= '1' && vk <= '9')
        return 0x02 + (vk - '1');
    if (vk >= 0x60 && vk <= 0x69)
        return numpad[vk - 0x60];
    if (vk >= 0x70 && vk <= 0x79) // F1-F10
        return 0x3B + (vk - 0x70);
    switch (vk) {
    case '0': return 0x0B;
    case 0x08: return 0x0E; // Backspace
    case 0x09: return 0x0F; // Tab
    case 0x0D: return 0x1C; // Enter
    case 0x10:
    case 0xA0: return 0x2A; // Shift
    case 0xA1: return 0x36;
    case 0x11:
    case 0xA2:
    case 0xA3: return 0x1D; // Ctrl
    case 0x12:
    case 0xA4:
    case 0xA5: return 0x38; // Alt
    case 0x13: return 0x45; // Pause
    case 0x14: return 0x3A; // Caps Lock
    case 0x1B: return 0x01; // Escape
    case 0x20: return 0x39; // Space
    case 0x21: return 0x49; // Page Up
    case 0x22: return 0x51; // Page Down
    case 0x23: return 0x4F; // End
    case 0x24: return 0x47; // Home
    case 0x25: return 0x4B; // Left
    case 0x26: return 0x48; // Up
    case 0x27: return 0x4D; // Right
    case 0x28: return 0x50; // Down
    case 0x2C: return 0x54; // Print Screen
    case 0x2D: return 0x52; // Insert
    case 0x2E: return 0x53; // Delete
    case 0x5B: return 0x5B; // Left Windows
    case 0x5C: return 0x5C; // Right Windows
    case 0x5D: return 0x5D; // Applications
    case 0x6A: return 0x37; // Num *
    case 0x6B: return 0x4E; // Num +
    case 0x6D: return 0x4A; // Num -
    case 0x6E: return 0x53; // Num .
    case 0x6F: return 0x35; // Num /
    case 0x7A: return 0x57; // F11
    case 0x7B: return 0x58; // F12
    case 0x90: return 0x45; // Num Lock
    case 0x91: return 0x46; // Scroll Lock
    case 0xBA: return 0x27; // ;
    case 0xBB: return 0x0D; // =
    case 0xBC: return 0x33; // ,
    case 0xBD: return 0x0C; // -
    case 0xBE: return 0x34; // .
    case 0xBF: return 0x35; // /
    case 0xC0: return 0x29; // `
    case 0xDB: return 0x1A; // [
    case 0xDC: return 0x2B; // backslash
    case 0xDD: return 0x1B; // ]
    case 0xDE: return 0x28; // '
    case 0xE2: return 0x56;
    default: return 0; // mouse buttons and unmapped codes
    }
}

// US layout: the names Windows gives scan codes (0x100 marks the extended keys).
const char* usKeyName(unsigned scan) {
    static const char* const plain[0x59] = {
        nullptr, "Esc",   "1",         "2",       "3",       "4",     "5",           "6",
        "7",     "8",     "9",         "0",       "-",       "=",     "Backspace",   "Tab",
        "Q",     "W",     "E",         "R",       "T",       "Y",     "U",           "I",
        "O",     "P",     "[",         "]",       "Enter",   "Ctrl",  "A",           "S",
        "D",     "F",     "G",         "H",       "J",       "K",     "L",           ";",
        "'",     "`",     "Shift",     "\\",      "Z",       "X",     "C",           "V",
        "B",     "N",     "M",         ",",       ".",       "/",     "Right Shift", "Num *",
        "Alt",   "Space", "Caps Lock", "F1",      "F2",      "F3",    "F4",          "F5",
        "F6",    "F7",    "F8",        "F9",      "F10",     "Pause", "Scroll Lock", "Num 7",
        "Num 8", "Num 9", "Num -",     "Num 4",   "Num 5",   "Num 6", "Num +",       "Num 1",
        "Num 2", "Num 3", "Num 0",     "Num Del", "Sys Req", nullptr, "\\",          "F11",
        "F12"};
    if (scan < 0x59)
        return plain[scan];
    switch (scan) {
    case 0x11C: return "Num Enter";
    case 0x11D: return "Right Ctrl";
    case 0x135: return "Num /";
    case 0x137: return "Prnt Scrn";
    case 0x138: return "Right Alt";
    case 0x145: return "Num Lock";
    case 0x146: return "Break";
    case 0x147: return "Home";
    case 0x148: return "Up";
    case 0x149: return "Page Up";
    case 0x14B: return "Left";
    case 0x14D: return "Right";
    case 0x14F: return "End";
    case 0x150: return "Down";
    case 0x151: return "Page Down";
    case 0x152: return "Insert";
    case 0x153: return "Delete";
    case 0x15B: return "Left Windows";
    case 0x15C: return "Right Windows";
    case 0x15D: return "Application";
    default: return nullptr;
    }
}

} // namespace winsim
