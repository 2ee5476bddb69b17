// A session's run: the frames as the host runs them, and what the game reads after each.

#include "host.h"

#include <stdexcept>

#include "standin/control.h"
#include "text.h"

namespace inputscope {
namespace hosting {

namespace {

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

} // namespace

Host::Host(const Session& session, const RunOptions& options, TraceSink& sink)
    : m_session(session), m_options(options), m_sink(sink) {
    sim::reset();
    m_manager = std::make_unique<input::InputManager>(true, true);
    m_manager->setKeyboard(&m_keyboard);
    m_actions.refreshNames(*m_manager);
    if (session.contexts)
        m_contexts = std::make_unique<input::InputContexts>(*m_manager);
    if (options.bindings &&
        !input::readBindingProfile(*m_manager, options.bindings->data(), options.bindings->size()))
        throw std::logic_error("a bindings profile that was checked did not apply");
    if (options.demo) {
        m_play.openMemory(vel::FileStream::MODE_READ, options.demo->data(), options.demo->size());
        m_demoRecords = options.demo->size() / kDemoRecordSize;
    }
    if (options.recordDemo)
        m_record.openMemory(vel::FileStream::MODE_WRITE);
}

Host::~Host() {
    m_contexts.reset(); // before the manager it reads
    m_manager.reset();
    sim::reset();
}

bool Host::advance() {
    if (!m_begun) {
        m_sink.begin(m_session.file, m_session.updates);
        m_begun = true;
    }
    const std::vector<Statement>& statements = m_session.statements;
    for (int before = m_frame; m_frame == before;) {
        if (m_repeat > 0) {
            const Statement& s = statements[m_next - 1];
            --m_repeat;
            frame(s.dt >= 0.0f ? s.dt : m_dt, s.line);
        } else if (m_next < statements.size()) {
            const Statement& s = statements[m_next++];
            if (s.op == Op::Frame)
                m_repeat = s.count;
            else
                execute(s);
        } else {
            if (!m_ended)
                finish();
            return false;
        }
    }
    return true;
}

void Host::finish() {
    m_ended = true;
    if (m_options.demo && m_demoNext < m_demoRecords)
        note(0, counted(static_cast<long long>(m_demoRecords - m_demoNext), "demo record") +
                    (m_demoRecords - m_demoNext == 1 ? " was" : " were") +
                    " not played: the session ended first");
    flush();
    m_sink.end(m_frame);
}

std::vector<std::uint8_t> Host::run() {
    while (advance()) {
    }
    std::vector<std::uint8_t> recorded;
    if (m_options.recordDemo) {
        const std::uint8_t* data = m_record.writtenData();
        recorded.assign(data, data + m_record.writtenSize());
    }
    return recorded;
}

// Starts an entry and hands it back for the rest of its fields; it goes to the sink when the
// next one starts.
Entry& Host::add(EntryKind kind, int line, const std::string& text) {
    flush();
    m_pending = Entry();
    m_hasPending = true;
    Entry& entry = m_pending;
    entry.kind = kind;
    entry.line = line;
    entry.text = text;
    return entry;
}

// One frame as the host runs it: pads scripted, key snapshot and raw keyboard published,
// then the manager's update; afterwards the demo transfer and the game's reads.
void Host::frame(float dt, int line) {
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
            sim::setPad(user, demoReport(m_options.demo->data() + m_demoNext * kDemoRecordSize));
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
    if (m_contexts)
        m_contexts->step(dt);
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

void Host::snapshot(bool reread, float dt, int line) {
    Entry entry;
    entry.kind = EntryKind::Frame;
    entry.line = line;
    entry.frame.frame = m_frame;
    entry.frame.reread = reread;
    entry.frame.time = m_time;
    entry.frame.dt = dt;
    if (m_options.readAll && m_show.empty()) {
        // Every action with a name, fired or not: the viewer lists them all.
        std::vector<int> all;
        for (std::size_t id = 0; id < m_actions.names.size(); ++id)
            if (!m_actions.names[id].empty())
                all.push_back(static_cast<int>(id));
        readFrame(*m_manager, m_keyboard, m_actions, all, !reread, entry.frame);
    } else {
        readFrame(*m_manager, m_keyboard, m_actions, m_show, !reread, entry.frame);
    }
    readMappings(entry.frame);
    emit(entry);
}

// Vibration messages the polls sent since the last frame, in the order they went out;
// reported when a pad's motors change.
void Host::rumble() {
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

void Host::flush() {
    if (m_hasPending)
        m_sink.entry(m_pending);
    m_hasPending = false;
}

void Host::emit(const Entry& entry) {
    flush();
    m_sink.entry(entry);
}
} // namespace hosting
} // namespace inputscope
