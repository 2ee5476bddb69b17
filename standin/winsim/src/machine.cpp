#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>

#include "keyboard_layout.h"
#include "winsim/control.h"

namespace {

constexpr DWORD kStickyDefault = 0x1FE; // available, hot key active and confirmed, sounds
constexpr DWORD kToggleDefault = 0x3E;
constexpr DWORD kFilterDefault = 0x7E;

constexpr unsigned kScanCodes = 0x200; // set-1 codes, 0x100 marking the extended ones

struct Machine {
    std::mutex mutex;
    SHORT asyncKeys[256];
    std::vector<int> asyncKeyQueries;
    std::map<int, int> metrics;
    unsigned scanCodes[256];
    std::string keyNames[kScanCodes]; // empty: nameless
    std::vector<winsim::SpiCall> spiCalls;
    std::vector<RAWINPUTDEVICE> registrations;
    STICKYKEYS sticky;
    TOGGLEKEYS toggle;
    FILTERKEYS filter;
    bool fileMovesFail;
    std::vector<std::pair<std::string, std::string>> fileMoves;

    Machine() {
        // The log's room is taken once, so that the frames that fill it allocate nothing.
        asyncKeyQueries.reserve(winsim::kQueryLogLimit);
        reset(winsim::Layout::Us);
    }

    void reset(winsim::Layout layout) {
        std::lock_guard<std::mutex> guard(mutex);
        for (SHORT& key : asyncKeys)
            key = 0;
        asyncKeyQueries.clear();
        metrics = {{SM_CXSCREEN, 1920},
                   {SM_CYSCREEN, 1080},
                   {SM_CXVIRTUALSCREEN, 3840},
                   {SM_CYVIRTUALSCREEN, 1200}};
        const bool us = layout == winsim::Layout::Us;
        for (unsigned vk = 0; vk < 256; ++vk)
            scanCodes[vk] = us ? winsim::usScanCode(vk) : 0;
        for (unsigned scan = 0; scan < kScanCodes; ++scan) {
            const char* name = us ? winsim::usKeyName(scan) : nullptr;
            keyNames[scan] = name ? name : "";
        }
        spiCalls.clear();
        registrations.clear();
        sticky = {sizeof(STICKYKEYS), kStickyDefault};
        toggle = {sizeof(TOGGLEKEYS), kToggleDefault};
        filter = {sizeof(FILTERKEYS), kFilterDefault, 0, 1000, 500, 0};
        fileMovesFail = false;
        fileMoves.clear();
    }
};

Machine& machine() {
    static Machine m;
    return m;
}

// Runs `f` on the machine under its lock: every setter and getter of the controls.
template <class F> auto locked(F f) {
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    return f(m);
}

// The accessibility record an SPI action reads or writes, with its size; null for other actions.
void* accessibilityRecord(Machine& m, UINT action, UINT& size, bool& isSet) {
    isSet = false;
    switch (action) {
    case SPI_SETSTICKYKEYS: isSet = true; [[fallthrough]];
    case SPI_GETSTICKYKEYS: size = sizeof(STICKYKEYS); return &m.sticky;
    case SPI_SETTOGGLEKEYS: isSet = true; [[fallthrough]];
    case SPI_GETTOGGLEKEYS: size = sizeof(TOGGLEKEYS); return &m.toggle;
    case SPI_SETFILTERKEYS: isSet = true; [[fallthrough]];
    case SPI_GETFILTERKEYS: size = sizeof(FILTERKEYS); return &m.filter;
    default: size = 0; return nullptr;
    }
}

} // namespace

