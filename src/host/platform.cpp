#include "host/platform.h"

#include <cstddef>

#include "input/input_x86.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "winsim/windows.h"
#endif

namespace input {
namespace platform {

static_assert(sizeof(SrwLock) == sizeof(SRWLOCK), "SRWLOCK layout");
static_assert(sizeof(RawInputDevice) == sizeof(RAWINPUTDEVICE) && sizeof(RAWINPUTDEVICE) == 16,
              "RAWINPUTDEVICE layout");
static_assert(offsetof(RawInputDevice, hwndTarget) == offsetof(RAWINPUTDEVICE, hwndTarget),
              "RAWINPUTDEVICE layout");
static_assert(sizeof(StickyKeysRecord) == sizeof(STICKYKEYS), "STICKYKEYS layout");
static_assert(sizeof(ToggleKeysRecord) == sizeof(TOGGLEKEYS), "TOGGLEKEYS layout");
static_assert(sizeof(FilterKeysRecord) == sizeof(FILTERKEYS), "FILTERKEYS layout");
static_assert(SPI_ACTION_GET_STICKY_KEYS == SPI_GETSTICKYKEYS &&
                  SPI_ACTION_SET_STICKY_KEYS == SPI_SETSTICKYKEYS &&
                  SPI_ACTION_GET_TOGGLE_KEYS == SPI_GETTOGGLEKEYS &&
                  SPI_ACTION_SET_TOGGLE_KEYS == SPI_SETTOGGLEKEYS &&
                  SPI_ACTION_GET_FILTER_KEYS == SPI_GETFILTERKEYS &&
                  SPI_ACTION_SET_FILTER_KEYS == SPI_SETFILTERKEYS,
              "SPI actions");
static_assert(ACCESS_HOT_KEY_ACTIVE == SKF_HOTKEYACTIVE &&
                  ACCESS_CONFIRM_HOT_KEY == SKF_CONFIRMHOTKEY &&
                  ACCESS_HOT_KEY_ACTIVE == TKF_HOTKEYACTIVE &&
                  ACCESS_HOT_KEY_ACTIVE == FKF_HOTKEYACTIVE,
              "accessibility flags");
static_assert(METRIC_CX_SCREEN == SM_CXSCREEN && METRIC_CY_SCREEN == SM_CYSCREEN &&
                  METRIC_CX_VIRTUAL_SCREEN == SM_CXVIRTUALSCREEN &&
                  METRIC_CY_VIRTUAL_SCREEN == SM_CYVIRTUALSCREEN,
              "system metrics");
static_assert(MAP_VK_TO_VSC == MAPVK_VK_TO_VSC, "MapVirtualKey type");

void acquireSrwLockExclusive(SrwLock& lock) {
    AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&lock));
}

void releaseSrwLockExclusive(SrwLock& lock) {
    ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&lock));
}

std::uint32_t currentThreadId() {
    return GetCurrentThreadId();
}

std::int16_t getAsyncKeyState(int virtualKey) {
    return GetAsyncKeyState(virtualKey);
}

int getSystemMetrics(int index) {
    return GetSystemMetrics(index);
}

bool systemParametersInfo(std::uint32_t action, std::uint32_t uiParam, void* record,
                          std::uint32_t winIni) {
    return SystemParametersInfoA(action, uiParam, record, winIni) != FALSE;
}

bool registerRawInputDevices(const RawInputDevice* devices, std::uint32_t count) {
    return RegisterRawInputDevices(reinterpret_cast<const RAWINPUTDEVICE*>(devices), count,
                                   sizeof(RAWINPUTDEVICE)) != FALSE;
}

std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    return MapVirtualKeyA(code, mapType);
}

int getKeyNameText(std::int32_t lParam, char* buffer, int size) {
    return GetKeyNameTextA(lParam, buffer, size);
}

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool deleteFile(const char* path) {
    return DeleteFileA(path) != 0;
}

PathKind pathKind(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::MISSING;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return PathKind::FOLDER;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? PathKind::READ_ONLY_FILE : PathKind::FILE;
}

} // namespace platform
} // namespace input
