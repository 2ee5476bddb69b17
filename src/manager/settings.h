#pragma once

#include "d/tweakable.h"

namespace input {
namespace settings {

// The library's tweakable settings, registered with the host while the library is loaded.
extern d::Tweakable<bool, 0> rumbleEnableOldSystem; // "Rumble:Enable old system (PC)"
extern d::Tweakable<bool, 0> manualUpdate;          // "Input:Manual Update", published only
extern d::Tweakable<float, 0> mouseXSensitivity;    // "Input:Mouse X sensitivity"
extern d::Tweakable<float, 0> mouseYSensitivity;    // "Input:Mouse Y sensitivity"

} // namespace settings
} // namespace input
