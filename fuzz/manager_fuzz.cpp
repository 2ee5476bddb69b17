// libFuzzer target: the input bytes become one manager's life, a sequence of events, frames,
// bindings, registrations, mode changes and queries with whatever ids, codes and values the
// bytes give. AddressSanitizer and UndefinedBehaviorSanitizer judge every step; the target
// itself checks the few answers that hold whatever the input.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app/events.h"
#include "d/tweakable.h"
#include "input/input.h"
#include "loc/string_table.h"
#include "standin/control.h"
#include "vel/file_stream.h"
#include "vel/string.h"
#include "vel/vector.h"

namespace {

// Valid action ids above this are folded into it. A registration makes the table exactly id + 1
// rows long, so an id near 2^31 asks the heap for about 100 GiB: not a fault of the library, but
// it would turn every such input into an out-of-memory report. Ids read, bound or queried are
// passed unchanged; only registrations are folded. Negative ids are passed as they are.
constexpr std::int32_t kRegisteredIdLimit = 1024;

// Reads the fuzzer's bytes front to back; past the end every value is zero.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    std::uint8_t u8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // Little-endian; each byte is read in its own statement, so the order is fixed.
    std::uint16_t u16() {
        std::uint16_t low = u8();
        return static_cast<std::uint16_t>(low | (u8() << 8));
    }
    std::uint32_t u32() {
        std::uint32_t low = u16();
        return low | (static_cast<std::uint32_t>(u16()) << 16);
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    bool flag() { return (u8() & 1) != 0; }
    float f32() {
        std::uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Any int, but mostly small ones, so that ids and codes meet the tables often.
    std::int32_t number() {
        std::uint8_t kind = u8();
        switch (kind & 3) {
        case 0: return static_cast<std::int32_t>(kind >> 2) - 8;
        case 1: return u8();
        case 2: return u16();
        default: return i32();
        }
    }
    // Up to 63 bytes of text, any byte but NUL.
    void text(char (&out)[64]) {
        std::size_t length = u8() % 64;
        for (std::size_t i = 0; i < length; ++i) {
            char c = static_cast<char>(u8());
            out[i] = c ? c : 'A';
        }
        out[length] = '\0';
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "manager_fuzz: %s\n", what);
        std::abort();
    }
}

void rawMouse(Bytes& in, input::InputManager& m) {
    app::InputEvent event;
    std::uint8_t kind = in.u8();
    event.rawInput.header.dwType = (kind & 3) == 3 ? in.u32() : kind & 3;
    event.rawInput.header.dwSize = in.u32();
    app::RawMouse& mouse = event.rawInput.data.mouse;
    mouse.usFlags = in.u16();
    mouse.usButtonFlags = in.u16();
    mouse.usButtonData = in.u16();
    mouse.ulRawButtons = in.u32();
    mouse.lLastX = in.number();
    mouse.lLastY = in.number();
    m.dispatchAppEvent(&event);
}

void otherEvent(Bytes& in, input::InputManager& m, input::Keyboard& keyboard) {
    switch (in.u8() % 4) {
    case 0: {
        app::FocusEvent focus;
        focus.focused = in.flag();
        m.dispatchAppEvent(&focus);
        keyboard.dispatchAppEvent(&focus);
        break;
    }
    case 1: {
        app::MouseMotionEvent motion;
        m.dispatchAppEvent(&motion);
        break;
    }
    case 2: {
        app::KeyEvent key;
        keyboard.dispatchAppEvent(&key);
        break;
    }
    default: m.dispatchAppEvent(nullptr); break;
    }
}

void rawKey(Bytes& in, input::InputManager& m, input::Keyboard& keyboard) {
    app::RawKeyEvent event;
    event.keyCode = in.number();
    event.character = static_cast<char>(in.u8());
    event.modifiers = static_cast<std::int32_t>(in.u8()) - 8;
    event.down = in.flag();
    keyboard.dispatchAppEvent(&event);
    m.dispatchAppEvent(&event); // the PC device reads mouse records only
}

void keySnapshot(Bytes& in, input::InputManager& m) {
    bool keys[256];
    for (int byte = 0; byte < 32; ++byte) {
        std::uint8_t bits = in.u8();
        for (int bit = 0; bit < 8; ++bit)
            keys[byte * 8 + bit] = (bits >> bit) & 1;
    }
    if (input::InputX86* pc = m.getInputX86())
        pc->updateKeyboardState(keys);
}

void padReport(Bytes& in, input::InputManager& m) {
    unsigned user = in.u8() % 4;
    switch (in.u8() % 4) {
    case 0: sim::disconnectPad(user); break;
    case 1: m.refreshGamepadConnectivity(); break;
    default: {
        _tov_XINPUT_GAMEPAD report{};
        report.wButtons = in.u16();
        report.bLeftTrigger = in.u8();
        report.bRightTrigger = in.u8();
        report.sThumbLX = static_cast<std::int16_t>(in.u16());
        report.sThumbLY = static_cast<std::int16_t>(in.u16());
        report.sThumbRX = static_cast<std::int16_t>(in.u16());
        report.sThumbRY = static_cast<std::int16_t>(in.u16());
        sim::connectPad(user);
        sim::setPad(user, report);
        break;
    }
    }
}

void modeFlag(Bytes& in, input::InputManager& m) {
    std::uint8_t which = in.u8();
    bool on = in.flag();
    switch (which % 26) {
    case 0: m.setGame(on); break;
    case 1: m.setMenu(on); break;
    case 2: m.setVideo(on); break;
    case 3: m.setConversation(on); break;
    case 4: m.setLoading(on); break;
    case 5: m.setBinding(on); break;
    case 6: m.setUIMessage(on); break;
    case 7: m.setFreeCameraWithoutPlayerControls(on); break;
    case 8: m.setRedirectToKeyframer(on); break;
    case 9: m.setDebug(on); break;
    case 10: m.setConsole(on); break;
    case 11: m.setDebugBlockPolling(on); break;
    case 12: m.setDebugButtons(on); break;
    case 13: m.setPlayerControlEnabled(on, in.flag()); break;
    case 14: m.setScriptComponentInput(on); break;
    case 15: m.setFocus(on); break;
    case 16: m.setBufferingMode(static_cast<input::BufferingMode>(in.number())); break;
    case 17: m.setInvertVertical(on); break;
    case 18: m.setInvertHorizontal(on); break;
    case 19: m.setInvertVerticalForPad(on); break;
    case 20: m.setInvertHorizontalForMouse(on); break;
    case 21: m.setSticksSwapped(on); break;
    case 22: m.setMouseSensitivity(in.f32()); break;
    case 23: d::setTweakable("Rumble:Enable old system (PC)", on); break;
    case 24:
        d::setTweakable(on ? "Input:Mouse X sensitivity" : "Input:Mouse Y sensitivity", in.f32());
        break;
    default: {
        // The flag getters and predicates answer from the flags alone.
        m.isGameOn();
        m.isDebugButtonsOn();
        m.isDebugBlockPolling();
        m.isPlayerControlEnabled();
        m.isInvertVerticalOn();
        m.isInvertHorizontalOn();
        m.isUsingKeyboardAndMouse();
        break;
    }
    }
}

void binding(Bytes& in, input::InputManager& m) {
    std::uint8_t which = in.u8();
    std::int32_t id = in.number();
    auto code = static_cast<unsigned short>(in.number());
    switch (which % 8) {
    case 0:
    case 1: m.bindKeyboard(id, code); break;
    case 2:
    case 3: m.bindGamepad(id, code); break;
    case 4: m.clearKeyBindings(); break;
    case 5: m.clearGamepadBindings(); break;
    case 6: m.bindDefaultInputs(); break;
    default: {
        vel::Vector<int, vel::Allocator<int, 0>> ids;
        for (int n = in.u8() % 8; n > 0; --n)
            ids.pushBack(in.number());
        if (in.flag())
            m.setExclusiveActions(ids, static_cast<input::Channel>(in.u32()));
        else
            m.clearExclusiveActions();
        break;
    }
    }
}

void registration(Bytes& in, input::InputManager& m) {
    std::int32_t id = in.number();
    if (id > kRegisteredIdLimit)
        id %= kRegisteredIdLimit + 1;
    char name[64];
    in.text(name);
    auto type = static_cast<input::ControlType>(in.number());
    std::int32_t channel = in.i32();
    m.registerAction(id, name, type, channel);
    if (id >= 0) {
        require(m.isActionAssigned(id), "a registered id is not assigned");
        require(m.getActionName(id) == name, "a registered name does not read back");
    }
}

void frame(Bytes& in, input::InputManager& m, input::Keyboard& keyboard) {
    std::uint8_t which = in.u8();
    switch (which % 8) {
    case 0: m.update(static_cast<float>(in.u8()) / 64.0f); break;
    case 1: m.update(in.f32()); break;
    case 2: keyboard.update(); break;
    case 3: m.switchWorldStepBuffers(); break;
    case 4: m.resetStepBuffers(); break;
    case 5: m.reset(); break;
    case 6: m.resetMouseInputDeltas(); break;
    default: {
        int vk = in.u8();
        sim::setAsyncKey(vk, in.flag());
        break;
    }
    }
}

void read(Bytes& in, input::InputManager& m) {
    std::uint8_t which = in.u8();
    std::int32_t id = in.number();
    bool inTable = m.isActionAssigned(id);
    switch (which % 10) {
    case 0: require(m.readDigital(id) ? inTable : true, "readDigital outside the table"); break;
    case 1: require(inTable || m.readAnalog(id) == 0.0f, "readAnalog outside the table"); break;
    case 2:
        require(inTable || m.readRawAnalog(id) == 0.0f, "readRawAnalog outside the table");
        break;
    case 3: {
        vel::InplaceString<128> name = m.getActionName(id);
        require(inTable || name == "INVALID", "getActionName outside the table");
        break;
    }
    case 4: {
        char text[64];
        in.text(text);
        std::int32_t found = m.getAction(vel::InplaceWString<128>(text));
        require(found == -1 || m.isActionAssigned(found), "getAction gave an id outside the table");
        break;
    }
    case 5: m.channelMatch(id, in.i32()); break;
    case 6: m.isActionBlocked(id); break;
    case 7: m.isChannelOn(in.i32()); break;
    case 8: m.isKeyBound(static_cast<unsigned short>(id), in.i32()); break;
    default: m.isButtonBound(static_cast<unsigned short>(id), in.i32()); break;
    }
}

void selection(Bytes& in, input::InputManager& m) {
    std::uint8_t which = in.u8();
    std::int32_t slot = in.number();
    switch (which % 5) {
    case 0: m.setSelectedGamepad(slot); break;
    case 1: m.clearSelectedGamepad(); break;
    case 2:
        require((m.getGamepad(slot) != nullptr) == (slot >= 0 && slot < 4), "getGamepad(slot)");
        break;
    case 3: m.unassignGamepad(slot); break;
    default: break;
    }
    require(m.getGamepad() != nullptr, "getGamepad() is null");
    std::int32_t selected = m.getSelectedGamepad();
    require(selected >= -1 && selected <= 3, "selected slot out of range");
    std::int32_t active = m.getActiveGamepadID();
    require(active >= -1 && active <= 3, "active pad id out of range");
}

void pad(Bytes& in, input::InputManager& m) {
    input::Gamepad& p = *m.getGamepad(in.u8() % 4);
    std::uint8_t which = in.u8();
    std::int32_t code = in.number();
    switch (which % 9) {
    case 0:
        p.buttonDown(code);
        p.buttonPressed(code);
        p.buttonReleased(code);
        break;
    case 1:
        p.buttonClicked(code);
        p.buttonHeld(code);
        p.isActivity();
        break;
    case 2: {
        float value = p.getAnalogButton(code);
        require(value >= 0.0f && value <= 1.0f, "getAnalogButton out of range");
        break;
    }
    case 3: {
        float value = p.getAxis(code);
        require(value >= -1.0f && value <= 1.0f, "getAxis out of range");
        p.getRawAxis(code);
        break;
    }
    case 4: p.setLowFrequencyRumble(in.f32()); break;
    case 5: p.setHighFrequencyRumble(in.f32()); break;
    case 6: p.enableRumble(in.flag()); break;
    case 7: {
        // A pad of any id: only users 0-3 reach XInput.
        input::Gamepad other(code);
        other.update(in.f32());
        other.buttonHeld(in.number());
        other.getAxis(in.number());
        break;
    }
    default: {
        std::uint8_t record[24];
        for (std::uint8_t& b : record)
            b = in.u8();
        vel::FileStream stream;
        switch (in.u8() % 3) {
        case 0: stream.openMemory(vel::FileStream::MODE_READ, record, in.u8() % 25); break;
        case 1: stream.openMemory(vel::FileStream::MODE_WRITE); break;
        default: break; // closed
        }
        m.updateDemoRecording(stream);
        break;
    }
    }
    float low = p.getLowFrequencyRumble();
    require(low >= 0.0f && low <= 1.0f, "rumble request out of range");
}

void hud(Bytes& in, input::InputManager& m) {
    std::uint8_t which = in.u8();
    std::int32_t value = in.number();
    switch (which % 8) {
    case 0: {
        std::int32_t glyph = m.getGlyphIndex(value);
        require(glyph == -1 || (glyph >= 1 && glyph <= 23), "glyph out of range");
        break;
    }
    case 1: {
        std::int32_t glyph = input::glyphFromButton(value);
        require(glyph == -1 || (glyph >= 1 && glyph <= 23), "glyph out of range");
        break;
    }
    case 2: {
        m::Vector2Template<float> position{}, size{};
        float rotation = 0.0f;
        m.getHUDAtlasPositionAndSize(value, static_cast<input::GlyphSet>(in.number()), position,
                                     size, rotation);
        break;
    }
    case 3: {
        vel::InplaceWString<128> name;
        m.getKeyName(value, name);
        break;
    }
    case 4: {
        int code = 0;
        m.getKeyCode(value, code);
        require(code >= -1 && code <= 0xFFFF, "key code out of range");
        break;
    }
    case 5: {
        vel::InplaceWString<128> name;
        m.getKeycodeName(value, name);
        break;
    }
    case 6: {
        char text[64];
        in.text(text);
        wchar_t wide[64];
        std::size_t n = 0;
        for (; text[n]; ++n)
            wide[n] = static_cast<wchar_t>(static_cast<unsigned char>(text[n]));
        wide[n] = 0;
        vel::InplaceString<128> id;
        id.format("KEYCODE_0x%x", static_cast<unsigned>(value));
        loc::StringTable::getInstance()->setString(id.c_str(), wide);
        break;
    }
    default: {
        m.getMouseWheel();
        require(m.getGamepadButton(value) >= -1, "getGamepadButton below -1");
        break;
    }
    }
}

void devices(Bytes& in, input::InputManager& m, input::Keyboard& keyboard) {
    std::uint8_t which = in.u8();
    std::int32_t code = in.number();
    switch (which % 4) {
    case 0:
        if (input::InputX86* pc = m.getInputX86()) {
            auto key = static_cast<unsigned short>(code);
            pc->keyDown(key);
            pc->keyUp(key);
            pc->keyClicked(key);
            int first = 0;
            pc->isAnyKeyPressed(first);
            require(first >= -1 && first < input::KEY_COUNT, "isAnyKeyPressed out of range");
        }
        break;
    case 1:
        if (input::InputX86* pc = m.getInputX86()) {
            pc->getMouseDeltaX();
            pc->getMouseDeltaY();
            pc->getRawMouseDeltaX();
        }
        break;
    case 2:
        keyboard.keyDown(code);
        keyboard.keyPressed(code);
        break;
    default: {
        int key = 0, modifiers = 0;
        char character = 0;
        if (keyboard.readKeyboardBuffer(key, character, modifiers))
            require(key >= 0 && key <= 255, "typed key outside 0-255");
        keyboard.isKeyboardBufferEmpty();
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::reset();
    Bytes in(data, size);
    std::uint8_t setup = in.u8();
    input::InputManager manager((setup & 1) != 0, (setup & 2) != 0);
    input::Keyboard keyboard;
    if (setup & 4)
        manager.setKeyboard(&keyboard);
    manager.setFocus((setup & 8) != 0);
    while (!in.empty()) {
        switch (in.u8() % 13) {
        case 0: rawMouse(in, manager); break;
        case 1: rawKey(in, manager, keyboard); break;
        case 2: keySnapshot(in, manager); break;
        case 3: padReport(in, manager); break;
        case 4: modeFlag(in, manager); break;
        case 5: binding(in, manager); break;
        case 6: registration(in, manager); break;
        case 7: frame(in, manager, keyboard); break;
        case 8: read(in, manager); break;
        case 9: selection(in, manager); break;
        case 10: pad(in, manager); break;
        case 11: hud(in, manager); break;
        default:
            if (in.flag())
                otherEvent(in, manager, keyboard);
            else
                devices(in, manager, keyboard);
            break;
        }
    }
    return 0;
}
