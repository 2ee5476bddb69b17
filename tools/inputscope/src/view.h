#pragma once

// What the viewer window shows of a frame, as a list of shapes: pure, so that it is built and
// checked on any platform; view_windows.cpp paints the list with GDI.

#include <cstdint>
#include <string>
#include <vector>

#include "runner.h"

namespace inputscope {

// 0xRRGGBB.
using Colour = std::uint32_t;

struct Shape {
    enum Kind { Fill, Disc, Ring, Line, Text } kind = Fill;
    int x = 0, y = 0, w = 0, h = 0; // box; a line goes from (x, y) to (x + w, y + h)
    Colour colour = 0;
    int thickness = 1; // Ring, Line
    // Text: drawn in the box, cut with an ellipsis when it does not fit.
    std::string text;
    int size = 12; // text height in pixels
    enum Align { Left, Centre, Right } align = Left;
    bool bold = false;
    // What the shape stands for, for the checks ("pad0.A", "pad0.LS.dot", "action.MENU_A").
    std::string tag;
};

using DrawList = std::vector<Shape>;

// The colours the checks look for.
namespace palette {
constexpr Colour kBackground = 0x1b1d23;
constexpr Colour kPanel = 0x262930;
constexpr Colour kOff = 0x3c404b;   // a button, key or action that is up
constexpr Colour kFaceA = 0x3fc15a; // face buttons lit in their usual colours
constexpr Colour kFaceB = 0xe0483e;
constexpr Colour kFaceX = 0x3d8be0;
constexpr Colour kFaceY = 0xf0c43a;
constexpr Colour kLit = 0xff9a2e;       // other buttons down
constexpr Colour kStickWell = 0x30333c; // a stick's circle
constexpr Colour kDeadZone = 0x6b7080;  // the ring inside it
constexpr Colour kStickDot = 0xf4f4f4;
constexpr Colour kActionOn = 0x3fc15a;
constexpr Colour kPositive = 0x4aa3ff;
constexpr Colour kNegative = 0xff7a45;
constexpr Colour kText = 0xe8e8e8;
constexpr Colour kDim = 0x9aa0ac;
} // namespace palette

// A mapping action of the contexts layer: its name, the events it saw this frame (and its value
// for an axis) and how far a hold has come (0-1, negative: no hold under way). The viewer draws
// them below the actions when the list is not empty.
struct MappingView {
    std::string name;
    std::string events;
    float holdProgress = -1.0f;
};

struct ViewModel {
    std::string title;     // "live" or the session's name
    std::string status;    // the player's state ("paused, 2x"), or empty
    std::string help;      // the keys that work, or empty
    FrameView frame;       // its reads: every action to list, lit or not
    float deadZone = 0.0f; // the library's stick dead zone, 0-1 of full deflection
    std::vector<MappingView> mappings;
};

// The mapping actions of a frame as the viewer lists them.
std::vector<MappingView> mappingViews(const FrameView& frame);

// The shapes of a window `width` x `height` pixels (at least 320 x 240 is laid out; smaller is
// drawn as that, cut).
DrawList layoutView(const ViewModel& model, int width, int height);

// The first shape with this tag, or null.
const Shape* findShape(const DrawList& list, const std::string& tag);

// The library's stick dead zone as a fraction of full deflection, measured through its public
// interface on a pad of the stand-in: the largest raw value that still reads 0.
float measureDeadZone();

// A picture of the window as a 24-bit BMP file; `pixels` are 0xRRGGBB, rows from the top.
std::string encodeBmp(int width, int height, const std::vector<std::uint32_t>& pixels);

} // namespace inputscope
