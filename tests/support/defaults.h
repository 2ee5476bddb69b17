#pragma once

#include <cstdint>
#include <vector>

namespace testing_support {

// The default action table a new manager must hold: id, name, control type, channel bits, and
// the shipped key and pad bindings in binding order (sticks unswapped). Ids not listed are gaps.
struct DefaultRow {
    int id;
    const char* name;
    int type;
    std::uint32_t channels;
    std::vector<int> keys;
    std::vector<int> pads;
};

// clang-format off
inline const std::vector<DefaultRow> kDefaultTable = {
    {0, "MOVE_UP", 6, 0x2, {}, {}},
    {1, "MOVE_DOWN", 6, 0x2, {}, {}},
    {2, "MOVE_LEFT", 6, 0x2, {}, {}},
    {3, "MOVE_RIGHT", 6, 0x2, {}, {}},
    {4, "MOVEMENT_X", 1, 0x2, {}, {20}},
    {5, "MOVEMENT_Y", 1, 0x2, {}, {21}},
    {6, "CAMERA_X", 1, 0x3, {}, {22}},
    {7, "CAMERA_Y", 2, 0x3, {}, {23}},
    {8, "ABORT_VIDEO", 6, 0x161, {32, 27}, {12, 13, 15, 14}},
    {9, "ABORT_VIDEO_CONFIRM", 6, 0x161, {32}, {13}},
    {10, "ABORT_TIMELINE", 6, 0x141, {32}, {12, 13, 15, 14}},
    {11, "ABORT_TIMELINE_CONFIRM", 6, 0x141, {32}, {13}},
    {12, "SCROLL_TIMELINES_UP", 11, 0x341, {33}, {}},
    {13, "SCROLL_TIMELINES_DOWN", 11, 0x341, {34}, {}},
    {14, "LOADING_CONTINUE", 6, 0xFFFFFFFF, {}, {12}},
    {15, "TOGGLE_MENU", 6, 0x111, {27}, {4}},
    {16, "TOGGLE_GAMEPLAY_MENU", 6, 0x101, {}, {5}},
    {17, "TOGGLE_GAMEPLAY_MENU_DOWN", 5, 0x101, {}, {5}},
    {18, "MENU_A", 6, 0x20, {13}, {12}},
    {19, "MENU_A_DOWN", 5, 0x20, {13}, {12}},
    {20, "MENU_B", 6, 0x20, {27}, {13}},
    {21, "MENU_B_DOWN", 5, 0x20, {}, {13}},
    {22, "MENU_X", 6, 0x20, {70}, {14}},
    {23, "MENU_X_DOWN", 5, 0x20, {70}, {14}},
    {24, "MENU_Y", 6, 0x20, {8, 89}, {15}},
    {25, "MENU_Y_DOWN", 5, 0x20, {89}, {15}},
    {26, "MENU_START", 6, 0x20, {}, {4}},
    {27, "MENU_BACK", 6, 0x20, {}, {5}},
    {28, "MENU_LEFTTHUMB", 6, 0x20, {}, {6}},
    {29, "MENU_RIGHTTHUMB", 6, 0x20, {}, {7}},
    {30, "MENU_LEFTSHOULDER", 6, 0x20, {81}, {8}},
    {31, "MENU_RIGHTSHOULDER", 6, 0x20, {69, 9}, {9}},
    {32, "MENU_PADUP", 5, 0x20, {38, 87}, {0}},
    {33, "MENU_PADDOWN", 5, 0x20, {40, 83}, {1}},
    {34, "MENU_PADLEFT", 5, 0x20, {37, 65}, {2}},
    {35, "MENU_PADRIGHT", 5, 0x20, {39, 68}, {3}},
    {36, "MENU_LEFTTHUMBX", 1, 0x20, {}, {20}},
    {37, "MENU_LEFTTHUMBY", 1, 0x20, {}, {21}},
    {38, "MENU_RIGHTTHUMBX", 1, 0x20, {}, {22}},
    {39, "MENU_RIGHTTHUMBY", 1, 0x20, {}, {23}},
    {40, "MENU_LEFTTRIGGER", 6, 0x20, {}, {16}},
    {41, "MENU_RIGHTTRIGGER", 6, 0x20, {}, {17}},
    {42, "PRESENTATION_LEFT", 6, 0x22, {}, {2}},
    {43, "PRESENTATION_RIGHT", 6, 0x22, {}, {3}},
    {44, "FREECAMERA_FORWARD1", 12, 0x299, {119}, {}},
    {45, "FREECAMERA_FORWARD2", 6, 0x200, {}, {9}},
    {46, "FREECAMERA_BACKWARD1", 12, 0x299, {118}, {}},
    {47, "FREECAMERA_BACKWARD2", 6, 0x200, {}, {8}},
    {48, "FREECAMERA_X", 1, 0x98, {}, {20}},
    {49, "FREECAMERA_Z", 1, 0x98, {}, {21}},
    {50, "FREECAMERA_HEADING", 1, 0x98, {}, {22}},
    {51, "FREECAMERA_PITCH", 2, 0x98, {}, {23}},
    {52, "FREECAMERA_UP", 5, 0x8, {81}, {15}},
    {53, "FREECAMERA_DOWN", 5, 0x8, {69}, {12}},
    {54, "FREECAMERA_FASTER", 8, 0x98, {1}, {17}},
    {55, "FREECAMERA_SLOWER", 8, 0x98, {2}, {16}},
    {56, "FREECAMERA_SCALE_TRANSLATION_UP", 6, 0x8, {256}, {13}},
    {57, "FREECAMERA_SCALE_TRANSLATION_DOWN", 6, 0x8, {257}, {14}},
    {58, "FREECAMERA_SCALE_ROTATION_UP", 6, 0x8, {187}, {9}},
    {59, "FREECAMERA_SCALE_ROTATION_DOWN", 6, 0x8, {189}, {8}},
    {60, "FREECAMERA_ZOOM_IN", 5, 0x98, {}, {15}},
    {61, "FREECAMERA_ZOOM_OUT", 5, 0x98, {}, {12}},
    {62, "FREECAMERA_LENS_PREV", 6, 0x8, {}, {2}},
    {63, "FREECAMERA_LENS_NEXT", 6, 0x8, {}, {3}},
    {64, "PAUSE", 12, 0x1, {19}, {}},
    {65, "DEBUG_ENABLE", 6, 0x200, {}, {4}},
    {66, "DEBUG_DISABLE", 12, 0xFFFFFFFF, {27}, {}},
    {67, "DEBUG_SELECT_HIDDEN", 11, 0x91, {17}, {}},
    {300, "PHOTOMODE_X", 1, 0x23, {}, {20}},
    {301, "PHOTOMODE_Z", 1, 0x23, {}, {21}},
    {302, "PHOTOMODE_UP", 5, 0x23, {32}, {17}},
    {303, "PHOTOMODE_DOWN", 5, 0x23, {17}, {16}},
    {304, "PHOTOMODE_HEADING", 1, 0x23, {}, {22}},
    {305, "PHOTOMODE_PITCH", 2, 0x23, {}, {23}},
    {306, "PHOTOMODE_ENABLE_CAMERA_MOVEMENT", 10, 0x23, {2}, {}},
    {307, "PHOTOMODE_HIDE_MENU", 6, 0x23, {84}, {15}},
    {308, "PHOTOMODE_RESET", 6, 0x23, {82}, {14}},
    {309, "PHOTOMODE_TAKE_PHOTO_PC", 6, 0x23, {9}, {7}},
};
// clang-format on

// The row of a default id; a gap or an id outside the table gives an empty row with id -1.
inline const DefaultRow& defaultRow(int id) {
    static const DefaultRow none{-1, "", 0, 0, {}, {}};
    for (const DefaultRow& row : kDefaultTable) {
        if (row.id == id)
            return row;
    }
    return none;
}

} // namespace testing_support
