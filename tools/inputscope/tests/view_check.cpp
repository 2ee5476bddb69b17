// Checks of the viewer's layer that needs no window: the shapes a frame is laid out as, at the
// sizes people use; the dead zone it draws; the BMP it writes; the player that steps a session.

#include <cmath>
#include <cstdio>
#include <string>

#include "frame_player.h"
#include "runner.h"
#include "session.h"
#include "view.h"

using namespace inputscope;
using namespace inputscope::palette;

namespace {

int g_failures = 0;

void expect(bool ok, const std::string& what) {
    if (ok)
        return;
    ++g_failures;
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
}

const Shape& shape(const DrawList& list, const std::string& tag) {
    static const Shape none;
    const Shape* s = findShape(list, tag);
    expect(s != nullptr, "a shape " + tag);
    return s ? *s : none;
}

double middleX(const Shape& s) {
    return s.x + s.w / 2.0;
}
double middleY(const Shape& s) {
    return s.y + s.h / 2.0;
}

ActionRead action(const char* name, input::ControlType type, bool digital, float analog) {
    ActionRead r;
    r.name = name;
    r.type = type;
    r.digital = digital;
    r.analog = analog;
    return r;
}

ViewModel sample() {
    ViewModel m;
    m.title = "check";
    m.deadZone = 0.25f;
    FrameView& f = m.frame;
    f.frame = 7;
    f.keyboardAndMouse = false;
    PadView& pad = f.inputs.pads[0];
    pad.connected = true;
    pad.buttons = 1u << 12; // A
    pad.axis[0] = 26214;    // left stick 0.8 right
    pad.axis[3] = -32768;   // right stick fully down
    pad.lt = 128;
    f.inputs.pads[2].connected = true;
    f.inputs.keys = {0x20};
    f.reads.push_back(action("JUMP", input::CONTROL_DOWN, true, 1.0f));
    f.reads.push_back(action("MENU_B", input::CONTROL_DOWN, false, 0.0f));
    f.reads.push_back(action("LOOK_X", input::CONTROL_AXIS, false, -0.5f));
    for (int i = 0; i < 75; ++i) // a list as long as the default actions
        f.reads.push_back(
            action(("ACTION_" + std::to_string(i)).c_str(), input::CONTROL_PRESSED, false, 0.0f));
    m.mappings.push_back({"HOLD_TO_SKIP", "started", 0.5f});
    return m;
}

// What a frame shows, at the sizes the viewer is used at.
void layout() {
    ViewModel m = sample();
    for (auto size : {std::make_pair(1280, 720), std::make_pair(800, 600)}) {
        int w = size.first, h = size.second;
        std::string at = " at " + std::to_string(w) + "x" + std::to_string(h);
        DrawList list = layoutView(m, w, h);

        expect(shape(list, "pad0.A").colour == kFaceA, "A down is lit" + at);
        expect(shape(list, "pad0.B").colour == kOff, "B up is not" + at);
        expect(findShape(list, "pad2.A") != nullptr, "pad 2 is drawn too" + at);
        expect(findShape(list, "pad1.A") == nullptr, "pad 1, not connected, is not" + at);

        const Shape& well = shape(list, "pad0.LS.well");
        const Shape& dot = shape(list, "pad0.LS.dot");
        double r = well.w / 2.0;
        expect(std::fabs(middleX(dot) - middleX(well) - 0.8 * r) < 2 &&
                   std::fabs(middleY(dot) - middleY(well)) < 2,
               "the left dot sits 0.8 of the radius right" + at);
        const Shape& rdot = shape(list, "pad0.RS.dot");
        const Shape& rwell = shape(list, "pad0.RS.well");
        expect(middleY(rdot) - middleY(rwell) > 0.95 * rwell.h / 2 - 2, "down is drawn down" + at);
        const Shape& ring = shape(list, "pad0.LS.deadzone");
        expect(ring.kind == Shape::Ring && std::fabs(ring.w - 0.25 * well.w) <= 2 &&
                   std::fabs(middleX(ring) - middleX(well)) <= 1,
               "the dead zone ring is a quarter of the well, centred" + at);

        expect(shape(list, "action.JUMP").colour == kActionOn, "a digital action on is lit" + at);
        expect(shape(list, "action.MENU_B").colour == kOff, "one off is not" + at);
        const Shape& row = shape(list, "action.LOOK_X");
        const Shape& bar = shape(list, "action.LOOK_X.bar");
        expect(bar.colour == kNegative && bar.x + bar.w == row.x + row.w / 2 &&
                   std::abs(bar.w - row.w / 4) <= 1,
               "-0.5 is a bar a quarter of the row, left of the middle" + at);
        const Shape& hold = shape(list, "mapping.HOLD_TO_SKIP");
        expect(std::abs(shape(list, "mapping.HOLD_TO_SKIP.hold").w - hold.w / 2) <= 1,
               "a mapping's hold half done fills half its row" + at);

        // Legible and inside: no text under 10 pixels, nothing beyond the window, and no two
        // action rows on top of each other.
        bool inside = true, readable = true, apart = true;
        std::vector<const Shape*> rows;
        for (const Shape& s : list) {
            inside = inside && s.x >= 0 && s.y >= 0 && s.x + s.w <= w && s.y + s.h <= h;
            readable = readable && (s.kind != Shape::Text || s.size >= 10);
            if (s.tag.compare(0, 7, "action.") == 0 && s.tag.find(".bar") == std::string::npos)
                rows.push_back(&s);
        }
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t j = i + 1; j < rows.size(); ++j)
                apart = apart && (rows[i]->x + rows[i]->w <= rows[j]->x ||
                                  rows[j]->x + rows[j]->w <= rows[i]->x ||
                                  rows[i]->y + rows[i]->h <= rows[j]->y ||
                                  rows[j]->y + rows[j]->h <= rows[i]->y);
        expect(inside, "every shape lies inside the window" + at);
        expect(readable, "no text smaller than 10 pixels" + at);
        expect(rows.size() == m.frame.reads.size() && apart,
               "every action has a row of its own" + at);
    }
    ViewModel none;
    DrawList empty = layoutView(none, 100, 50); // below the smallest, laid out as that
    expect(findShape(empty, "pad0.A") == nullptr && !empty.empty() && empty[0].w == 320,
           "no pad, and a tiny window drawn as 320x240");
}

