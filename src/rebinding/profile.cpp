// The player's bindings profile: a versioned text of both binding tables and the settings a
// player changes. Reading checks the whole text before anything changes; writing to a file goes
// through a temporary file that is read back before it replaces the old profile.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>

#include "contexts/state.h"
#include "host/platform.h"
#include "input/contexts.h"
#include "manager/default_bindings.h"
#include "manager/locks.h"
#include "pc/input_x86_access.h"
#include "rebinding/rebinding_access.h"
#include "vel/file_stream.h"
#include "vel/memory.h"

namespace input {

namespace {

constexpr char kMagic[] = "gameinput-bindings";
constexpr long kVersion = 1;
constexpr long kContextsVersion = 2; // adds the "map" section of the contexts layer
constexpr std::size_t kMaxContextNameBytes = 31;
constexpr std::size_t kMaxNameBytes = 64;   // longer names are written by id
constexpr std::size_t kShownBytes = 40;     // how much of a token an error quotes
constexpr std::size_t kShownPathBytes = 80; // how much of a path an error quotes, from its end
constexpr char kComment[] = "# Key and pad bindings: \"key\" or \"pad\", an action, a code.\n";
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

enum SettingId {
    INVERT_VERTICAL_MOUSE,
    INVERT_HORIZONTAL_MOUSE,
    INVERT_VERTICAL_PAD,
    INVERT_HORIZONTAL_PAD,
    STICKS_SWAPPED,
    MOUSE_SENSITIVITY,
    SETTING_COUNT
};
constexpr const char* kSettingNames[SETTING_COUNT] = {
    "invert-vertical-mouse", "invert-horizontal-mouse", "invert-vertical-pad",
    "invert-horizontal-pad", "sticks-swapped",          "mouse-sensitivity",
};
const char* const kDeviceWords[2] = {"key", "pad"};

// --- The size a profile can take -----------------------------------------------------------------

constexpr std::size_t length(const char* text) {
    std::size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

// The longest text the writer makes for tables a profile can carry: the comment, the version
// line, every setting at its longest value, and both tables full of bindings at their longest
// ("key", a name of kMaxNameBytes or an id such as @-2147483648, the largest code).
constexpr std::size_t longestProfile() {
    std::size_t header = length(kComment) + length("gameinput-bindings 1\n");
    for (const char* name : kSettingNames)
        header += length(name) + length(" 0.000000000000\n");
    std::size_t action =
        kMaxNameBytes > length("@-2147483648") ? kMaxNameBytes : length("@-2147483648");
    std::size_t binding = length("key ") + action + length(" 257\n");
    // "map", a context and an action by name, an ordinal below kMaxProfileMappings, the longest
    // source.
    std::size_t map = length("map ") + 2 * (kMaxContextNameBytes + 1) + length("1023 ") +
                      length("keys2d:257,257,257,257\n");
    static_assert(kMaxProfileMappings <= 1024, "the ordinal above has four digits at most");
    return header + 2 * kMaxProfileBindings * binding + kMaxProfileMappings * map;
}
static_assert(longestProfile() <= kMaxProfileSize,
              "the profile limit must hold the longest profile the writer makes");

struct Settings {
    bool given[SETTING_COUNT] = {};
    bool flags[STICKS_SWAPPED + 1] = {};
    float sensitivity = 0.5f;
};

bool fail(ProfileError* error, int line, int column, const char* format, ...) {
    if (error) {
        error->line = line;
        error->column = column;
        std::va_list args;
        va_start(args, format);
        std::vsnprintf(error->message, sizeof error->message, format, args);
        va_end(args);
    }
    return false;
}

// A path as an error message quotes it: its last kShownPathBytes bytes, which name the file.
struct ShownPath {
    char text[kShownPathBytes + 4];
    explicit ShownPath(const char* path) {
        std::size_t n = std::strlen(path);
        const char* from = path;
        if (n > kShownPathBytes) {
            from = path + n - kShownPathBytes;
            while (*from && (static_cast<unsigned char>(*from) & 0xC0) == 0x80)
                ++from;
        }
        std::snprintf(text, sizeof text, "%s%s", from == path ? "" : "...", from);
    }
};

// A block of the engine heap for the length of a call.
class HeapBlock {
public:
    explicit HeapBlock(std::size_t size)
        : m_data(static_cast<char*>(vel::allocateMemory(size, 8))) {}
    ~HeapBlock() { vel::deleteMemory(m_data); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    char* data() const { return m_data; }

private:
    char* m_data;
};

// --- Text -------------------------------------------------------------------------------------

struct Token {
    const char* text = nullptr;
    std::size_t size = 0;
    int column = 0;

    bool is(const char* word) const {
        return std::strlen(word) == size && std::memcmp(text, word, size) == 0;
    }
};

// A token as an error message quotes it: at most kShownBytes, cut at a character's start (the
// text is valid UTF-8 by the time tokens are quoted).
struct Shown {
    char text[kShownBytes + 4];
    explicit Shown(const Token& token) {
        std::size_t n = token.size;
        if (n > kShownBytes) {
            n = kShownBytes;
            while (n > 0 && (static_cast<unsigned char>(token.text[n]) & 0xC0) == 0x80)
                --n;
        }
        std::memcpy(text, token.text, n);
        std::strcpy(text + n, n < token.size ? "..." : "");
    }
};

// Length of the UTF-8 sequence at `p` (at most `left` bytes), or 0 when it is not one.
std::size_t utf8Length(const unsigned char* p, std::size_t left) {
    unsigned c = p[0];
    std::size_t n;
    unsigned value;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        value = c & 0x07;
    } else {
        return 0;
    }
    if (left < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (p[i] & 0x3F);
    }
    const unsigned smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[n] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return n;
}

// Text saved as UTF-16 (by a byte order mark, or an ASCII first character with a zero byte
// beside it), which would otherwise be reported as a stray control character.
bool isUtf16(const char* text, std::size_t size) {
    if (size < 2)
        return false;
    unsigned char first = static_cast<unsigned char>(text[0]);
    unsigned char second = static_cast<unsigned char>(text[1]);
    return (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF) ||
           (first != 0 && first < 0x80 && second == 0) ||
           (first == 0 && second != 0 && second < 0x80);
}

// Every byte of the text: control characters and UTF-8.
bool checkBytes(const char* text, std::size_t size, ProfileError* error) {
    if (isUtf16(text, size))
        return fail(error, 1, 1, "the profile is UTF-16 text: save it as UTF-8");
    int line = 1, column = 1;
    for (std::size_t i = 0; i < size; ++i, ++column) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 0;
        } else if (c == '\r' && i + 1 < size && text[i + 1] == '\n') {
            // A line end written on Windows.
        } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
            return fail(error, line, column, "control character 0x%02X", c);
        } else if (c >= 0x80) {
            std::size_t n = utf8Length(reinterpret_cast<const unsigned char*>(text + i), size - i);
            if (n == 0)
                return fail(error, line, column, "invalid UTF-8 (byte 0x%02X)", c);
            i += n - 1;
            column += static_cast<int>(n - 1);
        }
    }
    return true;
}

