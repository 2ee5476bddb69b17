#pragma once

// A session: the statements of a session text, checked and resolved (names to codes and ids)
// before anything runs, so that a bad line stops the tool before it prints or writes anything.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "input/contexts.h"
#include "input/types.h"

namespace inputscope {

// One problem in a session text, at a line and column (both from 1).
class SessionError : public std::runtime_error {
public:
    SessionError(const std::string& file, int line, int column, const std::string& message);
    const std::string& file() const { return m_file; }
    int line() const { return m_line; }
    int column() const { return m_column; }
    const std::string& message() const { return m_message; }

private:
    std::string m_file;
    int m_line;
    int m_column;
    std::string m_message;
};

enum class Op {
    Section,
    Dt,
    Frame,
    Read,
    Pad,
    Connect,
    Disconnect,
    Refresh,
    Select,
    Keys,
    RawKey,
    MouseMove,
    MouseAbsolute,
    MouseWheel,
    MouseButtons,
    MouseReset,
    MouseAutoReset,
    Screen,
    Flag,
    PlayerControl,
    Buffering,
    Step,
    StepReset,
    BindKey,
    BindPad,
    ClearKeys,
    ClearPad,
    Defaults,
    Sticks,
    Action,
    Invert,
    Sensitivity,
    Exclusive,
    ExclusiveOff,
    Rumble,
    RumbleEnable,
    Tweak,
    KeyName,
    Show,
    Prompt,
    MappingAction, // contexts: a mapping action, a context, a mapping, push and pop
    Context,
    Map,
    Push,
    Pop,
};

// The mode flags a session can switch.
enum class Flag {
    Focus,
    Game,
    Menu,
    Video,
    Conversation,
    Loading,
    Binding,
    UIMessage,
    Console,
    Debug,
    DebugBlockPolling,
    DebugButtons,
    FreeCamera,
    Keyframer,
    ScriptInput,
};
const char* flagName(Flag flag);

// Changes to a set of buttons or keys: `clear` first, then each code down or up.
struct Edit {
    bool clear = false;
    std::vector<std::pair<int, bool>> codes;
};

struct Statement {
    Op op = Op::Read;
    int line = 0;
    int column = 1; // of the statement's first word

    std::string text;    // section title, tweakable name, key name text
    int slot = -1;       // pad slot; -1: none (select) or the current pad (rumble)
    int count = 1;       // frames
    float dt = -1.0f;    // a frame's own dt; negative: the session's default
    int x = 0, y = 0;    // mouse motion or position, wheel notches, screen size
    bool on = false;     // switches; `virtual desktop` for mouse and screen
    bool second = false; // playercontrol: by script; invert: horizontal
    int device = 0;      // invert: 0 device in use, 1 pad, 2 mouse
    Flag flag = Flag::Focus;
    Edit edit; // pad buttons, keys, mouse buttons
    int trigger[2] = {-1, -1};
    bool hasAxis[4] = {false, false, false, false};
    std::int16_t axis[4] = {0, 0, 0, 0};
    int action = -1; // action id
    int code = -1;   // key or pad code
    input::ControlType type = input::CONTROL_NONE;
    std::uint32_t channels = 0;
    std::vector<int> actions; // show, exclusive
    float low = 0.0f, high = 0.0f, value = 0.0f;
    bool boolValue = false;
    char character = 0;
    int modifiers = 0; // app::RawKeyEvent bits: 0x1 Shift, 0x2 Ctrl, 0x4 Alt
    int glyphSet = 0;
    // Contexts: the mapping action's value type; the context's id and priority; the mapping's
    // index in Session::mappings.
    input::ValueType valueType = input::VALUE_DIGITAL;
    int context = -1, priority = 0, mapping = -1;
};

struct Session {
    std::string file; // as named in messages
    std::vector<Statement> statements;
    long long frames = 0;                 // frames the session runs, re-reads included
    long long updates = 0;                // of those, the frames that update the library
    std::vector<input::Mapping> mappings; // of the map statements, kept apart for their size
    bool contexts = false;                // defines mapping actions or contexts
};

// What a session may ask for. Every frame and every re-read is a row of output and a step of the
// run, so their total bounds the tool's time and output.
struct SessionLimits {
    long long maxFrames = 1000000; // frames and re-reads together
};
constexpr long long kDefaultMaxFrames = 1000000;
// Contexts: every mapping action is a field of every frame's JSON, and a mapping is kept whole
// until the run; far more than a game declares, and bounded.
constexpr int kMaxMappingActions = 1000;
constexpr int kMaxMappings = 10000;
// The largest session text read; a session written by hand is far smaller.
constexpr std::size_t kMaxSessionBytes = 16u << 20;

// Checks and resolves a whole session text; throws SessionError at the first problem. Every byte
// is checked first: the text must be UTF-8 without control characters other than tab (lines end
// in "\n" or "\r\n"). Columns count characters, from 1.
Session parseSession(const std::string& text, const std::string& file,
                     const SessionLimits& limits = SessionLimits());

} // namespace inputscope
