// The viewer's picture of a frame: a header with the device, pads, channels and buffering; the
// connected pads as diagrams; the keys and the mouse; the actions, lit or as signed bars.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "input/types.h"
#include "names.h"
#include "output.h"
#include "view.h"

namespace inputscope {

namespace {

using namespace palette;

class Painter {
public:
    explicit Painter(DrawList& out) : m_out(out) {}

    Shape& add(Shape::Kind kind, int x, int y, int w, int h, Colour colour,
               const std::string& tag = "") {
        Shape s;
        s.kind = kind;
        s.x = x;
        s.y = y;
        s.w = w;
        s.h = h;
        s.colour = colour;
        s.tag = tag;
        m_out.push_back(s);
        return m_out.back();
    }
    Shape& text(int x, int y, int w, int h, const std::string& content, Colour colour, int size,
                Shape::Align align = Shape::Left, bool bold = false) {
        Shape& s = add(Shape::Text, x, y, w, h, colour);
        s.text = content;
        s.size = size;
        s.align = align;
        s.bold = bold;
        return s;
    }

private:
    DrawList& m_out;
};

std::string signedValue(double v) {
    return fixed(v, 2, true);
}

// A pad in a box: drawn on a 400 x 260 plan scaled to fit, centred.
void drawPad(Painter& p, const PadView& pad, int slot, const std::string& role, int bx, int by,
             int bw, int bh, float deadZone) {
    double k = std::min(bw / 400.0, bh / 260.0);
    int ox = bx + static_cast<int>((bw - 400 * k) / 2),
        oy = by + static_cast<int>((bh - 260 * k) / 2);
    auto X = [&](double v) { return ox + static_cast<int>(std::lround(v * k)); };
    auto Y = [&](double v) { return oy + static_cast<int>(std::lround(v * k)); };
    auto L = [&](double v) { return std::max(1, static_cast<int>(std::lround(v * k))); };
    int label = std::max(10, L(15));
    std::string id = "pad" + std::to_string(slot) + ".";
    auto down = [&](int code) { return (pad.buttons >> code) & 1u; };

    p.add(Shape::Fill, X(0), Y(0), L(400), L(260), kPanel);
    p.text(X(10), Y(4), L(380), L(22), "pad " + std::to_string(slot) + role, kText, label,
           Shape::Left, true);

    // Triggers: bars with their value, shoulders under them.
    for (int t = 0; t < 2; ++t) {
        int value = t ? pad.rt : pad.lt;
        double x = t ? 270 : 30;
        p.add(Shape::Fill, X(x), Y(30), L(100), L(16), kOff, id + (t ? "RT" : "LT"));
        if (value > 0)
            p.add(Shape::Fill, X(x), Y(30), L(100 * value / 255.0), L(16), kLit);
        p.text(X(x), Y(30), L(100), L(16), std::string(t ? "RT " : "LT ") + std::to_string(value),
               kText, std::max(10, L(13)), Shape::Centre);
        int code = t ? 9 : 8; // RB, LB
        p.add(Shape::Fill, X(x), Y(52), L(100), L(18), down(code) ? kLit : kOff,
              id + padCodeName(code));
        p.text(X(x), Y(52), L(100), L(18), padCodeName(code), kText, std::max(10, L(13)),
               Shape::Centre);
    }

    // Sticks: the well, the dead zone ring, the dot; a click lights the well's rim.
    auto stick = [&](const char* name, int code, double cx, double cy, int ax, int ay) {
        double r = 46;
        std::string tag = id + name;
        if (down(code))
            p.add(Shape::Disc, X(cx - r - 4), Y(cy - r - 4), L(2 * r + 8), L(2 * r + 8), kLit,
                  id + padCodeName(code));
        p.add(Shape::Disc, X(cx - r), Y(cy - r), L(2 * r), L(2 * r), kStickWell, tag + ".well");
        double dz = r * std::max(0.0f, std::min(1.0f, deadZone));
        if (dz > 0)
            p.add(Shape::Ring, X(cx - dz), Y(cy - dz), L(2 * dz), L(2 * dz), kDeadZone,
                  tag + ".deadzone");
        double dx = pad.axis[ax] / 32767.0, dy = pad.axis[ay] / 32767.0;
        double dot = 5;
        double px = cx + std::max(-1.0, std::min(1.0, dx)) * r;
        double py = cy - std::max(-1.0, std::min(1.0, dy)) * r;
        p.add(Shape::Disc, X(px - dot), Y(py - dot), L(2 * dot), L(2 * dot), kStickDot,
              tag + ".dot");
        char values[48];
        std::snprintf(values, sizeof values, "%+.2f %+.2f", dx, dy);
        p.text(X(cx - 60), Y(cy + r + 4), L(120), L(16), values, kDim, std::max(10, L(12)),
               Shape::Centre);
    };
    stick("LS", 6, 95, 120, 0, 1);
    stick("RS", 7, 255, 195, 2, 3);

    // D-pad.
    struct Arm {
        int code;
        double x, y;
    };
    for (const Arm& a : {Arm{0, 160, 170}, Arm{1, 160, 220}, Arm{2, 135, 195}, Arm{3, 185, 195}})
        p.add(Shape::Fill, X(a.x), Y(a.y), L(25), L(25), down(a.code) ? kLit : kOff,
              id + padCodeName(a.code));

    // Back and Start.
    for (int code : {5, 4}) {
        double x = code == 5 ? 165 : 215;
        p.add(Shape::Fill, X(x), Y(110), L(36), L(18), down(code) ? kLit : kOff,
              id + padCodeName(code));
        p.text(X(x - 10), Y(130), L(56), L(16), padCodeName(code), kDim, std::max(10, L(11)),
               Shape::Centre);
    }

    // Face buttons in their colours.
    struct Face {
        int code;
        double x, y;
        Colour lit;
    };
    for (const Face& f : {Face{12, 320, 145, kFaceA}, Face{13, 350, 115, kFaceB},
                          Face{14, 290, 115, kFaceX}, Face{15, 320, 85, kFaceY}}) {
        double r = 15;
        p.add(Shape::Disc, X(f.x - r), Y(f.y - r), L(2 * r), L(2 * r), down(f.code) ? f.lit : kOff,
              id + padCodeName(f.code));
        p.text(X(f.x - r), Y(f.y - r), L(2 * r), L(2 * r), padCodeName(f.code),
               down(f.code) ? kBackground : kText, std::max(10, L(15)), Shape::Centre, true);
    }
}

} // namespace

DrawList layoutView(const ViewModel& m, int width, int height) {
    DrawList out;
    Painter p(out);
    int W = std::max(320, width), H = std::max(240, height);
    int f = std::max(11, std::min(16, H / 46)); // the text size follows the window
    int line = f + 6;
    const FrameView& fv = m.frame;
    p.add(Shape::Fill, 0, 0, W, H, kBackground);

    // Header: what is shown, then the state the reads depend on.
    std::string first = "inputscope " + m.title + "   frame " + std::to_string(fv.frame) +
                        (fv.reread ? " (read again)" : "") + "   " + fixed(fv.time, 3) + " s";
    if (!m.status.empty())
        first += "   " + m.status;
    p.text(8, 4, m.help.empty() ? W - 16 : W * 3 / 5 - 8, line, first, kText, f, Shape::Left, true);
    if (!m.help.empty())
        p.text(W * 3 / 5, 4, W * 2 / 5 - 8, line, m.help, kDim, f - 1, Shape::Right);
    char channels[16];
    std::snprintf(channels, sizeof channels, "0x%03x", static_cast<unsigned>(fv.channels));
    std::string second =
        std::string("device: ") +
        (fv.keyboardAndMouse ? "keyboard and mouse" : "pad " + std::to_string(fv.currentPad)) +
        "   selected pad: " +
        (fv.selectedPad < 0 ? std::string("none") : std::to_string(fv.selectedPad)) +
        "   buffering: " + (fv.buffering == input::BUFFERING_WORLD_STEP ? "world step" : "live") +
        "   channels: " + channels + " " + channelNames(fv.channels);
    p.text(8, 4 + line, W - 16, line, second, kText, f);
    int top = 8 + 2 * line + 4;
    int bottom = H - 6;

    // Left: pads above, keys and mouse below. Right: the actions.
    int leftW = W * (W < 1100 ? 42 : 50) / 100; // a narrow window keeps room for the names
    int kbmH = 3 * line + 8;
    int padsTop = top, padsBottom = bottom - kbmH - 6;
    std::vector<int> connected;
    for (int slot = 0; slot < 4; ++slot)
        if (fv.inputs.pads[slot].connected)
            connected.push_back(slot);
    int n = static_cast<int>(connected.size());
    if (n == 0) {
        p.add(Shape::Fill, 6, padsTop, leftW - 12, padsBottom - padsTop, kPanel);
        p.text(14, padsTop + 6, leftW - 28, line, "no pad connected", kDim, f);
    } else {
        // The grid that gives the pads the most room.
        int bestCols = 1;
        double bestScale = 0;
        for (int cols = 1; cols <= n; ++cols) {
            int rows = (n + cols - 1) / cols;
            double scale = std::min((leftW - 6.0) / cols / 400.0,
                                    static_cast<double>(padsBottom - padsTop) / rows / 260.0);
            if (scale > bestScale) {
                bestScale = scale;
                bestCols = cols;
            }
        }
        int rows = (n + bestCols - 1) / bestCols;
        int cw = (leftW - 6) / bestCols, ch = (padsBottom - padsTop) / rows;
        for (int i = 0; i < n; ++i) {
            int slot = connected[static_cast<std::size_t>(i)];
            std::string role;
            if (!fv.keyboardAndMouse && fv.currentPad == slot)
                role += ", in use";
            if (fv.selectedPad == slot)
                role += ", selected";
            drawPad(p, fv.inputs.pads[slot], slot, role, 6 + (i % bestCols) * cw,
                    padsTop + (i / bestCols) * ch, cw - 6, ch - 6, m.deadZone);
        }
    }

    // Keys held and the mouse.
    int ky = bottom - kbmH;
    p.add(Shape::Fill, 6, ky, leftW - 12, kbmH, kPanel);
    std::string keys;
    for (int key : fv.inputs.keys)
        keys += (keys.empty() ? "" : " ") + keyName(key);
    std::string raw;
    for (int key : fv.inputs.rawKeys)
        raw += (raw.empty() ? "" : " ") + keyName(key);
    p.text(14, ky + 4, leftW - 28, line, "keys held: " + (keys.empty() ? "-" : keys), kText, f)
        .tag = "keys";
    p.text(14, ky + 4 + line, leftW - 28, line, "raw keys: " + (raw.empty() ? "-" : raw), kDim, f);
    int mx = fv.inputs.mouseX, my = fv.inputs.mouseY, wheel = fv.inputs.wheel;
    p.text(14, ky + 4 + 2 * line, leftW - 28 - line, line,
           "mouse: dx " + std::to_string(mx) + "  dy " + std::to_string(my) + "  wheel " +
               std::to_string(wheel),
           kText, f)
        .tag = "mouse";
    // The motion as a line from the middle of a small box, long for fast motion.
    int box = kbmH - 10, bx = leftW - 12 - box - 4, by = ky + 5;
    p.add(Shape::Fill, bx, by, box, box, kStickWell, "mouse.box");
    double len = std::hypot(mx, my);
    if (len > 0) {
        double reach = (box / 2.0 - 3) * std::min(1.0, std::log1p(len) / std::log1p(200.0));
        p.add(Shape::Line, bx + box / 2, by + box / 2,
              static_cast<int>(std::lround(mx / len * reach)),
              static_cast<int>(std::lround(my / len * reach)), kPositive)
            .thickness = 3;
    }

    // Actions: as many columns as the list needs at this height.
    int ax = leftW, aw = W - leftW - 6, ay = top, ah = bottom - top;
    p.add(Shape::Fill, ax, ay, aw, ah, kPanel);
    int mappingRows = m.mappings.empty() ? 0 : static_cast<int>(m.mappings.size()) + 1;
    int count = static_cast<int>(fv.reads.size());
    int rowH = f + 5;
    int rowsFit = std::max(1, (ah - 8) / rowH - mappingRows);
    int cols = std::max(1, (count + rowsFit - 1) / rowsFit);
    int colW = (aw - 8) / cols;
    int small = std::max(10, f - 2);
    for (int i = 0; i < count; ++i) {
        const ActionRead& r = fv.reads[static_cast<std::size_t>(i)];
        int x = ax + 4 + (i / rowsFit) * colW, y = ay + 4 + (i % rowsFit) * rowH;
        int w = colW - 4;
        std::string tag = "action." + r.name;
        if (isAnalogueType(r.type)) {
            double v = std::isfinite(r.analog) ? r.analog : 0.0;
            double k = std::max(-1.0, std::min(1.0, v));
            int mid = x + w / 2, bar = static_cast<int>(std::lround(std::fabs(k) * (w / 2)));
            p.add(Shape::Fill, x, y, w, rowH - 2, kStickWell, tag);
            if (bar > 0)
                p.add(Shape::Fill, k >= 0 ? mid : mid - bar, y, bar, rowH - 2,
                      k >= 0 ? kPositive : kNegative, tag + ".bar");
            p.add(Shape::Fill, mid, y, 1, rowH - 2, kDim);
            int valueW = small * 9 / 2; // "+12.60" beside the name, not over it
            p.text(x + 3, y, w - 6 - valueW, rowH - 2, r.name, kText, small);
            p.text(x + 3, y, w - 6, rowH - 2, signedValue(v), kText, small, Shape::Right, true);
        } else {
            int lamp = rowH - 6;
            p.add(Shape::Fill, x, y + 2, lamp, lamp, r.digital ? kActionOn : kOff, tag);
            p.text(x + lamp + 4, y, w - lamp - 4, rowH - 2, r.name, r.digital ? kText : kDim, small,
                   Shape::Left, r.digital);
        }
    }

    // The contexts module's mappings, when it gives any: events and hold progress.
    int my0 = ay + 4 + std::min(count, rowsFit) * rowH;
    if (!m.mappings.empty())
        p.text(ax + 4, my0, aw - 8, rowH, "mappings", kDim, small, Shape::Left, true);
    for (std::size_t i = 0; i < m.mappings.size(); ++i) {
        const MappingView& mv = m.mappings[i];
        int y = my0 + static_cast<int>(i + 1) * rowH, w = aw - 8;
        std::string tag = "mapping." + mv.name;
        p.add(Shape::Fill, ax + 4, y, w, rowH - 2, kStickWell, tag);
        if (mv.holdProgress >= 0)
            p.add(Shape::Fill, ax + 4, y,
                  static_cast<int>(std::lround(std::min(1.0f, mv.holdProgress) * w)), rowH - 2,
                  kLit, tag + ".hold");
        p.text(ax + 7, y, w - 6, rowH - 2, mv.name + "  " + mv.events, kText, small);
    }
    return out;
}

const Shape* findShape(const DrawList& list, const std::string& tag) {
    for (const Shape& s : list)
        if (s.tag == tag)
            return &s;
    return nullptr;
}

} // namespace inputscope
