#include "runner.h"

#include "host.h"
#include "input/input.h"
#include "standin/control.h"

namespace inputscope {

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
    hosting::Host host(session, options, sink);
    return host.run();
}

// Keeps the last frame the run made.
struct SessionPlayer::State : TraceSink {
    // The options are kept here, so a caller may pass a temporary; the session must outlive
    // the player.
    State(const Session& session, const RunOptions& given)
        : options(given), host(session, options, *this) {}
    void begin(const std::string&, long long) override {}
    void entry(const Entry& e) override {
        if (e.kind == EntryKind::Frame && !e.frame.reread)
            last = e.frame;
    }
    void end(long long) override {}

    FrameView last;
    RunOptions options;
    hosting::Host host;
};

SessionPlayer::SessionPlayer(const Session& session, const RunOptions& options)
    : m_state(std::make_unique<State>(session, options)) {}

SessionPlayer::~SessionPlayer() = default;

bool SessionPlayer::next(FrameView& frame) {
    if (!m_state->host.advance())
        return false;
    frame = m_state->last;
    return true;
}

Trace runSession(const Session& session, const RunOptions& options) {
    TraceRecorder recorder;
    std::vector<std::uint8_t> recorded = runSession(session, options, recorder);
    recorder.trace.recordedDemo = std::move(recorded);
    return std::move(recorder.trace);
}

} // namespace inputscope
