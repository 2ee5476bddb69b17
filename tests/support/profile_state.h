#pragma once

// What a key binding screen's call can change, taken whole so that a test compares before and
// after: both binding tables, the settings and the files of a folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "input/input.h"
#include "input/rebinding.h"

namespace testing_support {

constexpr int kHighestId = 400; // past the default table's last id

inline std::vector<unsigned short> bindingsOf(const input::InputManager& m,
                                              input::BindingDevice device, int action) {
    unsigned short codes[32];
    int n = input::getBindings(m, device, action, codes, 32);
    return std::vector<unsigned short>(codes, codes + (n < 32 ? n : 32));
}

// Both tables as the queries see them, ids -1 to kHighestId and one far id.
inline std::string tables(const input::InputManager& m) {
    std::ostringstream out;
    for (int device = 0; device < 2; ++device) {
        for (int id = -1; id <= kHighestId + 1; ++id) {
            int action = id > kHighestId ? 5000 : id;
            for (unsigned short code : bindingsOf(m, input::BindingDevice(device), action))
                out << device << ':' << action << '=' << code << ' ';
        }
    }
    return out.str();
}

// The inversions and sticks-swapped as five digits.
inline std::string settings(input::InputManager& m) {
    std::ostringstream out;
    out << m.getInvertVerticalForMouse() << m.getInvertHorizontalForMouse()
        << m.getInvertVerticalForPad() << m.getInvertHorizontalForPad() << m.isSticksSwapped();
    return out.str();
}

inline std::string profileText(const input::InputManager& m) {
    std::size_t size = input::writeBindingProfile(m, nullptr, 0);
    std::string text(size, '\0');
    EXPECT_EQ(input::writeBindingProfile(m, &text[0], size), size);
    return text;
}

// Everything a profile call may change on the manager, the mouse sensitivity included (which
// only the profile's text shows).
inline std::string visibleState(input::InputManager& m) {
    return tables(m) + "|" + settings(m) + "|" + profileText(m);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline bool fileExists(const std::string& path) {
    return std::ifstream(path).good();
}

// A folder of its own for one test, removed with it; its listing names every entry with the
// bytes of each file, so a call that left a temporary file or changed one shows.
class Folder {
public:
    explicit Folder(const std::string& name)
        : m_path(std::filesystem::path(::testing::TempDir()) / name) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~Folder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string path(const std::string& name) const { return (m_path / name).string(); }

    std::map<std::string, std::string> listing() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path)) {
            std::string name = entry.path().lexically_relative(m_path).generic_string();
            files[name] = entry.is_directory() ? "<folder>" : readFile(entry.path().string());
        }
        return files;
    }

private:
    std::filesystem::path m_path;
};

} // namespace testing_support
