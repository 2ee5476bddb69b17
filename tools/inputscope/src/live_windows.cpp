#include "live.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <windows.h>

#include <mmsystem.h>

#include "input/input.h"
#include "standin/control.h"
#include "standin/input_window.h"
#include "view.h"
#include "view_windows.h"

namespace inputscope {

namespace {

constexpr double kFramePeriod = 1.0 / 60.0;

std::atomic<bool> g_stop{false};

BOOL WINAPI onConsoleStop(DWORD) {
    g_stop = true; // the run ends at the next frame and keeps what it wrote
    return TRUE;
}

// The events the window handed to the library, into the recording.
class Recorder : public host::InputWindowListener {
public:
    explicit Recorder(SessionWriter* writer) : m_writer(writer) {}
    void mouseRecord(const app::InputEvent& event) override {
        if (m_writer)
            m_writer->mouseRecord(event);
    }
    void rawKey(const app::RawKeyEvent& event) override {
        if (m_writer)
            m_writer->rawKey(event);
    }
    void focusChanged(bool focused) override {
        if (m_writer)
            m_writer->focus(focused);
    }
    void devicesChanged() override {
        if (m_writer)
            m_writer->refresh();
    }

private:
    SessionWriter* m_writer;
};

class Clock {
public:
    Clock() {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_start);
    }
    double now() const {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return static_cast<double>(t.QuadPart - m_start.QuadPart) /
               static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency, m_start;
};

} // namespace

const char* whyNoLive() {
    return nullptr;
}

std::string runLive(const LiveOptions& options, TraceSink& sink, SessionWriter* record,
                    LiveSummary& summary) {
    ViewModel model;
    model.title = "live";
    model.help = "close the window to stop";
    model.deadZone = measureDeadZone(); // on the stand-in's pads, before the real ones
    sim::reset();
    for (unsigned user = 0; user < 4; ++user)
        host::xinput::useDevice(user); // the real controllers
    std::string error;
    {
        // In the order a host builds them; the window goes first when the run ends.
        input::Keyboard keyboard;
        input::InputManager manager(true, true);
        manager.setKeyboard(&keyboard);
        ActionTable actions;
        actions.refreshNames(manager);
        std::vector<int> everyAction; // the window lists them all, lit or not
        for (std::size_t id = 0; id < actions.names.size(); ++id)
            if (!actions.names[id].empty())
                everyAction.push_back(static_cast<int>(id));
        Recorder recorder(record);
        host::InputWindow window(manager, keyboard, &recorder);

        if (record) {
            record->statement("# Recorded by inputscope --live: replay it with inputscope FILE.");
            record->screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           GetSystemMetrics(SM_CYVIRTUALSCREEN));
        }
        // Gameplay: the look and movement actions answer (focus follows the window).
        manager.setGame(true);
        if (record)
            record->statement("game on");
        if (!window.open("inputscope live", error)) {
            sim::reset();
            return "cannot open the window: " + error;
        }
        // The class standin/window gives its window; the viewer paints it, the pump stays the
        // host's.
        ViewerWindow viewer;
        if (!viewer.attach("GameInputHostWindow", options.view.width, options.view.height, error)) {
            sim::reset();
            return "cannot draw in the window: " + error;
        }
        g_stop = false;
        SetConsoleCtrlHandler(onConsoleStop, TRUE);
        timeBeginPeriod(1); // waits to the millisecond, not to the default 15.6 ms tick
        sink.begin("live: keyboard, mouse and pads", -1);

        Clock clock;
        double last = 0.0, time = 0.0;
        long long frame = 0;
        bool named[input::KEY_COUNT] = {};
        while (!g_stop) {
            // Messages until the frame's time comes, so input reaches the library as it arrives.
            double deadline = static_cast<double>(frame + 1) * kFramePeriod;
            bool open = true;
            for (double now = clock.now(); open && now < deadline; now = clock.now())
                open = window.pump(static_cast<unsigned>(std::ceil((deadline - now) * 1000.0)));
            if (!open)
                break;
            double now = clock.now();
            float dt = static_cast<float>(now - last);
            last = now;

            bool keys[256];
            window.keySnapshot(keys);
            manager.getInputX86()->updateKeyboardState(keys);
            keyboard.update();
            manager.update(dt);
            ++frame;
            time += dt;

            Entry entry;
            entry.kind = EntryKind::Frame;
            entry.frame.frame = static_cast<int>(frame);
            entry.frame.time = time;
            entry.frame.dt = dt;
            readFrame(manager, keyboard, actions, everyAction, true, entry.frame);
            model.frame = entry.frame;
            viewer.show(model);
            // The table and the JSON show the actions that fired, as a replay does.
            std::vector<ActionRead>& reads = entry.frame.reads;
            reads.erase(std::remove_if(reads.begin(), reads.end(),
                                       [](const ActionRead& r) { return !fired(r); }),
                        reads.end());
            sink.entry(entry);
            // Each key's name the first time it goes down, as the system gives it.
            for (int key : entry.frame.inputs.keys) {
                if (named[key])
                    continue;
                named[key] = true;
                Entry name;
                name.kind = EntryKind::KeyName;
                name.prompt.keyCode = key;
                name.prompt.keyName = keyDisplayName(manager, key);
                sink.entry(name);
            }
            if (record)
                record->frame(dt, keys, entry.frame);
            manager.resetMouseInputDeltas(); // each frame's motion is its own
            if (options.view.atFrame > 0 && frame >= options.view.atFrame) {
                if (options.view.screenshot)
                    options.view.screenshot(viewer.picture());
                break;
            }
            if (options.seconds > 0.0 && time >= options.seconds)
                break;
        }
        timeEndPeriod(1);
        SetConsoleCtrlHandler(onConsoleStop, FALSE);
        host::InputWindowCounts counts = window.counts();
        summary.frames = frame;
        summary.mouseRecords = counts.mouseRecords;
        summary.keyboardRecords = counts.keyboardRecords;
        summary.focusChanges = counts.focusChanges;
        sink.end(frame);
    }
    sim::reset();
    return "";
}

} // namespace inputscope
