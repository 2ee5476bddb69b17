#pragma once

// What a key binding screen needs beyond the manager's own calls: capturing the next input the
// player presses, editing one binding in place, finding the actions a code already serves, and
// saving and loading the player's bindings and settings as a small text profile.
//
// Everything here is called from the manager's owning thread, but for the edits and the
// queries (replaceBinding, removeBinding, getBindings, findConflicts), which take the table's
// lock like bindKeyboard and may come from any thread. Nothing here changes the manager's
// layout; no standard-library type crosses the interface.

#include <cstddef>
#include <cstdint>

#include "input/export.h"

namespace input {

class InputManager;
class InputContexts;
struct ContextError;

// Which of the manager's two binding tables.
enum BindingDevice : std::int32_t {
    BINDING_KEYBOARD = 0, // key codes 0-257: virtual keys, mouse buttons, the two wheel codes
    BINDING_GAMEPAD = 1,  // pad codes 0-17 (buttons and triggers) and 20-23 (stick axes)
};

// What a capture saw in one frame.
struct CapturedInput {
    enum Kind : std::int32_t {
        NOTHING = 0,    // no new input this frame
        KEY = 1,        // `code` is a key code 0-257
        PAD_BUTTON = 2, // `code` is a pad button 0-17 of pad `slot`
        PAD_STICK = 3,  // `code` is a stick axis 20-23 of pad `slot`, pushed towards `direction`
        CANCELLED = 4,  // the cancel key or the cancel button went down
    };
    Kind kind = NOTHING;
    std::uint16_t code = 0;
    std::int8_t direction = 0; // +1 or -1 for a stick, else 0
    std::int8_t slot = -1;     // 0-3 for pad inputs, else -1
};

// Listens for the next input while a key binding screen waits for one. It reads the key
// snapshot and the pad reports that the manager's last update published, so it works with the
// binding flag on (when no action is live). An input counts when it goes down: one that was
// already down when the capture began (the Enter that opened the screen, a stick resting past
// the threshold) counts only after it has been seen up.
class INPUT_API BindingCapture {
public:
    struct Options {
        bool keys = true;              // keys, mouse buttons and wheel notches
        bool padButtons = true;        // pad buttons 0-15 and the triggers as buttons 16/17
        bool padSticks = false;        // stick directions, as axis codes 20-23
        std::int32_t padSlot = -1;     // 0-3 listens to one pad only; -1 to all four
        std::int32_t cancelKey = 27;   // Escape; -1 for none
        std::int32_t cancelButton = 5; // GAMEPAD_BACK; -1 for none
        float stickThreshold = 0.5f;   // how far past the dead zone a stick counts, 0-1
    };

    explicit BindingCapture(InputManager& manager);
    BindingCapture(InputManager& manager, const Options& options);

    // Forgets what was seen; every input that is down now must be released before it counts.
    void restart();
    // Once a frame, after InputManager::update: the first input that went down since the last
    // poll. The cancel key and button come first, then keys by code, then pads by slot and code,
    // then sticks.
    CapturedInput poll();

    const Options& options() const { return m_options; }

private:
    static constexpr int kKeyWords = 9; // 258 key codes