// The tokens of one line, a comment ending it.
struct Line {
    static constexpr int kMaxTokens = 6; // the longest statement and one more
    Token tokens[kMaxTokens];
    int count = 0;
    int endColumn = 1; // where a missing token would start

    // From byte `from` of the line (past a byte order mark); columns count from the line's start.
    Line(const char* text, std::size_t size, std::size_t from) {
        std::size_t i = from;
        while (i < size) {
            if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
                ++i;
                continue;
            }
            if (text[i] == '#')
                break;
            Token token;
            token.text = text + i;
            token.column = static_cast<int>(i) + 1;
            while (i < size && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
                ++i;
            token.size = static_cast<std::size_t>(text + i - token.text);
            if (count < kMaxTokens) // no statement has more; the first extra one is named
                tokens[count] = token;
            ++count;
            endColumn = static_cast<int>(i) + 2;
        }
    }
};

// --- Numbers, without the C library's locale --------------------------------------------------

// Decimal, or hexadecimal after 0x; at most 0xFFFFFFFF.
bool parseUnsigned(const Token& token, unsigned long long& value) {
    std::size_t i = 0;
    unsigned base = 10;
    if (token.size > 2 && token.text[0] == '0' && (token.text[1] == 'x' || token.text[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i == token.size)
        return false;
    value = 0;
    for (; i < token.size; ++i) {
        char c = token.text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull)
            return false;
    }
    return true;
}

// Digits, a point and digits: at most 12 after the point.
bool parseDecimal(const char* text, std::size_t size, float& value) {
    unsigned long long whole = 0, fraction = 0, scale = 1;
    std::size_t i = 0, digits = 0;
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        whole = whole * 10 + static_cast<unsigned>(text[i] - '0');
        if (whole > 1000000)
            return false;
    }
    if (i < size && text[i] == '.') {
        for (++i; i < size && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
            if (scale == 1000000000000ull)
                return false;
            fraction = fraction * 10 + static_cast<unsigned>(text[i] - '0');
            scale *= 10;
        }
    }
    if (i != size || digits == 0)
        return false;
    value = static_cast<float>(static_cast<double>(whole) +
                               static_cast<double>(fraction) / static_cast<double>(scale));
    return true;
}

