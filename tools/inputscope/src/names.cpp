#include "names.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "input/contexts.h"

namespace inputscope {

namespace {

struct Named {
    const char* name;
    int code;
};

// First spelling of a code is the one printed.
const Named kKeys[] = {
    {"LButton", 1},      {"RButton", 2},      {"Cancel", 3},      {"MButton", 4},
    {"XButton1", 5},     {"XButton2", 6},     {"Backspace", 8},   {"Tab", 9},
    {"Clear", 12},       {"Enter", 13},       {"Return", 13},     {"Shift", 16},
    {"Ctrl", 17},        {"Control", 17},     {"Alt", 18},        {"Pause", 19},
    {"CapsLock", 20},    {"Escape", 27},      {"Esc", 27},        {"Space", 32},
    {"PageUp", 33},      {"PageDown", 34},    {"End", 35},        {"Home", 36},
    {"Left", 37},        {"Up", 38},          {"Right", 39},      {"Down", 40},
    {"PrintScreen", 44}, {"Insert", 45},      {"Delete", 46},     {"LWin", 91},
    {"RWin", 92},        {"Apps", 93},        {"Multiply", 106},  {"Add", 107},
    {"Separator", 108},  {"Subtract", 109},   {"Decimal", 110},   {"Divide", 111},
    {"NumLock", 144},    {"ScrollLock", 145}, {"LShift", 160},    {"RShift", 161},
    {"LCtrl", 162},      {"RCtrl", 163},      {"LAlt", 164},      {"RAlt", 165},
    {"Semicolon", 186},  {"Plus", 187},       {"Comma", 188},     {"Minus", 189},
    {"Period", 190},     {"Slash", 191},      {"Backquote", 192}, {"LBracket", 219},
    {"Backslash", 220},  {"RBracket", 221},   {"Quote", 222},     {"WheelUp", 256},
    {"WheelDown", 257},
};

const Named kPadCodes[] = {
    {"Up", 0},     {"DpadUp", 0},
    {"Down", 1},   {"DpadDown", 1},
    {"Left", 2},   {"DpadLeft", 2},
    {"Right", 3},  {"DpadRight", 3},
    {"Start", 4},  {"Back", 5},
    {"LS", 6},     {"LeftThumb", 6},
    {"RS", 7},     {"RightThumb", 7},
    {"LB", 8},     {"LeftShoulder", 8},
    {"RB", 9},     {"RightShoulder", 9},
    {"Bit10", 10}, {"Bit11", 11},
    {"A", 12},     {"B", 13},
    {"X", 14},     {"Y", 15},
    {"LT", 16},    {"LeftTrigger", 16},
    {"RT", 17},    {"RightTrigger", 17},
    {"LX", 20},    {"LY", 21},
    {"RX", 22},    {"RY", 23},
    {"None", 255},
};

const Named kChannels[] = {
    {"game", 0x1},      {"player", 0x2},      {"keyframer", 0x4},   {"freecamera", 0x8},
    {"debug", 0x10},    {"menu", 0x20},       {"console", 0x40},    {"debugblockpolling", 0x80},
    {"loading", 0x100}, {"debugkeys", 0x200}, {"uimessage", 0x400}, {"video", 0x800},
};

const Named kTypes[] = {
    {"none", 0},
    {"axis", 1},
    {"axis-inverted", 2},
    {"axis-positive-half", 3},
    {"axis-negative-half", 4},
    {"down", 5},
    {"pressed", 6},
    {"released", 7},
    {"analogue-button", 8},
    {"tap", 9},
    {"hold", 10},
    {"raw-key-down", 11},
    {"raw-key-pressed", 12},
    {"raw-shift-key-down", 13},
    {"raw-shift-key-pressed", 14},
};

template <std::size_t N> int find(const Named (&table)[N], const std::string& name) {
    std::string wanted = lower(name);
    for (const Named& entry : table)
        if (lower(entry.name) == wanted)
            return entry.code;
    return -1;
}

template <std::size_t N> const char* nameOf(const Named (&table)[N], int code) {
    for (const Named& entry : table)
        if (entry.code == code)
            return entry.name;
    return nullptr;
}

// "0x1b" or "27"; -1 when the text is not a whole non-negative number.
long long parseCode(const std::string& text) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return -1;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 0);
    return *end == '\0' ? value : -1;
}

} // namespace

