#include "system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace inputscope {

namespace {

#ifdef _WIN32
bool consoleShowsColour(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}
#endif

} // namespace

bool stdoutIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) && consoleShowsColour(STD_OUTPUT_HANDLE);
#else
    return isatty(fileno(stdout));
#endif
}

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) && consoleShowsColour(STD_ERROR_HANDLE);
#else
    return isatty(fileno(stderr));
#endif
}

void useBinaryStdout() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool readFile(const std::string& path, std::string& content, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    content.clear();
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "read error";
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    std::string temporary = path + ".inputscope-tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    ok = std::fflush(file) == 0 && ok;
    if (!ok)
        error = std::strerror(errno);
    if (std::fclose(file) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
#ifdef _WIN32
    if (ok && !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "cannot replace the file (error " + std::to_string(GetLastError()) + ")";
        ok = false;
    }
#else
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
#endif
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

} // namespace inputscope
