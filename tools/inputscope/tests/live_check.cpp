// Checks what `inputscope --live --json` saw while live_test.sh drove the X server, and that the
// session it recorded replays to the same frames.
// Usage: inputscope_live_check LIVE_JSON REPLAY_JSON
//
// The drive, in order, each step apart by a pause of a quarter second or more:
//   the pointer placed in the window (a motion of its own), then relative moves (+40,0), (0,-30)
//   and (-25,+15); one wheel notch up; the right button held; Tab, then R, each pressed and
//   released; Space held for a second.

#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

using Json = nlohmann::json;

namespace {

int g_failures = 0;

void expect(bool ok, const std::string& what, const std::string& detail = "") {
    if (ok) {
        std::printf("ok: %s\n", what.c_str());
        return;
    }
    ++g_failures;
    std::printf("FAIL: %s%s%s\n", what.c_str(), detail.empty() ? "" : "\n  ", detail.c_str());
}

bool load(const char* path, Json& into) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    try {
        into = Json::parse(in);
    } catch (const Json::exception& e) {
        std::printf("FAIL: %s is not JSON: %s\n", path, e.what());
        return false;
    }
    return true;
}

std::vector<Json> entriesOf(const Json& doc, const char* type) {
    std::vector<Json> out;
    for (const Json& e : doc.at("entries"))
        if (e.at("type") == type)
            out.push_back(e);
    return out;
}

// Keys as the JSON names them (the tool's names, not the system's).
bool hasKey(const Json& frame, const char* list, const char* key) {
    for (const Json& k : frame.at("inputs").at(list))
        if (k == key)
            return true;
    return false;
}

const Json* readOf(const Json& frame, const std::string& action) {
    for (const Json& r : frame.at("reads"))
        if (r.at("action") == action)
            return &r;
    return nullptr;
}

bool digital(const Json& frame, const std::string& action) {
    const Json* r = readOf(frame, action);
    return r && r->at("digital").get<bool>();
}

double analog(const Json& frame, const std::string& action) {
    const Json* r = readOf(frame, action);
    return r ? r->at("analog").get<double>() : 0.0;
}

// The frames (indices) in which a condition holds, as runs of consecutive frames.
struct Run {
    std::size_t first, last;
};
template <class Test> std::vector<Run> runsOf(const std::vector<Json>& frames, Test test) {
    std::vector<Run> runs;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!test(frames[i]))
            continue;
        if (!runs.empty() && runs.back().last + 1 == i)
            runs.back().last = i;
        else
            runs.push_back({i, i});
    }
    return runs;
}

std::string describe(const std::vector<Run>& runs, const std::vector<Json>& frames) {
    std::string out;
    for (const Run& r : runs)
        out += "frames " + std::to_string(frames[r.first].at("frame").get<int>()) + "-" +
               std::to_string(frames[r.last].at("frame").get<int>()) + " ";
    return out.empty() ? "none" : out;
}

void mouse(const std::vector<Json>& frames) {
    // Motions a few frames apart are separate moves; Wine may split one into several records.
    struct Move {
        long long dx = 0, dy = 0;
        std::size_t first = 0, last = 0;
    };
    std::vector<Move> moves;
    std::size_t quietSince = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Json& m = frames[i].at("inputs").at("mouse");
        long long dx = m.at("dx"), dy = m.at("dy");
        if (dx == 0 && dy == 0)
            continue;
        if (moves.empty() || i - quietSince > 4)
            moves.push_back(Move{0, 0, i, i});
        moves.back().dx += dx;
        moves.back().dy += dy;
        moves.back().last = i;
        quietSince = i;
    }
    std::string seen;
    for (const Move& m : moves)
        seen += "(" + std::to_string(m.dx) + "," + std::to_string(m.dy) + ") ";
    std::printf("mouse moves seen: %s\n", seen.c_str());
    expect(moves.size() >= 3, "the three relative moves arrive", seen);
    if (moves.size() < 3)
        return;
    const Move* last = &moves[moves.size() - 3];
    const long long want[3][2] = {{40, 0}, {0, -30}, {-25, 15}};
    for (int k = 0; k < 3; ++k)
        expect(last[k].dx == want[k][0] && last[k].dy == want[k][1],
               "move " + std::to_string(k + 1) + " arrives whole with its sign", seen);
    // The look actions follow the motion with its sign (the mouse's vertical look is not
    // inverted by default), in the frames that carry it.
    auto look = [&](const Move& m, const char* action, int sign) {
        bool ok = true, any = false;
        for (std::size_t i = m.first; i <= m.last; ++i) {
            long long d = frames[i].at("inputs").at("mouse").at(
                std::string(action) == "CAMERA_X" ? "dx" : "dy");
            double v = analog(frames[i], action);
            if (d == 0)
                continue;
            any = true;
            ok = ok && (v > 0) == (sign > 0) && v != 0.0 && std::fabs(v - 1.05 * d) < 1e-3;
        }
        return any && ok;
    };
    expect(look(last[0], "CAMERA_X", +1), "CAMERA_X reads the move right as positive (x1.05)");
    expect(look(last[1], "CAMERA_Y", -1), "CAMERA_Y reads the move up as negative");
    expect(look(last[2], "CAMERA_X", -1) && look(last[2], "CAMERA_Y", +1),
           "a move left and down reads negative X and positive Y");
}

