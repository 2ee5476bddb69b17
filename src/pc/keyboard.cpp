#include "input/keyboard.h"

#include <cstdint>
#include <cstring>

#include "app/events.h"
#include "input/relaxed.h"

namespace input {

namespace {

constexpr int kKeys = 256;
constexpr int kRing = 64;
constexpr std::uint8_t kDownEvent = 0x1;
constexpr std::uint8_t kUpEvent = 0x2;
constexpr int kShift = 16;
constexpr int kCtrl = 17;
constexpr int kAlt = 18;

// One state for the whole library, shared by every Keyboard object. The published states may be
// read by other threads (the action readers); the rest belongs to the thread that feeds events.
std::uint8_t rawKeyEvents[kKeys];
Relaxed<std::uint8_t> rawKeyState[kKeys];
Relaxed<std::uint8_t> previousRawKeyState[kKeys];
std::int32_t keyBufferCodes[kRing];
char keyBufferChars[kRing];
std::int32_t keyBufferModifiers[kRing];
std::int32_t keyBufferWrite;
std::int32_t keyBufferRead;
std::int32_t keyBufferEnd;

std::int32_t nextSlot(std::int32_t slot) {
    return slot + 1 == kRing ? 0 : slot + 1;
}

bool isKeyCode(int key) {
    return static_cast<unsigned>(key) < static_cast<unsigned>(kKeys);
}

} // namespace

Keyboard::Keyboard() {
    reset();
}
Keyboard::Keyboard(const Keyboard& other) : app::EventHandler(other) {}
Keyboard::Keyboard(Keyboard&& other) : app::EventHandler(other) {}
Keyboard& Keyboard::operator=(const Keyboard&) {
    return *this;
}
Keyboard& Keyboard::operator=(Keyboard&&) {
    return *this;
}
Keyboard::~Keyboard() = default;

bool Keyboard::handleAppEvent(app::RawKeyEvent* event) {
    if (!event || !isKeyCode(event->keyCode))
        return false;
    int k = event->keyCode;
    if (!event->down) {
        rawKeyEvents[k] |= kUpEvent;
        return false;
    }
    rawKeyEvents[k] |= kDownEvent;
    // The ring stores Ctrl 0x1, Shift 0x2, Alt 0x4; the event has Shift 0x1, Ctrl 0x2, Alt 0x4.
    std::int32_t modifiers = 0;
    if (event->modifiers & app::RawKeyEvent::MODIFIER_CTRL) {
        modifiers |= 0x1;
        rawKeyEvents[kCtrl] |= kDownEvent;
    }
    if (event->modifiers & app::RawKeyEvent::MODIFIER_SHIFT) {
        modifiers |= 0x2;
        rawKeyEvents[kShift] |= kDownEvent;
    }
    if (event->modifiers & app::RawKeyEvent::MODIFIER_ALT) {
        modifiers |= 0x4;
        rawKeyEvents[kAlt] |= kDownEvent;
    }
    keyBufferCodes[keyBufferWrite] = k;
    keyBufferModifiers[keyBufferWrite] = modifiers;
    keyBufferChars[keyBufferWrite] = event->character;
    keyBufferWrite = nextSlot(keyBufferWrite);
    if (keyBufferWrite == keyBufferRead) // full: drop the oldest unread entry
        keyBufferRead = nextSlot(keyBufferRead);
    return false;
}

void Keyboard::update() {
    for (int k = 0; k < kKeys; ++k) {
        previousRawKeyState[k] = rawKeyState[k].load();
        rawKeyState[k] = rawKeyEvents[k];
        // A key that went up reads down for this one frame, then clears; a held key stays.
        if (rawKeyEvents[k] & kUpEvent)
            rawKeyEvents[k] = 0;
    }
    keyBufferEnd = keyBufferWrite;
}

void Keyboard::reset() {
    keyBufferWrite = keyBufferRead = keyBufferEnd = 0;
    std::memset(rawKeyEvents, 0, sizeof rawKeyEvents);
    for (int k = 0; k < kKeys; ++k) {
        rawKeyState[k] = 0;
        previousRawKeyState[k] = 0;
    }
}

bool Keyboard::isKeyboardBufferEmpty() const {
    return keyBufferRead == keyBufferEnd;
}

bool Keyboard::readKeyboardBuffer(int& key, char& character, int& modifiers) {
    if (isKeyboardBufferEmpty())
        return false;
    key = keyBufferCodes[keyBufferRead];
    character = keyBufferChars[keyBufferRead];
    modifiers = keyBufferModifiers[keyBufferRead];
    keyBufferRead = nextSlot(keyBufferRead);
    return true;
}

bool Keyboard::keyDown(int key) const {
    return isKeyCode(key) && (rawKeyState[key] & kDownEvent);
}

bool Keyboard::keyPressed(int key) const {
    return isKeyCode(key) && (rawKeyState[key] & kDownEvent) &&
           !(previousRawKeyState[key] & kDownEvent);
}

} // namespace input
