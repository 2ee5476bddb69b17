#pragma once

// Contexts, triggers and modifiers over the manager: a game names its own mapping actions, ties
// input sources to them in named contexts it pushes and pops at run time, and says when an action
// fires (hold, tap, double-tap, repeat, chord, combo) and how its value is shaped (dead zones,
// curves, scale, smoothing).
//
// The layer reads what InputManager::update published (the key snapshot, mouse motion, the pad
// reports, the manager's own actions) and is stepped once a frame after it:
//
//     manager.update(dt);
//     contexts.step(dt);
//     if (contexts.events(jump) & input::EVENT_TRIGGERED) ...
//
// Threads: everything here belongs to the manager's owning thread, reads included. Nothing here
// changes the manager or its layout, and no standard-library type crosses the interface.
//
// Rules that hold throughout (each is tested):
// - Actuation: a source is down when its magnitude (|x| for one axis, the length for two) is at or
//   above the trigger's `actuation` (inclusive), and goes up when it falls strictly below
//   `release` (equal to `actuation` unless set lower, which gives hysteresis).
// - Time is the layer's own clock, the sum of the dt given to step. A hold's time counts from the
//   frame of the press, where it is 0.
// - Per action and frame the state is the highest of its mappings' states (Triggered over Ongoing
//   over None) and the events come from one table, the previous state against this one:
//       None -> Ongoing:        STARTED | ONGOING
//       None -> Triggered:      STARTED | TRIGGERED
//       Ongoing -> Ongoing:     ONGOING
//       Ongoing -> Triggered:   TRIGGERED
//       Ongoing -> None:        CANCELED
//       Triggered -> Triggered: TRIGGERED
//       Triggered -> Ongoing:   COMPLETED | STARTED | ONGOING
//       Triggered -> None:      COMPLETED
//   So every STARTED is closed by exactly one COMPLETED or CANCELED, and a Completed is never
//   hidden by another trigger that is still Ongoing.

#include <cstddef>
#include <cstdint>

#include "input/export.h"

namespace input {

class InputManager;

// --- Sources -------------------------------------------------------------------------------------

enum SourceKind : std::int32_t {
    SOURCE_NONE = 0,
    SOURCE_KEY = 1,          // key code 0-257: keys, mouse buttons 1/2/4/5/6, wheel notches
    SOURCE_MOUSE_MOTION = 2, // code 0: x, 1: y, 2: both (2D); the manager's scaled deltas
    SOURCE_PAD_BUTTON = 3,   // pad code 0-15, or 16/17 for a trigger (0.0-1.0)
    SOURCE_PAD_AXIS = 4,     // stick axis 20-23, the raw value -1.0 to 1.0 (no dead zone)
    SOURCE_PAD_STICK = 5,    // 0 left, 1 right: both axes raw (2D)
    SOURCE_KEY_AXIS = 6,     // codes[0] negative, codes[1] positive: -1, 0 or 1
    SOURCE_KEY_AXIS_2D = 7,  // codes: up, down, left, right (x from left/right, y from up/down)
    SOURCE_ACTION = 8, // a manager action id, read as a game reads it (analogue types as a float)
};

constexpr std::int32_t kSelectedPad = -1; // a pad source of the selected pad, whichever it is

struct INPUT_API Source {
    SourceKind kind = SOURCE_NONE;
    std::int32_t codes[4] = {-1, -1, -1, -1};
    std::int32_t pad = kSelectedPad; // pad sources: slot 0-3 or kSelectedPad

