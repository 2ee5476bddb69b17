#include "standin/input_window.h"

#include <cstddef>
#include <cstring>
#include <windows.h>

#include "input/input_manager.h"
#include "input/keyboard.h"

namespace host {

// The event carries RAWINPUT byte for byte, so a record is copied whole.
static_assert(sizeof(app::RawInputRecord) == sizeof(RAWINPUT), "RAWINPUT layout");
static_assert(offsetof(app::RawInputRecord, data) == offsetof(RAWINPUT, data), "RAWINPUT layout");
static_assert(offsetof(app::RawMouse, lLastX) == offsetof(RAWMOUSE, lLastX), "RAWMOUSE layout");
static_assert(offsetof(app::RawMouse, usButtonData) == offsetof(RAWMOUSE, usButtonData),
              "RAWMOUSE layout");

struct InputWindow::State {
    input::InputManager& manager;
    input::Keyboard& keyboard;
    InputWindowListener* listener;
    HWND window = nullptr;
    bool focused = false;
    bool keyDown[256] = {}; // raw keys seen down, for the key-ups that focus loss swallows
    InputWindowCounts counts;

    State(input::InputManager& m, input::Keyboard& k, InputWindowListener* l)
        : manager(m), keyboard(k), listener(l) {}

    void rawKey(app::RawKeyEvent& event) {
        keyDown[event.keyCode] = event.down;
        keyboard.handleAppEvent(&event);
        if (listener)
            listener->rawKey(event);
    }

    void input(HRAWINPUT handle) {
        // Keyboard and mouse records fit; a larger one is a HID device's, which nothing here reads.
        RAWINPUT record;
        UINT size = sizeof record;
        if (GetRawInputData(handle, RID_INPUT, &record, &size, sizeof(RAWINPUTHEADER)) ==
            static_cast<UINT>(-1)) {
            ++counts.otherRecords;
            return;
        }
        if (record.header.dwType == RIM_TYPEMOUSE) {
            ++counts.mouseRecords;
            app::InputEvent event;
            std::memcpy(&event.rawInput, &record, sizeof record);
            manager.dispatchAppEvent(&event);
            if (listener)
                listener->mouseRecord(event);
        } else if (record.header.dwType == RIM_TYPEKEYBOARD) {
            ++counts.keyboardRecords;
            const RAWKEYBOARD& key = record.data.keyboard;
            // 255 marks the prefix halves of keys such as Pause: no key of their own.
            if (key.VKey == 0 || key.VKey >= 255)
                return;
            app::RawKeyEvent event;
            event.keyCode = key.VKey;
            event.down = (key.Flags & RI_KEY_BREAK) == 0;
            bool shift = GetKeyState(VK_SHIFT) < 0;
            event.modifiers = (shift ? app::RawKeyEvent::MODIFIER_SHIFT : 0) |
                              (GetKeyState(VK_CONTROL) < 0 ? app::RawKeyEvent::MODIFIER_CTRL : 0) |
                              (GetKeyState(VK_MENU) < 0 ? app::RawKeyEvent::MODIFIER_ALT : 0);
            if (event.down) {
                // The key's unshifted character (bit 31: a dead key, which types nothing yet);
                // letters come in upper case and follow Shift.
                UINT character = MapVirtualKeyA(key.VKey, MAPVK_VK_TO_CHAR);
                if ((character & 0x80000000u) == 0 && character < 256) {
                    char c = static_cast<char>(character);
                    if (c >= 'A' && c <= 'Z' && !shift)
                        c = static_cast<char>(c - 'A' + 'a');
                    event.character = c;
                }
            }
            rawKey(event);
        } else {
            ++counts.otherRecords;
        }
    }

    void focus(bool on) {
        if (on == focused)
            return;
        focused = on;
        ++counts.focusChanges;
        if (!on) {
            // Key-ups go to the window that has the focus: those of the keys held now never come.
            for (int vk = 0; vk < 256; ++vk) {
                if (!keyDown[vk])
                    continue;
                app::RawKeyEvent up;
                up.keyCode = vk;
                rawKey(up);
            }
        }
        manager.setFocus(on);
        if (listener)
            listener->focusChanged(on);
    }
};

namespace {

const char* const kWindowClass = "GameInputHostWindow";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state = reinterpret_cast<InputWindow::State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_INPUT:
        state->input(reinterpret_cast<HRAWINPUT>(lParam));
        break; // DefWindowProc frees the record
    case WM_ACTIVATE: state->focus(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_DEVICECHANGE:
        // A controller may have come or gone: the library reads disconnected pads again.
        state->manager.refreshGamepadConnectivity();
        if (state->listener)
            state->listener->devicesChanged();
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        FillRect(dc, &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        DrawTextA(dc,
                  "Keys, mouse and pads go to the input library while this window has the focus. "
                  "Close it to stop.",
                  -1, &area, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        state->focus(false);
        state->window = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string systemError(const char* what) {
    DWORD code = GetLastError();
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string message = std::string(what) + " failed (error " + std::to_string(code) + ")";
    std::size_t end = std::strlen(text);
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r' || text[end - 1] == '.'))
        --end;
    return end > 0 ? message + ": " + std::string(text, end) : message;
}

} // namespace

InputWindow::InputWindow(input::InputManager& manager, input::Keyboard& keyboard,
                         InputWindowListener* listener)
    : m_state(std::make_unique<State>(manager, keyboard, listener)) {}

InputWindow::~InputWindow() {
    if (m_state->window)
        DestroyWindow(m_state->window);
}

bool InputWindow::open(const char* title, std::string& error) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error = systemError("RegisterClassA");
        return false;
    }
    m_state->window =
        CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        640, 360, nullptr, nullptr, instance, m_state.get());
    if (!m_state->window) {
        error = systemError("CreateWindowExA");
        return false;
    }
    ShowWindow(m_state->window, SW_SHOW);
    SetForegroundWindow(m_state->window);
    SetFocus(m_state->window);
    return true;
}

bool InputWindow::pump(unsigned waitMs) {
    if (!m_state->window)
        return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            DestroyWindow(m_state->window);
            break;
        }
        DispatchMessageA(&message);
    }
    return m_state->window != nullptr;
}

bool InputWindow::isOpen() const {
    return m_state->window != nullptr;
}

bool InputWindow::isFocused() const {
    return m_state->focused;
}

void InputWindow::keySnapshot(bool (&keys)[256]) const {
    for (int vk = 0; vk < 256; ++vk)
        keys[vk] = m_state->focused && GetAsyncKeyState(vk) < 0;
}

InputWindowCounts InputWindow::counts() const {
    return m_state->counts;
}

} // namespace host