std::string lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int keyFromName(const std::string& name) {
    if (name.size() == 1) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return c;
    }
    int code = find(kKeys, name);
    if (code >= 0)
        return code;
    std::string low = lower(name);
    if (low.size() >= 2 && low.size() <= 3 && low[0] == 'f') {
        long long n = parseCode(low.substr(1));
        if (n >= 1 && n <= 24)
            return 111 + static_cast<int>(n);
    }
    if (low.size() == 7 && low.compare(0, 6, "numpad") == 0 && low[6] >= '0' && low[6] <= '9')
        return 96 + (low[6] - '0');
    if (low.compare(0, 2, "0x") == 0) {
        long long n = parseCode(low);
        if (n >= 0 && n < input::KEY_COUNT)
            return static_cast<int>(n);
    }
    return -1;
}

std::string keyName(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    if (code >= 112 && code <= 135)
        return "F" + std::to_string(code - 111);
    if (code >= 96 && code <= 105)
        return "Numpad" + std::to_string(code - 96);
    if (const char* name = nameOf(kKeys, code))
        return name;
    char text[16];
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(code));
    return text;
}

int padCodeFromName(const std::string& name) {
    return find(kPadCodes, name);
}

std::string padCodeName(int code) {
    if (const char* name = nameOf(kPadCodes, code))
        return name;
    return std::to_string(code);
}

const char* padButtonList() {
    return "A B X Y Start Back LB RB LS RS Up Down Left Right LT RT";
}

bool channelsFromText(const std::string& text, std::uint32_t& mask) {
    mask = 0;
    if (lower(text) == "all") {
        mask = input::CHANNEL_ALL;
        return true;
    }
    if (lower(text) == "none")
        return true;
    long long number = parseCode(text);
    if (number >= 0 && number <= 0xFFFFFFFFLL) {
        mask = static_cast<std::uint32_t>(number);
        return true;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t plus = text.find('+', start);
        std::string part =
            text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        int bit = find(kChannels, part);
        if (bit < 0)
            return false;
        mask |= static_cast<std::uint32_t>(bit);
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    return true;
}

const char* channelBitName(std::uint32_t bit) {
    const char* name = nameOf(kChannels, static_cast<int>(bit));
    return name ? name : "";
}

std::string channelNames(std::uint32_t mask) {
    if (mask == 0)
        return "none";
    std::string out;
    for (int b = 0; b < 32; ++b) {
        std::uint32_t bit = 1u << b;
        if (!(mask & bit))
            continue;
        if (!out.empty())
            out += '+';
        const char* name = channelBitName(bit);
        if (*name) {
            out += name;
        } else {
            char text[16];
            std::snprintf(text, sizeof text, "0x%x", bit);
            out += text;
        }
    }
    return out;
}

bool controlTypeFromName(const std::string& name, input::ControlType& type) {
    int code = find(kTypes, name);
    if (code < 0)
        return false;
    type = static_cast<input::ControlType>(code);
    return true;
}

const char* controlTypeName(input::ControlType type) {
    const char* name = nameOf(kTypes, type);
    return name ? name : "?";
}

bool isAnalogueType(input::ControlType type) {
    return (type >= input::CONTROL_AXIS && type <= input::CONTROL_AXIS_NEGATIVE_HALF) ||
           type == input::CONTROL_ANALOGUE_BUTTON;
}

const char* glyphName(int glyph) {
    static const char* const kPictures[] = {
        "none",
        "D-pad up",
        "D-pad down",
        "D-pad left",
        "D-pad right",
        "Start",
        "Back",
        "left stick",
        "right stick",
        "left shoulder",
        "none",
        "none",
        "right shoulder",
        "A",
        "B",
        "X",
        "Y",
        "left trigger",
        "right trigger",
        "left stick",
        "left stick",
        "right stick",
        "right stick",
        "half-turned cell",
    };
    if (glyph < 1 || glyph > 23)
        return "none";
    return kPictures[glyph];
}

const char* eventName(std::uint32_t bit) {
    switch (bit) {
    case input::EVENT_STARTED: return "started";
    case input::EVENT_ONGOING: return "ongoing";
    case input::EVENT_TRIGGERED: return "triggered";
    case input::EVENT_COMPLETED: return "completed";
    case input::EVENT_CANCELED: return "canceled";
    default: return "?";
    }
}

const char* valueTypeName(int type) {
    return type == input::VALUE_AXIS_1D ? "1d" : type == input::VALUE_AXIS_2D ? "2d" : "digital";
}

const char* triggerStateName(int state) {
    return state == input::TRIGGER_TRIGGERED ? "triggered"
           : state == input::TRIGGER_ONGOING ? "ongoing"
                                             : "none";
}

std::string eventLetters(std::uint32_t events) {
    static const char kLetters[] = "SOTCX"; // in bit order
    std::string text;
    for (int b = 0; b < 5; ++b)
        if (events & (1u << b))
            text += kLetters[b];
    return text;
}

} // namespace inputscope
