#pragma once

#include "input/types.h"

namespace input {

// The default action vocabulary: id, name, control type and channel bits. Listed in the order
// of registration (0-63, 300-309, 64-67); ids 68-299 are unregistered gaps.
#define INPUT_DEFAULT_ACTIONS(X)                                                                   \
    X(MOVE_UP, 0, CONTROL_PRESSED, CHANNEL_PLAYER)                                                 \
    X(MOVE_DOWN, 1, CONTROL_PRESSED, CHANNEL_PLAYER)                                               \
    X(MOVE_LEFT, 2, CONTROL_PRESSED, CHANNEL_PLAYER)                                               \
    X(MOVE_RIGHT, 3, CONTROL_PRESSED, CHANNEL_PLAYER)                                              \
    X(MOVEMENT_X, 4, CONTROL_AXIS, CHANNEL_PLAYER)                                                 \
    X(MOVEMENT_Y, 5, CONTROL_AXIS, CHANNEL_PLAYER)                                                 \
    X(CAMERA_X, 6, CONTROL_AXIS, 0x3)                                                              \
    X(CAMERA_Y, 7, CONTROL_AXIS_INVERTED, 0x3)                                                     \
    X(ABORT_VIDEO, 8, CONTROL_PRESSED, 0x161)                                                      \
    X(ABORT_VIDEO_CONFIRM, 9, CONTROL_PRESSED, 0x161)                                              \
    X(ABORT_TIMELINE, 10, CONTROL_PRESSED, 0x141)                                                  \
    X(ABORT_TIMELINE_CONFIRM, 11, CONTROL_PRESSED, 0x141)                                          \
    X(SCROLL_TIMELINES_UP, 12, CONTROL_RAW_KEY_DOWN, 0x341)                                        \
    X(SCROLL_TIMELINES_DOWN, 13, CONTROL_RAW_KEY_DOWN, 0x341)                                      \
    X(LOADING_CONTINUE, 14, CONTROL_PRESSED, CHANNEL_ALL)                                          \
    X(TOGGLE_MENU, 15, CONTROL_PRESSED, 0x111)                                                     \
    X(TOGGLE_GAMEPLAY_MENU, 16, CONTROL_PRESSED, 0x101)                                            \
    X(TOGGLE_GAMEPLAY_MENU_DOWN, 17, CONTROL_DOWN, 0x101)                                          \
    X(MENU_A, 18, CONTROL_PRESSED, CHANNEL_MENU)                                                   \
    X(MENU_A_DOWN, 19, CONTROL_DOWN, CHANNEL_MENU)                                                 \
    X(MENU_B, 20, CONTROL_PRESSED, CHANNEL_MENU)                                                   \
    X(MENU_B_DOWN, 21, CONTROL_DOWN, CHANNEL_MENU)                                                 \
    X(MENU_X, 22, CONTROL_PRESSED, CHANNEL_MENU)                                                   \
    X(MENU_X_DOWN, 23, CONTROL_DOWN, CHANNEL_MENU)                                                 \
    X(MENU_Y, 24, CONTROL_PRESSED, CHANNEL_MENU)                                                   \
    X(MENU_Y_DOWN, 25, CONTROL_DOWN, CHANNEL_MENU)                                                 \
    X(MENU_START, 26, CONTROL_PRESSED, CHANNEL_MENU)                                               \
    X(MENU_BACK, 27, CONTROL_PRESSED, CHANNEL_MENU)                                                \
    X(MENU_LEFTTHUMB, 28, CONTROL_PRESSED, CHANNEL_MENU)                                           \
    X(MENU_RIGHTTHUMB, 29, CONTROL_PRESSED, CHANNEL_MENU)                                          \
    X(MENU_LEFTSHOULDER, 30, CONTROL_PRESSED, CHANNEL_MENU)                                        \
    X(MENU_RIGHTSHOULDER, 31, CONTROL_PRESSED, CHANNEL_MENU)                                       \
    X(MENU_PADUP, 32, CONTROL_DOWN, CHANNEL_MENU)                                                  \
    X(MENU_PADDOWN, 33, CONTROL_DOWN, CHANNEL_MENU)                                                \
    X(MENU_PADLEFT, 34, CONTROL_DOWN, CHANNEL_MENU)                                                \
    X(MENU_PADRIGHT, 35, CONTROL_DOWN, CHANNEL_MENU)                                               \
    X(MENU_LEFTTHUMBX, 36, CONTROL_AXIS, CHANNEL_MENU)                                             \
    X(MENU_LEFTTHUMBY, 37, CONTROL_AXIS, CHANNEL_MENU)                                             \
    X(MENU_RIGHTTHUMBX, 38, CONTROL_AXIS, CHANNEL_MENU)                                            \
    X(MENU_RIGHTTHUMBY, 39, CONTROL_AXIS, CHANNEL_MENU)                                            \
    X(MENU_LEFTTRIGGER, 40, CONTROL_PRESSED, CHANNEL_MENU)                                         \
    X(MENU_RIGHTTRIGGER, 41, CONTROL_PRESSED, CHANNEL_MENU)                                        \
    X(PRESENTATION_LEFT, 42, CONTROL_PRESSED, 0x22)                                                \
    X(PRESENTATION_RIGHT, 43, CONTROL_PRESSED, 0x22)                                               \
    X(FREECAMERA_FORWARD1, 44, CONTROL_RAW_KEY_PRESSED, 0x299)                                     \
    X(FREECAMERA_FORWARD2, 45, CONTROL_PRESSED, CHANNEL_DEBUG_KEYS)                                \
    X(FREECAMERA_BACKWARD1, 46, CONTROL_RAW_KEY_PRESSED, 0x299)                                    \
    X(FREECAMERA_BACKWARD2, 47, CONTROL_PRESSED, CHANNEL_DEBUG_KEYS)                               \
    X(FREECAMERA_X, 48, CONTROL_AXIS, 0x98)                                                        \
    X(FREECAMERA_Z, 49, CONTROL_AXIS, 0x98)                                                        \
    X(FREECAMERA_HEADING, 50, CONTROL_AXIS, 0x98)                                                  \
    X(FREECAMERA_PITCH, 51, CONTROL_AXIS_INVERTED, 0x98)                                           \
    X(FREECAMERA_UP, 52, CONTROL_DOWN, CHANNEL_FREE_CAMERA)                                        \
    X(FREECAMERA_DOWN, 53, CONTROL_DOWN, CHANNEL_FREE_CAMERA)                                      \
    X(FREECAMERA_FASTER, 54, CONTROL_ANALOGUE_BUTTON, 0x98)                                        \
    X(FREECAMERA_SLOWER, 55, CONTROL_ANALOGUE_BUTTON, 0x98)                                        \
    X(FREECAMERA_SCALE_TRANSLATION_UP, 56, CONTROL_PRESSED, CHANNEL_FREE_CAMERA)                   \
    X(FREECAMERA_SCALE_TRANSLATION_DOWN, 57, CONTROL_PRESSED, CHANNEL_FREE_CAMERA)                 \
    X(FREECAMERA_SCALE_ROTATION_UP, 58, CONTROL_PRESSED, CHANNEL_FREE_CAMERA)                      \
    X(FREECAMERA_SCALE_ROTATION_DOWN, 59, CONTROL_PRESSED, CHANNEL_FREE_CAMERA)                    \
    X(FREECAMERA_ZOOM_IN, 60, CONTROL_DOWN, 0x98)                                                  \
    X(FREECAMERA_ZOOM_OUT, 61, CONTROL_DOWN, 0x98)                                                 \
    X(FREECAMERA_LENS_PREV, 62, CONTROL_PRESSED, CHANNEL_FREE_CAMERA)                              \
    X(FREECAMERA_LENS_NEXT, 63, CONTROL_PRESSED, CHANNEL_FREE_CAMERA)                              \
    X(PHOTOMODE_X, 300, CONTROL_AXIS, 0x23)                                                        \
    X(PHOTOMODE_Z, 301, CONTROL_AXIS, 0x23)                                                        \
    X(PHOTOMODE_UP, 302, CONTROL_DOWN, 0x23)                                                       \
    X(PHOTOMODE_DOWN, 303, CONTROL_DOWN, 0x23)                                                     \
    X(PHOTOMODE_HEADING, 304, CONTROL_AXIS, 0x23)                                                  \
    X(PHOTOMODE_PITCH, 305, CONTROL_AXIS_INVERTED, 0x23)                                           \
    X(PHOTOMODE_ENABLE_CAMERA_MOVEMENT, 306, CONTROL_HOLD, 0x23)                                   \
    X(PHOTOMODE_HIDE_MENU, 307, CONTROL_PRESSED, 0x23)                                             \
    X(PHOTOMODE_RESET, 308, CONTROL_PRESSED, 0x23)                                                 \
    X(PHOTOMODE_TAKE_PHOTO_PC, 309, CONTROL_PRESSED, 0x23)                                         \
    X(PAUSE, 64, CONTROL_RAW_KEY_PRESSED, CHANNEL_GAME)                                            \
    X(DEBUG_ENABLE, 65, CONTROL_PRESSED, CHANNEL_DEBUG_KEYS)                                       \
    X(DEBUG_DISABLE, 66, CONTROL_RAW_KEY_PRESSED, CHANNEL_ALL)                                     \
    X(DEBUG_SELECT_HIDDEN, 67, CONTROL_RAW_KEY_DOWN, 0x91)

// The ids of the default actions, named after them: ACTION_MENU_A is "MENU_A".
enum DefaultAction : int {
#define INPUT_DEFAULT_ACTION_ID(name, id, type, channels) ACTION_##name = id,
    INPUT_DEFAULT_ACTIONS(INPUT_DEFAULT_ACTION_ID)
#undef INPUT_DEFAULT_ACTION_ID
};

constexpr int kDefaultActionCount = 78;
constexpr int kDefaultActionTableSize = 310;

} // namespace input
