#pragma once

// The host's message path on Windows, as a game's host runs it: a window, its message pump, and
// the translation of what arrives into the input library's calls.
//   WM_INPUT, mouse      -> InputManager::dispatchAppEvent(app::InputEvent), a copy of RAWINPUT
//   WM_INPUT, keyboard   -> Keyboard::handleAppEvent(app::RawKeyEvent)
//   WM_ACTIVATE          -> InputManager::setFocus, and key-ups for the keys still down
//   WM_DEVICECHANGE      -> InputManager::refreshGamepadConnectivity
// The library registers raw input for the keyboard and the mouse itself, without a target window,
// so the records go to the window of the thread that has the keyboard focus: the manager, the
// window and the pump belong on one thread. docs/message_path.md has the details.

#include <cstdint>
#include <memory>
#include <string>

#include "app/events.h"

namespace input {
class InputManager;
class Keyboard;
} // namespace input

namespace host {

// Told of every event after the library has had it (a tool records them).
class InputWindowListener {
public:
    virtual ~InputWindowListener() = default;
    virtual void mouseRecord(const app::InputEvent& event) = 0;
    virtual void rawKey(const app::RawKeyEvent& event) = 0;
    virtual void focusChanged(bool focused) = 0;
    virtual void devicesChanged() = 0;
};

// What the pump has handed on since the window opened.
struct InputWindowCounts {
    std::uint64_t mouseRecords = 0;
    std::uint64_t keyboardRecords = 0;
    std::uint64_t otherRecords = 0; // HID devices, and records that could not be read
    std::uint64_t focusChanges = 0;
};

class InputWindow {
public:
    // The manager and the raw keyboard outlive the window; `listener` may be null.
    InputWindow(input::InputManager& manager, input::Keyboard& keyboard,
                InputWindowListener* listener = nullptr);
    ~InputWindow();
    InputWindow(const InputWindow&) = delete;
    InputWindow& operator=(const InputWindow&) = delete;

    // Creates the window, shown and brought to the front (raw input without a target window
    // follows the keyboard focus, which a hidden window never has); false and the system's reason
    // when it cannot.
    bool open(const char* title, std::string& error);
    // Waits up to `waitMs` for a message, then handles every message waiting; false once the
    // window is closed.
    bool pump(unsigned waitMs);
    bool isOpen() const;
    bool isFocused() const;
    // The frame's key snapshot for InputX86::updateKeyboardState: the operating system's key
    // state while the window has the focus, every key up while it has not.
    void keySnapshot(bool (&keys)[256]) const;
    InputWindowCounts counts() const;

    struct State; // the window procedure's view, in the source file

private:
    std::unique_ptr<State> m_state;
};

} // namespace host
