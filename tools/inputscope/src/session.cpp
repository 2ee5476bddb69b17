#include "session.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>

#include "d/tweakable.h"
#include "input/default_actions.h"
#include "names.h"
#include "numbers.h"
#include "text.h"

namespace inputscope {

namespace {

// Escaped: the file name and the echoed text may hold anything.
std::string formatError(const std::string& file, int line, int column, const std::string& msg) {
    return printable(file + ":" + std::to_string(line) + ":" + std::to_string(column) +
                     ": error: " + msg);
}

// A token as a message shows it: quoted, and cut to a readable length, since a line may hold
// megabytes of one word.
constexpr std::size_t kShownBytes = 40;
std::string shown(const std::string& text) {
    if (text.size() <= kShownBytes)
        return text;
    std::size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 sequence
    return text.substr(0, cut) + "...";
}
std::string quoted(const std::string& text) {
    return "'" + shown(text) + "'";
}

struct Token {
    std::string text;
    int column = 0; // of the first character
    int end = 0;    // column just past the last character
};

struct FlagWord {
    const char* word;
    Flag flag;
};
const FlagWord kFlags[] = {
    {"focus", Flag::Focus},
    {"game", Flag::Game},
    {"menu", Flag::Menu},
    {"video", Flag::Video},
    {"conversation", Flag::Conversation},
    {"loading", Flag::Loading},
    {"binding", Flag::Binding},
    {"uimessage", Flag::UIMessage},
    {"console", Flag::Console},
    {"debug", Flag::Debug},
    {"debugblockpolling", Flag::DebugBlockPolling},
    {"debugbuttons", Flag::DebugButtons},
    {"freecamera", Flag::FreeCamera},
    {"keyframer", Flag::Keyframer},
    {"scriptinput", Flag::ScriptInput},
};

const char* const kStatements =
    "a statement: frame, dt, read, section, pad, connect, disconnect, refresh, select, keys, "
    "rawkey, mouse, screen, a mode flag, playercontrol, buffering, step, bind, clear, defaults, "
    "sticks, action, invert, sensitivity, exclusive, rumble, tweak, keyname, show or prompt";

// Names for the control characters people meet in text files.
std::string controlName(std::uint32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    const char* name = c == 0      ? " (NUL)"
                       : c == 0x08 ? " (backspace)"
                       : c == 0x0B ? " (vertical tab)"
                       : c == 0x0C ? " (form feed)"
                       : c == 0x0D ? " (carriage return not followed by a line feed)"
                       : c == 0x1B ? " (escape)"
                       : c == 0x7F ? " (delete)"
                                   : "";
    return code + std::string(name);
}

class Parser {
public:
    Parser(const std::string& file, const SessionLimits& limits) : m_file(file), m_limits(limits) {
#define INPUTSCOPE_NAME(name, id, type, channels) m_actions[#name] = id;
        INPUT_DEFAULT_ACTIONS(INPUTSCOPE_NAME)
#undef INPUTSCOPE_NAME
    }

    Session parse(const std::string& text) {
        Session session;
        session.file = m_file;
        std::size_t start = 0;
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            start = 3; // a UTF-8 byte-order mark
        m_line = 0;
        while (start < text.size()) {
            std::size_t newline = text.find('\n', start);
            std::string line = text.substr(start, newline == std::string::npos ? std::string::npos
                                                                               : newline - start);
            start = newline == std::string::npos ? text.size() : newline + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            ++m_line;
            m_text = &line;
            checkBytes(line);
            tokenize(line);
            if (m_tokens.empty())
                continue;
            Statement statement = parseStatement();
            statement.line = m_line;
            session.statements.push_back(std::move(statement));
        }
        m_text = nullptr;
        session.frames = m_frames;
        session.updates = m_updates;
        return session;
    }

private:
    // `column` counts bytes; the message counts characters, as an editor shows them.
    [[noreturn]] void fail(int column, const std::string& message) const {
        int characters = 1;
        if (m_text)
            for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(column) && i < m_text->size();
                 ++i)
                characters += (static_cast<unsigned char>((*m_text)[i]) & 0xC0) != 0x80;
        throw SessionError(m_file, m_line, m_text ? characters : column, message);
    }

