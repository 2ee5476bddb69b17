// The values inside a statement: numbers, keys, pad buttons, actions, channels.

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "names.h"
#include "numbers.h"
#include "session_parser.h"

namespace inputscope {
namespace parsing {

double Parser::number(const Token& token, const std::string& what) const {
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

double Parser::numberIn(const Token& token, double lo, double hi, const std::string& what) const {
    double value = number(token, what);
    if (value < lo || value > hi)
        fail(token, "value " + shown(token.text) + " is out of range for " + what + " (expected " +
                        trim(lo) + " to " + trim(hi) + ")");
    return value;
}

// A value for a float field: beyond float's range the cast would give infinity.
float Parser::floatNumber(const Token& token, const std::string& what) const {
    double value = number(token, what);
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        fail(token, "value " + shown(token.text) + " is out of range for " + what +
                        " (expected -3.4e38 to 3.4e38, the range of a float)");
    return static_cast<float>(value);
}

long long Parser::integer(const Token& token, long long lo, long long hi,
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

std::string Parser::trim(double value) {
    std::string text = std::to_string(value);
    while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
        bool dot = text.back() == '.';
        text.pop_back();
        if (dot)
            break;
    }
    return text;
}

bool Parser::onOff(const Token& token) const {
    std::string word = lower(token.text);
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    fail(token, "expected 'on' or 'off', got " + quoted(token.text));
}

int Parser::slot(const Token& token) const {
    return static_cast<int>(integer(token, 0, 3, "a pad slot"));
}

int Parser::action(const Token& token) const {
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

int Parser::key(const Token& token, int highest) const {
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
                        ") is out of range here (expected a code up to " + std::to_string(highest) +
                        ")");
    return code;
}

int Parser::padCode(const Token& token) const {
    int code = padCodeFromName(token.text);
    if (code >= 0)
        return code;
    if (!token.text.empty() && std::isdigit(static_cast<unsigned char>(token.text[0])))
        return static_cast<int>(integer(token, 0, 255, "a pad code"));
    fail(token, "unknown pad button " + quoted(token.text) + " (expected one of " +
                    padButtonList() + ", LX LY RX RY, None, or a code 0 to 255)");
}

std::int16_t Parser::stick(const Token& token) const {
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

std::uint32_t Parser::channels(const Token& token) const {
    std::uint32_t mask = 0;
    if (!channelsFromText(token.text, mask))
        fail(token, "unknown channels " + quoted(token.text) +
                        " (expected names joined by '+' from game, player, keyframer, "
                        "freecamera, debug, menu, console, debugblockpolling, loading, "
                        "debugkeys, uimessage, video; or all, none, or a number)");
    return mask;
}
} // namespace parsing
} // namespace inputscope
