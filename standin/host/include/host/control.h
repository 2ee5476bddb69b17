#pragma once

// What a test or a tool may do to the host stand-in beyond the engine's own interfaces: count and
// fail heap allocations, script the four XInput users, and put everything back to its start.

#include <cstdint>
#include <vector>

#include "host/api.h"
#include "vel/xinput.h"

namespace host {

namespace memory {
// Allocations served since the process started.
HOST_API std::uint64_t allocationCount();
// Blocks allocated and not yet freed.
HOST_API std::int64_t liveBlocks();
// Makes the n-th next allocation throw std::bad_alloc (1 = the very next one); 0 disarms.
HOST_API void failNthAllocation(std::uint64_t n);
// True while a failure is armed and has not fired yet.
HOST_API bool failureArmed();
} // namespace memory

namespace xinput {
// Scripts user `user` (0-3) as connected, with this report.
HOST_API void setReport(std::uint32_t user, const _tov_XINPUT_GAMEPAD& report);
// Scripts the user as not connected.
HOST_API void disconnect(std::uint32_t user);
// Hands the user back to the platform's XInput (a real controller on Windows).
HOST_API void useDevice(std::uint32_t user);
// tovXInputGetState calls made for the user since the last reset.
HOST_API std::uint32_t getStateCalls(std::uint32_t user);
// Vibration messages sent to the user since the last reset, oldest first.
HOST_API std::vector<_tov_XINPUT_VIBRATION> vibrations(std::uint32_t user);
// Scripts all four users as not connected and clears the logs.
HOST_API void reset();
} // namespace xinput

// Everything above back to its start, tweakables to their defaults, the string table emptied.
HOST_API void resetAll();

} // namespace host
