// Each session statement as the game's calls (or the machine's state) it stands for.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/events.h"
#include "d/tweakable.h"
#include "host.h"
#include "loc/string_table.h"
#include "names.h"
#include "standin/control.h"
#include "text.h"
#include "vel/vector.h"

namespace inputscope {
namespace hosting {

namespace {

std::string hex(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(code));
    return text;
}

} // namespace

void Host::execute(const Statement& s) {
    input::InputManager& m = *m_manager;
    switch (s.op) {
    case Op::Section: add(EntryKind::Section, s.line, s.text); break;
    case Op::Dt: m_dt = s.dt; break;
    case Op::Frame:
        for (int i = 0; i < s.count; ++i)
            frame(s.dt >= 0.0f ? s.dt : m_dt, s.line);
        break;
    case Op::Read: snapshot(true, m_lastDt, s.line); break;
    case Op::Pad: {
        PadScript& pad = m_pads[s.slot];
        connectNote(s.slot, s.line);
        pad.connected = true;
        if (s.edit.clear)
            pad.report = _tov_XINPUT_GAMEPAD{};
        for (const auto& code : s.edit.codes) {
            std::uint16_t bit = static_cast<std::uint16_t>(1u << code.first);
            pad.report.wButtons = static_cast<std::uint16_t>(
                code.second ? pad.report.wButtons | bit : pad.report.wButtons & ~bit);
        }
        if (s.trigger[0] >= 0)
            pad.report.bLeftTrigger = static_cast<std::uint8_t>(s.trigger[0]);
        if (s.trigger[1] >= 0)
            pad.report.bRightTrigger = static_cast<std::uint8_t>(s.trigger[1]);
        std::int16_t* axes[4] = {&pad.report.sThumbLX, &pad.report.sThumbLY, &pad.report.sThumbRX,
                                 &pad.report.sThumbRY};
        for (int a = 0; a < 4; ++a)
            if (s.hasAxis[a])
                *axes[a] = s.axis[a];
        break;
    }
    case Op::Connect:
        connectNote(s.slot, s.line);
        m_pads[s.slot].connected = true;
        break;
    case Op::Disconnect: m_pads[s.slot].connected = false; break;
    case Op::Refresh:
        m.refreshGamepadConnectivity();
        for (bool& stale : m_stale)
            stale = false;
        break;
    case Op::Select:
        if (s.slot < 0)
            m.clearSelectedGamepad();
        else
            m.setSelectedGamepad(s.slot);
        break;
    case Op::Keys:
        if (s.edit.clear)
            std::memset(m_keys, 0, sizeof m_keys);
        for (const auto& code : s.edit.codes)
            m_keys[code.first] = code.second;
        break;
    case Op::RawKey: {
        app::RawKeyEvent event;
        event.keyCode = s.code;
        event.down = s.on;
        event.modifiers = s.modifiers;
        event.character = s.character;
        m_keyboard.handleAppEvent(&event);
        break;
    }
    case Op::MouseMove: mouse(app::MOUSE_MOVE_RELATIVE, s.x, s.y, 0); break;
    case Op::MouseAbsolute:
        mouse(static_cast<std::uint16_t>(app::MOUSE_MOVE_ABSOLUTE |
                                         (s.on ? app::MOUSE_VIRTUAL_DESKTOP : 0)),
              s.x, s.y, 0);
        break;
    case Op::MouseWheel:
        for (int i = 0; i < std::abs(s.x); ++i)
            mouse(app::MOUSE_MOVE_RELATIVE, 0, 0, s.x > 0 ? 120 : -120);
        break;
    case Op::MouseButtons:
        if (s.edit.clear)
            for (int vk : {1, 2, 4, 5, 6})
                sim::setAsyncKey(vk, false);
        for (const auto& code : s.edit.codes)
            sim::setAsyncKey(code.first, code.second);
        if (!sim::isSimulated())
            note(s.line, "mouse buttons come from the operating system on Windows: "
                         "this line has no effect");
        break;
    case Op::MouseReset: m.resetMouseInputDeltas(); break;
    case Op::MouseAutoReset: m_autoReset = s.on; break;
    case Op::Screen:
        sim::setScreenMetric(s.on ? 78 : 0, s.x);
        sim::setScreenMetric(s.on ? 79 : 1, s.y);
        if (!sim::isSimulated())
            note(s.line, "the screen size comes from the operating system on Windows: "
                         "this line has no effect");
        break;
    case Op::Flag: setFlag(s.flag, s.on); break;
    case Op::PlayerControl: m.setPlayerControlEnabled(s.on, s.second); break;
    case Op::Buffering:
        m.setBufferingMode(s.on ? input::BUFFERING_WORLD_STEP : input::BUFFERING_LIVE);
        break;
    case Op::Step:
        m.switchWorldStepBuffers();
        add(EntryKind::Switch, s.line);
        break;
    case Op::StepReset:
        m.resetStepBuffers();
        add(EntryKind::StepReset, s.line);
        break;
    case Op::BindKey:
        m.bindKeyboard(s.action, static_cast<unsigned short>(s.code));
        add(EntryKind::Binding, s.line,
            "binding added: key " + keyName(s.code) + " (" + hex(s.code) + ") -> " +
                nameOf(s.action));
        break;
    case Op::BindPad:
        m.bindGamepad(s.action, static_cast<unsigned short>(s.code));
        add(EntryKind::Binding, s.line,
            "binding added: pad " + padCodeName(s.code) + " (code " + std::to_string(s.code) +
                ") -> " + nameOf(s.action));
        break;
    case Op::ClearKeys:
        m.clearKeyBindings();
        add(EntryKind::Binding, s.line, "key bindings cleared: no key answers any action");
        break;
    case Op::ClearPad:
        m.clearGamepadBindings();
        add(EntryKind::Binding, s.line,
            "pad bindings cleared: no pad button or stick answers any action");
        break;
    case Op::Defaults:
        m.bindDefaultInputs();
        add(EntryKind::Binding, s.line,
            std::string("default bindings restored, sticks ") +
                (m.isSticksSwapped() ? "swapped" : "normal") + "; every earlier binding discarded");
        break;
    case Op::Sticks:
        m.setSticksSwapped(s.on);
        add(EntryKind::Binding, s.line,
            std::string("sticks ") + (s.on ? "swapped" : "normal") +
                " from the next 'defaults' on");
        break;
    case Op::Action:
        m.registerAction(s.action, vel::InplaceString<32>(s.text.c_str()), s.type,
                         static_cast<int>(s.channels));
        m_actions.setType(s.action, s.type);
        m_actions.refreshNames(m);
        add(EntryKind::Binding, s.line,
            "action " + s.text + " registered: id " + std::to_string(s.action) + ", " +
                controlTypeName(s.type) + ", channels " + channelNames(s.channels));
        break;
    case Op::Invert:
        if (s.second) {
            if (s.device == 1)
                m.setInvertHorizontalForPad(s.on);
            else if (s.device == 2)
                m.setInvertHorizontalForMouse(s.on);
            else
                m.setInvertHorizontal(s.on);
        } else {
            if (s.device == 1)
                m.setInvertVerticalForPad(s.on);
            else if (s.device == 2)
                m.setInvertVerticalForMouse(s.on);
            else
                m.setInvertVertical(s.on);
        }
        break;
    case Op::Sensitivity: m.setMouseSensitivity(s.value); break;
    case Op::Exclusive: {
        vel::Vector<int, vel::Allocator<int, 0>> ids;
        for (int id : s.actions)
            ids.pushBack(id);
        m.setExclusiveActions(ids, static_cast<input::Channel>(s.channels));
        break;
    }
    case Op::ExclusiveOff: m.clearExclusiveActions(); break;
    case Op::Rumble:
        padFor(s.slot)->setLowFrequencyRumble(s.low);
        padFor(s.slot)->setHighFrequencyRumble(s.high);
        break;
    case Op::RumbleEnable: padFor(s.slot)->enableRumble(s.on); break;
    case Op::Tweak:
        if (s.on)
            d::setTweakable(s.text.c_str(), s.boolValue);
        else
            d::setTweakable(s.text.c_str(), s.value);
        break;
    case Op::KeyName: {
        char id[32];
        std::snprintf(id, sizeof id, "KEYCODE_0x%x", static_cast<unsigned>(s.code));
        loc::StringTable::getInstance()->setString(id, fromUtf8(s.text).c_str());
        break;
    }
    case Op::Show: {
        m_show = s.actions;
        Entry& entry = add(EntryKind::Show, s.line);
        for (int id : s.actions)
            entry.shown.push_back(nameOf(id));
        break;
    }
    case Op::Prompt: prompt(s); break;
    case Op::MappingAction:
    case Op::Context:
    case Op::Map:
    case Op::Push:
    case Op::Pop: contexts(s); break;
    }
}

// A pad that the library last saw disconnected is read again only after a refresh.
void Host::connectNote(int slot, int line) {
    if (!m_pads[slot].connected && m_stale[slot])
        note(line, "pad " + std::to_string(slot) +
                       " is plugged in again, but the library reads a disconnected pad only "
                       "after 'refresh'");
}

void Host::setFlag(Flag flag, bool on) {
    input::InputManager& m = *m_manager;
    switch (flag) {
    case Flag::Focus:
        m.setFocus(on);
        if (m_contexts)
            m_contexts->setFocus(on); // the layer is told as the manager is
        break;
    case Flag::Game: m.setGame(on); break;
    case Flag::Menu: m.setMenu(on); break;
    case Flag::Video: m.setVideo(on); break;
    case Flag::Conversation: m.setConversation(on); break;
    case Flag::Loading: m.setLoading(on); break;
    case Flag::Binding: m.setBinding(on); break;
    case Flag::UIMessage: m.setUIMessage(on); break;
    case Flag::Console: m.setConsole(on); break;
    case Flag::Debug: m.setDebug(on); break;
    case Flag::DebugBlockPolling: m.setDebugBlockPolling(on); break;
    case Flag::DebugButtons: m.setDebugButtons(on); break;
    case Flag::FreeCamera: m.setFreeCameraWithoutPlayerControls(on); break;
    case Flag::Keyframer: m.setRedirectToKeyframer(on); break;
    case Flag::ScriptInput: m.setScriptComponentInput(on); break;
    }
}

void Host::mouse(std::uint16_t flags, int x, int y, int wheel) {
    app::InputEvent event;
    event.rawInput.header.dwType = app::RIM_TYPEMOUSE;
    event.rawInput.data.mouse.usFlags = flags;
    event.rawInput.data.mouse.lLastX = x;
    event.rawInput.data.mouse.lLastY = y;
    if (wheel != 0) {
        event.rawInput.data.mouse.usButtonFlags = app::RI_MOUSE_WHEEL;
        event.rawInput.data.mouse.usButtonData = static_cast<std::uint16_t>(wheel);
    }
    m_manager->dispatchAppEvent(&event);
}

void Host::prompt(const Statement& s) {
    input::InputManager& m = *m_manager;
    Entry entry;
    entry.kind = EntryKind::Prompt;
    entry.line = s.line;
    PromptView& p = entry.prompt;
    p.action = s.action;
    p.name = nameOf(s.action);
    p.set = s.glyphSet;
    p.glyph = m.getGlyphIndex(s.action);
    if (p.glyph >= 1) {
        m::Vector2Template<float> position{0.0f, 0.0f}, size{0.0f, 0.0f};
        float rotation = 0.0f;
        m.getHUDAtlasPositionAndSize(p.glyph, static_cast<input::GlyphSet>(s.glyphSet), position,
                                     size, rotation);
        p.x = position.x;
        p.y = position.y;
        p.width = size.x;
        p.height = size.y;
        p.rotation = rotation;
    }
    int code = -1;
    p.hasKey = m.getKeyCode(s.action, code);
    p.keyCode = code;
    vel::InplaceWString<128> name;
    if (m.getKeyName(s.action, name))
        p.keyName = toUtf8(name.c_str());
    emit(entry);
}
} // namespace hosting
} // namespace inputscope
