#pragma once

// The host around the library in a session run: it owns the manager and the raw keyboard, carries
// out the session's statements (host_statements.cpp) and runs its frames (host.cpp).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/contexts.h"
#include "input/input.h"
#include "runner.h"
#include "session.h"
#include "vel/file_stream.h"
#include "vel/xinput.h"

namespace inputscope {
namespace hosting {

// Applies one definition of the contexts layer (mapping action, context, mapping), or registers
// a manager action; throws SessionError with the layer's message when it refuses.
void define(input::InputManager& manager, input::InputContexts& contexts, const Session& session,
            const Statement& s);

struct PadScript {
    bool connected = false;
    _tov_XINPUT_GAMEPAD report{};
};

// Owns the manager and the raw keyboard, feeds them each frame, and reads what the game would
// read.
class Host {
public:
    Host(const Session& session, const RunOptions& options, TraceSink& sink);
    ~Host();
    std::vector<std::uint8_t> run();
    // Runs statements until one more frame has gone to the sink; false once the session is over
    // (the sink has had end()).
    bool advance();

private:
    // Starts an entry and hands it back for the rest of its fields; it goes to the sink when the
    // next one starts.
    Entry& add(EntryKind kind, int line, const std::string& text = std::string());
    void note(int line, const std::string& text) { add(EntryKind::Note, line, text); }
    input::Gamepad* padFor(int slot) {
        return slot < 0 ? m_manager->getGamepad() : m_manager->getGamepad(slot);
    }
    void execute(const Statement& s);
    // A pad that the library last saw disconnected is read again only after a refresh.
    void connectNote(int slot, int line);
    void setFlag(Flag flag, bool on);
    void mouse(std::uint16_t flags, int x, int y, int wheel);
    std::string nameOf(int id) const { return m_actions.nameOf(id); }
    // One frame as the host runs it: pads scripted, key snapshot and raw keyboard published,
    // then the manager's update; afterwards the demo transfer and the game's reads.
    void frame(float dt, int line);
    void snapshot(bool reread, float dt, int line);
    // Vibration messages the polls sent since the last frame, in the order they went out;
    // reported when a pad's motors change.
    void rumble();
    void prompt(const Statement& s);
    // host_contexts.cpp: the contexts layer's statements, and its reads after a frame.
    void contexts(const Statement& s);
    void readMappings(FrameView& f) const;
    void flush();
    void emit(const Entry& entry);
    void finish();

    const Session& m_session;
    const RunOptions& m_options;
    TraceSink& m_sink;
    Entry m_pending;
    bool m_hasPending = false;
    input::Keyboard m_keyboard;
    std::unique_ptr<input::InputManager> m_manager;
    ActionTable m_actions;
    std::unique_ptr<input::InputContexts> m_contexts; // only when the session declares any
    std::vector<std::string> m_mappingNames;          // by mapping action id
    std::vector<input::ValueType> m_mappingTypes;
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
    std::size_t m_next = 0; // the next statement
    int m_repeat = 0;       // frames of the last frame statement still to run
    bool m_begun = false, m_ended = false;
};

} // namespace hosting
} // namespace inputscope
