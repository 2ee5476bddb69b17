#include "system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
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

// A size as a limit is named: whole MiB or KiB when it is one, else bytes.
std::string sizeText(std::size_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

// Reads to the end, refusing more than `limit` bytes.
bool readStream(std::FILE* file, std::size_t limit, std::string& content, std::string& error) {
    content.clear();
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (content.size() + got > limit) {
            error = "larger than " + sizeText(limit);
            content.clear();
            return false;
        }
        content.append(buffer, got);
    }
    if (std::ferror(file)) {
        error = "read error";
        return false;
    }
    return true;
}

// A new file that did not exist before, for writing.
std::FILE* createNew(const std::string& path) {
#ifdef _WIN32
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    return fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    return fd < 0 ? nullptr : fdopen(fd, "wb");
#endif
}

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

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

void useBinaryStdio() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool readFile(const std::string& path, std::size_t limit, std::string& content,
              std::string& error) {
    if (path == "-")
        return readStandardInput(limit, content, error);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = readStream(file, limit, content, error);
    std::fclose(file);
    return ok;
}

bool readStandardInput(std::size_t limit, std::string& content, std::string& error) {
    return readStream(stdin, limit, content, error);
}

std::FILE* scratchFile(std::string& error) {
#ifdef _WIN32
    // msvcrt's tmpfile() creates in the root of the drive, where a user may not write.
    char folder[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) {
        error = "no folder for temporary files (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    static int serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = std::string(folder) + "inputscope-" + std::to_string(processId()) + "-" +
                           std::to_string(++serial) + ".tmp";
        int fd = _open(name.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_TEMPORARY,
                       _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            if (std::FILE* file = _fdopen(fd, "w+b"))
                return file;
            _close(fd);
        }
        if (errno != EEXIST)
            break;
    }
    error = std::strerror(errno);
    return nullptr;
#else
    std::FILE* file = std::tmpfile();
    if (!file)
        error = std::strerror(errno);
    return file;
#endif
}

bool writeFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    OutputFile file;
    return file.open(path, error) && file.write(content, error) && file.commit(error);
}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open(const std::string& path, std::string& error) {
    discard();
    static int serial = 0;
    // A name of its own for every file of every run, so that runs side by side never meet.
    for (int attempt = 0; attempt < 100 && !m_file; ++attempt) {
        m_temporary = path + ".tmp-" + std::to_string(processId()) + "-" + std::to_string(++serial);
        m_file = createNew(m_temporary);
        if (!m_file && errno != EEXIST)
            break;
    }
    if (!m_file) {
        error = std::strerror(errno);
        m_temporary.clear();
        return false;
    }
    m_path = path;
    return true;
}

bool OutputFile::write(const std::string& bytes, std::string& error) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string& error) {
    bool ok = std::fflush(m_file) == 0;
    if (!ok)
        error = std::strerror(errno);
    if (std::fclose(m_file) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    m_file = nullptr;
#ifdef _WIN32
    if (ok && !MoveFileExA(m_temporary.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "cannot replace the file (error " + std::to_string(GetLastError()) + ")";
        ok = false;
    }
#else
    if (ok && std::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
#endif
    if (ok)
        m_temporary.clear();
    discard();
    return ok;
}

void OutputFile::discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporary.empty()) {
        std::remove(m_temporary.c_str());
        m_temporary.clear();
    }
}

} // namespace inputscope
