#include "standin/control.h"

#include <cstring>

#include "d/tweakable.h"
#include "loc/string_table.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "winsim/control.h"
#endif

namespace sim {

void setPad(unsigned user, const _tov_XINPUT_GAMEPAD& report) {
    host::xinput::setReport(user, report);
}
void connectPad(unsigned user) {
    host::xinput::connect(user);
}
void disconnectPad(unsigned user) {
    host::xinput::disconnect(user);
}
unsigned padReads(unsigned user) {
    return host::xinput::getStateCalls(user);
}
std::vector<Vibration> rumbleLog() {
    return host::xinput::rumbleLog();
}
void clearRumbleLog() {
    host::xinput::clearRumbleLog();
}

std::string keyNameText(std::int32_t lParam) {
    char buffer[128] = {};
    GetKeyNameTextA(lParam, buffer, sizeof buffer);
    return buffer;
}

unsigned mapVirtualKey(unsigned vk) {
    return MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
}

int screenMetric(int index) {
    return GetSystemMetrics(index);
}

#if defined(_WIN32)

bool isSimulated() {
    return false;
}
void reset(Layout) {
    host::resetAll();
}
void setAsyncKey(int, bool) {}
std::vector<int> asyncKeyQueries() {
    return {};
}
void clearAsyncKeyQueries() {}
void setFileMovesFail(bool) {}
std::vector<std::pair<std::string, std::string>> fileMoves() {
    return {};
}
void setScreenMetric(int, int) {}
void setScanCode(unsigned, unsigned) {}
void setKeyName(unsigned, const char*) {}
std::vector<SpiCall> spiCalls() {
    return {};
}
std::vector<RawInputRegistration> rawInputRegistrations() {
    return {};
}

AccessibilityFlags accessibilityFlags() {
    STICKYKEYS sticky{sizeof sticky, 0};
    TOGGLEKEYS toggle{sizeof toggle, 0};
    FILTERKEYS filter{sizeof filter, 0, 0, 0, 0, 0};
    SystemParametersInfoA(SPI_GETSTICKYKEYS, sizeof sticky, &sticky, 0);
    SystemParametersInfoA(SPI_GETTOGGLEKEYS, sizeof toggle, &toggle, 0);
    SystemParametersInfoA(SPI_GETFILTERKEYS, sizeof filter, &filter, 0);
    return {sticky.dwFlags, toggle.dwFlags, filter.dwFlags};
}

void setAccessibilityFlags(const AccessibilityFlags&) {}

#else

bool isSimulated() {
    return true;
}

void reset(Layout layout) {
    host::resetAll();
    winsim::reset(layout == Layout::Us ? winsim::Layout::Us : winsim::Layout::Empty);
}

void setAsyncKey(int vk, bool down) {
    winsim::setAsyncKeyState(vk, down ? static_cast<SHORT>(0x8000) : SHORT(0));
}
std::vector<int> asyncKeyQueries() {
    return winsim::asyncKeyQueries();
}
void clearAsyncKeyQueries() {
    winsim::clearAsyncKeyQueries();
}

void setFileMovesFail(bool fail) {
    winsim::setFileMovesFail(fail);
}
std::vector<std::pair<std::string, std::string>> fileMoves() {
    return winsim::fileMoves();
}

void setScreenMetric(int index, int value) {
    winsim::setSystemMetric(index, value);
}
void setScanCode(unsigned vk, unsigned scan) {
    winsim::setScanCode(vk, scan);
}
void setKeyName(unsigned scan, const char* name) {
    winsim::setKeyName(scan, name);
}

std::vector<SpiCall> spiCalls() {
    std::vector<SpiCall> calls;
    for (const winsim::SpiCall& call : winsim::spiCalls()) {
        SpiCall out{call.action, call.uiParam, call.fWinIni, 0, 0};
        std::memcpy(&out.cbSize, call.record, 4);
        std::memcpy(&out.dwFlags, call.record + 4, 4);
        calls.push_back(out);
    }
    return calls;
}

std::vector<RawInputRegistration> rawInputRegistrations() {
    std::vector<RawInputRegistration> out;
    for (const RAWINPUTDEVICE& device : winsim::rawInputRegistrations())
        out.push_back(
            {device.usUsagePage, device.usUsage, device.dwFlags, device.hwndTarget != nullptr});
    return out;
}

AccessibilityFlags accessibilityFlags() {
    return {winsim::stickyKeys().dwFlags, winsim::toggleKeys().dwFlags,
            winsim::filterKeys().dwFlags};
}

void setAccessibilityFlags(const AccessibilityFlags& flags) {
    STICKYKEYS sticky = winsim::stickyKeys();
    TOGGLEKEYS toggle = winsim::toggleKeys();
    FILTERKEYS filter = winsim::filterKeys();
    sticky.dwFlags = flags.sticky;
    toggle.dwFlags = flags.toggle;
    filter.dwFlags = flags.filter;
    winsim::setAccessibility(sticky, toggle, filter);
}

#endif

} // namespace sim