    static Source key(int code);
    static Source mouse(int axis);
    static Source padButton(int code, int pad = kSelectedPad);
    static Source padAxis(int code, int pad = kSelectedPad);
    static Source padStick(int stick, int pad = kSelectedPad);
    static Source keyAxis(int negative, int positive);
    static Source keyAxis2D(int up, int down, int left, int right);
    static Source action(int managerAction);
};

// --- Triggers ------------------------------------------------------------------------------------

enum ValueType : std::int32_t {
    VALUE_DIGITAL = 0, // value() is 1.0 while Triggered, else 0.0
    VALUE_AXIS_1D = 1, // value() is x
    VALUE_AXIS_2D = 2, // value2() is x and y
};

enum TriggerState : std::int32_t {
    TRIGGER_NONE = 0,
    TRIGGER_ONGOING = 1,
    TRIGGER_TRIGGERED = 2,
};

// Event bits of one frame (or, through stepEvents, of one world step).
enum TriggerEvent : std::uint32_t {
    EVENT_STARTED = 0x1,
    EVENT_ONGOING = 0x2,
    EVENT_TRIGGERED = 0x4,
    EVENT_COMPLETED = 0x8,
    EVENT_CANCELED = 0x10,
};

enum TriggerKind : std::int32_t {
    TRIGGER_DOWN = 0,     // Triggered while down
    TRIGGER_PRESSED = 1,  // Triggered on the frame it goes down
    TRIGGER_RELEASED = 2, // Ongoing while down, Triggered on the frame it goes up
    // Ongoing while down before `time` (default 0.4 s, the pads' own hold), then Triggered each
    // frame from held >= time (inclusive); with `oneShot` only on the first such frame.
    TRIGGER_HOLD = 3,
    // Ongoing while down; on the frame it goes up Triggered if held >= time, else Canceled.
    TRIGGER_HOLD_AND_RELEASE = 4,
    // Ongoing while down; on the frame it goes up Triggered if held < time (strict, 0.4 s);
    // Canceled once held reaches time while still down.
    TRIGGER_TAP = 5,
    // `count` presses (default 2), each held < time before its release and each pressed at most
    // `gap` after the last release (inclusive, default 0.25 s). Ongoing from the first press,
    // idle frames between taps included; Triggered on the frame of the count-th press. A press
    // that comes after the gap begins a new try at once (the action stays Ongoing).
    TRIGGER_MULTI_TAP = 6,
    // Triggered on the press, then each time held reaches firstDelay, firstDelay + interval, ...
    // (inclusive), Ongoing in between, up to `count` pulses (0: no limit), None after the last
    // while still down. A long frame fires at most one pulse; the due times it passed are dropped,
    // not caught up.
    TRIGGER_PULSE = 7,
    // Triggered while action `action` (a mapping action) is Triggered this frame, else None.
    // Implicit unless said otherwise. While the chord fires, the other mappings on its sources
    // drop to None and wait for those sources' release, so letting go of the modifier key first
    // does not make the bare key look freshly pressed.
    TRIGGER_CHORD = 8,
    // Mapping actions steps[0..count) each turning Triggered in order, step i within windows[i]
    // seconds of step i-1 (inclusive; step 0 has none). Ongoing after the first step, Triggered
    // on the frame of the last. Another step action of the combo turning Triggered out of turn, or
    // a window passing, cancels. Ignores the mapping's own source.
    TRIGGER_COMBO = 9,
};

enum TriggerRole : std::int32_t {
    ROLE_EXPLICIT = 0, // any explicit trigger Triggered suffices
    ROLE_IMPLICIT = 1, // every implicit trigger must be Triggered
    ROLE_BLOCKER = 2,  // Triggered vetoes the mapping
};

constexpr int kMaxComboSteps = 8;

struct INPUT_API Trigger {
    TriggerKind kind = TRIGGER_DOWN;
    TriggerRole role = ROLE_EXPLICIT;
    float actuation = 0.5f; // > 0
    float release = -1.0f;  // 0 < release <= actuation; negative: equal to actuation
    float time = 0.4f;      // hold, hold-and-release, tap, multi-tap (per tap)
    bool oneShot = false;   // hold
    std::int32_t count = 2; // multi-tap presses, pulse limit (0: none), combo steps
    float gap = 0.25f;      // multi-tap
    float firstDelay = 0.5f, interval = 0.1f; // pulse
    std::int32_t action = -1;                 // chord
    std::int32_t steps[kMaxComboSteps] = {};  // combo
    float windows[kMaxComboSteps] = {};

