#pragma once

#include <cstdint>

#include "input/binding_table.h"
#include "input/export.h"
#include "input/relaxed.h"
#include "input/types.h"
#include "m/vector2.h"
#include "vel/spin_lock.h"
#include "vel/string.h"
#include "vel/vector.h"

namespace app {
struct Event;
}
namespace vel {
class FileStream;
}

namespace input {

class Gamepad;
class InputX86;
struct PadReports;
struct PadView;
class Keyboard;
struct RecursiveLock;

// One row of the action table. A default row (type 0, mask 0, no name) is never live.
struct ActionEntry {
    ControlType controlType = CONTROL_NONE;
    std::uint32_t channelMask = 0;
    vel::InplaceString<32> name;
};

// The action-mapping singleton: devices in, named actions out.
//
// Threads: one owning thread constructs the manager, registers actions, delivers events, calls
// update and switchWorldStepBuffers, changes mode flags, the exclusive list and the inversion
// flags, and destroys it. Other threads may call the live reads (readDigital and readAnalog with
// the buffering mode live, readRawAnalog), isChannelOn, the selection getters and setters, the
// bind, clear and bound queries, the pad queries and the rumble setters. World-step reads belong
// to the owning thread. Action ids index the table directly; an id that is negative or not below
// the table size reads as false, 0.0, "INVALID" or -1 (see each call), and nothing indexes
// outside a table.
class INPUT_API InputManager {
public:
    // Registers the default actions and bindings, builds the four pads and, when
    // `createPCDevice`, the PC keyboard-and-mouse device, then publishes itself as the instance.
    InputManager(bool createPCDevice, bool pcInputMode);
    ~InputManager();
    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

    // The last manager constructed, or null once any manager has been destroyed.
    static InputManager* getInstance();

    // --- Frame -------------------------------------------------------------------------------
    // Polls the pads, tracks the selected controller, updates the PC device, decides the device
    // in use, recomputes the channels and gathers every action into the current step buffer.
    void update(float dt);
    // Resets the four pads; nothing else changes.
    void reset();
    void setBufferingMode(BufferingMode mode);
    BufferingMode getBufferingMode() const;
    // Previous step buffer = current one; the current one empties; buffering goes back to live.
    void switchWorldStepBuffers();
    // Empties both step buffers, keeping their storage.
    void resetStepBuffers();
    // Hands an application event to the PC device; false without one.
    bool dispatchAppEvent(app::Event* event);
    InputX86* getInputX86();
    Gamepad* getSecondaryGamepad();
    // The raw keyboard buffer the host attached, or null.
    Keyboard* getKeyboard();
    // Attaches the host's raw keyboard buffer (not owned; null detaches). Raw-key actions read
    // false without one.
    void setKeyboard(Keyboard* keyboard);
    void setFocus(bool focus);

    // --- Action registry ---------------------------------------------------------------------
    // Registers or overwrites action `id`, growing the table to exactly id + 1 entries. The old
    // name of an overwritten id keeps pointing at it. A negative id changes nothing, and so does a
    // failed allocation.
    void registerAction(int id, const vel::InplaceString<32>& name, ControlType type, int channel);
    // The id registered under `name` (case-sensitive), or -1.
    int getAction(const vel::InplaceWString<128>& name);
    // The entry's name (empty for a gap), or "INVALID" outside the table.
    vel::InplaceString<128> getActionName(int id);
    // 0 <= id < table size (gaps included).
    bool isActionAssigned(int id);

    // --- Bindings ----------------------------------------------------------------------------
    // Any id and any code may be bound; bindings of one action keep their order. A failed
    // allocation leaves the table unchanged and its lock free.
    void bindKeyboard(int action, unsigned short key);
    void bindGamepad(int action, unsigned short button);
    void clearKeyBindings();
    void clearGamepadBindings();
    // Whether `key` is bound to a registered action with a channel bit in `channels`.
    bool isKeyBound(unsigned short key, int channels) const;
    bool isButtonBound(unsigned short button, int channels) const;
    // The action's first pad code, or -1.
    int getGamepadButton(int action);
    // Replaces both tables with the default bindings (sticks as setSticksSwapped says). A failed
    // allocation leaves both tables as they were.
    void bindDefaultInputs();

