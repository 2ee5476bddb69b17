// libFuzzer target: the input bytes are a session text for inputscope's parser. Whatever they
// hold, the parser either accepts them within the frame budget or stops with one message in
// the form file:line:column: error: ..., on a line the text has, with nothing raw in it.
// AddressSanitizer and UndefinedBehaviorSanitizer judge every step.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "input/input.h"
#include "session.h"
#include "text.h"

namespace {

constexpr long long kBudget = 100000;

[[noreturn]] void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "session_fuzz: %s\n%s\n", what, inputscope::printable(detail).c_str());
    std::abort();
}

// Lines as the parser counts them: one more than the line feeds, unless the text ends in one.
long long lineCount(const std::string& text) {
    long long lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines + (!text.empty() && text.back() != '\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The library's static settings are what 'tweak' resolves against: keep it loaded.
    static const bool loaded = input::InputManager::getInstance() == nullptr;
    (void)loaded;
    std::string text(reinterpret_cast<const char*>(data), size);
    inputscope::SessionLimits limits;
    limits.maxFrames = kBudget;
    try {
        inputscope::Session session = inputscope::parseSession(text, "fuzz.txt", limits);
        if (session.frames < 0 || session.frames > kBudget)
            broken("frames outside the budget", std::to_string(session.frames));
        for (const inputscope::Statement& s : session.statements)
            if (s.line < 1 || s.line > lineCount(text))
                broken("a statement on a line the text does not have", std::to_string(s.line));
    } catch (const inputscope::SessionError& e) {
        std::string message = e.what();
        std::string prefix =
            "fuzz.txt:" + std::to_string(e.line()) + ":" + std::to_string(e.column()) + ": error: ";
        if (message.compare(0, prefix.size(), prefix) != 0 || message.size() == prefix.size())
            broken("a message not in the form file:line:column: error: ...", message);
        if (e.line() < 1 || e.line() > lineCount(text) || e.column() < 1)
            broken("a message pointing outside the text", message);
        if (inputscope::printable(message) != message)
            broken("a message with raw control characters or bytes", message);
    }
    return 0;
}