    static Trigger down();
    static Trigger pressed();
    static Trigger released();
    static Trigger hold(float time = 0.4f, bool oneShot = false);
    static Trigger holdAndRelease(float time = 0.4f);
    static Trigger tap(float time = 0.4f);
    static Trigger multiTap(int count = 2, float gap = 0.25f, float tapTime = 0.4f);
    static Trigger pulse(float firstDelay = 0.5f, float interval = 0.1f, int limit = 0);
    static Trigger chord(int mappingAction);
    static Trigger combo(const int* actions, const float* windows, int count);
    static Trigger blocker(int mappingAction); // a chord in the blocker role
};

// --- Modifiers -----------------------------------------------------------------------------------

enum ModifierKind : std::int32_t {
    // Per axis: |v| < lower -> 0, the rest rescaled so lower..upper gives 0..1 (clamped).
    MODIFIER_DEAD_ZONE_AXIAL = 0,
    // On the length: below lower -> 0, the rest rescaled to 0..1 along the same direction.
    MODIFIER_DEAD_ZONE_RADIAL = 1,
    // On the length: below lower -> 0, the rest unchanged (capped at upper).
    MODIFIER_DEAD_ZONE_RADIAL_UNSCALED = 2,
    MODIFIER_CURVE = 3,   // sign(v) * |v|^x, |v|^y per axis
    MODIFIER_SCALE = 4,   // times x, y
    MODIFIER_NEGATE = 5,  // negates an axis where x, y is non-zero
    MODIFIER_SWIZZLE = 6, // swaps x and y
    MODIFIER_SMOOTH = 7,  // each frame moves 1/x of the way to the new value (x >= 1 frames)
    // The manager's inversion flags (the pad's for pad sources, the mouse's for mouse motion, the
    // device in use's otherwise): x non-zero negates x while horizontal inversion is on, y
    // non-zero negates y while vertical inversion is on.
    MODIFIER_INVERT = 8,
};

struct INPUT_API Modifier {
    ModifierKind kind = MODIFIER_SCALE;
    float x = 1.0f; // dead zones: lower bound; curve, scale: x axis; smooth: frames
    float y = 1.0f; // dead zones: upper bound; curve, scale: y axis

    static Modifier deadZoneAxial(float lower = 0.2f, float upper = 1.0f);
    static Modifier deadZoneRadial(float lower = 0.2f, float upper = 1.0f);
    static Modifier deadZoneRadialUnscaled(float lower = 0.2f, float upper = 1.0f);
    static Modifier curve(float x, float y);
    static Modifier scale(float x, float y);
    static Modifier negate(bool x, bool y);
    static Modifier swizzle();
    static Modifier smooth(float frames);
    static Modifier invert(bool horizontal, bool vertical);
};

// --- Mappings ------------------------------------------------------------------------------------

constexpr int kMaxTriggers = 4;
constexpr int kMaxModifiers = 8;
constexpr int kMaxContexts = 16;

// One source tied to one mapping action. With no trigger a mapping behaves as Down.
struct INPUT_API Mapping {
    std::int32_t action = -1; // a mapping action from defineAction
    Source source;
    std::int32_t triggerCount = 0;
    Trigger triggers[kMaxTriggers];
    std::int32_t modifierCount = 0;
    Modifier modifiers[kMaxModifiers]; // applied in order
    // A pass-through mapping does not claim its sources from lower contexts.
    bool passThrough = false;

    Mapping& add(const Trigger& trigger);
    Mapping& add(const Modifier& modifier);
};

// Why a definition was refused.
struct ContextError {
    char message[160] = {};
};

struct Value2 {
    float x = 0.0f;
    float y = 0.0f;
};

// --- The layer -----------------------------------------------------------------------------------

class INPUT_API InputContexts {
public:
    // The manager must outlive the layer.
    explicit InputContexts(InputManager& manager);
    ~InputContexts();
    InputContexts(const InputContexts&) = delete;
    InputContexts& operator=(const InputContexts&) = delete;

