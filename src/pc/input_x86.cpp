#include "input/input_x86.h"
#include "pc/input_x86_access.h"

#include <cstdlib>
#include <cstring>

#include "app/events.h"
#include "host/platform.h"
#include "manager/settings.h"

namespace input {

namespace {

constexpr std::int16_t kDown = static_cast<std::int16_t>(0x8000);
constexpr std::int32_t kNoPosition = 0x7FFFFFFF;
// Absolute moves this far (in normalised 0-65535 units) are jumps, not motion.
constexpr std::int64_t kAbsoluteJump = 8192;
// The mouse buttons are read from the operating system, in this order.
constexpr int kMouseButtons[] = {1, 4, 2, 5, 6};

// 32-bit wrapping arithmetic, as the raw-input counters wrap.
std::int32_t wrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t wrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// 0.1 at sensitivity 0 or below, 2.0 at 1 or above.
float sensitivityFactor(float sensitivity) {
    float t = sensitivity > 0.0f ? (sensitivity < 1.0f ? sensitivity : 1.0f) : 0.0f;
    return 0.1f + t * (2.0f - 0.1f);
}

} // namespace

InputX86::InputX86()
    : active(false), pendingKeyState(), mouseAccumX(0), mouseAccumY(0), wheelAccum(0),
      mouseDeltaX(0), mouseDeltaY(0), mouseWheel(0), mouseSensitivity(0.5f),
      lastAbsoluteX(kNoPosition), lastAbsoluteY(kNoPosition), accessibilityKeysSaved(false),
      savedStickyKeys(), savedToggleKeys(), savedFilterKeys() {}

InputX86::InputX86(const InputX86& other) = default;
InputX86& InputX86::operator=(const InputX86& other) = default;
InputX86::~InputX86() = default;

void InputX86::construct() {
    for (int i = 0; i < KEY_COUNT; ++i) {
        keyState[i] = 0;
        previousKeyState[i] = 0;
    }
    mouseAccumX = mouseAccumY = wheelAccum = 0;
    mouseDeltaX = mouseDeltaY = mouseWheel = 0;
    const platform::RawInputDevice devices[2] = {
        {1, 6, 0, nullptr}, // keyboard
        {1, 2, 0, nullptr}, // mouse
    };
    platform::registerRawInputDevices(devices, 2);
    disableAccessibilityShortcutKeys();
}

void InputX86::destruct() {
    restoreAccessibilityShortcutKeys();
}

void InputX86::update() {
    InputX86Access::update(*this);
}

bool InputX86Access::update(InputX86& device) {
    // Other threads may read the key states meanwhile, so each changed key is stored whole. Only
    // this thread writes them, so it may compare them as plain memory, four keys a word: in most
    // frames the current, previous and pending states all agree, no key is stored, and the copy
    // costs one branch-free pass. Otherwise only the words that differ are stored, key by key.
    static_assert(sizeof(device.keyState) == KEY_COUNT * sizeof(std::int16_t) &&
                      sizeof(device.previousKeyState) == sizeof(device.keyState),
                  "key states are plain 16-bit values");
    constexpr int kKeysPerWord = sizeof(std::uint64_t) / sizeof(std::int16_t);
    constexpr int kWords = KEY_COUNT / kKeysPerWord; // the last keys are copied apart
    auto word = [](const void* states, int index) {
        std::uint64_t bits;
        std::memcpy(&bits, static_cast<const unsigned char*>(states) + index * sizeof bits,
                    sizeof bits);
        return bits;
    };
    auto differs = [&](int index) {
        std::uint64_t current = word(device.keyState, index);
        return (current ^ word(device.previousKeyState, index)) |
               (current ^ word(device.pendingKeyState, index));
    };
    auto copy = [&](int i) {
        device.previousKeyState[i] = device.keyState[i].load();
        device.keyState[i] = device.pendingKeyState[i];
    };
    std::uint64_t differ = 0, pendingBits = 0;
    for (int w = 0; w < kWords; ++w) {
        differ |= differs(w);
        pendingBits |= word(device.pendingKeyState, w);
    }
    for (int w = 0; differ != 0 && w < kWords; ++w) {
        if (differs(w) != 0) {
            for (int i = w * kKeysPerWord; i < (w + 1) * kKeysPerWord; ++i)
                copy(i);
        }
    }
    std::int16_t down = (pendingBits & 0x8000800080008000u) ? kDown : std::int16_t(0);
    for (int i = kWords * kKeysPerWord; i < KEY_COUNT; ++i) {
        copy(i);
        down = static_cast<std::int16_t>(down | device.pendingKeyState[i]);
    }
    for (int vk : kMouseButtons) {
        std::int16_t state = platform::getAsyncKeyState(vk);
        device.keyState[vk] = state;
        down = static_cast<std::int16_t>(down | state);
    }
    std::int32_t wheel = device.wheelAccum;
    device.keyState[KEY_WHEEL_UP] = wheel > 0 ? kDown : std::int16_t(0);
    device.keyState[KEY_WHEEL_DOWN] = wheel < 0 ? kDown : std::int16_t(0);
    device.mouseDeltaX = device.mouseAccumX;
    device.mouseDeltaY = device.mouseAccumY;
    device.mouseWheel = wheel;
    return down < 0 || wheel != 0;
}

void InputX86::reset() {
    for (int i = 0; i < KEY_COUNT; ++i) {
        keyState[i] = 0;
        previousKeyState[i] = 0;
    }
    mouseAccumX = mouseAccumY = wheelAccum = 0;
    mouseDeltaX = mouseDeltaY = mouseWheel = 0;
}

void InputX86::resetMouseInputDeltas() {
    mouseAccumX = mouseAccumY = wheelAccum = 0;
}

bool InputX86::handleAppEvent(app::InputEvent* event) {
    if (!event || event->rawInput.header.dwType != app::RIM_TYPEMOUSE)
        return true;
    const app::RawMouse& mouse = event->rawInput.data.mouse;
    if (mouse.usFlags & app::MOUSE_MOVE_ABSOLUTE) {
        std::int32_t dx = wrapSub(mouse.lLastX, lastAbsoluteX);
        std::int32_t dy = wrapSub(mouse.lLastY, lastAbsoluteY);
        if (std::llabs(dx) < kAbsoluteJump && std::llabs(dy) < kAbsoluteJump) {
            bool virtualDesktop = (mouse.usFlags & app::MOUSE_VIRTUAL_DESKTOP) != 0;
            std::int64_t width = platform::getSystemMetrics(
                virtualDesktop ? platform::METRIC_CX_VIRTUAL_SCREEN : platform::METRIC_CX_SCREEN);
            std::int64_t height = platform::getSystemMetrics(
                virtualDesktop ? platform::METRIC_CY_VIRTUAL_SCREEN : platform::METRIC_CY_SCREEN);
            // Normalised 0-65535 units to pixels; the division truncates toward zero.
            mouseAccumX = wrapAdd(mouseAccumX, static_cast<std::int32_t>(width * dx / 65536));
            mouseAccumY = wrapAdd(mouseAccumY, static_cast<std::int32_t>(height * dy / 65536));
        }
        lastAbsoluteX = mouse.lLastX;
        lastAbsoluteY = mouse.lLastY;
    } else {
        mouseAccumX = wrapAdd(mouseAccumX, mouse.lLastX);
        mouseAccumY = wrapAdd(mouseAccumY, mouse.lLastY);
    }
    if (mouse.usButtonFlags & app::RI_MOUSE_WHEEL) {
        std::int16_t notch = static_cast<std::int16_t>(mouse.usButtonData);
        if (notch > 0)
            wheelAccum = wrapAdd(wheelAccum, 1);
        else if (notch < 0)
            wheelAccum = wrapAdd(wheelAccum, -1);
    }
    return true;
}

void InputX86::updateKeyboardState(const bool (&keys)[256]) {
    // Through local copies, branch-free: the compiler then knows nothing aliases and turns the
    // loop into a few vector operations.
    unsigned char in[256];
    std::memcpy(in, keys, sizeof in);
    std::int16_t out[256];
    for (int code = 0; code < 256; ++code)
        out[code] = static_cast<std::int16_t>(static_cast<std::uint16_t>(in[code] != 0) << 15);
    std::memcpy(pendingKeyState, out, sizeof out);
}

bool InputX86::keyDown(unsigned short key) const {
    return InputX86Access::keyDown(*this, key);
}

bool InputX86::keyUp(unsigned short key) const {
    return keyDown(key);
}

bool InputX86::keyClicked(unsigned short key) const {
    return InputX86Access::keyClicked(*this, key);
}

bool InputX86::isAnyKeyPressed(int& key) const {
    key = -1;
    for (unsigned short code = 0; code < KEY_COUNT; ++code) {
        if (keyClicked(code)) {
            key = code;
            return true;
        }
    }
    return false;
}

bool InputX86::isActive() const {
    return active;
}
void InputX86::setActive(bool on) {
    active = on;
}

int InputX86::getRawMouseDeltaX() const {
    return mouseDeltaX;
}
int InputX86::getRawMouseDeltaY() const {
    return mouseDeltaY;
}
int InputX86::getMouseWheel() const {
    return mouseWheel;
}

float InputX86::getMouseDeltaX() const {
    return sensitivityFactor(mouseSensitivity) * static_cast<float>(mouseDeltaX.load()) *
           settings::mouseXSensitivity.get();
}

float InputX86::getMouseDeltaY() const {
    return sensitivityFactor(mouseSensitivity) * static_cast<float>(mouseDeltaY.load()) *
           settings::mouseYSensitivity.get();
}

void InputX86::setMouseSensitivity(float sensitivity) {
    mouseSensitivity = sensitivity;
}

void InputX86::disableAccessibilityShortcutKeys() {
    savedStickyKeys.cbSize = sizeof(StickyKeysRecord);
    savedToggleKeys.cbSize = sizeof(ToggleKeysRecord);
    savedFilterKeys.cbSize = sizeof(FilterKeysRecord);
    platform::systemParametersInfo(platform::SPI_ACTION_GET_STICKY_KEYS, sizeof(StickyKeysRecord),
                                   &savedStickyKeys, 0);
    platform::systemParametersInfo(platform::SPI_ACTION_GET_TOGGLE_KEYS, sizeof(ToggleKeysRecord),
                                   &savedToggleKeys, 0);
    platform::systemParametersInfo(platform::SPI_ACTION_GET_FILTER_KEYS, sizeof(FilterKeysRecord),
                                   &savedFilterKeys, 0);

    // Only the hot keys go off, whether or not the features themselves are on.
    constexpr std::uint32_t hotKeyBits =
        platform::ACCESS_HOT_KEY_ACTIVE | platform::ACCESS_CONFIRM_HOT_KEY;
    StickyKeysRecord sticky = savedStickyKeys;
    sticky.dwFlags &= ~hotKeyBits;
    platform::systemParametersInfo(platform::SPI_ACTION_SET_STICKY_KEYS, sizeof sticky, &sticky, 0);
    ToggleKeysRecord toggle = savedToggleKeys;
    toggle.dwFlags &= ~hotKeyBits;
    platform::systemParametersInfo(platform::SPI_ACTION_SET_TOGGLE_KEYS, sizeof toggle, &toggle, 0);
    FilterKeysRecord filter = savedFilterKeys;
    filter.dwFlags &= ~hotKeyBits;
    platform::systemParametersInfo(platform::SPI_ACTION_SET_FILTER_KEYS, sizeof filter, &filter, 0);
    accessibilityKeysSaved = true;
}

void InputX86::restoreAccessibilityShortcutKeys() {
    if (!accessibilityKeysSaved)
        return;
    platform::systemParametersInfo(platform::SPI_ACTION_SET_STICKY_KEYS, sizeof savedStickyKeys,
                                   &savedStickyKeys, 0);
    platform::systemParametersInfo(platform::SPI_ACTION_SET_TOGGLE_KEYS, sizeof savedToggleKeys,
                                   &savedToggleKeys, 0);
    platform::systemParametersInfo(platform::SPI_ACTION_SET_FILTER_KEYS, sizeof savedFilterKeys,
                                   &savedFilterKeys, 0);
}

} // namespace input
