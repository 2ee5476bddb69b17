#pragma once

// What a test or a tool may do to the host stand-in beyond the engine's own interfaces: count and
// fail heap allocations, script the four XInput users, and put everything back to its start.

#include <cstddef>
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
// What user `user` (0-3) reports while connected; the packet number moves when it changes. As
// with XInput, the report and the connection are apart: setting one leaves the other.
HOST_API void setReport(std::uint32_t user, const _tov_XINPUT_GAMEPAD& report);
// Scripts the user as connected (GetState succeeds with the report) or not.
HOST_API void connect(std::uint32_t user);
HOST_API void disconnect(std::uint32_t user);
// Hands the user back to the platform's XInput (a real controller on Windows).
HOST_API void useDevice(std::uint32_t user);
// tovXInputGetState calls made for the user since the last reset.
HOST_API std::uint32_t getStateCalls(std::uint32_t user);

// One vibration message as tovXInputSetState received it.
struct Vibration {
    std::uint32_t user;
    _tov_XINPUT_VIBRATION motors;
};
// The messages to every user since the last reset or clear, oldest first; the log keeps the first
// kRumbleLogLimit of them and drops later ones, so a long run cannot grow it without end.
constexpr std::size_t kRumbleLogLimit = 65536;
HOST_API std::vector<Vibration> rumbleLog();
HOST_API void clearRumbleLog();
// Scripts all four users as not connected with an empty report and clears the logs.
HOST_API void reset();
} // namespace xinput

// Everything above back to its start, tweakables to their defaults, the string table emptied.
HOST_API void resetAll();

} // namespace host
