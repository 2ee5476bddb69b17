#pragma once

// Drives the simulated Windows machine: what the operating system would report, and a record of
// what was asked of it.

#include <cstdint>
#include <vector>

#include "winsim/windows.h"

namespace winsim {

// Back to a fresh machine: no keys down, the default screens, US key names, the default
// accessibility settings, no registrations, empty logs.
WINSIM_API void reset();

// What GetAsyncKeyState answers for `vk` (0-255); bit 15 means down.
WINSIM_API void setAsyncKeyState(int vk, SHORT state);
WINSIM_API void setSystemMetric(int index, int value);
// The name GetKeyNameTextA gives scan code `scan` (0x100 marks an extended key); null makes the
// key nameless.
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
WINSIM_API void setAccessibility(const STICKYKEYS& sticky, const TOGGLEKEYS& toggle,
                                 const FILTERKEYS& filter);

} // namespace winsim
