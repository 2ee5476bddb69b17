#include "manager/settings.h"

namespace input {
namespace settings {

d::Tweakable<bool, 0> rumbleEnableOldSystem("Rumble:Enable old system (PC)", false);
d::Tweakable<bool, 0> manualUpdate("Input:Manual Update", true);
d::Tweakable<float, 0> mouseXSensitivity("Input:Mouse X sensitivity", 1.0f);
d::Tweakable<float, 0> mouseYSensitivity("Input:Mouse Y sensitivity", 1.0f);

} // namespace settings
} // namespace input
