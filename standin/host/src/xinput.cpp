#include "vel/xinput.h"

#include <cstring>
#include <mutex>

#include "host/control.h"

// The platform's XInput: the real one on Windows, the simulated machine elsewhere.
#if defined(_WIN32)
#include <windows.h>
#include <xinput.h>
#else
#include "winsim/windows.h"
#endif

static_assert(sizeof(_tov_XINPUT_STATE) == sizeof(XINPUT_STATE), "XINPUT_STATE layout");
static_assert(sizeof(_tov_XINPUT_VIBRATION) == sizeof(XINPUT_VIBRATION), "XINPUT_VIBRATION layout");

namespace {

constexpr std::uint32_t kUsers = 4;
constexpr std::uint32_t kNotConnected = 1167; // ERROR_DEVICE_NOT_CONNECTED

struct User {
    bool scripted = true;
    bool connected = false;
    _tov_XINPUT_STATE state{};
    std::uint32_t getStateCalls = 0;
};

std::mutex g_mutex;
User g_users[kUsers];
std::vector<host::xinput::Vibration> g_rumbleLog;

} // namespace

std::uint32_t tovXInputGetState(std::uint32_t userIndex, _tov_XINPUT_STATE* state) {
    if (userIndex >= kUsers)
        return kNotConnected;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        User& user = g_users[userIndex];
        ++user.getStateCalls;
        if (user.scripted) {
            if (!user.connected)
                return kNotConnected;
            *state = user.state;
            return 0;
        }
    }
    return XInputGetState(userIndex, reinterpret_cast<XINPUT_STATE*>(state));
}

std::uint32_t tovXInputSetState(std::uint32_t userIndex, _tov_XINPUT_VIBRATION* vibration) {
    if (userIndex >= kUsers)
        return kNotConnected;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        User& user = g_users[userIndex];
        if (g_rumbleLog.size() < host::xinput::kRumbleLogLimit)
            g_rumbleLog.push_back({userIndex, *vibration});
        if (user.scripted)
            return user.connected ? 0 : kNotConnected;
    }
    return XInputSetState(userIndex, reinterpret_cast<XINPUT_VIBRATION*>(vibration));
}

namespace host {
namespace xinput {

void setReport(std::uint32_t user, const _tov_XINPUT_GAMEPAD& report) {
    if (user >= kUsers)
        return;
    std::lock_guard<std::mutex> guard(g_mutex);
    User& u = g_users[user];
    u.scripted = true;
    if (std::memcmp(&u.state.Gamepad, &report, sizeof report) != 0)
        ++u.state.dwPacketNumber;
    u.state.Gamepad = report;
}

namespace {
void setConnected(std::uint32_t user, bool connected) {
    if (user >= kUsers)
        return;
    std::lock_guard<std::mutex> guard(g_mutex);
    g_users[user].scripted = true;
    g_users[user].connected = connected;
}
} // namespace

void connect(std::uint32_t user) {
    setConnected(user, true);
}
void disconnect(std::uint32_t user) {
    setConnected(user, false);
}

void useDevice(std::uint32_t user) {
    if (user >= kUsers)
        return;
    std::lock_guard<std::mutex> guard(g_mutex);
    g_users[user].scripted = false;
}

std::uint32_t getStateCalls(std::uint32_t user) {
    if (user >= kUsers)
        return 0;
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_users[user].getStateCalls;
}

std::vector<Vibration> rumbleLog() {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_rumbleLog;
}

void clearRumbleLog() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_rumbleLog.clear();
}

void reset() {
    std::lock_guard<std::mutex> guard(g_mutex);
    for (User& u : g_users)
        u = User();
    g_rumbleLog.clear();
}

} // namespace xinput
} // namespace host
