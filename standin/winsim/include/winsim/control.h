#pragma once

// Drives the simulated Windows machine: what the operating system would report, and a record of
// what was asked of it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "winsim/windows.h"

namespace winsim {

// The keyboard layout a reset installs: the US one, or one in which every virtual key maps to
// scan code 0 and every scan code is nameless.
enum class Layout { Us, Empty };

// Back to a fresh machine: no keys down, the default screens, the layout given, the default
// accessibility settings, no registrations, empty logs (docs/simulation.md lists the values).
WINSIM_API void reset(Layout layout = Layout::Us);

// What GetAsyncKeyState answers for `vk` (0-255); bit 15 means down.
WINSIM_API void setAsyncKeyState(int vk, SHORT state);
// The virtual keys GetAsyncKeyState was asked about since the last reset or clear, in order; the
// log keeps the first kQueryLogLimit.
constexpr std::size_t kQueryLogLimit = 65536;
WINSIM_API std::vector<int> asyncKeyQueries();
WINSIM_API void clearAsyncKeyQueries();

WINSIM_API void setSystemMetric(int index, int value);

// What MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) answers for `vk` (0-255).
WINSIM_API void setScanCode(unsigned vk, unsigned scan);
// The name GetKeyNameTextA gives scan code `scan` (0x100 marks an extended key); null or an empty
// name makes the key nameless.
WINSIM_API void setKeyName(unsigned scan, const char* name);

struct SpiCall {
    UINT action;
    UINT uiParam;
    UINT fWinIni;
    std::uint8_t record[24]; // the record as passed in (SET) or as returned (GET)
};
WINSIM_API std::vector<SpiCall> spiCalls();
WINSIM_API std::vector<RAWINPUTDEVICE> rawInputRegistrations();

WINSIM_API STICKYKEYS stickyKeys();
WINSIM_API TOGGLEKEYS toggleKeys();
WINSIM_API FILTERKEYS filterKeys();
// While set, MoveFileExA fails and moves nothing (a reset clears it). The moves asked for since
// the last reset, failed ones included, as (from, to).
WINSIM_API void setFileMovesFail(bool fail);
WINSIM_API std::vector<std::pair<std::string, std::string>> fileMoves();

WINSIM_API void setAccessibility(const STICKYKEYS& sticky, const TOGGLEKEYS& toggle,
                                 const FILTERKEYS& filter);

} // namespace winsim
