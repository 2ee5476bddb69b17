// The helpers that fill in sources, triggers, modifiers and mappings for addMapping.
#include "input/contexts.h"

namespace input {

// --- The definition helpers ---------------------------------------------------------------------

Source Source::key(int code) {
    Source s;
    s.kind = SOURCE_KEY;
    s.codes[0] = code;
    return s;
}
Source Source::mouse(int axis) {
    Source s;
    s.kind = SOURCE_MOUSE_MOTION;
    s.codes[0] = axis;
    return s;
}
Source Source::padButton(int code, int pad) {
    Source s;
    s.kind = SOURCE_PAD_BUTTON;
    s.codes[0] = code;
    s.pad = pad;
    return s;
}
Source Source::padAxis(int code, int pad) {
    Source s = padButton(code, pad);
    s.kind = SOURCE_PAD_AXIS;
    return s;
}
Source Source::padStick(int stick, int pad) {
    Source s = padButton(stick, pad);
    s.kind = SOURCE_PAD_STICK;
    return s;
}
Source Source::keyAxis(int negative, int positive) {
    Source s;
    s.kind = SOURCE_KEY_AXIS;
    s.codes[0] = negative;
    s.codes[1] = positive;
    return s;
}
Source Source::keyAxis2D(int up, int down, int left, int right) {
    Source s;
    s.kind = SOURCE_KEY_AXIS_2D;
    s.codes[0] = up;
    s.codes[1] = down;
    s.codes[2] = left;
    s.codes[3] = right;
    return s;
}
Source Source::action(int managerAction) {
    Source s;
    s.kind = SOURCE_ACTION;
    s.codes[0] = managerAction;
    return s;
}

namespace {
Trigger triggerOf(TriggerKind kind) {
    Trigger t;
    t.kind = kind;
    return t;
}
} // namespace

Trigger Trigger::down() {
    return triggerOf(TRIGGER_DOWN);
}
Trigger Trigger::pressed() {
    return triggerOf(TRIGGER_PRESSED);
}
Trigger Trigger::released() {
    return triggerOf(TRIGGER_RELEASED);
}
Trigger Trigger::hold(float time, bool oneShot) {
    Trigger t = triggerOf(TRIGGER_HOLD);
    t.time = time;
    t.oneShot = oneShot;
    return t;
}
Trigger Trigger::holdAndRelease(float time) {
    Trigger t = triggerOf(TRIGGER_HOLD_AND_RELEASE);
    t.time = time;
    return t;
}
Trigger Trigger::tap(float time) {
    Trigger t = triggerOf(TRIGGER_TAP);
    t.time = time;
    return t;
}
Trigger Trigger::multiTap(int count, float gap, float tapTime) {
    Trigger t = triggerOf(TRIGGER_MULTI_TAP);
    t.count = count;
    t.gap = gap;
    t.time = tapTime;
    return t;
}
Trigger Trigger::pulse(float firstDelay, float interval, int limit) {
    Trigger t = triggerOf(TRIGGER_PULSE);
    t.firstDelay = firstDelay;
    t.interval = interval;
    t.count = limit;
    return t;
}
Trigger Trigger::chord(int mappingAction) {
    Trigger t = triggerOf(TRIGGER_CHORD);
    t.role = ROLE_IMPLICIT;
    t.action = mappingAction;
    return t;
}
Trigger Trigger::blocker(int mappingAction) {
    Trigger t = chord(mappingAction);
    t.role = ROLE_BLOCKER;
    return t;
}
Trigger Trigger::combo(const int* actions, const float* windows, int count) {
    Trigger t = triggerOf(TRIGGER_COMBO);
    t.count = count;
    for (int i = 0; i < count && i < kMaxComboSteps; ++i) {
        t.steps[i] = actions[i];
        t.windows[i] = windows ? windows[i] : 0.0f;
    }
    return t;
}

namespace {
Modifier modifierOf(ModifierKind kind, float x, float y) {
    Modifier m;
    m.kind = kind;
    m.x = x;
    m.y = y;
    return m;
}
} // namespace

Modifier Modifier::deadZoneAxial(float lower, float upper) {
    return modifierOf(MODIFIER_DEAD_ZONE_AXIAL, lower, upper);
}
Modifier Modifier::deadZoneRadial(float lower, float upper) {
    return modifierOf(MODIFIER_DEAD_ZONE_RADIAL, lower, upper);
}
Modifier Modifier::deadZoneRadialUnscaled(float lower, float upper) {
    return modifierOf(MODIFIER_DEAD_ZONE_RADIAL_UNSCALED, lower, upper);
}
Modifier Modifier::curve(float x, float y) {
    return modifierOf(MODIFIER_CURVE, x, y);
}
Modifier Modifier::scale(float x, float y) {
    return modifierOf(MODIFIER_SCALE, x, y);
}
Modifier Modifier::negate(bool x, bool y) {
    return modifierOf(MODIFIER_NEGATE, x ? 1.0f : 0.0f, y ? 1.0f : 0.0f);
}
Modifier Modifier::swizzle() {
    return modifierOf(MODIFIER_SWIZZLE, 0.0f, 0.0f);
}
Modifier Modifier::smooth(float frames) {
    return modifierOf(MODIFIER_SMOOTH, frames, 0.0f);
}
Modifier Modifier::invert(bool horizontal, bool vertical) {
    return modifierOf(MODIFIER_INVERT, horizontal ? 1.0f : 0.0f, vertical ? 1.0f : 0.0f);
}

Mapping& Mapping::add(const Trigger& trigger) {
    if (triggerCount < kMaxTriggers)
        triggers[triggerCount] = trigger;
    ++triggerCount; // past the limit addMapping refuses it
    return *this;
}

Mapping& Mapping::add(const Modifier& modifier) {
    if (modifierCount < kMaxModifiers)
        modifiers[modifierCount] = modifier;
    ++modifierCount;
    return *this;
}

} // namespace input
