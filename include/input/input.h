#pragma once

// The input library's public interface.
#include "input/contexts.h"
#include "input/default_actions.h"
#include "input/gamepad.h"
#include "input/input_manager.h"
#include "input/input_x86.h"
#include "input/keyboard.h"
#include "input/rebinding.h"
#include "input/types.h"