    // --- Reads -------------------------------------------------------------------------------
    // Live: gated by channels and the exclusive list, read from the device in use. World step:
    // compares the current and previous step values by control type. The bool has no effect.
    bool readDigital(int action, bool unused = false);
    // Live: gated, inverted look axes. World step (mode 2): the current step value. Id 0 is read
    // like any other id. The bool has no effect.
    float readAnalog(int action, bool unused = false);
    // Live and gated whatever the buffering mode, sticks without dead zone.
    float readRawAnalog(int action, bool unused = false);

    // --- Channels and modes ------------------------------------------------------------------
    bool isChannelOn(int channels);
    // Whether the action's channel bits meet `channels`; false outside the table.
    bool channelMatch(int action, int channels) const;

    bool isGameOn() const;
    void setGame(bool on);
    bool isMenuOn() const;
    void setMenu(bool on);
    bool isVideoOn() const;
    void setVideo(bool on);
    bool isConversationOn() const;
    void setConversation(bool on);
    bool isLoadingOn() const;
    void setLoading(bool on);
    bool isBindingOn() const;
    void setBinding(bool on);
    bool isUIMessageOn() const;
    void setUIMessage(bool on);
    bool isFreeCameraWithoutPlayerControlsOn() const;
    void setFreeCameraWithoutPlayerControls(bool on);
    bool isRedirectToKeyframerOn() const;
    void setRedirectToKeyframer(bool on);
    bool isDebugOn() const;
    // Switching debug off also switches the debug buttons off.
    void setDebug(bool on);
    bool isConsoleOn() const;
    // Closing the console also switches the debug buttons off.
    void setConsole(bool on);
    void setDebugBlockPolling(bool on);
    void setDebugButtons(bool on);
    bool isAltDebugButtons() const;
    bool isDebugButtonsOn() const;
    bool isDebugBlockPolling() const;
    // Writes the script's flag when `byScript`, else the game's.
    void setPlayerControlEnabled(bool enabled, bool byScript);
    bool isPlayerControlEnabled() const;
    bool isPlayerControlEnabledByScript() const;
    bool isScriptComponentInputEnabled() const;
    void setScriptComponentInput(bool on);

    // The inversion flags of the device in use.
    bool isInvertVerticalOn() const;
    bool isInvertHorizontalOn() const;
    void setInvertVertical(bool on);
    void setInvertHorizontal(bool on);
    void setInvertVerticalForMouse(bool on);
    void setInvertHorizontalForMouse(bool on);
    void setInvertVerticalForPad(bool on);
    void setInvertHorizontalForPad(bool on);
    bool getInvertVerticalForMouse() const;
    bool getInvertHorizontalForMouse() const;
    bool getInvertVerticalForPad() const;
    bool getInvertHorizontalForPad() const;
    // Takes effect at the next bindDefaultInputs.
    void setSticksSwapped(bool swapped);
    bool isSticksSwapped() const;
    // Forwarded to the PC device; nothing without one.
    void setMouseSensitivity(float sensitivity);

    // Within `channels`, only the listed actions stay readable.
    void setExclusiveActions(vel::Vector<int, vel::Allocator<int, 0>>& ids, Channel channels);
    void clearExclusiveActions();
    bool isActionBlocked(int action) const;

    // --- Controller selection ----------------------------------------------------------------
    void clearSelectedGamepad();
    // Slots 0-3; any other slot is ignored.
    void setSelectedGamepad(int slot);
    int getSelectedGamepad();
    // The selected pad, or slot 0's; never null.
    Gamepad* getGamepad();
    // The pad in slot 0-3; null for any other slot.
    Gamepad* getGamepad(int slot);
    int getActiveGamepadID();
    void unassignGamepad(int slot);
    void refreshGamepadConnectivity();

