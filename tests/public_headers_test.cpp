// The public headers stand alone and keep <windows.h> and its macros away from the game: this
// file includes them before anything else and fails to compile if any of those arrive.
#include "input/input.h"

#if defined(_WINDOWS_) || defined(_INC_WINDOWS) || defined(_MINWINDEF_) || defined(_WINDEF_)
#error "a public header brings in <windows.h>"
#endif
#if defined(min) || defined(max) || defined(near) || defined(far) || defined(interface)
#error "a public header defines a <windows.h> macro"
#endif

#include <gtest/gtest.h>

namespace {

// Names the macros would break, used as a game might.
struct Range {
    int min;
    int max;
};
struct Plane {
    float near;
    float far;
};

} // namespace

TEST(PublicHeaders, LeaveWindowsMacroNamesFree) {
    Range range{1, 2};
    Plane plane{0.1f, 100.0f};
    int interface = range.min + range.max;
    EXPECT_EQ(interface, 3);
    EXPECT_LT(plane.near, plane.far);
}