    // A session is text: UTF-8, with tab as its only control character.
    void checkBytes(const std::string& line) const {
        for (std::size_t i = 0; i < line.size();) {
            std::uint32_t c;
            std::size_t length;
            int column = static_cast<int>(i) + 1;
            if (!decodeUtf8(line, i, c, length)) {
                char byte[8];
                std::snprintf(byte, sizeof byte, "0x%02X",
                              static_cast<unsigned>(static_cast<unsigned char>(line[i])));
                fail(column, std::string("byte ") + byte +
                                 " is not valid UTF-8 (a session is UTF-8 text; convert it, "
                                 "for instance with iconv)");
            }
            if (c != '\t' && isControl(c))
                fail(column, "control character " + controlName(c) +
                                 " is not allowed: a session line holds text and tabs only");
            i += length;
        }
    }

    // Frames and re-reads within the budget: the total is checked before it grows.
    void spend(long long frames, const Token& at, const char* what) {
        if (frames > m_limits.maxFrames - m_frames)
            fail(at, std::string(what) + " takes the session past its budget of " +
                         counted(m_limits.maxFrames, "frame") + " (re-reads count as frames; " +
                         "raise it with --max-frames N)");
        m_frames += frames;
    }
    [[noreturn]] void fail(const Token& at, const std::string& message) const {
        fail(at.column, message);
    }

