#pragma once

#include <cstdint>

#include "app/event.h"

namespace app {

// Byte-for-byte the 64-bit Windows RAWINPUT record (RAWINPUTHEADER, then the union of
// RAWMOUSE/RAWKEYBOARD/RAWHID), declared here so that no event user needs <windows.h>.
struct RawInputHeader {
    std::uint32_t dwType; // 0 RIM_TYPEMOUSE, 1 RIM_TYPEKEYBOARD, 2 RIM_TYPEHID
    std::uint32_t dwSize;
    void* hDevice;
    std::uint64_t wParam;
};

struct RawMouse {
    std::uint16_t usFlags;
    std::uint16_t reserved; // alignment of the button union
    std::uint16_t usButtonFlags;
    std::uint16_t usButtonData;
    std::uint32_t ulRawButtons;
    std::int32_t lLastX;
    std::int32_t lLastY;
    std::uint32_t ulExtraInformation;
};

struct RawKeyboard {
    std::uint16_t MakeCode;
    std::uint16_t Flags;
    std::uint16_t Reserved;
    std::uint16_t VKey;
    std::uint32_t Message;
    std::uint32_t ExtraInformation;
};

struct RawInputRecord {
    RawInputHeader header;
    union {
        RawMouse mouse;
        RawKeyboard keyboard;
        std::uint8_t hid[24];
    } data;
};

static_assert(sizeof(RawMouse) == 24, "RAWMOUSE layout");
static_assert(sizeof(RawInputHeader) == 24, "RAWINPUTHEADER layout (64-bit)");
static_assert(sizeof(RawInputRecord) == 48, "RAWINPUT layout (64-bit)");

enum : std::uint16_t {
    MOUSE_MOVE_RELATIVE = 0x0,
    MOUSE_MOVE_ABSOLUTE = 0x1,
    MOUSE_VIRTUAL_DESKTOP = 0x2,
    RI_MOUSE_WHEEL = 0x400,
    RI_MOUSE_HWHEEL = 0x800,
};
enum : std::uint32_t { RIM_TYPEMOUSE = 0, RIM_TYPEKEYBOARD = 1, RIM_TYPEHID = 2 };

#define APP_EVENT_CONSTRUCTOR(Name, NAME)                                                          \
    Name##Event() : Event{EVENT_##NAME} {}

// The raw-input record starts at byte 4, right after the type.
#pragma pack(push, 4)
struct InputEvent : Event {
    APP_EVENT_CONSTRUCTOR(Input, INPUT)
    RawInputRecord rawInput{};
};
#pragma pack(pop)

// Bytes 4-7 key code, 8 character, 12-15 modifiers, 16 down flag.
struct RawKeyEvent : Event {
    enum Modifier : std::int32_t { MODIFIER_SHIFT = 0x1, MODIFIER_CTRL = 0x2, MODIFIER_ALT = 0x4 };
    APP_EVENT_CONSTRUCTOR(RawKey, RAW_KEY)
    std::int32_t keyCode = 0;
    char character = 0;
    std::int32_t modifiers = 0;
    bool down = false;
};

struct FocusEvent : Event {
    APP_EVENT_CONSTRUCTOR(Focus, FOCUS)
    bool focused = false;
};

// Events the input library never reads carry only their type here.
#define APP_EVENT_PLAIN(Name, NAME)                                                                \
    struct Name##Event : Event {                                                                   \
        APP_EVENT_CONSTRUCTOR(Name, NAME)                                                          \
    };
APP_EVENT_PLAIN(OnUserRenderSettingChanged, ON_USER_RENDER_SETTING_CHANGED)
APP_EVENT_PLAIN(DeviceChanged, DEVICE_CHANGED)
APP_EVENT_PLAIN(AltEnter, ALT_ENTER)
APP_EVENT_PLAIN(WindowResize, WINDOW_RESIZE)
APP_EVENT_PLAIN(Expansion, EXPANSION)
APP_EVENT_PLAIN(CheckBoxControl, CHECK_BOX_CONTROL)
APP_EVENT_PLAIN(Selection, SELECTION)
APP_EVENT_PLAIN(ButtonControl, BUTTON_CONTROL)
APP_EVENT_PLAIN(GamepadThumb, GAMEPAD_THUMB)
APP_EVENT_PLAIN(GamepadTrigger, GAMEPAD_TRIGGER)
APP_EVENT_PLAIN(GamepadButton, GAMEPAD_BUTTON)
APP_EVENT_PLAIN(MouseScroll, MOUSE_SCROLL)
APP_EVENT_PLAIN(MouseMotion, MOUSE_MOTION)
APP_EVENT_PLAIN(MouseButton, MOUSE_BUTTON)
APP_EVENT_PLAIN(Key, KEY)
APP_EVENT_PLAIN(SpecialKey, SPECIAL_KEY)
APP_EVENT_PLAIN(Char, CHAR)
APP_EVENT_PLAIN(Maximize, MAXIMIZE)
APP_EVENT_PLAIN(Minimize, MINIMIZE)
APP_EVENT_PLAIN(Close, CLOSE)
#undef APP_EVENT_PLAIN
#undef APP_EVENT_CONSTRUCTOR

} // namespace app
