#include "runner.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "app/events.h"
#include "d/tweakable.h"
#include "input/input.h"
#include "loc/string_table.h"
#include "names.h"
#include "standin/control.h"
#include "text.h"
#include "vel/file_stream.h"
#include "vel/vector.h"

namespace inputscope {

namespace {

std::string toUtf8(const wchar_t* text) {
    std::string out;
    for (std::size_t i = 0; text[i]; ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            std::uint32_t low = static_cast<std::uint32_t>(text[i + 1]) & 0xFFFF;
            if (c >= 0xD800 && c < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring fromUtf8(const std::string& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        std::uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i)
            c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::string hex(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(code));
    return text;
}

_tov_XINPUT_GAMEPAD demoReport(const std::uint8_t* bytes) {
    auto u16 = [&](int at) { return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)); };
    _tov_XINPUT_GAMEPAD report{};
    report.wButtons = u16(0);
    report.bLeftTrigger = bytes[2];
    report.bRightTrigger = bytes[3];
    report.sThumbLX = static_cast<std::int16_t>(u16(4));
    report.sThumbLY = static_cast<std::int16_t>(u16(6));
    report.sThumbRX = static_cast<std::int16_t>(u16(8));
    report.sThumbRY = static_cast<std::int16_t>(u16(10));
    return report;
}

struct PadScript {
    bool connected = false;
    _tov_XINPUT_GAMEPAD report{};
};

// The host around the library: owns the manager and the raw keyboard, feeds them each frame,
// and reads what the game would read.
class Host {
public:
    Host(const Session& session, const RunOptions& options, TraceSink& sink)
        : m_session(session), m_options(options), m_sink(sink) {
        sim::reset();
        m_manager = std::make_unique<input::InputManager>(true, true);
        m_manager->setKeyboard(&m_keyboard);
#define INPUTSCOPE_TYPE(name, id, type, channels) setType(id, input::type);
        INPUT_DEFAULT_ACTIONS(INPUTSCOPE_TYPE)
#undef INPUTSCOPE_TYPE
        refreshNames();
        if (options.bindings && !input::readBindingProfile(*m_manager, options.bindings->data(),
                                                           options.bindings->size()))
            throw std::logic_error("a bindings profile that was checked did not apply");
        if (options.demo) {
            m_play.openMemory(vel::FileStream::MODE_READ, options.demo->data(),
                              options.demo->size());
            m_demoRecords = options.demo->size() / kDemoRecordSize;
        }
        if (options.recordDemo)
            m_record.openMemory(vel::FileStream::MODE_WRITE);
    }

    ~Host() {
        m_manager.reset();
        sim::reset();
    }

    std::vector<std::uint8_t> run() {
        m_sink.begin(m_session.file, m_session.updates);
        for (const Statement& statement : m_session.statements)
            execute(statement);
        if (m_options.demo && m_demoNext < m_demoRecords)
            note(0, counted(static_cast<long long>(m_demoRecords - m_demoNext), "demo record") +
                        (m_demoRecords - m_demoNext == 1 ? " was" : " were") +
                        " not played: the session ended first");
        flush();
        m_sink.end(m_frame);
        std::vector<std::uint8_t> recorded;
        if (m_options.recordDemo) {
            const std::uint8_t* data = m_record.writtenData();
            recorded.assign(data, data + m_record.writtenSize());
        }
        return recorded;
    }

private:
    void setType(int id, input::ControlType type) {
        if (static_cast<std::size_t>(id) >= m_types.size())
            m_types.resize(static_cast<std::size_t>(id) + 1, input::CONTROL_NONE);
        m_types[static_cast<std::size_t>(id)] = type;
    }

    void refreshNames() {
        m_names.clear();
        for (int id = 0; m_manager->isActionAssigned(id); ++id)
            m_names.push_back(m_manager->getActionName(id).c_str());
    }

    // Starts an entry and hands it back for the rest of its fields; it goes to the sink when the
    // next one starts.
    Entry& add(EntryKind kind, int line, const std::string& text = std::string()) {
        flush();
        m_pending = Entry();
        m_hasPending = true;
        Entry& entry = m_pending;
        entry.kind = kind;
        entry.line = line;
        entry.text = text;
        return entry;
    }

    void note(int line, const std::string& text) {
        add(EntryKind::Note, line, text);
    }

    input::Gamepad* padFor(int slot) {
        return slot < 0 ? m_manager->getGamepad() : m_manager->getGamepad(slot);
    }