    void tokenize(const std::string& line) {
        m_tokens.clear();
        m_pos = 0;
        m_lineEnd = 1;
        std::size_t i = 0;
        while (i < line.size()) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            if (std::isspace(c)) {
                ++i;
                continue;
            }
            if (c == '#')
                break;
            Token token;
            token.column = static_cast<int>(i) + 1;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) {
                if (line[i] != '"') {
                    token.text += line[i++];
                    continue;
                }
                int quote = static_cast<int>(i) + 1;
                ++i;
                while (true) {
                    if (i >= line.size())
                        fail(quote, "unterminated string (expected a closing '\"')");
                    if (line[i] == '"')
                        break;
                    if (line[i] == '\\' && i + 1 < line.size())
                        ++i;
                    token.text += line[i++];
                }
                ++i;
            }
            token.end = static_cast<int>(i) + 1;
            m_lineEnd = token.end;
            m_tokens.push_back(token);
        }
    }

    bool atEnd() const {
        return m_pos >= m_tokens.size();
    }
    const Token& peek() const {
        return m_tokens[m_pos];
    }
    const Token& next(const std::string& expected) {
        if (atEnd())
            fail(m_lineEnd, "expected " + expected + " at the end of the line");
        return m_tokens[m_pos++];
    }
    // An optional last word: true when it is there, an error when something else is.
    bool optionalLast(const std::string& keyword) {
        if (atEnd())
            return false;
        const Token& token = next(quoted(keyword));
        if (lower(token.text) != keyword)
            fail(token, "expected " + quoted(keyword) + " or the end of the line, got " +
                            quoted(token.text));
        return true;
    }
    void expectEnd() {
        if (!atEnd())
            fail(peek(), "unexpected " + quoted(peek().text) + " (expected the end of the line)");
    }

    // "key=value": the value and its column; false when the token is not of that form.
    static bool keyValue(const Token& token, std::string& key, Token& value) {
        std::size_t eq = token.text.find('=');
        if (eq == std::string::npos || eq == 0)
            return false;
        key = lower(token.text.substr(0, eq));
        value.text = token.text.substr(eq + 1);
        value.column = token.column + static_cast<int>(eq) + 1;
        value.end = token.end;
        return true;
    }

    double number(const Token& token, const std::string& what) const {
        const std::string& text = token.text;
        char* end = nullptr;
        double value = std::strtod(text.c_str(), &end);
        if (end != text.c_str() && *end == '/') {
            const char* divisorText = end + 1;
            double divisor = std::strtod(divisorText, &end);
            if (end == divisorText || *end != '\0' || divisor == 0.0)
                fail(token, "expected " + what + ", got " + quoted(text));
            value /= divisor;
        }
        if (text.empty() || end == text.c_str() || *end != '\0' || !std::isfinite(value))
            fail(token, "expected " + what + ", got " + quoted(text));
        return value;
    }

    double numberIn(const Token& token, double lo, double hi, const std::string& what) const {
        double value = number(token, what);
        if (value < lo || value > hi)
            fail(token, "value " + shown(token.text) + " is out of range for " + what +
                            " (expected " + trim(lo) + " to " + trim(hi) + ")");
        return value;
    }

    // A value for a float field: beyond float's range the cast would give infinity.
    float floatNumber(const Token& token, const std::string& what) const {
        double value = number(token, what);
        if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
            fail(token, "value " + shown(token.text) + " is out of range for " + what +
                            " (expected -3.4e38 to 3.4e38, the range of a float)");
        return static_cast<float>(value);
    }

    long long integer(const Token& token, long long lo, long long hi,
                      const std::string& what) const {
        const std::string& text = token.text;
        long long value = 0;
        IntegerRead read = readInteger(text, value);
        if (read == IntegerRead::NotANumber)
            fail(token, "expected " + what + ", got " + quoted(text));
        if (read == IntegerRead::Overflow || value < lo || value > hi)
            fail(token, "value " + shown(text) + " is out of range for " + what + " (expected " +
                            std::to_string(lo) + " to " + std::to_string(hi) + ")");
        return value;
    }

    static std::string trim(double value) {
        std::string text = std::to_string(value);
        while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
            bool dot = text.back() == '.';
            text.pop_back();
            if (dot)
                break;
        }
        return text;
    }

    bool onOff(const Token& token) const {
        std::string word = lower(token.text);
        if (word == "on")
            return true;
        if (word == "off")
            return false;
        fail(token, "expected 'on' or 'off', got " + quoted(token.text));
    }

    int slot(const Token& token) const {
        return static_cast<int>(integer(token, 0, 3, "a pad slot"));
    }

    int action(const Token& token) const {
        auto found = m_actions.find(token.text);
        if (found != m_actions.end())
            return found->second;
        std::string wanted = lower(token.text);
        for (const auto& entry : m_actions)
            if (lower(entry.first) == wanted)
                fail(token, "unknown action " + quoted(token.text) + " (did you mean " +
                                quoted(entry.first) + "?)");
        fail(token, "unknown action " + quoted(token.text) +
                        " (expected an action name such as MENU_A, or one declared with "
                        "'action')");
    }

    int key(const Token& token, int highest) const {
        int code = keyFromName(token.text);
        const std::string& t = token.text;
        if (code < 0 && t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
            code = static_cast<int>(integer(token, 0, highest, "a key code")); // a code, as any
        if (code < 0)
            fail(token, "unknown key " + quoted(token.text) +
                            " (expected a key name such as Enter, Space, A, F8, Left, or a code "
                            "such as 0x0d)");
        if (code > highest)
            fail(token, "key " + quoted(token.text) + " (code " + std::to_string(code) +
                            ") is out of range here (expected a code up to " +
                            std::to_string(highest) + ")");
        return code;
    }

    int padCode(const Token& token) const {
        int code = padCodeFromName(token.text);
        if (code >= 0)
            return code;
        if (!token.text.empty() && std::isdigit(static_cast<unsigned char>(token.text[0])))
            return static_cast<int>(integer(token, 0, 255, "a pad code"));
        fail(token, "unknown pad button " + quoted(token.text) + " (expected one of " +
                        padButtonList() + ", LX LY RX RY, None, or a code 0 to 255)");
    }

    std::int16_t stick(const Token& token) const {
        if (token.text.find('.') != std::string::npos) {
            double v = numberIn(token, -1.0, 1.0, "a stick position");
            return static_cast<std::int16_t>(v >= 0.0 ? std::lround(v * 32767.0)
                                                      : std::lround(v * 32768.0));
        }
        const std::string& t = token.text;
        std::size_t digit = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
        if (digit >= t.size() || !std::isdigit(static_cast<unsigned char>(t[digit])))
            fail(token, "expected a stick position (-1.0 to 1.0) or a raw value (-32768 to "
                        "32767), got " +
                            quoted(t));
        return static_cast<std::int16_t>(integer(token, -32768, 32767, "a raw stick value"));
    }

    // [+|-]NAME or none; `resolve` gives the code of a name, or fails.
    template <class Resolve> void edit(Edit& out, const std::string& what, Resolve resolve) {
        if (atEnd())
            fail(m_lineEnd, "expected " + what + " at the end of the line");
        while (!atEnd()) {
            const Token& token = peek();
            if (lower(token.text) == "none") {
                ++m_pos;
                out.clear = true;
                out.codes.clear();
                continue;
            }
            if (token.text.find('=') != std::string::npos)
                return;
            ++m_pos;
            Token name = token;
            bool down = true;
            if (!name.text.empty() && (name.text[0] == '+' || name.text[0] == '-') &&
                name.text.size() > 1) {
                down = name.text[0] == '+';
                name.text.erase(0, 1);
                ++name.column;
            }
            out.codes.emplace_back(resolve(name), down);
        }
    }

    Statement parseStatement() {
        Statement s;
        const Token& head = next("a statement");
        std::string word = lower(head.text);

        for (const FlagWord& flag : kFlags) {
            if (word == flag.word) {
                s.op = Op::Flag;
                s.flag = flag.flag;
                s.on = onOff(next("'on' or 'off'"));
                expectEnd();
                return s;
            }
        }

        if (word == "section") {
            s.op = Op::Section;
            s.text = next("a title in quotes").text;
        } else if (word == "dt") {
            s.op = Op::Dt;
            s.dt = static_cast<float>(
                numberIn(next("a frame time in seconds"), 0.0, 10.0, "a frame time in seconds"));
        } else if (word == "frame") {
            parseFrame(s);
        } else if (word == "read") {
            s.op = Op::Read;
            spend(1, head, "this read");
        } else if (word == "pad") {
            parsePad(s);
        } else if (word == "connect" || word == "disconnect") {
            s.op = word == "connect" ? Op::Connect : Op::Disconnect;
            s.slot = slot(next("a pad slot (0 to 3)"));
        } else if (word == "refresh") {
            s.op = Op::Refresh;
        } else if (word == "select") {
            s.op = Op::Select;
            const Token& token = next("a pad slot (0 to 3) or 'none'");
            s.slot = lower(token.text) == "none" ? -1 : slot(token);
        } else if (word == "keys") {
            s.op = Op::Keys;
            edit(s.edit, "keys (names, +name, -name or none)",
                 [&](const Token& t) { return key(t, 255); });
            if (!atEnd())
                fail(peek(), "unexpected " + quoted(peek().text) + " (expected a key name)");
        } else if (word == "rawkey") {
            parseRawKey(s);
        } else if (word == "mouse") {
            parseMouse(s);
        } else if (word == "screen") {
            s.op = Op::Screen;
            const Token* token = &next("a screen width");
            if (lower(token->text) == "virtual") {
                s.on = true;
                token = &next("a screen width");
            }
            s.x = static_cast<int>(integer(*token, 1, 100000, "a screen width"));
            s.y = static_cast<int>(integer(next("a screen height"), 1, 100000, "a screen height"));
        } else if (word == "playercontrol") {
            s.op = Op::PlayerControl;
            s.on = onOff(next("'on' or 'off'"));
            s.second = optionalLast("script");
        } else if (word == "buffering") {
            s.op = Op::Buffering;
            const Token& mode = next("'live' or 'world-step'");
            std::string m = lower(mode.text);
            if (m == "live")
                s.on = false;
            else if (m == "world-step" || m == "worldstep")
                s.on = true;
            else
                fail(mode, "expected 'live' or 'world-step', got " + quoted(mode.text));
        } else if (word == "step") {
            s.op = Op::Step;
            if (optionalLast("reset"))
                s.op = Op::StepReset;
        } else if (word == "bind") {
            const Token& device = next("'key' or 'pad'");
            std::string d = lower(device.text);
            if (d != "key" && d != "pad")
                fail(device, "expected 'key' or 'pad', got " + quoted(device.text));
            s.op = d == "key" ? Op::BindKey : Op::BindPad;
            s.action = action(next("an action name"));
            const Token& code = next(d == "key" ? "a key" : "a pad button");
            s.code = d == "key" ? key(code, input::KEY_COUNT - 1) : padCode(code);
        } else if (word == "clear") {
            const Token& what = next("'keys' or 'pad'");
            std::string w = lower(what.text);
            if (w != "keys" && w != "pad")
                fail(what, "expected 'keys' or 'pad', got " + quoted(what.text));
            s.op = w == "keys" ? Op::ClearKeys : Op::ClearPad;
        } else if (word == "defaults") {
            s.op = Op::Defaults;
        } else if (word == "sticks") {
            s.op = Op::Sticks;
            const Token& how = next("'swapped' or 'normal'");
            std::string h = lower(how.text);
            if (h != "swapped" && h != "normal")
                fail(how, "expected 'swapped' or 'normal', got " + quoted(how.text));
            s.on = h == "swapped";
        } else if (word == "action") {
            parseAction(s);
        } else if (word == "invert") {
            parseInvert(s);
        } else if (word == "sensitivity") {
            s.op = Op::Sensitivity;
            s.value = floatNumber(next("a mouse sensitivity"), "a mouse sensitivity");
        } else if (word == "exclusive") {
            parseExclusive(s);
        } else if (word == "rumble") {
            parseRumble(s);
        } else if (word == "tweak") {
            parseTweak(s);
        } else if (word == "keyname") {
            s.op = Op::KeyName;
            s.code = key(next("a key"), input::KEY_COUNT - 1);
            if (s.code == 0)
                fail(m_tokens[m_pos - 1],
                     "key code 0 has no name to set (expected a code 1 to 257)");
            s.text = next("the key's display name in quotes").text;
        } else if (word == "show") {
            s.op = Op::Show;
            const Token& first = next("'fired' or action names");
            if (lower(first.text) != "fired") {
                s.actions.push_back(action(first));
                while (!atEnd())
                    s.actions.push_back(action(next("an action name")));
            }
        } else if (word == "prompt") {
            s.op = Op::Prompt;
            s.action = action(next("an action name"));
            while (!atEnd()) {
                std::string k;
                Token value;
                if (!keyValue(peek(), k, value) || k != "set")
                    fail(peek(),
                         "unexpected " + quoted(peek().text) + " (expected set=0 to set=4)");
                ++m_pos;
                s.glyphSet = static_cast<int>(integer(value, 0, 4, "a glyph set"));
            }
        } else {
            fail(head,
                 "unknown statement " + quoted(head.text) + " (expected " + kStatements + ")");
        }
        expectEnd();
        return s;
    }

    void parseFrame(Statement& s) {
        s.op = Op::Frame;
        bool counted = false, timed = false;
        while (!atEnd()) {
            const Token& token = next("a frame count");
            std::string k;
            Token value;
            if (keyValue(token, k, value) && k == "dt" && !timed) {
                s.dt = static_cast<float>(numberIn(value, 0.0, 10.0, "a frame time in seconds"));
                timed = true;
            } else if (!counted && !timed && token.text.find('=') == std::string::npos) {
                s.count = static_cast<int>(integer(token, 1, 1000000, "a frame count"));
                counted = true;
                spend(s.count, token, ("frame " + token.text).c_str());
                m_updates += s.count;
            } else {
                fail(token,
                     "unexpected " + quoted(token.text) + " (expected " +
                         (timed ? "the end of the line" : "dt=SECONDS or the end of the line") +
                         ")");
            }
        }
        if (!counted) {
            spend(1, m_tokens[0], "this frame");
            ++m_updates;
        }
    }

    void parsePad(Statement& s) {
        s.op = Op::Pad;
        s.slot = slot(next("a pad slot (0 to 3)"));
        if (atEnd())
            fail(m_lineEnd, "expected pad buttons, lt=, rt=, lx=, ly=, rx=, ry= or none at the "
                            "end of the line");
        while (!atEnd()) {
            edit(s.edit, "pad buttons", [&](const Token& t) {
                int code = padCodeFromName(t.text);
                if (code == 16 || code == 17)
                    return code; // a trigger pulled fully, or let go
                if (code < 0 || code > 15)
                    fail(t, "unknown pad button " + quoted(t.text) + " (expected one of " +
                                padButtonList() + ", or lt= rt= lx= ly= rx= ry=)");
                return code;
            });
            if (atEnd())
                break;
            const Token& token = next("a pad item");
            std::string k;
            Token value;
            if (!keyValue(token, k, value))
                fail(token, "unexpected " + quoted(token.text));
            if (k == "lt" || k == "rt") {
                s.trigger[k == "rt"] = static_cast<int>(integer(value, 0, 255, "a trigger value"));
                continue;
            }
            static const char* const kAxes[] = {"lx", "ly", "rx", "ry"};
            int axis = -1;
            for (int a = 0; a < 4; ++a)
                if (k == kAxes[a])
                    axis = a;
            if (axis < 0)
                fail(token, "unknown pad item " + quoted(token.text) +
                                " (expected lt=, rt=, lx=, ly=, rx= or ry=)");
            s.hasAxis[axis] = true;
            s.axis[axis] = stick(value);
        }
        // LT and RT by name: fully pulled or released.
        std::vector<std::pair<int, bool>> buttons;
        for (const auto& code : s.edit.codes) {
            if (code.first == 16 || code.first == 17)
                s.trigger[code.first - 16] = code.second ? 255 : 0;
            else
                buttons.push_back(code);
        }
        s.edit.codes = buttons;
    }

    void parseRawKey(Statement& s) {
        s.op = Op::RawKey;
        const Token& dir = next("'down' or 'up'");
        std::string d = lower(dir.text);
        if (d != "down" && d != "up")
            fail(dir, "expected 'down' or 'up', got " + quoted(dir.text));
        s.on = d == "down";
        s.code = key(next("a key"), 255);
        while (!atEnd()) {
            const Token& token = next("a modifier");
            std::string k;
            Token value;
            std::string w = lower(token.text);
            if (w == "shift")
                s.modifiers |= 0x1;
            else if (w == "ctrl")
                s.modifiers |= 0x2;
            else if (w == "alt")
                s.modifiers |= 0x4;
            else if (keyValue(token, k, value) && k == "char") {
                // One character as it stands, or any byte as 0xNN (Enter's is 0x0d).
                const std::string& t = value.text;
                if (t.size() == 4 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
                    s.character = static_cast<char>(integer(value, 0, 255, "a character code"));
                else if (t.size() == 1)
                    s.character = t[0];
                else
                    fail(value, "expected one character or a code 0x00 to 0xff after char=, got " +
                                    quoted(t));
            } else {
                fail(token,
                     "unexpected " + quoted(token.text) + " (expected shift, ctrl, alt or char=C)");
            }
        }
    }

    void parseMouse(Statement& s) {
        const Token& what = next("move, abs, wheel, buttons, reset or auto-reset");
        std::string w = lower(what.text);
        if (w == "move") {
            s.op = Op::MouseMove;
            s.x = static_cast<int>(
                integer(next("a horizontal motion"), -1000000, 1000000, "a horizontal motion"));
            s.y = static_cast<int>(
                integer(next("a vertical motion"), -1000000, 1000000, "a vertical motion"));
        } else if (w == "abs") {
            s.op = Op::MouseAbsolute;
            s.x = static_cast<int>(
                integer(next("an absolute x (0 to 65535)"), 0, 65535, "an absolute x"));
            s.y = static_cast<int>(
                integer(next("an absolute y (0 to 65535)"), 0, 65535, "an absolute y"));
            s.on = optionalLast("virtual");
        } else if (w == "wheel") {
            s.op = Op::MouseWheel;
            s.x = static_cast<int>(
                integer(next("wheel notches"), -100, 100, "wheel notches (-100 to 100)"));
        } else if (w == "buttons") {
            s.op = Op::MouseButtons;
            edit(s.edit, "mouse buttons (left, right, middle, x1, x2 or none)",
                 [&](const Token& t) {
                     static const char* const kNames[] = {"left", "right", "middle", "x1", "x2"};
                     static const int kCodes[] = {1, 2, 4, 5, 6};
                     for (int i = 0; i < 5; ++i)
                         if (lower(t.text) == kNames[i])
                             return kCodes[i];
                     fail(t, "unknown mouse button " + quoted(t.text) +
                                 " (expected left, right, middle, x1 or x2)");
                 });
        } else if (w == "reset") {
            s.op = Op::MouseReset;
        } else if (w == "auto-reset") {
            s.op = Op::MouseAutoReset;
            s.on = onOff(next("'on' or 'off'"));
        } else {
            fail(what, "expected move, abs, wheel, buttons, reset or auto-reset, got " +
                           quoted(what.text));
        }
    }

    void parseAction(Statement& s) {
        s.op = Op::Action;
        const Token& name = next("an action name");
        for (char c : name.text)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                fail(name, "expected an action name of letters, digits and '_', got " +
                               quoted(name.text));
        s.text = name.text;
        bool hasId = false, hasType = false, hasChannels = false;
        while (!atEnd()) {
            const Token& token = next("id=, type= or channels=");
            std::string k;
            Token value;
            if (!keyValue(token, k, value))
                fail(token,
                     "unexpected " + quoted(token.text) + " (expected id=, type= or channels=)");
            if (k == "id") {
                s.action = static_cast<int>(integer(value, 0, 4095, "an action id"));
                hasId = true;
            } else if (k == "type") {
                if (!controlTypeFromName(value.text, s.type))
                    fail(value, "unknown control type " + quoted(value.text) +
                                    " (expected none, axis, axis-inverted, axis-positive-half, "
                                    "axis-negative-half, down, pressed, released, "
                                    "analogue-button, tap, hold, raw-key-down, raw-key-pressed, "
                                    "raw-shift-key-down or raw-shift-key-pressed)");
                hasType = true;
            } else if (k == "channels") {
                s.channels = channels(value);
                hasChannels = true;
            } else {
                fail(token,
                     "unexpected " + quoted(token.text) + " (expected id=, type= or channels=)");
            }
        }
        if (!hasId || !hasType || !hasChannels)
            fail(m_lineEnd, std::string("expected ") +
                                (!hasId     ? "id="
                                 : !hasType ? "type="
                                            : "channels=") +
                                " at the end of the line");
        m_actions[s.text] = s.action;
    }

    std::uint32_t channels(const Token& token) const {
        std::uint32_t mask = 0;
        if (!channelsFromText(token.text, mask))
            fail(token, "unknown channels " + quoted(token.text) +
                            " (expected names joined by '+' from game, player, keyframer, "
                            "freecamera, debug, menu, console, debugblockpolling, loading, "
                            "debugkeys, uimessage, video; or all, none, or a number)");
        return mask;
    }

    void parseInvert(Statement& s) {
        s.op = Op::Invert;
        const Token& axis = next("'vertical' or 'horizontal'");
        std::string a = lower(axis.text);
        if (a != "vertical" && a != "horizontal")
            fail(axis, "expected 'vertical' or 'horizontal', got " + quoted(axis.text));
        s.second = a == "horizontal";
        const Token& token = next("'pad', 'mouse', 'on' or 'off'");
        std::string w = lower(token.text);
        if (w == "pad" || w == "mouse") {
            s.device = w == "pad" ? 1 : 2;
            s.on = onOff(next("'on' or 'off'"));
        } else if (w == "on" || w == "off") {
            s.on = w == "on";
        } else {
            fail(token, "expected 'pad', 'mouse', 'on' or 'off', got " + quoted(token.text));
        }
    }

    void parseExclusive(Statement& s) {
        const Token& first = next("'off' or channels");
        if (lower(first.text) == "off") {
            s.op = Op::ExclusiveOff;
            return;
        }
        s.op = Op::Exclusive;
        s.channels = channels(first);
        while (!atEnd())
            s.actions.push_back(action(next("an action name")));
    }

    void parseRumble(Statement& s) {
        s.op = Op::Rumble;
        bool any = false;
        while (!atEnd()) {
            const Token& token = next("low=, high=, pad=, on or off");
            std::string k;
            Token value;
            std::string w = lower(token.text);
            if (w == "on" || w == "off") {
                s.op = Op::RumbleEnable;
                s.on = w == "on";
                any = true;
            } else if (keyValue(token, k, value) && (k == "low" || k == "high")) {
                float v = static_cast<float>(numberIn(value, 0.0, 1.0, "a motor speed"));
                (k == "low" ? s.low : s.high) = v;
                any = true;
            } else if (keyValue(token, k, value) && k == "pad") {
                s.slot = slot(value);
            } else {
                fail(token, "unexpected " + quoted(token.text) +
                                " (expected low=, high=, pad=, on or off)");
            }
        }
        if (!any)
            fail(m_lineEnd, "expected low=, high=, on or off at the end of the line");
    }

    void parseTweak(Statement& s) {
        s.op = Op::Tweak;
        const Token& name = next("a setting name in quotes");
        d::BaseTweakable* setting = d::findTweakable(name.text.c_str());
        if (!setting || setting->getType() == d::BaseTweakable::TYPE_INT)
            fail(name, "unknown setting " + quoted(name.text) +
                           " (expected \"Rumble:Enable old system (PC)\", \"Input:Manual "
                           "Update\", \"Input:Mouse X sensitivity\" or \"Input:Mouse Y "
                           "sensitivity\")");
        s.text = name.text;
        const Token& value = next("a value");
        if (setting->getType() == d::BaseTweakable::TYPE_BOOL) {
            s.boolValue = onOff(value);
            s.on = true; // a bool setting
        } else {
            s.value = floatNumber(value, "a float setting");
        }
    }

    std::string m_file;
    SessionLimits m_limits;
    long long m_frames = 0;
    long long m_updates = 0;
    int m_line = 0;
    const std::string* m_text = nullptr; // the line being read
    std::vector<Token> m_tokens;
    std::size_t m_pos = 0;
    int m_lineEnd = 1;
    std::map<std::string, int> m_actions;
};

} // namespace

SessionError::SessionError(const std::string& file, int line, int column,
                           const std::string& message)
    : std::runtime_error(formatError(file, line, column, message)), m_file(file), m_line(line),
      m_column(column), m_message(message) {}

const char* flagName(Flag flag) {
    for (const FlagWord& entry : kFlags)
        if (entry.flag == flag)
            return entry.word;
    return "?";
}

Session parseSession(const std::string& text, const std::string& file,
                     const SessionLimits& limits) {
    return Parser(file, limits).parse(text);
}

} // namespace inputscope
