#include "input/input_manager.h"

namespace input {

namespace {

// Pad button code to glyph; codes 10 and 11 have none.
const int kGlyphOfButton[] = {
    1,  2,  3,  4,  // D-pad up, down, left, right
    5,  6,  7,  8,  // Start, Back, left and right stick clicks
    9,  12, -1, -1, // shoulders; bits 10 and 11
    13, 14, 15, 16, // A, B, X, Y
    17, 18,         // triggers
};

// The atlas cell of each glyph before the glyph set's shift, in grid units.
struct AtlasCell {
    bool present;
    float x, y, width, height, rotation;
};
constexpr float kQuarterTurn = 1.5707964f;  // pi/2, nearest float
constexpr float kHalfTurn = 3.1415927f;     // pi
constexpr float kThreeQuarters = 4.712389f; // 3pi/2
const AtlasCell kAtlas[] = {
    {false, 0, 0, 0, 0, 0},              // 0: none
    {true, 2, 14, 2, 2, kThreeQuarters}, // 1: D-pad up
    {true, 2, 14, 2, 2, kQuarterTurn},   // 2: D-pad down
    {true, 2, 14, 2, 2, kHalfTurn},      // 3: D-pad left
    {true, 2, 14, 2, 2, 0},              // 4: D-pad right
    {true, 1, 16, 1, 1, 0},              // 5: Start
    {true, 0, 16, 1, 1, 0},              // 6: Back
    {true, 0, 10, 2, 2, 0},              // 7: left stick
    {true, 2, 10, 2, 2, 0},              // 8: right stick
    {true, 0, 6, 4, 2, 0},               // 9: left shoulder
    {false, 0, 0, 0, 0, 0},              // 10: none
    {false, 0, 0, 0, 0, 0},              // 11: none
    {true, 0, 8, 4, 2, 0},               // 12: right shoulder
    {true, 0, 0, 2, 2, 0},               // 13: A
    {true, 2, 0, 2, 2, 0},               // 14: B
    {true, 2, 2, 2, 2, 0},               // 15: X
    {true, 0, 2, 2, 2, 0},               // 16: Y
    {true, 0, 4, 2, 2, 0},               // 17: left trigger
    {true, 2, 4, 2, 2, 0},               // 18: right trigger
    {true, 0, 10, 2, 2, 0},              // 19: left stick cell
    {true, 0, 10, 2, 2, 0},              // 20: left stick cell
    {true, 2, 10, 2, 2, 0},              // 21: right stick cell
    {true, 2, 10, 2, 2, 0},              // 22: right stick cell
    {true, 2, 16, 2, 2, kHalfTurn},      // 23: half a turn
};

// Where each glyph set sits in the atlas.
struct SetShift {
    float x, y;
};
const SetShift kSetShift[] = {{4, 0}, {8, 0}, {20, 14}, {32, 0}, {28, 0}};

template <class T, std::size_t N> constexpr int countOf(const T (&)[N]) {
    return int(N);
}

} // namespace

int glyphFromButton(int button) {
    return button >= 0 && button < countOf(kGlyphOfButton) ? kGlyphOfButton[button] : -1;
}

int InputManager::getGlyphIndex(int action) {
    return glyphFromButton(getGamepadButton(action));
}

void InputManager::getHUDAtlasPositionAndSize(int glyph, GlyphSet set,
                                              m::Vector2Template<float>& position,
                                              m::Vector2Template<float>& size,
                                              float& rotation) const {
    rotation = 0.0f;
    if (glyph >= 0 && glyph < countOf(kAtlas) && kAtlas[glyph].present) {
        const AtlasCell& cell = kAtlas[glyph];
        size = {cell.width, cell.height};
        position = {cell.x, cell.y};
        rotation = cell.rotation;
    }
    // The shift applies to every glyph, so a glyph without a cell shifts what `position` held.
    if (set >= 0 && set < countOf(kSetShift)) {
        position.x += kSetShift[set].x;
        position.y += kSetShift[set].y;
    }
}

} // namespace input
