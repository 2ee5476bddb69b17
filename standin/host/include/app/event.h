#pragma once

#include <cstdint>

#include "host/api.h"

namespace app {

// Every event type the application module delivers, in the order of the handler's slots.
#define APP_EVENT_TYPES(X)                                                                         \
    X(OnUserRenderSettingChanged, ON_USER_RENDER_SETTING_CHANGED)                                  \
    X(DeviceChanged, DEVICE_CHANGED)                                                               \
    X(AltEnter, ALT_ENTER)                                                                         \
    X(WindowResize, WINDOW_RESIZE)                                                                 \
    X(Expansion, EXPANSION)                                                                        \
    X(CheckBoxControl, CHECK_BOX_CONTROL)                                                          \
    X(Selection, SELECTION)                                                                        \
    X(ButtonControl, BUTTON_CONTROL)                                                               \
    X(Input, INPUT)                                                                                \
    X(GamepadThumb, GAMEPAD_THUMB)                                                                 \
    X(GamepadTrigger, GAMEPAD_TRIGGER)                                                             \
    X(GamepadButton, GAMEPAD_BUTTON)                                                               \
    X(MouseScroll, MOUSE_SCROLL)                                                                   \
    X(MouseMotion, MOUSE_MOTION)                                                                   \
    X(MouseButton, MOUSE_BUTTON)                                                                   \
    X(RawKey, RAW_KEY)                                                                             \
    X(Key, KEY)                                                                                    \
    X(SpecialKey, SPECIAL_KEY)                                                                     \
    X(Char, CHAR)                                                                                  \
    X(Maximize, MAXIMIZE)                                                                          \
    X(Minimize, MINIMIZE)                                                                          \
    X(Focus, FOCUS)                                                                                \
    X(Close, CLOSE)

enum EventType : std::int32_t {
#define APP_EVENT_ENUM(Name, NAME) EVENT_##NAME,
    APP_EVENT_TYPES(APP_EVENT_ENUM)
#undef APP_EVENT_ENUM
        EVENT_TYPE_COUNT
};

// Byte 0 of every event: its type, which routes it to a handler overload.
struct Event {
    EventType type;
};

#define APP_EVENT_FORWARD(Name, NAME) struct Name##Event;
APP_EVENT_TYPES(APP_EVENT_FORWARD)
#undef APP_EVENT_FORWARD

// Receives events. dispatchAppEvent routes an event to the overload of its type; every overload
// answers false unless a handler overrides it.
class HOST_API EventHandler {
public:
    EventHandler();
    EventHandler(const EventHandler&);
    EventHandler& operator=(const EventHandler&);
    virtual ~EventHandler();

    virtual bool dispatchAppEvent(Event* event);
#define APP_EVENT_HANDLER(Name, NAME) virtual bool handleAppEvent(Name##Event* event);
    APP_EVENT_TYPES(APP_EVENT_HANDLER)
#undef APP_EVENT_HANDLER
};

} // namespace app
