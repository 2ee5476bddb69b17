// The modifiers of a mapping, applied in order to its source's value.
#include <cmath>

#include "contexts/state.h"

namespace input {

namespace {

bool finite(float v) {
    return isFinite(v);
}

float axialDeadZone(float v, float lower, float upper) {
    float a = std::fabs(v);
    if (a < lower)
        return 0.0f;
    float t = ((a < upper ? a : upper) - lower) / (upper - lower);
    return v < 0.0f ? -t : t;
}

float curve(float v, float exponent) {
    if (v == 0.0f || exponent == 1.0f)
        return v;
    float a = std::fabs(v);
    float t = exponent == 2.0f ? a * a : std::pow(a, exponent); // the common square without pow
    return v < 0.0f ? -t : t;
}

// The inversion flags that apply to a mapping's source.
const bool* inversionFor(const DeviceSnapshot& d, SourceKind kind) {
    if (kind == SOURCE_MOUSE_MOTION)
        return d.invertMouse;
    if (usesPad(Source{kind, {}, 0}))
        return d.invertPad;
    return d.usingKeyboardAndMouse ? d.invertMouse : d.invertPad;
}

constexpr float kSmoothRest = 1e-4f; // a smoothed value this close to 0 is 0

} // namespace

void applyModifiers(const InputContexts::State& s, MappingRec& m, float v[2]) {
    for (int i = 0; i < m.def.modifierCount; ++i) {
        const Modifier& mod = m.def.modifiers[i];
        switch (mod.kind) {
        case MODIFIER_DEAD_ZONE_AXIAL:
            v[0] = axialDeadZone(v[0], mod.x, mod.y);
            v[1] = axialDeadZone(v[1], mod.x, mod.y);
            break;
        case MODIFIER_DEAD_ZONE_RADIAL:
        case MODIFIER_DEAD_ZONE_RADIAL_UNSCALED: {
            float length = std::sqrt(v[0] * v[0] + v[1] * v[1]);
            if (length < mod.x) {
                v[0] = v[1] = 0.0f;
                break;
            }
            float capped = length < mod.y ? length : mod.y;
            float target =
                mod.kind == MODIFIER_DEAD_ZONE_RADIAL ? (capped - mod.x) / (mod.y - mod.x) : capped;
            float k = length > 0.0f ? target / length : 0.0f;
            v[0] *= k;
            v[1] *= k;
            break;
        }
        case MODIFIER_CURVE:
            v[0] = curve(v[0], mod.x);
            v[1] = curve(v[1], mod.y);
            break;
        case MODIFIER_SCALE:
            v[0] *= mod.x;
            v[1] *= mod.y;
            break;
        case MODIFIER_NEGATE:
            if (mod.x != 0.0f)
                v[0] = -v[0];
            if (mod.y != 0.0f)
                v[1] = -v[1];
            break;
        case MODIFIER_SWIZZLE: {
            float x = v[0];
            v[0] = v[1];
            v[1] = x;
            break;
        }
        case MODIFIER_SMOOTH:
            for (int axis = 0; axis < 2; ++axis) {
                float& kept = m.smooth[axis];
                kept += (v[axis] - kept) / mod.x;
                if (std::fabs(kept) < kSmoothRest)
                    kept = 0.0f;
                v[axis] = kept;
            }
            break;
        case MODIFIER_INVERT: {
            const bool* invert = inversionFor(s.devices, m.def.source.kind);
            if (mod.x != 0.0f && invert[0])
                v[0] = -v[0];
            if (mod.y != 0.0f && invert[1])
                v[1] = -v[1];
            break;
        }
        }
    }
}

bool checkModifier(const Modifier& mod, ContextError* error) {
    if (!finite(mod.x) || !finite(mod.y)) {
        fail(error, "modifier %d has a value that is not a number or infinite", mod.kind);
        return false;
    }
    switch (mod.kind) {
    case MODIFIER_DEAD_ZONE_AXIAL:
    case MODIFIER_DEAD_ZONE_RADIAL:
    case MODIFIER_DEAD_ZONE_RADIAL_UNSCALED:
        if (mod.x >= 0.0f && mod.y > mod.x)
            return true;
        fail(error, "a dead zone needs 0 <= lower < upper (got %g, %g)", mod.x, mod.y);
        return false;
    case MODIFIER_CURVE:
        if (mod.x > 0.0f && mod.y > 0.0f)
            return true;
        fail(error, "a response curve needs exponents above 0 (got %g, %g)", mod.x, mod.y);
        return false;
    case MODIFIER_SMOOTH:
        if (mod.x >= 1.0f)
            return true;
        fail(error, "smoothing needs at least 1 frame (got %g)", mod.x);
        return false;
    case MODIFIER_SCALE:
    case MODIFIER_NEGATE:
    case MODIFIER_SWIZZLE:
    case MODIFIER_INVERT: return true;
    }
    fail(error, "unknown modifier kind %d", static_cast<int>(mod.kind));
    return false;
}

} // namespace input
