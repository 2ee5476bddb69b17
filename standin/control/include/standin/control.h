#pragma once

// One place from which tests and tools drive the machine around the library: the host stand-in
// (heap, XInput users, tweakables, string table) and the platform. On the simulated platform
// everything can be set; on Windows the operating system's own state cannot, so the setters of
// platform state do nothing there and the getters report the real system.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/control.h"
#include "vel/xinput.h"

namespace input {
class InputManager;
}

namespace sim {

// True when the platform is the simulated one (not Windows).
bool isSimulated();

// The keyboard layout a reset gives the simulated machine: the US one, or none at all (every
// virtual key maps to scan code 0, every scan code is nameless).
enum class Layout { Us, Empty };

// The host stand-in and the platform back to their start; docs/simulation.md lists every value.
void reset(Layout layout = Layout::Us);

// XInput users 0-3. The report and the connection are set apart, as XInput keeps them: a report
// reaches the library only while the user is connected.
void setPad(unsigned user, const _tov_XINPUT_GAMEPAD& report);
void connectPad(unsigned user);
void disconnectPad(unsigned user);
unsigned padReads(unsigned user);
// The vibration messages sent to any user, in the order they were sent.
using Vibration = host::xinput::Vibration;
std::vector<Vibration> rumbleLog();
void clearRumbleLog();

// The operating system's asynchronous key state (mouse buttons reach the library this way), and
// the virtual keys it was asked about, in order.
void setAsyncKey(int vk, bool down);
std::vector<int> asyncKeyQueries();
void clearAsyncKeyQueries();

// While set, the platform's file move (MoveFileExA) fails and moves nothing; the moves asked for
// since the last reset as (from, to).
void setFileMovesFail(bool fail);
std::vector<std::pair<std::string, std::string>> fileMoves();

void setScreenMetric(int index, int value);
int screenMetric(int index);

// Key names as the platform gives them: MapVirtualKeyA's scan code of a virtual key, and
// GetKeyNameTextA's name of a scan code (0x100 marks an extended key; empty makes it nameless).
void setScanCode(unsigned vk, unsigned scan);
void setKeyName(unsigned scan, const char* name);
std::string keyNameText(std::int32_t lParam);
unsigned mapVirtualKey(unsigned vk);

// The manager's `debugButtonsAllowed`, which no operation of the manager sets: the one way a test
// reaches the allowed side of the debug-button predicates. Works on every platform.
void setDebugButtonsAllowed(input::InputManager& manager, bool allowed);

struct SpiCall {
    std::uint32_t action;
    std::uint32_t uiParam;
    std::uint32_t fWinIni;
    std::uint32_t cbSize;
    std::uint32_t dwFlags;
};
std::vector<SpiCall> spiCalls();

struct RawInputRegistration {
    std::uint16_t usagePage;
    std::uint16_t usage;
    std::uint32_t flags;
    bool targetWindow;
};
std::vector<RawInputRegistration> rawInputRegistrations();

struct AccessibilityFlags {
    std::uint32_t sticky;
    std::uint32_t toggle;
    std::uint32_t filter;
};
AccessibilityFlags accessibilityFlags();
void setAccessibilityFlags(const AccessibilityFlags& flags);

} // namespace sim
