// The binding screen's capture: the first input to go down since the last look.
#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "input/rebinding.h"

namespace input {

namespace {

constexpr int kPadButtons = GAMEPAD_RIGHT_TRIGGER + 1; // codes 0-17
constexpr int kPadInputs = kPadButtons + 8;            // then four axes, two ways each

bool isSet(const std::uint32_t* words, int bit) {
    return (words[bit >> 5] >> (bit & 31)) & 1u;
}

void assign(std::uint32_t* words, int bit, bool on) {
    std::uint32_t mask = 1u << (bit & 31);
    words[bit >> 5] = on ? words[bit >> 5] | mask : words[bit >> 5] & ~mask;
}

bool padInputDown(const Gamepad& pad, int input, float threshold) {
    if (input < kPadButtons)
        return pad.buttonDown(input);
    int stick = input - kPadButtons;
    float value = pad.getAxis(stick / 2);
    return (stick & 1) == 0 ? value > threshold : value < -threshold;
}

} // namespace

BindingCapture::BindingCapture(InputManager& manager) : BindingCapture(manager, Options()) {}

BindingCapture::BindingCapture(InputManager& manager, const Options& options)
    : m_manager(&manager), m_options(options) {
    restart();
}

void BindingCapture::restart() {
    for (std::uint32_t& word : m_keyUp)
        word = 0;
    for (std::uint32_t& word : m_padUp)
        word = 0;
    poll(); // what is down now was down before the capture began, so it only marks
}

CapturedInput BindingCapture::poll() {
    bool cancelled = false;
    CapturedInput key, button, stick;

    if (const InputX86* device = m_manager->getInputX86()) {
        for (int code = 0; code < KEY_COUNT; ++code) {
            bool down = device->keyDown(static_cast<unsigned short>(code));
            if (down && isSet(m_keyUp, code)) {
                if (code == m_options.cancelKey)
                    cancelled = true;
                else if (m_options.keys && key.kind == CapturedInput::NOTHING)
                    key = {CapturedInput::KEY, static_cast<std::uint16_t>(code), 0, -1};
            }
            assign(m_keyUp, code, !down);
        }
    }

    for (int slot = 0; slot < 4; ++slot) {
        if (m_options.padSlot >= 0 && m_options.padSlot != slot)
            continue;
        const Gamepad* pad = m_manager->getGamepad(slot);
        if (!pad || !pad->isConnected()) {
            // Unknown until the pad reports: a button held while it connects must be released.
            m_padUp[slot] = 0;
            continue;
        }
        for (int input = 0; input < kPadInputs; ++input) {
            bool down = padInputDown(*pad, input, m_options.stickThreshold);
            if (down && isSet(&m_padUp[slot], input)) {
                std::int8_t s = static_cast<std::int8_t>(slot);
                if (input == m_options.cancelButton) {
                    cancelled = true;
                } else if (input < kPadButtons) {
                    if (m_options.padButtons && button.kind == CapturedInput::NOTHING)
                        button = {CapturedInput::PAD_BUTTON, static_cast<std::uint16_t>(input), 0,
                                  s};
                } else if (m_options.padSticks && stick.kind == CapturedInput::NOTHING) {
                    int axis = (input - kPadButtons) / 2;
                    std::int8_t direction = ((input - kPadButtons) & 1) ? -1 : 1;
                    stick = {CapturedInput::PAD_STICK,
                             static_cast<std::uint16_t>(GAMEPAD_LEFT_STICK_X + axis), direction, s};
                }
            }
            assign(&m_padUp[slot], input, !down);
        }
    }

    if (cancelled)
        return {CapturedInput::CANCELLED, 0, 0, -1};
    if (key.kind != CapturedInput::NOTHING)
        return key;
    if (button.kind != CapturedInput::NOTHING)
        return button;
    return stick;
}

} // namespace input