extern "C" {

SHORT GetAsyncKeyState(int vKey) {
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    if (m.asyncKeyQueries.size() < winsim::kQueryLogLimit)
        m.asyncKeyQueries.push_back(vKey);
    return vKey < 0 || vKey > 255 ? SHORT(0) : m.asyncKeys[vKey];
}

int GetSystemMetrics(int index) {
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    auto it = m.metrics.find(index);
    return it == m.metrics.end() ? 0 : it->second;
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT fWinIni) {
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    winsim::SpiCall call{action, uiParam, fWinIni, {}};
    UINT size = 0;
    bool isSet = false;
    void* record = accessibilityRecord(m, action, size, isSet);
    BOOL ok = FALSE;
    // Windows insists that both uiParam and the record's cbSize give the record's size.
    if (record && pvParam && uiParam == size && *static_cast<UINT*>(pvParam) == size) {
        if (isSet)
            std::memcpy(record, pvParam, size);
        else
            std::memcpy(pvParam, record, size);
        ok = TRUE;
    }
    if (pvParam && size)
        std::memcpy(call.record, pvParam, size);
    m.spiCalls.push_back(call);
    return ok;
}

BOOL RegisterRawInputDevices(PCRAWINPUTDEVICE devices, UINT count, UINT cbSize) {
    if (!devices || cbSize != sizeof(RAWINPUTDEVICE))
        return FALSE;
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    for (UINT i = 0; i < count; ++i)
        m.registrations.push_back(devices[i]);
    return TRUE;
}

UINT MapVirtualKeyA(UINT code, UINT mapType) {
    if (mapType != MAPVK_VK_TO_VSC || code > 255)
        return 0;
    return locked([&](Machine& m) { return m.scanCodes[code]; });
}

int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    unsigned scan = (static_cast<unsigned>(lParam) >> 16) & (kScanCodes - 1);
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    const std::string& name = m.keyNames[scan];
    int n = static_cast<int>(name.size());
    if (n > size - 1)
        n = size - 1;
    std::memcpy(buffer, name.data(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return n;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR replacement, DWORD flags) {
    if (!existing || !replacement)
        return FALSE;
    bool fail = locked([&](Machine& m) {
        m.fileMoves.emplace_back(existing, replacement);
        return m.fileMovesFail;
    });
    if (fail)
        return FALSE;
    DWORD target = GetFileAttributesA(replacement);
    if (target != INVALID_FILE_ATTRIBUTES) {
        // Windows replaces neither a folder nor a read-only file, whatever the flags say.
        if (!(flags & MOVEFILE_REPLACE_EXISTING) ||
            (target & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
            return FALSE;
    }
    // rename replaces the target in one step, as the Windows move does on one volume.
    return std::rename(existing, replacement) == 0 ? TRUE : FALSE;
}

DWORD GetFileAttributesA(LPCSTR path) {
    struct stat status;
    if (!path || ::stat(path, &status) != 0)
        return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(status.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return (status.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL DeleteFileA(LPCSTR path) {
    return path && std::remove(path) == 0 ? TRUE : FALSE;
}

// No controller is attached to the simulated machine; the host's wrapper scripts pads itself.
DWORD XInputGetState(DWORD, XINPUT_STATE*) {
    return ERROR_DEVICE_NOT_CONNECTED;
}
DWORD XInputSetState(DWORD, XINPUT_VIBRATION*) {
    return ERROR_DEVICE_NOT_CONNECTED;
}

} // extern "C"

namespace winsim {

void reset(Layout layout) {
    machine().reset(layout);
}

void setFileMovesFail(bool fail) {
    locked([&](Machine& m) { m.fileMovesFail = fail; });
}

std::vector<std::pair<std::string, std::string>> fileMoves() {
    return locked([&](Machine& m) { return m.fileMoves; });
}

void setAsyncKeyState(int vk, SHORT state) {
    if (vk < 0 || vk > 255)
        return;
    locked([&](Machine& m) { m.asyncKeys[vk] = state; });
}

std::vector<int> asyncKeyQueries() {
    return locked([&](Machine& m) { return m.asyncKeyQueries; });
}

void clearAsyncKeyQueries() {
    locked([&](Machine& m) { m.asyncKeyQueries.clear(); });
}

void setSystemMetric(int index, int value) {
    locked([&](Machine& m) { m.metrics[index] = value; });
}

void setScanCode(unsigned vk, unsigned scan) {
    if (vk > 255)
        return;
    locked([&](Machine& m) { m.scanCodes[vk] = scan; });
}

void setKeyName(unsigned scan, const char* name) {
    locked([&](Machine& m) { m.keyNames[scan & (kScanCodes - 1)] = name ? name : ""; });
}

std::vector<SpiCall> spiCalls() {
    return locked([&](Machine& m) { return m.spiCalls; });
}

std::vector<RAWINPUTDEVICE> rawInputRegistrations() {
    return locked([&](Machine& m) { return m.registrations; });
}

STICKYKEYS stickyKeys() {
    return locked([&](Machine& m) { return m.sticky; });
}

TOGGLEKEYS toggleKeys() {
    return locked([&](Machine& m) { return m.toggle; });
}

FILTERKEYS filterKeys() {
    return locked([&](Machine& m) { return m.filter; });
}

void setAccessibility(const STICKYKEYS& sticky, const TOGGLEKEYS& toggle,
                      const FILTERKEYS& filter) {
    Machine& m = machine();
    std::lock_guard<std::mutex> guard(m.mutex);
    m.sticky = sticky;
    m.toggle = toggle;
    m.filter = filter;
}

} // namespace winsim