    // --- Glyphs ------------------------------------------------------------------------------
    // The glyph of the action's first pad binding, or -1.
    int getGlyphIndex(int action);
    // Position, size and rotation of a glyph's atlas cell in a glyph set. A glyph without a cell
    // leaves position (but for the set's shift) and size as they were.
    void getHUDAtlasPositionAndSize(int glyph, GlyphSet set, m::Vector2Template<float>& position,
                                    m::Vector2Template<float>& size, float& rotation) const;

    // --- Key names ---------------------------------------------------------------------------
    // The display name of the action's first key; false and empty without one or without a PC
    // device.
    bool getKeyName(int action, vel::InplaceWString<128>& name);
    // The action's first key code; false and -1 without one or without a PC device.
    bool getKeyCode(int action, int& keyCode);
    // The display name of a key code; `name` untouched without a PC device.
    void getKeycodeName(int keyCode, vel::InplaceWString<128>& name);
    int getMouseWheel();
    void resetMouseInputDeltas();

    // --- Device in use -----------------------------------------------------------------------
    bool isUsingKeyboardAndMouse() const;
    bool isPCInputMode() const;

    // --- Demo --------------------------------------------------------------------------------
    // One demo record for the current pad.
    void updateDemoRecording(vel::FileStream& stream);

    static InputManager* sm_pInstance;

private:
    // The key binding screen's helpers edit the tables under their locks.
    friend struct RebindingAccess;

    void initializeMembers();
    void releaseDevicesAndLocks();
    void registerDefaultActions();
    void updateChannels();
    void updateActivityCheck(bool keysDown);
    void keepTrackOfCurrentController();
    bool channelMatch(int action) const;
    bool isLive(int action) const;
    bool readDigitalInternal(int action, bool unused = false);
    bool readGamepad(int action, ControlType type);
    bool readKeyboard(int action, ControlType type);
    float readAnalogInternal(int action, bool unused = false);
    template <bool Raw> float readAnalogGated(int action);
    float readKeyboardAnalogue(int action);
    float readGamepadAnalogue(int action, ControlType type);
    float readGamepadRawAnalogue(int action, ControlType type);
    template <bool Raw> float readGamepadValue(int action, ControlType type);
    void gatherStepValues();
    PadView currentPadView(PadReports& copy);

    Gamepad* gamepads[4];
    std::int32_t activeGamepadID;
    Keyboard* keyboard;
    InputX86* inputX86;
    Relaxed<bool> usingKeyboardAndMouse;
    bool focus;
    bool pcInputMode;
    bool debugButtons;
    bool altDebugButtons;
    bool debugButtonsAllowed;
    Relaxed<BufferingMode> bufferingMode;
    vel::Vector<float, vel::Allocator<float, 0>> currentStepValues;
    vel::Vector<float, vel::Allocator<float, 0>> previousStepValues;
    std::int32_t selectedGamepad;
    Relaxed<std::uint32_t> channelMask;
    bool debug;
    bool debugBlockPolling;
    bool uiMessage;
    bool game;
    bool menu;
    bool conversation;
    bool video;
    bool console;
    bool loading;
    bool binding;
    bool freeCameraWithoutPlayerControls;
    bool redirectToKeyframer;
    bool playerControlEnabledByScript;
    bool playerControlEnabled;
    Relaxed<bool> invertVerticalForPad;
    Relaxed<bool> invertHorizontalForPad;
    Relaxed<bool> invertVerticalForMouse;
    Relaxed<bool> invertHorizontalForMouse;
    bool sticksSwapped;
    bool scriptComponentInput;
    vel::Vector<int, vel::Allocator<int, 0>> exclusiveActions;
    std::int32_t exclusiveChannel;
    vel::Vector<ActionEntry, vel::Allocator<ActionEntry, 0>> actions;
    ActionNameTable actionNames;
    mutable vel::SpinLock keyBindingsLock;
    BindingTable keyBindings;
    mutable vel::SpinLock padBindingsLock;
    BindingTable padBindings;
    RecursiveLock* gamepadLock;
    RecursiveLock* channelLock;
};

// The glyph of a pad button code (1-23), or -1.
INPUT_API int glyphFromButton(int button);

} // namespace input
