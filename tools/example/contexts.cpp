// Contexts and triggers of docs/integration.md: gameplay with a dodge on a double tap, a vehicle
// context over it whose E is "hold 0.5 s to exit" with a progress bar, and a pause menu over both
// that takes Escape and Enter while it is up.
//
// Keys are scripted here through the stand-in's controls; a game gets them from its window.
#include <cstdio>

#include "input/input.h"
#include "standin/control.h"

namespace {

constexpr int kEscape = 27, kEnter = 13;
constexpr float kDt = 0.125f;

struct Game {
    input::InputManager manager{true, true};
    input::InputContexts contexts{manager};
    bool keys[256] = {};

    // The frame of docs/integration.md: the key snapshot, the manager, then the contexts.
    void frame() {
        manager.getInputX86()->updateKeyboardState(keys);
        manager.update(kDt);
        contexts.step(kDt);
    }
};

void progressBar(float fraction) {
    char bar[11] = "..........";
    for (int i = 0; i < static_cast<int>(fraction * 10.0f + 0.5f) && i < 10; ++i)
        bar[i] = '#';
    std::printf("exit [%s]\n", bar);
}

} // namespace

int main() {
    using namespace input;
    sim::reset();
    Game game;
    game.manager.setFocus(true);
    game.manager.setGame(true);
    InputContexts& c = game.contexts;

    // Definitions, once at start: actions, then contexts, then mappings.
    ContextError error;
    int move = c.defineAction("move", VALUE_AXIS_2D);
    int dodge = c.defineAction("dodge", VALUE_DIGITAL);
    int interact = c.defineAction("interact", VALUE_DIGITAL);
    int exitVehicle = c.defineAction("exit_vehicle", VALUE_DIGITAL);
    int pause = c.defineAction("pause", VALUE_DIGITAL);
    int resume = c.defineAction("resume", VALUE_DIGITAL);
    int gameplay = c.defineContext("gameplay", 0);
    int vehicle = c.defineContext("vehicle", 1);
    int menu = c.defineContext("pause_menu", 10);

    Mapping m;
    m.action = move;
    m.source = Source::keyAxis2D('W', 'S', 'A', 'D');
    c.addMapping(gameplay, m);
    m = Mapping();
    m.action = move;
    m.source = Source::padStick(0);
    m.add(Modifier::deadZoneRadial()).add(Modifier::curve(1.5f, 1.5f));
    c.addMapping(gameplay, m);
    m = Mapping();
    m.action = dodge;
    m.source = Source::key(' ');
    m.add(Trigger::multiTap(2, 0.25f, 0.2f));
    c.addMapping(gameplay, m);
    m = Mapping();
    m.action = interact;
    m.source = Source::key('E');
    m.add(Trigger::pressed());
    c.addMapping(gameplay, m);
    m = Mapping();
    m.action = pause;
    m.source = Source::key(kEscape);
    m.add(Trigger::pressed());
    c.addMapping(gameplay, m);
    m = Mapping();
    m.action = exitVehicle;
    m.source = Source::key('E');
    m.add(Trigger::hold(0.5f, true));
    c.addMapping(vehicle, m); // the vehicle claims E from gameplay
    m = Mapping();
    m.action = resume;
    m.source = Source::key(kEscape);
    m.add(Trigger::pressed());
    c.addMapping(menu, m);
    m.source = Source::key(kEnter);
    if (c.addMapping(menu, m, &error) < 0) {
        std::fprintf(stderr, "error: %s\n", error.message);
        return 1;
    }
    // A refused definition says why and changes nothing.
    m.add(Trigger::chord(resume));
    if (c.addMapping(menu, m, &error) < 0)
        std::printf("refused: %s\n", error.message);

    c.push(gameplay);
    game.frame();

    // Double-tap Space to dodge: press, release, press within 0.25 s.
    int dodges = 0;
    for (bool down : {true, false, true, false}) {
        game.keys[' '] = down;
        game.frame();
        dodges += c.events(dodge) & EVENT_TRIGGERED ? 1 : 0;
    }
    std::printf("dodges: %d\n", dodges);

    // Into the car: E now belongs to the vehicle. Hold it 0.5 s to get out.
    c.push(vehicle);
    game.keys['E'] = true;
    for (int i = 0; i < 6; ++i) {
        game.frame();
        progressBar(c.holdProgress(exitVehicle));
        if (c.events(exitVehicle) & EVENT_TRIGGERED) {
            std::printf("exit vehicle after %.2f s\n", c.heldTime(exitVehicle));
            c.pop(vehicle); // gameplay gets E back, but only once it has been let go
        }
        if (c.events(interact) & EVENT_TRIGGERED)
            std::printf("interact (never: the vehicle had E)\n");
    }
    game.keys['E'] = false;
    game.frame();

    // Pause over everything: Escape opens the menu, which ignores that same Escape until it is
    // released, then takes Escape and Enter for itself.
    game.keys[kEscape] = true;
    game.frame();
    if (c.events(pause) & EVENT_TRIGGERED)
        c.push(menu);
    game.frame();
    std::printf("menu up, resume: %s\n", c.triggered(resume) ? "yes" : "no");
    game.keys[kEscape] = false;
    game.frame();
    game.keys[kEscape] = true;
    game.frame();
    std::printf("second Escape, resume: %s, pause: %s\n", c.triggered(resume) ? "yes" : "no",
                c.triggered(pause) ? "yes" : "no");
    c.pop(menu);

    // World steps: read once per fixed step, every Triggered of its frames counted.
    game.keys[kEscape] = false;
    c.switchWorldStep();
    for (int i = 0; i < 4; ++i) {
        game.keys[' '] = i % 2 == 0;
        game.frame();
    }
    std::printf("dodges this world step: %d\n", c.stepTriggerCount(dodge));
    return 0;
}