void wheelAndButton(const std::vector<Json>& frames) {
    long long total = 0;
    auto notches = runsOf(frames, [&](const Json& f) {
        long long w = f.at("inputs").at("mouse").at("wheel");
        total += w;
        return w != 0;
    });
    expect(notches.size() == 1 && notches[0].first == notches[0].last && total == 1 &&
               hasKey(frames[notches[0].first], "keys", "WheelUp"),
           "one wheel notch up, in one frame, as KEY_WHEEL_UP", describe(notches, frames));

    auto right = runsOf(frames, [](const Json& f) { return hasKey(f, "keys", "RButton"); });
    auto camera = runsOf(
        frames, [](const Json& f) { return digital(f, "PHOTOMODE_ENABLE_CAMERA_MOVEMENT"); });
    expect(right.size() == 1 && right.size() == camera.size() &&
               right[0].first == camera[0].first && right[0].last == camera[0].last,
           "the right button reads down while held, and its action with it",
           "button " + describe(right, frames) + "; action " + describe(camera, frames));
}

void keys(const std::vector<Json>& frames, const std::vector<Json>& names) {
    auto photo =
        runsOf(frames, [](const Json& f) { return digital(f, "PHOTOMODE_TAKE_PHOTO_PC"); });
    auto reset = runsOf(frames, [](const Json& f) { return digital(f, "PHOTOMODE_RESET"); });
    auto tab = runsOf(frames, [](const Json& f) { return hasKey(f, "keys", "Tab"); });
    auto r = runsOf(frames, [](const Json& f) { return hasKey(f, "keys", "R"); });
    auto space = runsOf(frames, [](const Json& f) { return digital(f, "PHOTOMODE_UP"); });
    auto rawSpace = runsOf(frames, [](const Json& f) { return hasKey(f, "rawKeys", "Space"); });
    std::printf("Tab %s; R %s; Space held %s\n", describe(tab, frames).c_str(),
                describe(r, frames).c_str(), describe(space, frames).c_str());
    expect(photo.size() == 1 && photo[0].first == photo[0].last && tab.size() == 1 &&
               photo[0].first == tab[0].first,
           "Tab: PHOTOMODE_TAKE_PHOTO_PC pressed in the frame it went down, once",
           describe(photo, frames));
    expect(reset.size() == 1 && reset[0].first == reset[0].last && r.size() == 1 &&
               reset[0].first == r[0].first,
           "R: PHOTOMODE_RESET pressed in the frame it went down, once", describe(reset, frames));
    expect(tab.size() == 1 && r.size() == 1 && space.size() == 1 && tab[0].last < r[0].first &&
               r[0].last < space[0].first,
           "Tab is released before R goes down, R before Space");
    if (space.size() == 1) {
        double held = frames[space[0].last].at("time").get<double>() -
                      frames[space[0].first].at("time").get<double>();
        // The raw keyboard's record and the key snapshot come by two roads (WM_INPUT in the
        // pump, GetAsyncKeyState at the frame), so an edge that falls between the two may show a
        // frame apart on them; more than that, or a gap, is a fault.
        bool raw = rawSpace.size() == 1 && rawSpace[0].first <= space[0].first + 1 &&
                   rawSpace[0].last + 1 >= space[0].last;
        expect(held >= 0.6 && raw,
               "Space reads held (PHOTOMODE_UP down) in every frame for " + std::to_string(held) +
                   " s, key repeats and all, on the raw keyboard too",
               "raw Space " + describe(rawSpace, frames));
    }
    // The system's names: Wine's differ from Windows' ("space" where Windows says "Space").
    auto nameOf = [&](int key) {
        for (const Json& n : names)
            if (n.at("key") == key)
                return n.at("name").get<std::string>();
        return std::string("<none>");
    };
    std::string seen;
    for (const Json& n : names)
        seen += std::to_string(n.at("key").get<int>()) + "=\"" + n.at("name").get<std::string>() +
                "\" ";
    std::printf("key names: %s\n", seen.c_str());
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    expect(nameOf(9) == "Tab" && nameOf(82) == "R" && lower(nameOf(32)) == "space",
           "keys are named by the system's GetKeyNameTextA", seen);
}

void replay(const std::vector<Json>& live, const std::vector<Json>& replayed) {
    expect(live.size() == replayed.size(), "the replay runs as many frames as the live run",
           std::to_string(live.size()) + " live, " + std::to_string(replayed.size()) + " replayed");
    std::size_t differ = 0;
    std::string first;
    for (std::size_t i = 0; i < live.size() && i < replayed.size(); ++i) {
        for (const char* field : {"frame", "dt", "device", "channels", "inputs", "reads"}) {
            if (live[i].at(field) == replayed[i].at(field))
                continue;
            if (differ++ == 0)
                first = "frame " + std::to_string(i + 1) + " " + field + ": live " +
                        live[i].at(field).dump() + ", replay " + replayed[i].at(field).dump();
        }
    }
    expect(differ == 0, "the recorded session replays natively to the same reads, frame by frame",
           first);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: inputscope_live_check LIVE_JSON REPLAY_JSON\n");
        return 2;
    }
    Json live, replayed;
    if (!load(argv[1], live) || !load(argv[2], replayed)) {
        std::printf("FAIL: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    std::vector<Json> frames = entriesOf(live, "frame");
    std::printf("live frames: %zu\n", frames.size());
    mouse(frames);
    wheelAndButton(frames);
    keys(frames, entriesOf(live, "key-name"));
    replay(frames, entriesOf(replayed, "frame"));
    std::printf(g_failures ? "%d check(s) failed\n" : "all live checks passed\n", g_failures);
    return g_failures ? 1 : 0;
}