    void execute(const Statement& s) {
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
            std::int16_t* axes[4] = {&pad.report.sThumbLX, &pad.report.sThumbLY,
                                     &pad.report.sThumbRX, &pad.report.sThumbRY};
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
                    (m.isSticksSwapped() ? "swapped" : "normal") +
                    "; every earlier binding discarded");
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
            setType(s.action, s.type);
            refreshNames();
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
        }
    }

    // A pad that the library last saw disconnected is read again only after a refresh.
    void connectNote(int slot, int line) {
        if (!m_pads[slot].connected && m_stale[slot])
            note(line, "pad " + std::to_string(slot) +
                           " is plugged in again, but the library reads a disconnected pad only "
                           "after 'refresh'");
    }

    void setFlag(Flag flag, bool on) {
        input::InputManager& m = *m_manager;
        switch (flag) {
        case Flag::Focus: m.setFocus(on); break;
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

    void mouse(std::uint16_t flags, int x, int y, int wheel) {
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

    std::string nameOf(int id) const {
        return static_cast<std::size_t>(id) < m_names.size() ? m_names[static_cast<std::size_t>(id)]
                                                             : std::string();
    }
    input::ControlType typeOf(int id) const {
        return static_cast<std::size_t>(id) < m_types.size() ? m_types[static_cast<std::size_t>(id)]
                                                             : input::CONTROL_NONE;
    }

    // One frame as the host runs it: pads scripted, key snapshot and raw keyboard published,
    // then the manager's update; afterwards the demo transfer and the game's reads.
    void frame(float dt, int line) {
        input::InputManager& m = *m_manager;
        int current = m.getGamepad()->getID();
        bool playing = m_options.demo && m_demoNext < m_demoRecords;
        if (m_options.demo && !playing && !m_demoEnded) {
            m_demoEnded = true;
            note(line, "the demo ended after " +
                           counted(static_cast<long long>(m_demoRecords), "record") +
                           "; the pads report what the session says");
        }
        for (int slot = 0; slot < 4; ++slot) {
            unsigned user = static_cast<unsigned>(slot);
            if (playing && slot == current) {
                sim::connectPad(user);
                sim::setPad(user,
                            demoReport(m_options.demo->data() + m_demoNext * kDemoRecordSize));
            } else if (m_pads[slot].connected) {
                sim::connectPad(user);
                sim::setPad(user, m_pads[slot].report);
            } else {
                sim::disconnectPad(user);
            }
        }
        if (input::InputX86* pc = m.getInputX86())
            pc->updateKeyboardState(m_keys);
        m_keyboard.update();
        m.update(dt);
        for (int slot = 0; slot < 4; ++slot)
            if (!(m_pads[slot].connected || (playing && slot == current)))
                m_stale[slot] = true;
        if (playing) {
            // The recorded reports replace the polled ones for this frame's reads.
            m.updateDemoRecording(m_play);
            ++m_demoNext;
        }
        if (m_options.recordDemo)
            m.updateDemoRecording(m_record);

        ++m_frame;
        m_time += dt;
        m_lastDt = dt;
        snapshot(false, dt, line);
        rumble();
        if (m_autoReset)
            m.resetMouseInputDeltas();
    }

    void snapshot(bool reread, float dt, int line) {
        input::InputManager& m = *m_manager;
        Entry entry;
        entry.kind = EntryKind::Frame;
        entry.line = line;
        FrameView& f = entry.frame;
        f.frame = m_frame;
        f.reread = reread;
        f.time = m_time;
        f.dt = dt;
        f.keyboardAndMouse = m.isUsingKeyboardAndMouse();
        f.currentPad = m.getGamepad()->getID();
        f.selectedPad = m.getSelectedGamepad();
        for (int b = 0; b < 32; ++b)
            if (m.isChannelOn(static_cast<int>(1u << b)))
                f.channels |= 1u << b;
        f.buffering = m.getBufferingMode();

        for (int slot = 0; slot < 4; ++slot) {
            const input::Gamepad* pad = m.getGamepad(slot);
            PadView& view = f.inputs.pads[slot];
            view.connected = pad->isConnected();
            for (int code = 0; code < 16; ++code)
                if (pad->buttonDown(code))
                    view.buttons = static_cast<std::uint16_t>(view.buttons | (1u << code));
            view.lt = static_cast<int>(std::lround(pad->getAnalogButton(16) * 255.0));
            view.rt = static_cast<int>(std::lround(pad->getAnalogButton(17) * 255.0));
            for (int a = 0; a < 4; ++a)
                view.axis[a] = static_cast<int>(std::lround(pad->getRawAxis(a) * 32767.0));
        }
        if (const input::InputX86* pc = m.getInputX86()) {
            for (int key = 0; key < input::KEY_COUNT; ++key)
                if (pc->keyDown(static_cast<unsigned short>(key)))
                    f.inputs.keys.push_back(key);
            f.inputs.mouseX = pc->getRawMouseDeltaX();
            f.inputs.mouseY = pc->getRawMouseDeltaY();
            f.inputs.wheel = pc->getMouseWheel();
        }
        for (int key = 0; key < 256; ++key)
            if (m_keyboard.keyDown(key))
                f.inputs.rawKeys.push_back(key);
        if (!reread) {
            TypedKey typed;
            while (m_keyboard.readKeyboardBuffer(typed.key, typed.character, typed.modifiers))
                f.inputs.typed.push_back(typed);
        }

        auto read = [&](int id) {
            ActionRead r;
            r.id = id;
            r.name = nameOf(id);
            r.type = typeOf(id);
            r.digital = m.readDigital(id);
            r.analog = m.readAnalog(id);
            return r;
        };
        if (!m_show.empty()) {
            for (int id : m_show)
                f.reads.push_back(read(id));
        } else {
            for (int id = 0; static_cast<std::size_t>(id) < m_names.size(); ++id) {
                if (m_names[static_cast<std::size_t>(id)].empty())
                    continue;
                ActionRead r = read(id);
                bool fired =
                    isAnalogueType(r.type) ? r.analog != 0.0f || std::isnan(r.analog) : r.digital;
                if (fired)
                    f.reads.push_back(r);
            }
        }
        emit(entry);
    }

    // Vibration messages the polls sent since the last frame, in the order they went out;
    // reported when a pad's motors change.
    void rumble() {
        for (const sim::Vibration& sent : sim::rumbleLog()) {
            int left = sent.motors.wLeftMotorSpeed, right = sent.motors.wRightMotorSpeed;
            int* motors = m_motors[sent.user];
            if (left == motors[0] && right == motors[1])
                continue;
            motors[0] = left;
            motors[1] = right;
            Entry entry;
            entry.kind = EntryKind::Rumble;
            entry.rumble.frame = m_frame;
            entry.rumble.pad = static_cast<int>(sent.user);
            entry.rumble.left = left;
            entry.rumble.right = right;
            emit(entry);
        }
        sim::clearRumbleLog();
    }

    void prompt(const Statement& s) {
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
            m.getHUDAtlasPositionAndSize(p.glyph, static_cast<input::GlyphSet>(s.glyphSet),
                                         position, size, rotation);
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

    void flush() {
        if (m_hasPending)
            m_sink.entry(m_pending);
        m_hasPending = false;
    }
    void emit(const Entry& entry) {
        flush();
        m_sink.entry(entry);
    }

    const Session& m_session;
    const RunOptions& m_options;
    TraceSink& m_sink;
    Entry m_pending;
    bool m_hasPending = false;
    input::Keyboard m_keyboard;
    std::unique_ptr<input::InputManager> m_manager;
    std::vector<std::string> m_names;
    std::vector<input::ControlType> m_types;
    std::vector<int> m_show;
    PadScript m_pads[4];
    bool m_stale[4] = {false, false, false, false};
    bool m_keys[256] = {};
    bool m_autoReset = true;
    float m_dt = 1.0f / 60.0f;
    float m_lastDt = 0.0f;
    int m_frame = 0;
    double m_time = 0.0;
    vel::FileStream m_play;
    vel::FileStream m_record;
    std::size_t m_demoRecords = 0;
    std::size_t m_demoNext = 0;
    bool m_demoEnded = false;
    int m_motors[4][2] = {};
};

} // namespace

std::string checkProfile(const std::string& text) {
    sim::reset();
    input::ProfileError error;
    bool applies;
    {
        input::InputManager manager(true, true);
        applies = input::readBindingProfile(manager, text.data(), text.size(), &error);
    }
    sim::reset();
    if (applies)
        return "";
    std::string where =
        error.line > 0 ? ":" + std::to_string(error.line) + ":" + std::to_string(error.column) : "";
    return where + ": error: " + error.message;
}

std::vector<std::uint8_t> runSession(const Session& session, const RunOptions& options,
                                     TraceSink& sink) {
    Host host(session, options, sink);
    return host.run();
}

Trace runSession(const Session& session, const RunOptions& options) {
    TraceRecorder recorder;
    std::vector<std::uint8_t> recorded = runSession(session, options, recorder);
    recorder.trace.recordedDemo = std::move(recorded);
    return std::move(recorder.trace);
}

} // namespace inputscope
