#include <cctype>
#include <cstdio>

#include "input/default_actions.h"
#include "session_parser.h"

namespace inputscope {

namespace {

// Escaped: the file name and the echoed text may hold anything.
std::string formatError(const std::string& file, int line, int column, const std::string& msg) {
    return printable(file + ":" + std::to_string(line) + ":" + std::to_string(column) +
                     ": error: " + msg);
}

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
} // namespace

namespace parsing {

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

Parser::Parser(const std::string& file, const SessionLimits& limits)
    : m_file(file), m_limits(limits) {
#define INPUTSCOPE_NAME(name, id, type, channels) m_actions[#name] = id;
    INPUT_DEFAULT_ACTIONS(INPUTSCOPE_NAME)
#undef INPUTSCOPE_NAME
}

Session Parser::parse(const std::string& text) {
    Session session;
    session.file = m_file;
    m_session = &session;
    std::size_t start = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3; // a UTF-8 byte-order mark
    m_line = 0;
    while (start < text.size()) {
        std::size_t newline = text.find('\n', start);
        std::string line =
            text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
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
        statement.column = m_tokens[0].column;
        session.statements.push_back(std::move(statement));
    }
    m_text = nullptr;
    m_session = nullptr;
    session.frames = m_frames;
    session.updates = m_updates;
    return session;
}

// `column` counts bytes; the message counts characters, as an editor shows them.
void Parser::fail(int column, const std::string& message) const {
    int characters = 1;
    if (m_text)
        for (std::size_t i = 0; i + 1 < static_cast<std::size_t>(column) && i < m_text->size(); ++i)
            characters += (static_cast<unsigned char>((*m_text)[i]) & 0xC0) != 0x80;
    throw SessionError(m_file, m_line, m_text ? characters : column, message);
}

// A session is text: UTF-8, with tab as its only control character.
void Parser::checkBytes(const std::string& line) const {
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
void Parser::spend(long long frames, const Token& at, const char* what) {
    if (frames > m_limits.maxFrames - m_frames)
        fail(at, std::string(what) + " takes the session past its budget of " +
                     counted(m_limits.maxFrames, "frame") + " (re-reads count as frames; " +
                     "raise it with --max-frames N)");
    m_frames += frames;
}

void Parser::fail(const Token& at, const std::string& message) const {
    fail(at.column, message);
}

void Parser::tokenize(const std::string& line) {
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

const Token& Parser::next(const std::string& expected) {
    if (atEnd())
        fail(m_lineEnd, "expected " + expected + " at the end of the line");
    return m_tokens[m_pos++];
}

// An optional last word: true when it is there, an error when something else is.
bool Parser::optionalLast(const std::string& keyword) {
    if (atEnd())
        return false;
    const Token& token = next(quoted(keyword));
    if (lower(token.text) != keyword)
        fail(token,
             "expected " + quoted(keyword) + " or the end of the line, got " + quoted(token.text));
    return true;
}

void Parser::expectEnd() {
    if (!atEnd())
        fail(peek(), "unexpected " + quoted(peek().text) + " (expected the end of the line)");
}

// "key=value": the value and its column; false when the token is not of that form.
bool Parser::keyValue(const Token& token, std::string& key, Token& value) {
    std::size_t eq = token.text.find('=');
    if (eq == std::string::npos || eq == 0)
        return false;
    key = lower(token.text.substr(0, eq));
    value.text = token.text.substr(eq + 1);
    value.column = token.column + static_cast<int>(eq) + 1;
    value.end = token.end;
    return true;
}
} // namespace parsing

SessionError::SessionError(const std::string& file, int line, int column,
                           const std::string& message)
    : std::runtime_error(formatError(file, line, column, message)), m_file(file), m_line(line),
      m_column(column), m_message(message) {}

const char* flagName(Flag flag) {
    for (const parsing::FlagWord& entry : parsing::kFlags)
        if (entry.flag == flag)
            return entry.word;
    return "?";
}

Session parseSession(const std::string& text, const std::string& file,
                     const SessionLimits& limits) {
    return parsing::Parser(file, limits).parse(text);
}

} // namespace inputscope
