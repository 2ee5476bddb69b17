// What live_test.sh asserts of a viewer's picture: the BMP the Windows viewer wrote is read
// pixel by pixel, and the shapes are found where the layout puts them at the picture's size for
// the same frame, replayed here from SESSION.
//   inputscope_screenshot_check PICTURE.bmp SESSION FRAME CHECK...
// A CHECK is lit:TAG or unlit:TAG (a button, trigger or action lamp drawn in its lit colour, or
// in the colour of one that is up, and not lit), stick-right:PAD.STICK or stick-centred:PAD.STICK
// (the dot's pixels right of the well's centre, or at it).

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "runner.h"
#include "session.h"
#include "system.h"
#include "view.h"

using namespace inputscope;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<Colour> pixels; // rows from the top
    Colour at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// A 24-bit uncompressed BMP, as the viewer writes it.
bool readBmp(const std::string& path, Picture& p, std::string& error) {
    std::string b;
    if (!readFile(path, 256u << 20, b, error))
        return false;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || le(b, 28, 2) != 24 || le(b, 30, 4) != 0) {
        error = "not a 24-bit uncompressed BMP";
        return false;
    }
    std::size_t offset = le(b, 10, 4);
    p.width = static_cast<int>(le(b, 18, 4));
    int h = static_cast<int>(le(b, 22, 4));
    bool bottomUp = h > 0;
    p.height = std::abs(h);
    std::size_t stride = (static_cast<std::size_t>(p.width) * 3 + 3) & ~std::size_t(3);
    if (p.width <= 0 || p.height <= 0 || offset + stride * p.height > b.size()) {
        error = "the pixels do not fit the file";
        return false;
    }
    p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        std::size_t row =
            offset + stride * static_cast<std::size_t>(bottomUp ? p.height - 1 - y : y);
        for (int x = 0; x < p.width; ++x)
            p.pixels[static_cast<std::size_t>(y) * p.width + x] =
                le(b, row + static_cast<std::size_t>(x) * 3, 3);
    }
    return true;
}

// The share of a shape's box painted exactly in `colour`.
double share(const Picture& p, const Shape& s, Colour colour) {
    long long hits = 0, all = 0;
    for (int y = std::max(0, s.y); y < std::min(p.height, s.y + s.h); ++y)
        for (int x = std::max(0, s.x); x < std::min(p.width, s.x + s.w); ++x) {
            ++all;
            hits += p.at(x, y) == colour;
        }
    return all ? static_cast<double>(hits) / all : 0.0;
}

int g_failures = 0;
void expect(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    g_failures += !ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: inputscope_screenshot_check PICTURE.bmp SESSION FRAME "
                             "CHECK...\n");
        return 2;
    }
    Picture picture;
    std::string error, text;
    if (!readBmp(argv[1], picture, error) || !readFile(argv[2], kMaxSessionBytes, text, error)) {
        std::fprintf(stderr, "inputscope_screenshot_check: %s\n", error.c_str());
        return 2;
    }
    int wanted = std::atoi(argv[3]);
    RunOptions run;
    run.readAll = true; // as the viewer reads
    Session session = parseSession(text, argv[2]);
    SessionPlayer player(session, run);
    ViewModel model;
    model.deadZone = measureDeadZone();
    while (model.frame.frame < wanted && player.next(model.frame)) {
    }
    if (model.frame.frame != wanted) {
        std::fprintf(stderr, "inputscope_screenshot_check: the session has no frame %d\n", wanted);
        return 2;
    }
    DrawList list = layoutView(model, picture.width, picture.height);
    std::printf("%s: %dx%d, frame %d\n", argv[1], picture.width, picture.height, wanted);

    for (int i = 4; i < argc; ++i) {
        std::string check = argv[i];
        std::string kind = check.substr(0, check.find(':'));
        std::string tag = check.substr(check.find(':') + 1);
        bool stick = kind.compare(0, 6, "stick-") == 0;
        const Shape* s = findShape(list, stick ? tag + ".well" : tag);
        if (!s) {
            expect(false, check + ": no shape " + tag + " in the layout");
            continue;
        }
        if (kind == "lit" || kind == "unlit") {
            // The replay says what the frame holds; the picture must show it.
            bool litInModel = s->colour != palette::kOff;
            double on = share(picture, *s, s->colour), off = share(picture, *s, palette::kOff);
            char detail[96];
            std::snprintf(detail, sizeof detail,
                          " (%.0f%% of its box in %06x, %.0f%% in the up "
                          "colour)",
                          on * 100, s->colour, off * 100);
            if (kind == "lit")
                expect(litInModel && on > 0.3 && off < 0.02, check + detail);
            else
                expect(!litInModel && off > 0.3, check + detail);
        } else if (stick) {
            // The dot's pixels inside the well, and where their middle lies.
            double sx = 0, sy = 0;
            long long n = 0;
            for (int y = std::max(0, s->y); y < std::min(picture.height, s->y + s->h); ++y)
                for (int x = std::max(0, s->x); x < std::min(picture.width, s->x + s->w); ++x)
                    if (picture.at(x, y) == palette::kStickDot) {
                        sx += x;
                        sy += y;
                        ++n;
                    }
            double r = s->w / 2.0;
            double dx = n ? (sx / n - (s->x + r)) / r : 0, dy = n ? (sy / n - (s->y + r)) / r : 0;
            char detail[96];
            std::snprintf(detail, sizeof detail,
                          " (%lld dot pixels, middle at %+.2f %+.2f of the "
                          "radius)",
                          n, dx, dy);
            bool ok =
                n >= 12 && (kind == "stick-right" ? dx > 0.4 && std::fabs(dy) < 0.15
                                                  : std::fabs(dx) < 0.1 && std::fabs(dy) < 0.1);
            expect(ok, check + detail);
        } else {
            expect(false, check + ": unknown check");
        }
    }
    return g_failures ? 1 : 0;
}