// The shortest decimal of 0-1 that reads back as `value`.
void formatDecimal(float value, char (&text)[24]) {
    if (!(value >= 0.0f))
        value = 0.0f;
    if (value > 1.0f)
        value = 1.0f;
    unsigned long long scale = 10;
    for (int places = 1; places <= 12; ++places, scale *= 10) {
        unsigned long long scaled =
            static_cast<unsigned long long>(static_cast<double>(value) * scale + 0.5);
        std::snprintf(text, sizeof text, "%llu.%0*llu", scaled / scale, places, scaled % scale);
        float back;
        if (parseDecimal(text, std::strlen(text), back) && back == value)
            return;
    }
}

// --- Writing ----------------------------------------------------------------------------------

class Writer {
public:
    Writer(char* buffer, std::size_t capacity) : m_buffer(buffer), m_capacity(capacity) {}
    void put(const char* text) {
        std::size_t n = std::strlen(text);
        if (m_buffer && m_length < m_capacity)
            std::memcpy(m_buffer + m_length, text,
                        n < m_capacity - m_length ? n : m_capacity - m_length);
        m_length += n;
    }
    void line(const char* first, const char* second) {
        put(first);
        put(" ");
        put(second);
        put("\n");
    }
    std::size_t length() const { return m_length; }

private:
    char* m_buffer;
    std::size_t m_capacity;
    std::size_t m_length = 0;
};

// How a profile names an action: its registered name when that name finds it again and reads as
// one token, else "@" and the id.
void actionWord(const InputManager& manager, int id, char (&word)[kMaxNameBytes + 2]) {
    const auto& actions = RebindingAccess::actions(manager);
    if (id >= 0 && static_cast<std::uint32_t>(id) < actions.size()) {
        const vel::String& name = actions[static_cast<std::uint32_t>(id)].name;
        bool plain = name.length() > 0 && name.length() <= kMaxNameBytes &&
                     name.c_str()[0] != '@' && name.c_str()[0] != '#';
        for (std::uint32_t i = 0; plain && i < name.length(); ++i)
            plain = name.c_str()[i] > ' ' && name.c_str()[i] < 0x7F;
        if (plain && RebindingAccess::actionNames(manager).find(
                         vel::InplaceWString<kMaxNameBytes + 1>(name.c_str())) == id) {
            std::memcpy(word, name.c_str(), name.length() + 1);
            return;
        }
    }
    std::snprintf(word, sizeof word, "@%d", id);
}

bool writeTable(const InputManager& manager, BindingDevice device, Writer& out,
                ProfileError* error) {
    RebindingAccess::Table t = RebindingAccess::table(manager, device);
    SpinLockGuard guard(t.lock);
    if (t.table.size() > kMaxProfileBindings)
        return fail(error, 0, 0, "the %s table holds %u bindings; a profile carries at most %u",
                    kDeviceWords[device], static_cast<unsigned>(t.table.size()),
                    static_cast<unsigned>(kMaxProfileBindings));
    for (const BindingTable::Entry& entry : t.table) {
        char word[kMaxNameBytes + 2];
        actionWord(manager, entry.action, word);
        if (!isProfileCode(device, entry.code))
            return fail(error, 0, 0, "the %s binding of %s to code %u cannot be saved",
                        kDeviceWords[device], word, static_cast<unsigned>(entry.code));
        char line[kMaxNameBytes + 16];
        std::snprintf(line, sizeof line, "%s %s %u\n", kDeviceWords[device], word,
                      static_cast<unsigned>(entry.code));
        out.put(line);
    }
    return true;
}

// --- Reading ----------------------------------------------------------------------------------

template <class T> using HeapVector = vel::Vector<T, vel::Allocator<T, 0>>;

struct Staged {
    BindingTable tables[2];
    Settings settings;
    long version = 0;
    // The "map" section: which mapping takes which source, applied with the tables.
    HeapVector<MappingRec*> targets;
    HeapVector<Source> sources;
};

// --- The contexts layer's mappings ------------------------------------------------------------

// How a source is written: a kind, its codes, and for a pad source the slot unless it follows
// the selected pad.
struct SourceForm {
    const char* word;
    SourceKind kind;
    int codes;
};
const SourceForm kSourceForms[] = {
    {"key", SOURCE_KEY, 1},
    {"mouse", SOURCE_MOUSE_MOTION, 1},
    {"button", SOURCE_PAD_BUTTON, 1},
    {"axis", SOURCE_PAD_AXIS, 1},
    {"stick", SOURCE_PAD_STICK, 1},
    {"keys", SOURCE_KEY_AXIS, 2},
    {"keys2d", SOURCE_KEY_AXIS_2D, 4},
    {"action", SOURCE_ACTION, 1},
};

const SourceForm* formOf(SourceKind kind) {
    for (const SourceForm& form : kSourceForms) {
        if (form.kind == kind)
            return &form;
    }
    return nullptr;
}

