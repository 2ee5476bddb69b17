#pragma once

#include <cstdint>

#include "app/event.h"
#include "input/export.h"
#include "input/relaxed.h"
#include "input/types.h"
#include "vel/string.h"

namespace input {

// The Windows accessibility records, byte for byte (STICKYKEYS, TOGGLEKEYS, FILTERKEYS), declared
// here so that this header needs no <windows.h>.
struct StickyKeysRecord {
    std::uint32_t cbSize;
    std::uint32_t dwFlags;
};
struct ToggleKeysRecord {
    std::uint32_t cbSize;
    std::uint32_t dwFlags;
};
struct FilterKeysRecord {
    std::uint32_t cbSize;
    std::uint32_t dwFlags;
    std::uint32_t iWaitMSec;
    std::uint32_t iDelayMSec;
    std::uint32_t iRepeatMSec;
    std::uint32_t iBounceMSec;
};

// The PC keyboard and mouse: per-frame states of 258 key codes (the virtual-key codes and the two
// wheel codes), raw mouse motion and wheel notches, and, between construct and destruct, the
// accessibility hot keys switched off. Events, update and reads belong to one thread; other
// threads may read key states and mouse deltas and see whole values of some frame.
class INPUT_API InputX86 : public app::EventHandler {
public:
    InputX86();
    InputX86(const InputX86& other);
    InputX86& operator=(const InputX86& other);
    ~InputX86() override;

    // Clears the device, registers raw input for keyboard and mouse, switches the hot keys off.
    void construct();
    // Restores the hot keys saved by construct.
    void destruct();
    // Once a frame: publishes the key snapshot, the mouse buttons, the wheel keys and the mouse.
    void update();
    void reset();
    // Clears the mouse and wheel accumulators; the published values stay until the next update.
    void resetMouseInputDeltas();

    using app::EventHandler::handleAppEvent;
    // Feeds one raw-input record; records that are not mouse records are ignored. Returns true.
    bool handleAppEvent(app::InputEvent* event) override;
    // The host's key snapshot for codes 0-255, taken by the next update.
    void updateKeyboardState(const bool (&keys)[256]);

    // Codes above 257 read false. keyUp answers like keyDown.
    bool keyDown(unsigned short key) const;
    bool keyUp(unsigned short key) const;
    bool keyClicked(unsigned short key) const;
    // The lowest code clicked this frame, or -1 and false.
    bool isAnyKeyPressed(int& key) const;

    bool isActive() const;
    void setActive(bool active);

    int getRawMouseDeltaX() const;
    int getRawMouseDeltaY() const;
    int getMouseWheel() const;
    // Published motion times the sensitivity factor (0.1 to 2.0) and the X/Y sensitivity setting.
    float getMouseDeltaX() const;
    float getMouseDeltaY() const;
    // Stored as given; 0.0-1.0 is the effective range.
    void setMouseSensitivity(float sensitivity);

    // The display name of a key: "---" for codes of 0 and below, the string table's
    // "KEYCODE_0x.." text, Windows' name, or the code in hexadecimal.
    void getKeycodeName(int keyCode, vel::InplaceWString<128>& name) const;

private:
    friend struct InputX86Access;
    void disableAccessibilityShortcutKeys();
    void restoreAccessibilityShortcutKeys();

    bool active;
    Relaxed<std::int16_t> keyState[KEY_COUNT];
    Relaxed<std::int16_t> previousKeyState[KEY_COUNT];
    std::int16_t pendingKeyState[KEY_COUNT];
    std::int32_t mouseAccumX;
    std::int32_t mouseAccumY;
    std::int32_t wheelAccum;
    Relaxed<std::int32_t> mouseDeltaX;
    Relaxed<std::int32_t> mouseDeltaY;
    Relaxed<std::int32_t> mouseWheel;
    Relaxed<float> mouseSensitivity;
    std::int32_t lastAbsoluteX;
    std::int32_t lastAbsoluteY;
    bool accessibilityKeysSaved;
    StickyKeysRecord savedStickyKeys;
    ToggleKeysRecord savedToggleKeys;
    FilterKeysRecord savedFilterKeys;
};

} // namespace input
