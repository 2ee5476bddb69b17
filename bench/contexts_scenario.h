#pragma once

// The contexts layer over the benchmark frame: four pushed contexts and `mappings` mappings (a
// quarter in each), spread over a quarter as many actions, of every source kind, with a mix of
// triggers and modifiers. With the pad in use its held A and pushed sticks keep a fifth of them
// busy; with the keyboard, the held J.

#include <stdexcept>

#include "frame_scenario.h"
#include "input/contexts.h"

namespace bench {

struct ContextsScenario {
    FrameScenario frame;
    input::InputContexts layer;
    int actionCount = 0;

    ContextsScenario(Device device, int mappings) : frame(device), layer(*frame.manager) {
        using namespace input;
        int contexts[4];
        const char* names[4] = {"gameplay", "vehicle", "photo", "pause"};
        for (int c = 0; c < 4; ++c)
            contexts[c] = layer.defineContext(names[c], c);
        actionCount = mappings / 4;
        // Per ten actions, as a game's controls run: four keys, two pad buttons, one manager
        // action, one key axis, one pad stick or axis, one mouse axis.
        for (int a = 0; a < actionCount; ++a) {
            char name[32];
            std::snprintf(name, sizeof name, "action_%d", a);
            int kind = a % 10;
            ValueType type = kind == 7 || kind == 8 ? VALUE_AXIS_2D
                             : kind == 9            ? VALUE_AXIS_1D
                                                    : VALUE_DIGITAL;
            layer.defineAction(name, type);
        }
        for (int i = 0; i < mappings; ++i) {
            int action = i % actionCount; // actionCount is a multiple of ten: the same kind
            Mapping m;
            m.action = action;
            switch (action % 10) {
            case 4:
            case 5: m.source = Source::padButton(i % 3 ? GAMEPAD_A : GAMEPAD_X); break;
            case 6: m.source = Source::action(ACTION_MENU_A + i % 8); break;
            case 7:
                m.source =
                    i % 2 ? Source::keyAxis2D('W', 'S', 'A', 'D') : Source::keyAxis('Q', 'E');
                m.add(Modifier::scale(0.5f, 0.5f));
                break;
            case 8:
                m.source = i % 2 ? Source::padStick(0) : Source::padAxis(GAMEPAD_RIGHT_STICK_Y);
                m.add(Modifier::deadZoneRadial()).add(Modifier::curve(2.0f, 2.0f));
                break;
            case 9:
                m.source = Source::mouse(0);
                m.add(Modifier::deadZoneAxial()).add(Modifier::scale(2.0f, 1.0f));
                m.add(Modifier::smooth(4.0f));
                break;
            default: m.source = Source::key('A' + i % 26); break;
            }
            switch (i % 9) {
            case 0: break; // Down
            case 1: m.add(Trigger::pressed()); break;
            case 2: m.add(Trigger::hold(0.4f)); break;
            case 3: m.add(Trigger::tap()); break;
            case 4: m.add(Trigger::multiTap()); break;
            case 5: m.add(Trigger::pulse()); break;
            case 6: m.add(Trigger::holdAndRelease()); break;
            case 7: m.add(Trigger::released()); break;
            default:
                if (action != 0)
                    m.add(Trigger::chord(0));
                break;
            }
            ContextError error;
            if (layer.addMapping(contexts[i % 4], m, &error) < 0)
                throw std::logic_error(error.message);
        }
        for (int c : contexts)
            layer.push(c);
        step();
        step();
    }

    float step() {
        float sum = frame.frame();
        layer.step(1.0f / 60.0f);
        return sum + layer.value(0);
    }
};

} // namespace bench