// "kind:code,code@pad" into `text`; false for a kind no profile names.
bool formatSource(const Source& source, char (&text)[48]) {
    const SourceForm* form = formOf(source.kind);
    if (!form)
        return false;
    int n = std::snprintf(text, sizeof text, "%s:", form->word);
    for (int i = 0; i < form->codes; ++i)
        n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "%s%d",
                           i ? "," : "", static_cast<int>(source.codes[i]));
    if (usesPad(source) && source.pad != kSelectedPad)
        std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "@%d",
                      static_cast<int>(source.pad));
    return true;
}

bool parseSource(const Token& token, Source& source) {
    const char* p = token.text;
    const char* end = token.text + token.size;
    const char* colon = static_cast<const char*>(std::memchr(p, ':', token.size));
    if (!colon)
        return false;
    const SourceForm* form = nullptr;
    for (const SourceForm& f : kSourceForms) {
        if (std::strlen(f.word) == static_cast<std::size_t>(colon - p) &&
            std::memcmp(f.word, p, static_cast<std::size_t>(colon - p)) == 0)
            form = &f;
    }
    if (!form)
        return false;
    source = Source();
    source.kind = form->kind;
    p = colon + 1;
    for (int i = 0; i < form->codes; ++i) {
        if (i > 0 && (p == end || *p++ != ','))
            return false;
        bool negative = p != end && *p == '-' && form->kind == SOURCE_ACTION;
        p += negative;
        const char* digits = p;
        while (p != end && *p >= '0' && *p <= '9')
            ++p;
        unsigned long long value;
        Token number{digits, static_cast<std::size_t>(p - digits), 0};
        if (!parseUnsigned(number, value) || value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
            return false;
        source.codes[i] = negative ? static_cast<std::int32_t>(-static_cast<long long>(value))
                                   : static_cast<std::int32_t>(value);
    }
    if (p != end && *p == '@' && usesPad(source) && end - p == 2 && p[1] >= '0' && p[1] <= '3') {
        source.pad = p[1] - '0';
        p = end;
    }
    return p == end;
}

// A context's or an action's name as a profile token, or "@" and its index when the name does
// not read back as one token that finds it.
template <class Find>
void layerWord(const char* name, int index, Find find, char (&word)[kMaxContextNameBytes + 2]) {
    bool plain = name && name[0] && name[0] != '@' && name[0] != '#';
    for (const char* c = name; plain && *c; ++c)
        plain = *c > ' ' && *c < 0x7F;
    if (plain && find(name) == index) {
        std::snprintf(word, sizeof word, "%s", name);
        return;
    }
    std::snprintf(word, sizeof word, "@%d", index);
}

// A name, or "@" and an index below `count`; -1 for neither.
template <class Find> int layerIndex(const Token& token, int count, Find find) {
    if (token.size > 1 && token.text[0] == '@') {
        unsigned long long value;
        Token digits{token.text + 1, token.size - 1, 0};
        return parseUnsigned(digits, value) && value < static_cast<unsigned>(count)
                   ? static_cast<int>(value)
                   : -1;
    }
    if (token.size > kMaxContextNameBytes)
        return -1;
    char name[kMaxContextNameBytes + 1];
    std::memcpy(name, token.text, token.size);
    name[token.size] = 0;
    return find(name);
}

bool writeMappings(const InputContexts& contexts, Writer& out, ProfileError* error) {
    const InputContexts::State& s = ContextsAccess::state(contexts);
    if (s.mappings.size() > kMaxProfileMappings)
        return fail(error, 0, 0, "the contexts hold %u mappings; a profile carries at most %u",
                    static_cast<unsigned>(s.mappings.size()),
                    static_cast<unsigned>(kMaxProfileMappings));
    auto findContext = [&](const char* name) { return contexts.findContext(name); };
    auto findAction = [&](const char* name) { return contexts.findAction(name); };
    for (int context = 0; context < contexts.contextCount(); ++context) {
        char contextWord[kMaxContextNameBytes + 2];
        layerWord(contexts.contextName(context), context, findContext, contextWord);
        const int count = contexts.mappingCount(context);
        for (int i = 0; i < count; ++i) {
            const MappingRec* m = findMapping(s, context, i);
            int action = m->def.action;
            int ordinal = 0;
            for (int before = 0; before < i; ++before)
                ordinal += findMapping(s, context, before)->def.action == action;
            char actionWord[kMaxContextNameBytes + 2];
            layerWord(contexts.actionName(action), action, findAction, actionWord);
            char source[48];
            if (!formatSource(m->def.source, source))
                return fail(error, 0, 0, "mapping %d of context %s has no source to save", i,
                            contextWord);
            char line[160];
            std::snprintf(line, sizeof line, "map %s %s %d %s\n", contextWord, actionWord, ordinal,
                          source);
            out.put(line);
        }
    }
    return true;
}

bool parseMap(InputManager& manager, InputContexts& contexts, const Line& l, int line,
              Staged& staged, ProfileError* error) {
    static const char* const kExpected[] = {"a context", "an action", "which of its mappings",
                                            "a source"};
    if (l.count < 5)
        return fail(error, line, l.endColumn, "expected %s", kExpected[l.count - 1]);
    const Token& contextToken = l.tokens[1];
    const Token& actionToken = l.tokens[2];
    const Token& ordinalToken = l.tokens[3];
    const Token& sourceToken = l.tokens[4];
    int context = layerIndex(contextToken, contexts.contextCount(),
                             [&](const char* name) { return contexts.findContext(name); });
    if (context < 0)
        return fail(error, line, contextToken.column, "unknown context \"%s\"",
                    Shown(contextToken).text);
    int action = layerIndex(actionToken, contexts.actionCount(),
                            [&](const char* name) { return contexts.findAction(name); });
    if (action < 0)
        return fail(error, line, actionToken.column, "unknown mapping action \"%s\"",
                    Shown(actionToken).text);
    unsigned long long ordinal;
    if (!parseUnsigned(ordinalToken, ordinal))
        return fail(error, line, ordinalToken.column, "\"%s\" is not a mapping's number",
                    Shown(ordinalToken).text);
    InputContexts::State& s = ContextsAccess::state(contexts);
    MappingRec* target = nullptr;
    unsigned long long seen = 0;
    for (int i = 0; !target && i < contexts.mappingCount(context); ++i) {
        MappingRec* m = findMapping(s, context, i);
        if (m->def.action == action && seen++ == ordinal)
            target = m;
    }
    if (!target)
        return fail(error, line, ordinalToken.column,
                    "context %s maps %s %llu time%s, so it has no mapping %llu of it",
                    Shown(contextToken).text, Shown(actionToken).text, seen, seen == 1 ? "" : "s",
                    ordinal);
    for (MappingRec* earlier : staged.targets) {
        if (earlier == target)
            return fail(error, line, l.tokens[0].column, "mapping %llu of %s in %s is given twice",
                        ordinal, Shown(actionToken).text, Shown(contextToken).text);
    }
    if (staged.targets.size() >= kMaxProfileMappings)
        return fail(error, line, l.tokens[0].column,
                    "more than %u mappings (the most a profile carries)",
                    static_cast<unsigned>(kMaxProfileMappings));
    Source source;
    if (!parseSource(sourceToken, source))
        return fail(error, line, sourceToken.column,
                    "\"%s\" is not a source (such as key:69, keys2d:87,83,65,68 or button:12@0)",
                    Shown(sourceToken).text);
    ContextError refused;
    if (!checkSource(manager, source, &refused))
        return fail(error, line, sourceToken.column, "%s", refused.message);
    staged.targets.pushBack(target);
    staged.sources.pushBack(source);
    return true;
}

bool sameSource(const Source& a, const Source& b) {
    return a.kind == b.kind && a.pad == b.pad && std::memcmp(a.codes, b.codes, sizeof a.codes) == 0;
}

bool parseAction(InputManager& manager, const Token& token, int line, int& id,
                 ProfileError* error) {
    if (token.size > 1 && token.text[0] == '@') {
        Token digits{token.text + 1, token.size - 1, token.column + 1};
        bool negative = digits.text[0] == '-';
        if (negative) {
            ++digits.text;
            --digits.size;
        }
        unsigned long long value;
        if (parseUnsigned(digits, value) && value <= (negative ? 0x80000000ull : 0x7FFFFFFFull)) {
            id = negative ? static_cast<int>(-static_cast<long long>(value))
                          : static_cast<int>(value);
            return true;
        }
        return fail(error, line, token.column, "\"%s\" is not an action id", Shown(token).text);
    }
    id = -1;
    if (token.size <= kMaxNameBytes) {
        wchar_t wide[kMaxNameBytes + 1];
        for (std::size_t i = 0; i < token.size; ++i)
            wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(token.text[i]));
        wide[token.size] = 0;
        id = manager.getAction(vel::InplaceWString<128>(wide));
    }
    if (id < 0)
        return fail(error, line, token.column, "unknown action \"%s\"", Shown(token).text);
    return true;
}