// The dead zone comes from the library: a stick inside it reads 0, and it is neither 0 nor all.
void deadZone() {
    float zone = measureDeadZone();
    expect(zone > 0.05f && zone < 0.5f,
           "the library's dead zone is measured: " + std::to_string(zone));
}

void bmp() {
    std::string b = encodeBmp(2, 2, {0x112233, 0x445566, 0x778899, 0xaabbcc});
    auto u32 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(b[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8 |
               static_cast<unsigned>(static_cast<unsigned char>(b[at + 2])) << 16 |
               static_cast<unsigned>(static_cast<unsigned char>(b[at + 3])) << 24;
    };
    // Rows of 6 bytes padded to 8, the bottom row first, blue green red.
    expect(b.size() == 54 + 16 && u32(2) == b.size() && u32(10) == 54 && u32(18) == 2 &&
               u32(22) == 2 && b[28] == 24,
           "the BMP header");
    expect(b.compare(54, 6, "\x99\x88\x77\xcc\xbb\xaa") == 0 &&
               b.compare(62, 6, "\x33\x22\x11\x66\x55\x44") == 0,
           "the BMP's rows: bottom first, blue-green-red, padded");
}

// The player steps the same frames a whole run makes.
void player() {
    Session session = parseSession("pad 0 A\nframe 2\nread\nsection \"x\"\npad 0 -A lx=0.5\n"
                                   "frame\nkeys Enter\n",
                                   "player.txt");
    Trace trace = runSession(session, RunOptions());
    RunOptions options;
    SessionPlayer stepped(session, options);
    FrameView f;
    int frames = 0;
    bool same = true;
    for (const Entry& e : trace.entries) {
        if (e.kind != EntryKind::Frame || e.frame.reread)
            continue;
        same = same && stepped.next(f) && f.frame == e.frame.frame &&
               f.inputs.pads[0].buttons == e.frame.inputs.pads[0].buttons &&
               f.inputs.pads[0].axis[0] == e.frame.inputs.pads[0].axis[0] &&
               f.reads.size() == e.frame.reads.size();
        ++frames;
    }
    expect(same && frames == 3 && !stepped.next(f), "the player steps the run's 3 frames, then "
                                                    "stops");
    RunOptions all;
    all.readAll = true;
    SessionPlayer every(session, all);
    expect(every.next(f) && f.reads.size() > 50 && stepped.next(f) == false,
           "readAll lists every action, fired or not");
}

// A session's mapping actions reach the window: a hold half way draws its bar half way, an axis
// shows its value, and a hold that has fired draws none.
void mappings() {
    Session session = parseSession("focus on\nmapaction EXIT digital\nmapaction STEER 1d\n"
                                   "context car priority=1\nmap car EXIT key:E hold time=0.5\n"
                                   "map car STEER keys:A,D\npush car\nkeys E D\nframe 3 dt=0.125\n"
                                   "frame 2 dt=0.125\n",
                                   "car.txt");
    SessionPlayer player(session, RunOptions());
    FrameView f;
    for (int i = 0; i < 3; ++i)
        player.next(f); // held 0.25 of 0.5 s
    std::vector<MappingView> views = mappingViews(f);
    expect(views.size() == 2 && views[0].name == "EXIT" && views[0].events == "ongoing" &&
               views[0].holdProgress == 0.5f && views[1].events == "triggered  +1.00" &&
               views[1].holdProgress < 0,
           "the mapping actions as listed: " + (views.empty() ? "" : views[0].events));
    ViewModel m;
    m.frame = f;
    m.mappings = views;
    for (auto size : {std::make_pair(1280, 720), std::make_pair(800, 600)}) {
        DrawList list = layoutView(m, size.first, size.second);
        const Shape& lane = shape(list, "mapping.EXIT");
        const Shape& bar = shape(list, "mapping.EXIT.hold");
        expect(std::abs(bar.w * 2 - lane.w) <= 2 && bar.x == lane.x,
               "a hold half way fills half its lane at " + std::to_string(size.first));
    }
    player.next(f);
    player.next(f); // held 0.5 s: fired
    views = mappingViews(f);
    expect(views.size() == 2 && views[0].events == "triggered" && views[0].holdProgress < 0,
           "a hold that fired shows no bar: " + (views.empty() ? "" : views[0].events));
}

// The watch viewer's steps: back past the frames it keeps runs the session again to the frame.
void stepping() {
    Session session = parseSession("pad 0 none\nframe 20\npad 0 A\nframe 20\n", "steps.txt");
    RunOptions options;
    FramePlayer player(session, options, 5);
    for (int i = 0; i < 29; ++i)
        player.forward();
    bool down = player.frame().frame == 30 && player.frame().inputs.pads[0].buttons != 0;
    for (int i = 0; i < 20; ++i)
        player.back();
    bool back = player.frame().frame == 10 && player.frame().inputs.pads[0].buttons == 0;
    for (int i = 0; i < 15; ++i)
        player.forward();
    bool again = player.frame().frame == 25 && player.frame().inputs.pads[0].buttons != 0;
    expect(down && back && again, "forward, back past the kept frames and forward again");
    player.restart();
    player.back();
    expect(player.frame().frame == 1, "no step back from the first frame");
    while (player.forward()) {
    }
    expect(player.frame().frame == 40 && player.ended(), "the last frame stays at the end");
}

} // namespace

int main() {
    layout();
    deadZone();
    bmp();
    player();
    mappings();
    stepping();
    if (g_failures == 0)
        std::printf("all view checks passed\n");
    return g_failures ? 1 : 0;
}
