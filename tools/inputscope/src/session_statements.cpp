// Each statement of a session: its words, checked and resolved into a Statement.

#include <cctype>

#include "d/tweakable.h"
#include "input/types.h"
#include "names.h"
#include "session_parser.h"

namespace inputscope {
namespace parsing {

namespace {

const char* const kStatements =
    "a statement: frame, dt, read, section, pad, connect, disconnect, refresh, select, keys, "
    "rawkey, mouse, screen, a mode flag, playercontrol, buffering, step, bind, clear, defaults, "
    "sticks, action, invert, sensitivity, exclusive, rumble, tweak, keyname, show, prompt, "
    "mapaction, context, map, push or pop";

} // namespace

Statement Parser::parseStatement() {
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

    if (parseContextStatement(word, s)) {
    } else if (word == "section") {
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
            fail(m_tokens[m_pos - 1], "key code 0 has no name to set (expected a code 1 to 257)");
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
                fail(peek(), "unexpected " + quoted(peek().text) + " (expected set=0 to set=4)");
            ++m_pos;
            s.glyphSet = static_cast<int>(integer(value, 0, 4, "a glyph set"));
        }
    } else {
        fail(head, "unknown statement " + quoted(head.text) + " (expected " + kStatements + ")");
    }
    expectEnd();
    return s;
}

void Parser::parseFrame(Statement& s) {
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
            fail(token, "unexpected " + quoted(token.text) + " (expected " +
                            (timed ? "the end of the line" : "dt=SECONDS or the end of the line") +
                            ")");
        }
    }
    if (!counted) {
        spend(1, m_tokens[0], "this frame");
        ++m_updates;
    }
}

void Parser::parsePad(Statement& s) {
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

void Parser::parseRawKey(Statement& s) {
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
                fail(value,
                     "expected one character or a code 0x00 to 0xff after char=, got " + quoted(t));
        } else {
            fail(token,
                 "unexpected " + quoted(token.text) + " (expected shift, ctrl, alt or char=C)");
        }
    }
}

void Parser::parseMouse(Statement& s) {
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
        edit(s.edit, "mouse buttons (left, right, middle, x1, x2 or none)", [&](const Token& t) {
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
        fail(what,
             "expected move, abs, wheel, buttons, reset or auto-reset, got " + quoted(what.text));
    }
}

void Parser::parseAction(Statement& s) {
    s.op = Op::Action;
    const Token& name = next("an action name");
    for (char c : name.text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            fail(name,
                 "expected an action name of letters, digits and '_', got " + quoted(name.text));
    s.text = name.text;
    bool hasId = false, hasType = false, hasChannels = false;
    while (!atEnd()) {
        const Token& token = next("id=, type= or channels=");
        std::string k;
        Token value;
        if (!keyValue(token, k, value))
            fail(token, "unexpected " + quoted(token.text) + " (expected id=, type= or channels=)");
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
            fail(token, "unexpected " + quoted(token.text) + " (expected id=, type= or channels=)");
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

void Parser::parseInvert(Statement& s) {
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

void Parser::parseExclusive(Statement& s) {
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

void Parser::parseRumble(Statement& s) {
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
            fail(token,
                 "unexpected " + quoted(token.text) + " (expected low=, high=, pad=, on or off)");
        }
    }
    if (!any)
        fail(m_lineEnd, "expected low=, high=, on or off at the end of the line");
}

void Parser::parseTweak(Statement& s) {
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
} // namespace parsing
} // namespace inputscope
