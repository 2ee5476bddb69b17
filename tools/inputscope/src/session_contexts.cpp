// The statements of the contexts layer: mapping actions, contexts, mappings with their sources,
// triggers and modifiers, push and pop. The layer itself judges the values (a negative time, a
// chord on itself) when the session is checked; here the words are read.

#include <algorithm>
#include <cctype>

#include "input/contexts.h"
#include "names.h"
#include "session_parser.h"

namespace inputscope {
namespace parsing {

namespace {

bool validName(const std::string& name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-')
            return false;
    return true;
}

const char* const kSources =
    "key:KEY, keys:NEG,POS, keys:UP,DOWN,LEFT,RIGHT, mouse:x, mouse:y, mouse:xy, pad:BUTTON, "
    "axis:LX, stick:left, stick:right or action:ACTION";

struct TriggerWord {
    const char* word;
    input::TriggerKind kind;
    const char* params; // the parameters it takes, besides actuation=, release= and role=
    const char* shown;  // the same, as a message names them
};
const TriggerWord kTriggers[] = {
    {"down", input::TRIGGER_DOWN, "", ""},
    {"pressed", input::TRIGGER_PRESSED, "", ""},
    {"released", input::TRIGGER_RELEASED, "", ""},
    {"hold", input::TRIGGER_HOLD, "time once", "time= and once="},
    {"hold-release", input::TRIGGER_HOLD_AND_RELEASE, "time", "time="},
    {"tap", input::TRIGGER_TAP, "time", "time="},
    {"multitap", input::TRIGGER_MULTI_TAP, "count gap time", "count=, gap= and time="},
    {"pulse", input::TRIGGER_PULSE, "first interval limit", "first=, interval= and limit="},
    {"chord", input::TRIGGER_CHORD, "", ""},
    {"blocker", input::TRIGGER_CHORD, "", ""},
    {"combo", input::TRIGGER_COMBO, "", ""},
};

// Whether `word` is among the space-separated words of `list`.
bool listed(const std::string& list, const std::string& word) {
    return (" " + list + " ").find(" " + word + " ") != std::string::npos;
}

} // namespace

Token Parser::part(const Token& token, std::size_t from, std::size_t length) {
    Token t;
    t.text = token.text.substr(from, length);
    t.column = token.column + static_cast<int>(from);
    t.end = t.column + static_cast<int>(t.text.size());
    return t;
}

int Parser::mappingAction(const Token& token) const {
    auto found = m_mappingActions.find(token.text);
    if (found == m_mappingActions.end())
        fail(token, "unknown mapping action " + quoted(token.text) +
                        " (expected one declared with 'mapaction')");
    return found->second;
}

int Parser::context(const Token& token) const {
    auto found = m_contexts.find(token.text);
    if (found == m_contexts.end())
        fail(token,
             "unknown context " + quoted(token.text) + " (expected one declared with 'context')");
    return found->second;
}

bool Parser::parseContextStatement(const std::string& word, Statement& s) {
    if (word == "mapaction") {
        s.op = Op::MappingAction;
        const Token& name = next("a mapping action name");
        if (!validName(name.text))
            fail(name, "expected a name of letters, digits, '_' and '-', got " + quoted(name.text));
        if (m_mappingActions.count(name.text))
            fail(name, "mapping action " + quoted(name.text) + " is already declared");
        if (m_mappingActions.size() >= static_cast<std::size_t>(kMaxMappingActions))
            fail(name, "too many mapping actions (at most " + std::to_string(kMaxMappingActions) +
                           " in a session)");
        s.text = name.text;
        const Token& type = next("a value type: digital, 1d or 2d");
        std::string t = lower(type.text);
        if (t == "digital")
            s.valueType = input::VALUE_DIGITAL;
        else if (t == "1d")
            s.valueType = input::VALUE_AXIS_1D;
        else if (t == "2d")
            s.valueType = input::VALUE_AXIS_2D;
        else
            fail(type, "unknown value type " + quoted(type.text) + " (expected digital, 1d or 2d)");
        int id = static_cast<int>(m_mappingActions.size());
        m_mappingActions[s.text] = id;
        m_session->contexts = true;
    } else if (word == "context") {
        s.op = Op::Context;
        const Token& name = next("a context name");
        if (!validName(name.text))
            fail(name, "expected a name of letters, digits, '_' and '-', got " + quoted(name.text));
        if (m_contexts.count(name.text))
            fail(name, "context " + quoted(name.text) + " is already declared");
        s.text = name.text;
        bool hasPriority = false;
        while (!atEnd()) {
            const Token& token = next("priority= or channels=");
            std::string k;
            Token value;
            if (keyValue(token, k, value) && k == "priority" && !hasPriority) {
                s.priority = static_cast<int>(integer(value, -1000000, 1000000, "a priority"));
                hasPriority = true;
            } else if (keyValue(token, k, value) && k == "channels" && s.channels == 0) {
                s.channels = channels(value);
            } else {
                fail(token, "unexpected " + quoted(token.text) +
                                " (expected priority=N or "
                                "channels=CHANNELS)");
            }
        }
        if (!hasPriority)
            fail(m_lineEnd, "expected priority= at the end of the line");
        s.context = static_cast<int>(m_contexts.size());
        m_contexts[s.text] = s.context;
        m_session->contexts = true;
    } else if (word == "map") {
        parseMap(s);
    } else if (word == "push" || word == "pop") {
        s.op = word == "push" ? Op::Push : Op::Pop;
        const Token& name = next("a context name");
        s.context = context(name);
        s.text = name.text;
    } else {
        return false;
    }
    expectEnd();
    return true;
}

// map CONTEXT ACTION SOURCE [pad=N] [TRIGGER [PARAM=V...]]... [MODIFIER...] [pass]
void Parser::parseMap(Statement& s) {
    s.op = Op::Map;
    if (m_session->mappings.size() >= static_cast<std::size_t>(kMaxMappings))
        fail(m_tokens[0],
             "too many mappings (at most " + std::to_string(kMaxMappings) + " in a session)");
    const Token& name = next("a context name");
    s.context = context(name);
    s.text = name.text;
    input::Mapping m;
    m.action = mappingAction(next("a mapping action name"));
    m.source = source(next(std::string("a source: ") + kSources));
    while (!atEnd()) {
        const Token& token = next("a trigger, a modifier or pass");
        std::string k;
        Token value;
        if (lower(token.text) == "pass") {
            m.passThrough = true;
        } else if (keyValue(token, k, value) && k == "pad") {
            if (m.source.kind != input::SOURCE_PAD_BUTTON &&
                m.source.kind != input::SOURCE_PAD_AXIS && m.source.kind != input::SOURCE_PAD_STICK)
                fail(token, "pad= goes only with a pad source (pad:, axis: or stick:)");
            m.source.pad = slot(value);
        } else if (!modifierItem(token, m)) {
            triggerItem(token, m);
        }
    }
    s.mapping = static_cast<int>(m_session->mappings.size());
    m_session->mappings.push_back(m);
}

input::Source Parser::source(const Token& token) {
    std::size_t colon = token.text.find(':');
    if (colon == std::string::npos || colon == 0)
        fail(token, "expected a source (" + std::string(kSources) + "), got " + quoted(token.text));
    std::string kind = lower(token.text.substr(0, colon));
    Token rest = part(token, colon + 1, std::string::npos);
    std::string r = lower(rest.text);
    if (kind == "key")
        return input::Source::key(key(rest, input::KEY_COUNT - 1));
    if (kind == "keys") {
        std::vector<int> codes;
        for (std::size_t at = 0; at <= rest.text.size();) {
            std::size_t comma = std::min(rest.text.find(',', at), rest.text.size());
            codes.push_back(key(part(rest, at, comma - at), input::KEY_COUNT - 1));
            at = comma + 1;
        }
        if (codes.size() == 2)
            return input::Source::keyAxis(codes[0], codes[1]);
        if (codes.size() == 4)
            return input::Source::keyAxis2D(codes[0], codes[1], codes[2], codes[3]);
        fail(rest, "expected two keys (negative,positive) or four (up,down,left,right), got " +
                       std::to_string(codes.size()));
    }
    if (kind == "mouse") {
        if (r == "x" || r == "y" || r == "xy")
            return input::Source::mouse(r == "x" ? 0 : r == "y" ? 1 : 2);
        fail(rest, "expected x, y or xy after mouse:, got " + quoted(rest.text));
    }
    if (kind == "pad") {
        int code = padCodeFromName(rest.text);
        if (code < 0 || code > 17)
            fail(rest, "unknown pad button " + quoted(rest.text) + " (expected one of " +
                           padButtonList() + ")");
        return input::Source::padButton(code);
    }
    if (kind == "axis") {
        int code = padCodeFromName(rest.text);
        if (code < 20 || code > 23)
            fail(rest, "unknown stick axis " + quoted(rest.text) + " (expected LX, LY, RX or RY)");
        return input::Source::padAxis(code);
    }
    if (kind == "stick") {
        if (r == "left" || r == "right")
            return input::Source::padStick(r == "right");
        fail(rest, "expected left or right after stick:, got " + quoted(rest.text));
    }
    if (kind == "action")
        return input::Source::action(action(rest));
    fail(token, "unknown source " + quoted(token.text) + " (expected " + kSources + ")");
}

// A trigger word starts a trigger; PARAM=VALUE words set the last one.
void Parser::triggerItem(const Token& token, input::Mapping& m) {
    std::string k;
    Token value;
    std::string w = lower(token.text);
    for (const TriggerWord& t : kTriggers) {
        if (w != t.word)
            continue;
        if (m.triggerCount == input::kMaxTriggers)
            fail(token, "too many triggers (at most " + std::to_string(input::kMaxTriggers) +
                            " on a mapping)");
        input::Trigger& trigger = m.triggers[m.triggerCount++];
        // The factories' defaults: a bare Trigger's count (2) would limit a pulse to two.
        trigger = t.kind == input::TRIGGER_PULSE ? input::Trigger::pulse() : input::Trigger();
        trigger.kind = t.kind;
        if (w == "chord" || w == "blocker") {
            trigger = input::Trigger::chord(mappingAction(next("a mapping action name")));
            if (w == "blocker")
                trigger.role = input::ROLE_BLOCKER;
        } else if (w == "combo") {
            // combo A,B:0.3,C:0.3: the steps in order, each with its window after the one before.
            const Token& steps = next("combo steps: ACTION,ACTION:WINDOW,...");
            int actions[input::kMaxComboSteps] = {};
            float windows[input::kMaxComboSteps] = {};
            int count = 0;
            for (std::size_t at = 0; at <= steps.text.size();) {
                std::size_t comma = std::min(steps.text.find(',', at), steps.text.size());
                Token step = part(steps, at, comma - at);
                if (count == input::kMaxComboSteps)
                    fail(step, "too many combo steps (at most " +
                                   std::to_string(input::kMaxComboSteps) + ")");
                std::size_t colon = step.text.find(':');
                actions[count] = mappingAction(part(step, 0, colon));
                if (colon != std::string::npos)
                    windows[count] =
                        floatNumber(part(step, colon + 1, std::string::npos), "a step window");
                ++count;
                at = comma + 1;
            }
            trigger = input::Trigger::combo(actions, windows, count);
        }
        return;
    }
    if (!keyValue(token, k, value))
        fail(token, "unexpected " + quoted(token.text) +
                        " (expected a trigger: down, pressed, released, hold, hold-release, tap, "
                        "multitap, pulse, chord, blocker, combo; a modifier: deadzone, radial, "
                        "radial-unscaled, curve=, scale=, negate=, swizzle, smooth=, invert=; "
                        "pad=N or pass)");
    if (m.triggerCount == 0)
        fail(token, quoted(k + "=") + " needs a trigger before it (such as hold)");
    input::Trigger& trigger = m.triggers[m.triggerCount - 1];
    const TriggerWord* word = nullptr;
    for (const TriggerWord& t : kTriggers)
        if (!word && t.kind == trigger.kind) // chord before blocker
            word = &t;
    if (k == "actuation") {
        trigger.actuation = floatNumber(value, "an actuation");
    } else if (k == "release") {
        trigger.release = floatNumber(value, "a release threshold");
    } else if (k == "role") {
        std::string r = lower(value.text);
        if (r == "explicit" || r == "implicit" || r == "blocker")
            trigger.role = r == "explicit"   ? input::ROLE_EXPLICIT
                           : r == "implicit" ? input::ROLE_IMPLICIT
                                             : input::ROLE_BLOCKER;
        else
            fail(value, "unknown role " + quoted(value.text) +
                            " (expected explicit, implicit or blocker)");
    } else if (!listed(word->params, k)) {
        fail(token,
             quoted(k + "=") + " does not go with " + word->word +
                 (*word->shown ? std::string(" (it takes ") + word->shown + ")" : std::string()));
    } else if (k == "time") {
        trigger.time = floatNumber(value, "a time in seconds");
    } else if (k == "once") {
        trigger.oneShot = onOff(value);
    } else if (k == "count" || k == "limit") {
        trigger.count = static_cast<int>(integer(value, 0, 1000000, "a count"));
    } else if (k == "gap") {
        trigger.gap = floatNumber(value, "a gap in seconds");
    } else if (k == "first") {
        trigger.firstDelay = floatNumber(value, "a first delay in seconds");
    } else if (k == "interval") {
        trigger.interval = floatNumber(value, "an interval in seconds");
    }
}

// Modifiers, applied in the order written; false when the token is not one.
bool Parser::modifierItem(const Token& token, input::Mapping& m) {
    std::string k = lower(token.text), w = k;
    Token value;
    bool hasValue = keyValue(token, k, value);
    // "X" or "X,Y" as two floats; one value stands for both.
    auto pair = [&](float& x, float& y, const char* what) {
        std::size_t comma = value.text.find(',');
        x = floatNumber(part(value, 0, comma), what);
        y = comma == std::string::npos
                ? x
                : floatNumber(part(value, comma + 1, std::string::npos), what);
    };
    auto axes = [&](bool& x, bool& y, const char* a, const char* b) {
        std::string v = lower(value.text);
        x = v == a || v == std::string(a) + b;
        y = v == b || v == std::string(a) + b;
        if (!x && !y)
            fail(value, "expected " + std::string(a) + ", " + b + " or " + a + b + ", got " +
                            quoted(value.text));
    };
    input::Modifier mod;
    if (k == "deadzone" || k == "radial" || k == "radial-unscaled") {
        mod = k == "deadzone" ? input::Modifier::deadZoneAxial()
              : k == "radial" ? input::Modifier::deadZoneRadial()
                              : input::Modifier::deadZoneRadialUnscaled();
        if (hasValue) {
            std::size_t comma = value.text.find(',');
            mod.x = floatNumber(part(value, 0, comma), "a lower bound");
            if (comma != std::string::npos)
                mod.y = floatNumber(part(value, comma + 1, std::string::npos), "an upper bound");
        }
    } else if ((k == "curve" || k == "scale") && hasValue) {
        mod.kind = k == "curve" ? input::MODIFIER_CURVE : input::MODIFIER_SCALE;
        pair(mod.x, mod.y, k == "curve" ? "an exponent" : "a scale");
    } else if (k == "negate" && hasValue) {
        bool x, y;
        axes(x, y, "x", "y");
        mod = input::Modifier::negate(x, y);
    } else if (w == "swizzle") {
        mod = input::Modifier::swizzle();
    } else if (k == "smooth" && hasValue) {
        mod = input::Modifier::smooth(floatNumber(value, "a count of frames"));
    } else if (k == "invert" && hasValue) {
        bool x, y;
        axes(x, y, "h", "v");
        mod = input::Modifier::invert(x, y);
    } else {
        return false;
    }
    if (m.modifierCount == input::kMaxModifiers)
        fail(token, "too many modifiers (at most " + std::to_string(input::kMaxModifiers) +
                        " on a mapping)");
    m.modifiers[m.modifierCount++] = mod;
    return true;
}

} // namespace parsing
} // namespace inputscope