bool parseLine(InputManager& manager, InputContexts* contexts, const Line& l, int line,
               Staged& staged, ProfileError* error) {
    if (l.count == 0)
        return true;
    const Token& head = l.tokens[0];
    int wanted = 2;
    if (staged.version == 0) {
        if (!head.is(kMagic))
            return fail(error, line, head.column,
                        "not a bindings profile: expected \"%s %ld\" first, found \"%s\"", kMagic,
                        kVersion, Shown(head).text);
        if (l.count < 2)
            return fail(error, line, l.endColumn, "expected a version number");
        unsigned long long version;
        if (!parseUnsigned(l.tokens[1], version))
            return fail(error, line, l.tokens[1].column, "\"%s\" is not a version number",
                        Shown(l.tokens[1]).text);
        if (version != kVersion && version != kContextsVersion)
            return fail(
                error, line, l.tokens[1].column,
                "unsupported profile version %llu (this library reads versions %ld and %ld)",
                version, kVersion, kContextsVersion);
        staged.version = static_cast<long>(version);
    } else if (head.is("map") && staged.version >= kContextsVersion) {
        // Without the layer the section is left aside: the tables still load.
        if (!contexts)
            return true;
        if (!parseMap(manager, *contexts, l, line, staged, error))
            return false;
        wanted = 5;
    } else if (head.is("key") || head.is("pad")) {
        BindingDevice device = head.is("key") ? BINDING_KEYBOARD : BINDING_GAMEPAD;
        wanted = 3;
        if (l.count < 2)
            return fail(error, line, l.endColumn, "expected an action");
        int id = -1;
        if (!parseAction(manager, l.tokens[1], line, id, error))
            return false;
        if (l.count < 3)
            return fail(error, line, l.endColumn, "expected a %s code",
                        device == BINDING_KEYBOARD ? "key" : "pad");
        if (staged.tables[device].size() >= kMaxProfileBindings)
            return fail(error, line, head.column,
                        "more than %u %s bindings (the most a profile carries)",
                        static_cast<unsigned>(kMaxProfileBindings), kDeviceWords[device]);
        const Token& code = l.tokens[2];
        unsigned long long value;
        if (!parseUnsigned(code, value))
            return fail(error, line, code.column, "\"%s\" is not a code", Shown(code).text);
        if (!isProfileCode(device, static_cast<unsigned>(value)) || value > 0xFFFF)
            return fail(error, line, code.column,
                        device == BINDING_KEYBOARD
                            ? "key code %llu is out of range (expected 0 to 257)"
                            : "pad code %llu is out of range (expected 0 to 17 or 20 to 23)",
                        value);
        staged.tables[device].add(id, static_cast<unsigned short>(value));
    } else {
        int setting = 0;
        while (setting < SETTING_COUNT && !head.is(kSettingNames[setting]))
            ++setting;
        if (setting == SETTING_COUNT)
            return fail(error, line, head.column, "unknown statement \"%s\"", Shown(head).text);
        if (staged.settings.given[setting])
            return fail(error, line, head.column, "%s is given twice", kSettingNames[setting]);
        if (l.count < 2)
            return fail(error, line, l.endColumn, "expected a value for %s",
                        kSettingNames[setting]);
        const Token& value = l.tokens[1];
        if (setting == MOUSE_SENSITIVITY) {
            float v;
            if (!parseDecimal(value.text, value.size, v) || v > 1.0f)
                return fail(error, line, value.column,
                            "mouse sensitivity \"%s\" is not a number from 0 to 1",
                            Shown(value).text);
            staged.settings.sensitivity = v;
        } else {
            if (!value.is("0") && !value.is("1"))
                return fail(error, line, value.column, "%s takes 0 or 1, not \"%s\"",
                            kSettingNames[setting], Shown(value).text);
            staged.settings.flags[setting] = value.is("1");
        }
        staged.settings.given[setting] = true;
    }
    if (l.count > wanted) {
        const Token& extra = l.tokens[wanted];
        return fail(error, line, extra.column, "unexpected \"%s\" after the statement",
                    Shown(extra).text);
    }
    return true;
}

