#pragma once

#include <cstdint>

#include "host/api.h"

// The runtime's XInput wrapper: the records and the contract of XInput's XInputGetState and
// XInputSetState (0 = success; anything else from GetState means not connected).
struct _tov_XINPUT_GAMEPAD {
    std::uint16_t wButtons;
    std::uint8_t bLeftTrigger;
    std::uint8_t bRightTrigger;
    std::int16_t sThumbLX;
    std::int16_t sThumbLY;
    std::int16_t sThumbRX;
    std::int16_t sThumbRY;
};

struct _tov_XINPUT_STATE {
    std::uint32_t dwPacketNumber;
    _tov_XINPUT_GAMEPAD Gamepad;
};

struct _tov_XINPUT_VIBRATION {
    std::uint16_t wLeftMotorSpeed;
    std::uint16_t wRightMotorSpeed;
};

static_assert(sizeof(_tov_XINPUT_GAMEPAD) == 12, "XINPUT_GAMEPAD layout");
static_assert(sizeof(_tov_XINPUT_STATE) == 16, "XINPUT_STATE layout");
static_assert(sizeof(_tov_XINPUT_VIBRATION) == 4, "XINPUT_VIBRATION layout");

HOST_API std::uint32_t tovXInputGetState(std::uint32_t userIndex, _tov_XINPUT_STATE* state);
HOST_API std::uint32_t tovXInputSetState(std::uint32_t userIndex, _tov_XINPUT_VIBRATION* vibration);
