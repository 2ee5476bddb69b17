#pragma once

// Runs a session through the library, as a host would, and records what the game would read.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/types.h"
#include "session.h"

namespace input {
class InputManager;
class Keyboard;
} // namespace input

namespace inputscope {

struct PadView {
    bool connected = false;
    std::uint16_t buttons = 0;  // bit n: button code n down
    int lt = 0, rt = 0;         // 0-255
    int axis[4] = {0, 0, 0, 0}; // raw stick values
};

struct TypedKey {
    int key = 0;
    char character = 0;
    int modifiers = 0; // 0x1 Ctrl, 0x2 Shift, 0x4 Alt
};

// The devices as the library sees them after a frame's update.
struct InputsView {
    PadView pads[4];
    std::vector<int> keys;                 // down in the PC device's key state (0-257)
    std::vector<int> rawKeys;              // down in the raw keyboard buffer
    int mouseX = 0, mouseY = 0, wheel = 0; // published mouse motion and wheel count
    std::vector<TypedKey> typed;
};

struct ActionRead {
    int id = 0;
    std::string name;
    input::ControlType type = input::CONTROL_NONE;
    bool digital = false;
    float analog = 0.0f;
};

// A mapping action of the contexts layer after the frame's step.
struct MappingRead {
    int id = 0;
    std::string name;
    int type = 0;             // input::ValueType
    int state = 0;            // input::TriggerState
    std::uint32_t events = 0; // input::TriggerEvent bits
    float x = 0.0f, y = 0.0f; // value (digital and 1D: x)
    float hold = 0.0f;        // the furthest hold's progress, 0..1
};

struct FrameView {
    int frame = 0;       // from 1
    bool reread = false; // a second read of the same frame, without an update
    double time = 0.0;   // seconds since the session started, after this frame
    float dt = 0.0f;
    bool keyboardAndMouse = true;
    int currentPad = 0;
    int selectedPad = -1;
    std::uint32_t channels = 0;
    int buffering = 1;
    InputsView inputs;
    std::vector<ActionRead> reads;     // the actions shown: those that fired, or the chosen ones
    std::vector<MappingRead> mappings; // every mapping action, when the session declares any
};

struct PromptView {
    int action = 0;
    std::string name;
    int glyph = -1;
    int set = 0;
    float x = 0, y = 0, width = 0, height = 0, rotation = 0;
    bool hasKey = false;
    int keyCode = -1;
    std::string keyName; // UTF-8
};

struct RumbleView {
    int frame = 0;
    int pad = 0;
    int left = 0, right = 0;
};

// Binding: a binding, registration or sticks statement, where it takes effect (its text says what
// changed).
// KeyName: the display name of a key (prompt.keyCode, prompt.keyName), as the live viewer shows
// each key the first time it goes down.
enum class EntryKind {
    Section,
    Frame,
    Switch,
    StepReset,
    Prompt,
    Rumble,
    Note,
    Show,
    Binding,
    KeyName
};

struct Entry {
    EntryKind kind = EntryKind::Note;
    int line = 0;     // the session line that made it (0: none)
    std::string text; // section title, note, binding change
    FrameView frame;
    PromptView prompt;
    RumbleView rumble;
    std::vector<std::string> shown; // Show: the chosen actions; empty for "fired"
};

struct Trace {
    std::string session; // "<built-in>" or the file
    std::vector<Entry> entries;
    long long frames = 0;
    std::vector<std::uint8_t> recordedDemo;
};

// What takes the entries of a run as they are made: the session's name and the frames it will
// run first, then each entry once complete, then the frames run.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void begin(const std::string& session, long long frames) = 0;
    virtual void entry(const Entry& entry) = 0;
    virtual void end(long long frames) = 0;
};

// Keeps every entry: the trace tests compare and render whole.
class TraceRecorder : public TraceSink {
public:
    void begin(const std::string& session, long long) override { trace.session = session; }
    void entry(const Entry& entry) override { trace.entries.push_back(entry); }
    void end(long long frames) override { trace.frames = frames; }
    Trace trace;
};

// A recorded trace handed to a sink as the run handed it.
inline void replay(const Trace& trace, TraceSink& sink) {
    sink.begin(trace.session, trace.frames);
    for (const Entry& e : trace.entries)
        sink.entry(e);
    sink.end(trace.frames);
}

// One run into several views.
class TraceFanOut : public TraceSink {
public:
    void add(TraceSink& sink) { m_sinks.push_back(&sink); }
    void begin(const std::string& session, long long frames) override {
        for (TraceSink* s : m_sinks)
            s->begin(session, frames);
    }
    void entry(const Entry& entry) override {
        for (TraceSink* s : m_sinks)
            s->entry(entry);
    }
    void end(long long frames) override {
        for (TraceSink* s : m_sinks)
            s->end(frames);
    }

private:
    std::vector<TraceSink*> m_sinks;
};

struct RunOptions {
    const std::vector<std::uint8_t>* demo = nullptr; // 24-byte records to play into the pad
    bool recordDemo = false;
    const std::string* bindings = nullptr; // a profile applied as the run starts (checked)
    bool readAll = false; // every named action in each frame's reads, fired or not (the viewer)
};

// The actions a run knows: the default table's types, and the names the manager gives each id
// (empty for an id without an action).
struct ActionTable {
    ActionTable();
    void setType(int id, input::ControlType type);
    void refreshNames(input::InputManager& manager);
    std::string nameOf(int id) const;
    input::ControlType typeOf(int id) const;

    std::vector<std::string> names;
    std::vector<input::ControlType> types;
};

// What the game reads after a frame's update, into `f` (whose frame number, time, dt and re-read
// mark are the caller's): the devices as the library sees them, then the actions in `show`, or
// every action that fired when it is empty. `drainTyped` empties the raw keyboard's typed keys
// into the view, as the host does once a frame.
void readFrame(input::InputManager& manager, input::Keyboard& keyboard, const ActionTable& actions,
               const std::vector<int>& show, bool drainTyped, FrameView& f);

// Whether an action fired: a digital action that reads true, an analogue one with a value other
// than 0.
bool fired(const ActionRead& read);

// The display name the manager gives a key (InputManager::getKeycodeName), in UTF-8.
std::string keyDisplayName(input::InputManager& manager, int key);

// Checks a bindings profile on a manager as a run starts with it: "" when it applies, else
// ":LINE:COLUMN: error: ..." (or ": error: ..." for a fault outside the text).
std::string checkProfile(const std::string& text);

// Applies a session's definitions of the contexts layer (and its action registrations) to a
// scratch manager, as the run will; throws SessionError at the first one the layer refuses, with
// its message.
void checkContexts(const Session& session);

// Runs the session on a fresh machine (the stand-in's state is reset before and after), handing
// each entry to `sink` as it is complete; gives the recorded demo when asked for.
std::vector<std::uint8_t> runSession(const Session& session, const RunOptions& options,
                                     TraceSink& sink);
// The same, keeping the whole trace.
Trace runSession(const Session& session, const RunOptions& options);

// A session run a frame at a time, for the viewer: the host's state lives between the calls.
// The session must outlive the player; the options are copied.
class SessionPlayer {
public:
    SessionPlayer(const Session& session, const RunOptions& options);
    ~SessionPlayer();
    SessionPlayer(const SessionPlayer&) = delete;
    SessionPlayer& operator=(const SessionPlayer&) = delete;
    // Runs to the next frame (re-reads are not frames) and gives it; false when the session
    // has no more.
    bool next(FrameView& frame);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Size of one demo record.
constexpr std::size_t kDemoRecordSize = 24;

} // namespace inputscope