// The one step that changes the manager: it cannot fail, so a call either got this far with the
// whole new state built or changed nothing.
void apply(InputManager& manager, Staged& staged) noexcept {
    for (int device = 0; device < 2; ++device) {
        RebindingAccess::Table t =
            RebindingAccess::table(manager, static_cast<BindingDevice>(device));
        SpinLockGuard guard(t.lock);
        t.table.swap(staged.tables[device]); // the old table is freed outside the lock
    }
    const Settings& s = staged.settings;
    if (s.given[INVERT_VERTICAL_MOUSE])
        manager.setInvertVerticalForMouse(s.flags[INVERT_VERTICAL_MOUSE]);
    if (s.given[INVERT_HORIZONTAL_MOUSE])
        manager.setInvertHorizontalForMouse(s.flags[INVERT_HORIZONTAL_MOUSE]);
    if (s.given[INVERT_VERTICAL_PAD])
        manager.setInvertVerticalForPad(s.flags[INVERT_VERTICAL_PAD]);
    if (s.given[INVERT_HORIZONTAL_PAD])
        manager.setInvertHorizontalForPad(s.flags[INVERT_HORIZONTAL_PAD]);
    if (s.given[STICKS_SWAPPED])
        manager.setSticksSwapped(s.flags[STICKS_SWAPPED]);
    if (s.given[MOUSE_SENSITIVITY])
        manager.setMouseSensitivity(s.sensitivity);
}