    // --- Definitions. A refused definition returns -1 or false, fills `error` and changes
    // nothing; a failed allocation throws std::bad_alloc and changes nothing either.

    // A mapping action named `name` (1-31 characters, unique); returns its id, from 0.
    int defineAction(const char* name, ValueType type, ContextError* error = nullptr);
    int findAction(const char* name) const;
    // A context named `name` (unique; at most kMaxContexts). Among pushed contexts a higher
    // priority wins, and at equal priority the one pushed later. With `channels` non-zero the
    // context counts as pushed only while InputManager::isChannelOn(channels).
    int defineContext(const char* name, int priority, std::uint32_t channels = 0,
                      ContextError* error = nullptr);
    int findContext(const char* name) const;
    // Adds a mapping to a context; returns its index in that context.
    int addMapping(int context, const Mapping& mapping, ContextError* error = nullptr);
    // Replaces the source of a context's mapping in place; its triggers start over and the new
    // source counts only once it has been seen at rest.
    bool rebind(int context, int mapping, const Source& source, ContextError* error = nullptr);

    // --- Contexts at run time.

    // Activates a context at once. Its sources that were down at the last step (a magnitude of
    // 0.25 or more) count only after they have been released. Pushing a context that is already
    // pushed changes nothing (its state stays).
    bool push(int context);
    // Deactivates a context at once: each of its actions left without a live mapping ends with
    // one event, Ongoing -> CANCELED and Triggered -> COMPLETED, reported by the next step.
    bool pop(int context);
    bool isPushed(int context) const;

    // A context claims the sources of its mappings from every context below it while it is pushed,
    // whether or not its actions fire, but for pass-through mappings (which are still claimed from
    // above). A source given back while held counts below only once it has been released.

    // Focus, as given to InputManager::setFocus (call both). Losing it releases every source:
    // actions end as pop describes, and whatever is still down when focus returns counts only
    // once it has been released. A pad that disconnects releases its sources the same way.
    void setFocus(bool focus);

    // --- Frame.

    // Once a frame after InputManager::update, with the same dt (seconds, >= 0; anything else
    // counts as 0). Allocates nothing.
    void step(float dt);
    // The layer's clock: the sum of the dt given to step.
    double now() const;

    // --- Reads of a mapping action (an unknown id reads as None, 0, nothing).
    TriggerState state(int action) const;
    std::uint32_t events(int action) const; // this frame's TriggerEvent bits
    bool triggered(int action) const { return state(action) == TRIGGER_TRIGGERED; }
    float value(int action) const;
    Value2 value2(int action) const;

    // World steps, as the manager's step buffers: the events of every frame since the last
    // switchWorldStep, and on how many of those frames the action was Triggered, so that a game
    // reading once per world step loses none.
    std::uint32_t stepEvents(int action) const;
    int stepTriggerCount(int action) const;
    void switchWorldStep();

    // Progress for a prompt: the furthest hold among the action's live mappings, as a fraction
    // 0..1 of its time and in seconds, and the pulses fired since the press.
    float holdProgress(int action) const;
    float heldTime(int action) const;
    int pulseCount(int action) const;

    // --- What is defined, for a binding screen (names are nullptr for an unknown id).
    int actionCount() const;
    const char* actionName(int action) const;
    int contextCount() const;
    const char* contextName(int context) const;
    // How many mappings the context has, and one of them (its index from addMapping) as it stands,
    // its source after any rebind; false for none.
    int mappingCount(int context) const;
    bool getMapping(int context, int mapping, Mapping* out) const;

    struct State; // the private record, src/contexts/state.h

private:
    friend struct ContextsAccess;
    State* m_state;
};

} // namespace input