    InputManager* m_manager;
    Options m_options;
    // Set for an input that was up at the last look: only those count when they go down. Pad bits
    // 0-17 are the buttons and triggers, 18 + 2 * axis + (0 for plus, 1 for minus) the sticks.
    std::uint32_t m_keyUp[kKeyWords];
    std::uint32_t m_padUp[4];
};

// Rebinds a mapping of the contexts layer (input/contexts.h) in place to what a capture saw,
// through InputContexts::rebind: a key becomes a key source, or, for a key axis's `part` (0-1) or
// four keys' (0-3: up, down, left, right), that one key; a pad button a pad button; a stick
// direction one stick axis, or the whole stick for a 2D action (a stick has no direction as a
// source). Pad sources keep the mapping's pad choice (a slot, or the selected pad). False with
// `error` filled, and no change, for no input or a source the mapping cannot take.
INPUT_API bool rebindContextMapping(InputContexts& contexts, int context, int mapping,
                                    const CapturedInput& input, int part = -1,
                                    ContextError* error = nullptr);

// Copies the action's codes in `device`'s table into `codes` (up to `capacity`), in binding
// order, and returns how many the action has.
INPUT_API int getBindings(const InputManager& manager, BindingDevice device, int action,
                          unsigned short* codes, int capacity);

// Replaces the action's binding at `index` (its binding order, from 0) with `code`, keeping every
// other entry and the order of all; an index equal to the action's count appends. Any other index
// changes nothing and returns false. One hold of the table's lock: a reader sees the table before
// or after. An append that cannot allocate throws and leaves the table as it was.
INPUT_API bool replaceBinding(InputManager& manager, BindingDevice device, int action, int index,
                              unsigned short code);
// Removes the action's binding at `index`; false and no change when it has none there.
INPUT_API bool removeBinding(InputManager& manager, BindingDevice device, int action, int index);

// The registered actions bound to `code` in `device`'s table whose channel masks meet
// `channels`, each once, in table order. Writes up to `capacity` ids to `actions` and returns how
// many there are. With the binding screen's `channels` this says which actions a new binding
// would share its key with.
INPUT_API int findConflicts(const InputManager& manager, BindingDevice device, unsigned short code,
                            int channels, int* actions, int capacity);

// Where a profile could not be read or written. `line` and `column` (from 1; a column counts
// bytes) are 0 when the fault is not in the text, such as a file that cannot be opened.
struct ProfileError {
    std::int32_t line = 0;
    std::int32_t column = 0;
    char message[160] = {};
};

// The most bindings a profile carries in each table; reading refuses more, and so does writing.
constexpr std::size_t kMaxProfileBindings = 2048;
// The most context mappings a profile carries (its "map" section).
constexpr std::size_t kMaxProfileMappings = 1024;
// Largest profile text read or written, in bytes, checked on the byte count before anything is
// parsed. It is set so that any pair of tables a profile can carry, each binding written in its
// longest form, fits with the settings: whatever was read can be saved and read back.
constexpr std::size_t kMaxProfileSize = 512 * 1024;

// Writes the profile of both binding tables and the player's settings (inversion per device,
// sticks swapped, mouse sensitivity when there is a PC device) into `buffer` and returns its
// length; nothing is written past `capacity`, so a call with capacity 0 measures. Returns 0 with
// `error` filled for a table that holds a code no profile can carry.
INPUT_API std::size_t writeBindingProfile(const InputManager& manager, char* buffer,
                                          std::size_t capacity, ProfileError* error = nullptr);
// Checks the whole text, then replaces both tables and applies the settings it names, in one
// step that cannot fail. On any fault (unknown version or action, a code out of range, too many
// bindings, a control character, invalid UTF-8, UTF-16 text, an oversized text, a failed
// allocation) returns false with `error` filled and changes nothing. A UTF-8 byte order mark at
// the start is allowed.
INPUT_API bool readBindingProfile(InputManager& manager, const char* text, std::size_t size,
                                  ProfileError* error = nullptr);

// The same through a file: save writes a temporary file beside `path` (`path` with ".tmp"
// added), reads it back and renames it over `path`, so a failed or interrupted save leaves the
// old profile whole and no temporary file behind. A folder or a read-only file at `path` is
// refused. Load refuses a file larger than kMaxProfileSize whole, before anything is parsed.
INPUT_API bool saveBindingProfile(const InputManager& manager, const char* path,
                                  ProfileError* error = nullptr);
INPUT_API bool loadBindingProfile(InputManager& manager, const char* path,
                                  ProfileError* error = nullptr);

// The same with the contexts layer's mappings (input/contexts.h) in a section of their own
// (profile version 2): one line a mapping, "map", its context, its action, which of that action's
// mappings in the context it is (from 0), and its source, such as "key:69", "keys2d:87,83,65,68",
// "button:12@0" (pad slot 0; without "@" the selected pad) or "stick:1". The contexts, actions and
// mappings must be defined before a read; a line that names one that is not, or a source the
// layer refuses, refuses the whole profile. Tables, settings and mappings change together or not
// at all. The calls without contexts read version 1 and 2 and leave a "map" section aside.
INPUT_API std::size_t writeBindingProfile(const InputManager& manager,
                                          const InputContexts* contexts, char* buffer,
                                          std::size_t capacity, ProfileError* error = nullptr);
INPUT_API bool readBindingProfile(InputManager& manager, InputContexts* contexts, const char* text,
                                  std::size_t size, ProfileError* error = nullptr);
INPUT_API bool saveBindingProfile(const InputManager& manager, const InputContexts* contexts,
                                  const char* path, ProfileError* error = nullptr);
INPUT_API bool loadBindingProfile(InputManager& manager, InputContexts* contexts, const char* path,
                                  ProfileError* error = nullptr);

// The default bindings and the settings a new manager starts with: no inversion, sticks not
// swapped, mouse sensitivity 0.5. A failed allocation throws and changes nothing.
INPUT_API void resetBindingProfile(InputManager& manager);

} // namespace input
