#pragma once

// The session parser's inside, shared by its sources: session.cpp reads lines into tokens and
// checks bytes, session_values.cpp reads the values of a statement (numbers, keys, buttons,
// actions), session_statements.cpp knows each statement.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "names.h"
#include "session.h"
#include "text.h"

namespace inputscope {
namespace parsing {

// A token as a message shows it: quoted, and cut to a readable length, since a line may hold
// megabytes of one word.
std::string shown(const std::string& text);
std::string quoted(const std::string& text);

struct Token {
    std::string text;
    int column = 0; // of the first character
    int end = 0;    // column just past the last character
};

struct FlagWord {
    const char* word;
    Flag flag;
};
inline const FlagWord kFlags[] = {
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

class Parser {
public:
    Parser(const std::string& file, const SessionLimits& limits);
    Session parse(const std::string& text);

private:
    // `column` counts bytes; the message counts characters, as an editor shows them.
    [[noreturn]] void fail(int column, const std::string& message) const;
    // A session is text: UTF-8, with tab as its only control character.
    void checkBytes(const std::string& line) const;
    // Frames and re-reads within the budget: the total is checked before it grows.
    void spend(long long frames, const Token& at, const char* what);
    [[noreturn]] void fail(const Token& at, const std::string& message) const;
    void tokenize(const std::string& line);
    bool atEnd() const { return m_pos >= m_tokens.size(); }
    const Token& peek() const { return m_tokens[m_pos]; }
    const Token& next(const std::string& expected);
    // An optional last word: true when it is there, an error when something else is.
    bool optionalLast(const std::string& keyword);
    void expectEnd();
    // "key=value": the value and its column; false when the token is not of that form.
    static bool keyValue(const Token& token, std::string& key, Token& value);
    double number(const Token& token, const std::string& what) const;
    double numberIn(const Token& token, double lo, double hi, const std::string& what) const;
    // A value for a float field: beyond float's range the cast would give infinity.
    float floatNumber(const Token& token, const std::string& what) const;
    long long integer(const Token& token, long long lo, long long hi,
                      const std::string& what) const;
    static std::string trim(double value);
    bool onOff(const Token& token) const;
    int slot(const Token& token) const;
    int action(const Token& token) const;
    int key(const Token& token, int highest) const;
    int padCode(const Token& token) const;
    std::int16_t stick(const Token& token) const;
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
    Statement parseStatement();
    void parseFrame(Statement& s);
    void parsePad(Statement& s);
    void parseRawKey(Statement& s);
    void parseMouse(Statement& s);
    void parseAction(Statement& s);
    std::uint32_t channels(const Token& token) const;
    void parseInvert(Statement& s);
    void parseExclusive(Statement& s);
    void parseRumble(Statement& s);
    void parseTweak(Statement& s);
    // session_contexts.cpp: the statements of the contexts layer; false for another word.
    bool parseContextStatement(const std::string& word, Statement& s);
    void parseMap(Statement& s);
    input::Source source(const Token& token);
    void triggerItem(const Token& token, input::Mapping& m);
    bool modifierItem(const Token& token, input::Mapping& m);
    int mappingAction(const Token& token) const;
    int context(const Token& token) const;
    static Token part(const Token& token, std::size_t from, std::size_t length);

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
    std::map<std::string, int> m_mappingActions, m_contexts; // ids in definition order
    Session* m_session = nullptr;
};

} // namespace parsing
} // namespace inputscope
