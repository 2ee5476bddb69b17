#pragma once

// The layer's private record: definitions, per-mapping trigger state and the frame's device
// snapshot. Everything a steady frame touches is sized when something is defined, so a frame
// allocates nothing.

#include <cstdint>
#include <new>
#include <utility>

#include "input/contexts.h"
#include "vel/vector.h"
#include "vel/xinput.h"

namespace input {

class InputX86;

template <class T> using Vec = vel::Vector<T, vel::Allocator<T, 0>>;

// Takes over `source`'s storage without allocating (the engine's vector has no move assignment).
template <class T> void takeOver(Vec<T>& target, Vec<T>& source) noexcept {
    target.~Vec<T>();
    new (&target) Vec<T>(std::move(source));
}

// One input a source is made of, as a number, so that contexts can claim it: keys 0-257, the two
// mouse axes, then 22 pad inputs (buttons and triggers 0-17, the four axes) of pad slots 0-3 and
// of the selected pad, then the manager's action ids.
namespace atom {
constexpr int kMouse = 258;
constexpr int kPads = 260;
constexpr int kPadInputs = 22;
constexpr int kSelected = 4; // the fifth pad block
constexpr int kActions = kPads + 5 * kPadInputs;
} // namespace atom

// Neither infinite nor NaN (the MSVC-mode runtime has no std::isfinite).
inline bool isFinite(float v) {
    return v - v == 0.0f;
}

// Where a released mapping waits: its source reads as nothing until its magnitude falls below
// this, whatever the triggers' thresholds.
constexpr float kRestLevel = 0.25f;

// What the frame reads, taken once at the start of each step.
struct DeviceSnapshot {
    const InputX86* pc = nullptr;
    float mouse[2] = {};
    bool connected[5] = {};
    _tov_XINPUT_GAMEPAD pads[5] = {}; // slots 0-3, then the selected pad
    std::int32_t selectedSlot = 0;
    bool invertPad[2] = {};   // horizontal, vertical
    bool invertMouse[2] = {}; // horizontal, vertical
    bool usingKeyboardAndMouse = false;
};

struct TriggerRun {
    double start = 0.0; // the clock at the press
    double mark =
        0.0; // multi-tap: last release; pulse: held time of the next pulse; combo: last step
    std::int32_t count = 0; // multi-tap: presses so far; pulse: pulses fired; combo: next step
    bool down = false;      // actuated, with hysteresis
    bool fired = false;     // one-shot hold: fired since the press; multi-tap: wait for release
};

// How a mapping's value comes from its atoms' values.
enum Combine : std::uint8_t {
    COMBINE_PLAIN = 0,    // x, y = atoms 0, 1
    COMBINE_KEY_AXIS = 1, // x = atom 1 - atom 0
    COMBINE_KEYS_2D = 2,  // x = right - left, y = up - down
};

struct MappingRec {
    // What the frame's loop reads first: where its atoms' values are this frame (a claimed atom
    // points at the zero slot), and its state.
    std::int32_t slots[4] = {};
    Combine combine = COMBINE_PLAIN;
    Mapping def;
    std::int32_t context = 0;
    std::int32_t local = 0; // index within its context
    std::int32_t atoms[4] = {};
    std::int32_t atomCount = 0;
    TriggerRun runs[kMaxTriggers];
    float smooth[2] = {};
    float value[2] = {};
    TriggerState state = TRIGGER_NONE;
    std::uint8_t claimed = 0; // bit i: atoms[i] is claimed by a higher context
    bool waitRelease = false;
    bool idle = true;      // nothing would change while the source reads zero
    bool quiet = false;    // idle with the value 0: a frame reading zero has nothing to do
    bool hasCombo = false; // reacts to other actions, so never idle
    bool hasChord = false;
};

struct ActionRec {
    char name[32] = {};
    ValueType type = VALUE_DIGITAL;
    std::int32_t topo = 0;   // position in the evaluation order
    std::uint32_t stamp = 0; // the frame that must look at it
    TriggerState state = TRIGGER_NONE;
    TriggerState previous = TRIGGER_NONE; // the state before this frame
    bool rose = false;                    // turned Triggered this frame
    std::uint32_t events = 0;
    std::uint32_t pending = 0; // from pops and releases between steps, reported by the next step
    std::uint32_t stepEvents = 0;
    std::int32_t stepTriggers = 0;
    float value[2] = {};
};

struct ContextRec {
    char name[32] = {};
    std::int32_t priority = 0;
    std::uint32_t channels = 0;
    std::uint32_t pushSerial = 0;
    std::int32_t rank = 0; // among effective contexts, from 1 (lowest); 0 when not effective
    std::int32_t mappingCount = 0;
    bool pushed = false;
    bool effective = false; // pushed, focused and its channels open
};

struct InputContexts::State {
    InputManager* manager = nullptr;
    Vec<ActionRec> actions;
    Vec<ContextRec> contexts;
    Vec<MappingRec> mappings;
    // The evaluation order: actions with those their chords and combos read first; `order` holds
    // the mappings of topo[i] at orderBegin[i]..orderBegin[i + 1].
    Vec<std::int32_t> topo;
    Vec<std::int32_t> order;
    Vec<std::int32_t> orderBegin;
    // The same for the mappings of live contexts only, rebuilt with the claims.
    Vec<std::int32_t> live;
    Vec<std::int32_t> liveBegin;
    // Per atom, the actions with a live mapping reading it (unclaimed), rebuilt with the claims;
    // and the mappings that the last frame left in progress or waiting for a release. A frame
    // looks only at the actions of those two: every other mapping is quiet and reads nothing.
    Vec<std::int32_t> atomActions;
    Vec<std::int32_t> atomActionsBegin;
    Vec<std::int32_t> awake;
    // The actions a frame looked at, this frame's and the last: only they have events to derive
    // or to clear.
    Vec<std::int32_t> touched[2];
    // Bit per position in the evaluation order: the actions this frame must look at.
    Vec<std::uint64_t> due;
    std::uint32_t frame = 0;
    bool wakeAll = true;      // the next frame looks at every action (after any change but input)
    Vec<std::int16_t> claims; // per atom: the highest rank mapping it
    // Per atom, this frame's value, and one more slot that is always 0; the atoms any mapping
    // reads, each once.
    Vec<float> atomValues;
    Vec<std::int32_t> usedAtoms;
    DeviceSnapshot devices;
    double now = 0.0;
    std::uint32_t pushSerial = 0;
    std::uint32_t padsUsed = 0; // bit per pad block read by any mapping
    bool focus = true;
    bool claimsDirty = true;
    bool anyChord = false;
    bool chordFired = false; // this frame
};

// --- Shared between the sources (each file says which it defines).

// sources.cpp
// The devices and every used atom's value for this frame.
void takeSnapshot(InputContexts::State& s);
// One atom's value from the snapshot (and, for manager actions, a read now).
void refreshAtom(InputContexts::State& s, std::int32_t atom);
Combine combineOf(const Source& source);
// The source's value at the last step with the atoms in `claimed` read as zero; false for a pad
// that is not connected.
bool readSource(const InputContexts::State& s, const MappingRec& m, std::uint8_t claimed,
                float value[2]);
int sourceAtoms(const Source& source, std::int32_t atoms[4]);
bool checkSource(InputManager& manager, const Source& source, ContextError* error);
bool usesPad(const Source& source);

// modifiers.cpp
void applyModifiers(const InputContexts::State& s, MappingRec& m, float v[2]);
bool checkModifier(const Modifier& modifier, ContextError* error);

// triggers.cpp
TriggerState evaluateTriggers(const InputContexts::State& s, MappingRec& m, float magnitude);
bool runsBusy(const MappingRec& m);
bool checkTrigger(const InputContexts::State& s, const Trigger& trigger, int owner,
                  ContextError* error);
// Events of the step from `before` to `after`, repeats of Ongoing and Triggered included.
std::uint32_t frameEvents(TriggerState before, TriggerState after);
void resetMapping(MappingRec& m);

// definitions.cpp
void fail(ContextError* error, const char* format, ...);
MappingRec* findMapping(InputContexts::State& s, int context, int mapping);
inline const MappingRec* findMapping(const InputContexts::State& s, int context, int mapping) {
    return findMapping(const_cast<InputContexts::State&>(s), context, mapping);
}
// Rebinding in two steps, so that many rebinds apply together or not at all: the reserve may
// throw and changes nothing anyone sees; the commits that follow (each source checked before)
// cannot fail.
void reserveRebinds(InputContexts::State& s, const Source* sources, int count);
void commitRebind(InputContexts::State& s, MappingRec& target, const Source& source) noexcept;

// What the key binding screen's profile reaches inside the layer.
struct ContextsAccess {
    static InputContexts::State& state(const InputContexts& contexts) { return *contexts.m_state; }
};

// frame.cpp
// The action's state from its live mappings' states; the edge's events go to `pending`.
void settleAction(InputContexts::State& s, int action);
void releaseMapping(InputContexts::State& s, int mapping);
// Whether the source was away from rest at the last step.
bool heldNow(const InputContexts::State& s, const MappingRec& m);

} // namespace input

namespace input {

// The mapping's value from this frame's atom values, claims applied.
inline void combineSlots(const float* values, const std::int32_t* slot, Combine combine,
                         float v[2]) {
    switch (combine) {
    case COMBINE_PLAIN:
        v[0] = values[slot[0]];
        v[1] = values[slot[1]];
        break;
    case COMBINE_KEY_AXIS:
        v[0] = values[slot[1]] - values[slot[0]];
        v[1] = 0.0f;
        break;
    case COMBINE_KEYS_2D:
        v[0] = values[slot[3]] - values[slot[2]];
        v[1] = values[slot[0]] - values[slot[1]];
        break;
    }
}

} // namespace input
