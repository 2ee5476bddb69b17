#pragma once

// Every operating-system call the library makes. The declarations use the library's own types;
// platform.cpp binds them to Windows (or to the simulated platform) and checks that the records
// have Windows' layouts.

#include <cstdint>

namespace input {
namespace platform {

// Layout of SRWLOCK: one pointer-sized word, zero when free.
struct SrwLock {
    void* opaque = nullptr;
};

void acquireSrwLockExclusive(SrwLock& lock);
void releaseSrwLockExclusive(SrwLock& lock);
std::uint32_t currentThreadId();

// Layout of RAWINPUTDEVICE (16 bytes).
struct RawInputDevice {
    std::uint16_t usUsagePage;
    std::uint16_t usUsage;
    std::uint32_t dwFlags;
    void* hwndTarget;
};

std::int16_t getAsyncKeyState(int virtualKey);
int getSystemMetrics(int index);
bool systemParametersInfo(std::uint32_t action, std::uint32_t uiParam, void* record,
                          std::uint32_t winIni);
bool registerRawInputDevices(const RawInputDevice* devices, std::uint32_t count);
std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType);
int getKeyNameText(std::int32_t lParam, char* buffer, int size);

// Moves `from` over `to` in one step, replacing it, and returns once the move is on the disk.
bool replaceFile(const char* from, const char* to);
bool deleteFile(const char* path);

// What a path names, for a message that says why a file cannot be replaced.
enum class PathKind { MISSING, FOLDER, READ_ONLY_FILE, FILE };
PathKind pathKind(const char* path);

// Windows' values for the calls above (named apart from <windows.h>'s macros).
enum : int {
    METRIC_CX_SCREEN = 0,
    METRIC_CY_SCREEN = 1,
    METRIC_CX_VIRTUAL_SCREEN = 78,
    METRIC_CY_VIRTUAL_SCREEN = 79,
};
enum : std::uint32_t {
    SPI_ACTION_GET_FILTER_KEYS = 50,
    SPI_ACTION_SET_FILTER_KEYS = 51,
    SPI_ACTION_GET_TOGGLE_KEYS = 52,
    SPI_ACTION_SET_TOGGLE_KEYS = 53,
    SPI_ACTION_GET_STICKY_KEYS = 58,
    SPI_ACTION_SET_STICKY_KEYS = 59,
    ACCESS_HOT_KEY_ACTIVE = 0x4,  // SKF_/TKF_/FKF_HOTKEYACTIVE
    ACCESS_CONFIRM_HOT_KEY = 0x8, // SKF_/TKF_/FKF_CONFIRMHOTKEY
    MAP_VK_TO_VSC = 0,
};

} // namespace platform
} // namespace input