// The mappings of the "map" section, after reserveRebinds has made room for them all.
void applyMappings(InputContexts* contexts, const Staged& staged) noexcept {
    for (std::uint32_t i = 0; i < staged.targets.size(); ++i) {
        if (!sameSource(staged.targets[i]->def.source, staged.sources[i]))
            commitRebind(ContextsAccess::state(*contexts), *staged.targets[i], staged.sources[i]);
    }
}

// Reads until the stream ends or `capacity` bytes have come; returns how many came.
std::size_t readUpTo(vel::FileStream& in, char* buffer, std::size_t capacity) {
    std::size_t size = 0;
    while (size < capacity) {
        std::uint32_t n = in.read(buffer + size, static_cast<std::uint32_t>(capacity - size));
        if (n == 0)
            break;
        size += n;
    }
    return size;
}

bool outOfMemory(ProfileError* error) {
    return fail(error, 0, 0, "out of memory");
}

} // namespace

std::size_t writeBindingProfile(const InputManager& manager, char* buffer, std::size_t capacity,
                                ProfileError* error) {
    return writeBindingProfile(manager, nullptr, buffer, capacity, error);
}

std::size_t writeBindingProfile(const InputManager& manager, const InputContexts* contexts,
                                char* buffer, std::size_t capacity, ProfileError* error) {
    try {
        Writer out(buffer, capacity);
        out.put(kComment);
        char version[16];
        std::snprintf(version, sizeof version, "%ld", contexts ? kContextsVersion : kVersion);
        out.line(kMagic, version);
        InputManager& m = const_cast<InputManager&>(manager);
        const bool flags[STICKS_SWAPPED + 1] = {
            m.getInvertVerticalForMouse(), m.getInvertHorizontalForMouse(),
            m.getInvertVerticalForPad(),   m.getInvertHorizontalForPad(),
            m.isSticksSwapped(),
        };
        for (int setting = 0; setting <= STICKS_SWAPPED; ++setting)
            out.line(kSettingNames[setting], flags[setting] ? "1" : "0");
        if (const InputX86* device = RebindingAccess::inputX86(manager)) {
            char text[24];
            formatDecimal(InputX86Access::mouseSensitivity(*device), text);
            out.line(kSettingNames[MOUSE_SENSITIVITY], text);
        }
        if (!writeTable(manager, BINDING_KEYBOARD, out, error) ||
            !writeTable(manager, BINDING_GAMEPAD, out, error) ||
            (contexts && !writeMappings(*contexts, out, error)))
            return 0;
        return out.length();
    } catch (const std::exception&) {
        outOfMemory(error);
        return 0;
    }
}

bool readBindingProfile(InputManager& manager, const char* text, std::size_t size,
                        ProfileError* error) {
    return readBindingProfile(manager, nullptr, text, size, error);
}

bool readBindingProfile(InputManager& manager, InputContexts* contexts, const char* text,
                        std::size_t size, ProfileError* error) {
    if (!text && size > 0)
        return fail(error, 0, 0, "no profile text");
    if (size > kMaxProfileSize)
        return fail(error, 0, 0, "the profile is larger than %u bytes",
                    static_cast<unsigned>(kMaxProfileSize));
    if (!checkBytes(text, size, error))
        return false;
    try {
        Staged staged;
        std::size_t skip = size >= 3 && std::memcmp(text, kByteOrderMark, 3) == 0 ? 3 : 0;
        int line = 1;
        for (std::size_t start = 0; start <= size; ++line, skip = 0) {
            const char* end = static_cast<const char*>(
                size > start ? std::memchr(text + start, '\n', size - start) : nullptr);
            std::size_t length =
                end ? static_cast<std::size_t>(end - (text + start)) : size - start;
            if (!parseLine(manager, contexts, Line(text + start, length, skip), line, staged,
                           error))
                return false;
            start += length + 1;
        }
        if (staged.version == 0)
            return fail(error, 1, 1, "the profile is empty: expected \"%s %ld\"", kMagic, kVersion);
        if (contexts)
            reserveRebinds(ContextsAccess::state(*contexts), staged.sources.data(),
                           static_cast<int>(staged.sources.size()));
        // Nothing below can fail.
        apply(manager, staged);
        applyMappings(contexts, staged);
        return true;
    } catch (const std::exception&) {
        return outOfMemory(error);
    }
}

