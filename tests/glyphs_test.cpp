#include "support/actions.h"

using namespace testing_support;
using namespace input;

namespace {

const double kPi = 3.14159265358979323846;

struct Cell {
    bool present;
    float x, y, width, height, rotation;
};

// Glyphs 0-23 before the glyph set's shift.
const float kUp = static_cast<float>(kPi * 1.5), kDown = static_cast<float>(kPi * 0.5);
const float kHalf = static_cast<float>(kPi);
// clang-format off
const Cell kCells[24] = {
    {false, 0, 0, 0, 0, 0},   {true, 2, 14, 2, 2, kUp}, {true, 2, 14, 2, 2, kDown},
    {true, 2, 14, 2, 2, kHalf}, {true, 2, 14, 2, 2, 0}, {true, 1, 16, 1, 1, 0},
    {true, 0, 16, 1, 1, 0},   {true, 0, 10, 2, 2, 0},   {true, 2, 10, 2, 2, 0},
    {true, 0, 6, 4, 2, 0},    {false, 0, 0, 0, 0, 0},   {false, 0, 0, 0, 0, 0},
    {true, 0, 8, 4, 2, 0},    {true, 0, 0, 2, 2, 0},    {true, 2, 0, 2, 2, 0},
    {true, 2, 2, 2, 2, 0},    {true, 0, 2, 2, 2, 0},    {true, 0, 4, 2, 2, 0},
    {true, 2, 4, 2, 2, 0},    {true, 0, 10, 2, 2, 0},   {true, 0, 10, 2, 2, 0},
    {true, 2, 10, 2, 2, 0},   {true, 2, 10, 2, 2, 0},   {true, 2, 16, 2, 2, kHalf},
};
// clang-format on

} // namespace

class Glyphs : public ActionTest {};

TEST_F(Glyphs, FromButtonCodes) {
    const int glyphs[18] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, -1, -1, 13, 14, 15, 16, 17, 18};
    for (int button = -300; button <= 300; ++button)
        EXPECT_EQ(glyphFromButton(button), button >= 0 && button < 18 ? glyphs[button] : -1)
            << button;
    EXPECT_EQ(glyphFromButton(-2147483647 - 1), -1);
    EXPECT_EQ(glyphFromButton(65535), -1);
}

TEST_F(Glyphs, AtlasCellsAndSetShifts) {
    const float shiftX[5] = {4, 8, 20, 32, 28};
    const float shiftY[5] = {0, 0, 14, 0, 0};
    for (int set = -2; set <= 7; ++set) {
        float dx = set >= 0 && set < 5 ? shiftX[set] : 0;
        float dy = set >= 0 && set < 5 ? shiftY[set] : 0;
        for (int glyph = -3; glyph <= 26; ++glyph) {
            m::Vector2Template<float> position{100, 200};
            m::Vector2Template<float> size{300, 400};
            float rotation = 9;
            manager->getHUDAtlasPositionAndSize(glyph, static_cast<GlyphSet>(set), position, size,
                                                rotation);
            // A glyph without a cell keeps what the caller had, shifted all the same.
            Cell cell = glyph >= 0 && glyph < 24 ? kCells[glyph] : kCells[0];
            if (!cell.present)
                cell = {false, 100, 200, 300, 400, 0};
            EXPECT_EQ(position.x, cell.x + dx) << glyph << " in set " << set;
            EXPECT_EQ(position.y, cell.y + dy) << glyph << " in set " << set;
            EXPECT_EQ(size.x, cell.width) << glyph;
            EXPECT_EQ(size.y, cell.height) << glyph;
            EXPECT_EQ(rotation, cell.rotation) << glyph;
        }
    }
}

TEST_F(Glyphs, OfAnActionsFirstPadBindingThroughARebind) {
    EXPECT_EQ(manager->getGlyphIndex(ACTION_MENU_RIGHTTRIGGER), 18);
    EXPECT_EQ(manager->getGlyphIndex(ACTION_CAMERA_X), -1); // a stick has no picture
    manager->bindGamepad(ACTION_MOVE_UP, 11);
    manager->bindGamepad(ACTION_MOVE_UP, GAMEPAD_A);
    EXPECT_EQ(manager->getGlyphIndex(ACTION_MOVE_UP), -1); // the first binding decides

    // After a rebind the prompt and the reads follow the new button only.
    manager->setMenu(true);
    manager->clearGamepadBindings();
    manager->bindGamepad(ACTION_MENU_A, GAMEPAD_Y);
    EXPECT_EQ(manager->getGlyphIndex(ACTION_MENU_A), 16);
    EXPECT_EQ(manager->getGlyphIndex(ACTION_MENU_Y), -1);
    padFrame(Report().press(GAMEPAD_A));
    EXPECT_FALSE(manager->readDigital(ACTION_MENU_A));
    padFrame(Report().press(GAMEPAD_Y));
    EXPECT_TRUE(manager->readDigital(ACTION_MENU_A));
}