namespace {

// The temporary file of a save: removed when the save ends, unless it became the profile.
class TemporaryFile {
public:
    explicit TemporaryFile(const char* path) : m_path(path) {}
    ~TemporaryFile() {
        if (m_path)
            platform::deleteFile(m_path);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void keep() { m_path = nullptr; }

private:
    const char* m_path;
};

} // namespace

bool saveBindingProfile(const InputManager& manager, const char* path, ProfileError* error) {
    return saveBindingProfile(manager, nullptr, path, error);
}

bool saveBindingProfile(const InputManager& manager, const InputContexts* contexts,
                        const char* path, ProfileError* error) {
    if (!path || !*path)
        return fail(error, 0, 0, "no profile path given");
    try {
        // Everything that allocates comes first: once a file is touched, nothing can throw.
        HeapBlock text(kMaxProfileSize);
        std::size_t size =
            writeBindingProfile(manager, contexts, text.data(), kMaxProfileSize, error);
        if (size == 0)
            return false;
        HeapBlock back(size + 1);
        std::size_t pathLength = std::strlen(path);
        HeapBlock temporaryPath(pathLength + 5);
        std::memcpy(temporaryPath.data(), path, pathLength);
        std::memcpy(temporaryPath.data() + pathLength, ".tmp", 5);
        vel::FileStream out;
        vel::FileStream in;

        switch (platform::pathKind(path)) {
        case platform::PathKind::FOLDER:
            return fail(error, 0, 0, "cannot save \"%s\": it is a folder", ShownPath(path).text);
        case platform::PathKind::READ_ONLY_FILE:
            return fail(error, 0, 0, "cannot save \"%s\": the file is read-only",
                        ShownPath(path).text);
        default: break;
        }
        if (platform::pathKind(temporaryPath.data()) == platform::PathKind::FOLDER)
            return fail(error, 0, 0, "cannot save \"%s\": a folder stands where its \".tmp\" goes",
                        ShownPath(path).text);
        TemporaryFile temporary(temporaryPath.data());
        if (!out.openFile(temporaryPath.data(), vel::FileStream::MODE_WRITE))
            return fail(error, 0, 0,
                        "cannot save \"%s\": its folder does not exist or cannot be written",
                        ShownPath(path).text);
        std::uint32_t written = out.write(text.data(), static_cast<std::uint32_t>(size));
        out.close();

        // What reached the disk is read back before it may replace the old profile.
        std::size_t read = 0;
        if (written == size && in.openFile(temporaryPath.data(), vel::FileStream::MODE_READ)) {
            read = readUpTo(in, back.data(), size + 1);
            in.close();
        }
        if (read != size || std::memcmp(back.data(), text.data(), size) != 0)
            return fail(error, 0, 0,
                        "cannot save \"%s\": the new profile did not read back as written",
                        ShownPath(path).text);
        if (!platform::replaceFile(temporaryPath.data(), path))
            return fail(error, 0, 0, "cannot save \"%s\": it cannot be replaced",
                        ShownPath(path).text);
        temporary.keep();
        return true;
    } catch (const std::exception&) {
        return outOfMemory(error);
    }
}

bool loadBindingProfile(InputManager& manager, const char* path, ProfileError* error) {
    return loadBindingProfile(manager, nullptr, path, error);
}

bool loadBindingProfile(InputManager& manager, InputContexts* contexts, const char* path,
                        ProfileError* error) {
    if (!path || !*path)
        return fail(error, 0, 0, "no profile path given");
    try {
        if (platform::pathKind(path) == platform::PathKind::FOLDER)
            return fail(error, 0, 0, "cannot load \"%s\": it is a folder", ShownPath(path).text);
        // One byte past the limit is enough to refuse the file whole, before any of it is read
        // as a profile.
        HeapBlock text(kMaxProfileSize + 1);
        vel::FileStream in;
        if (!in.openFile(path, vel::FileStream::MODE_READ))
            return fail(error, 0, 0, "cannot open \"%s\"", ShownPath(path).text);
        std::size_t size = readUpTo(in, text.data(), kMaxProfileSize + 1);
        in.close();
        if (size > kMaxProfileSize)
            return fail(error, 0, 0, "\"%s\" is larger than %u bytes, the most a profile holds",
                        ShownPath(path).text, static_cast<unsigned>(kMaxProfileSize));
        return readBindingProfile(manager, contexts, text.data(), size, error);
    } catch (const std::exception&) {
        return outOfMemory(error);
    }
}

void resetBindingProfile(InputManager& manager) {
    Staged staged;
    buildDefaultBindings(false, staged.tables[BINDING_KEYBOARD], staged.tables[BINDING_GAMEPAD]);
    for (bool& given : staged.settings.given)
        given = true;
    apply(manager, staged); // the settings Staged starts with are a new manager's
}

} // namespace input
