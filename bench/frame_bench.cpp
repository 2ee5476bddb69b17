// The per-frame cost of the manager with the default tables: one pad connected, the PC device
// present, the game running.

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "input/input.h"
#include "standin/control.h"

namespace {

struct Frame {
    std::unique_ptr<input::InputManager> manager;
    bool keys[256] = {};

    explicit Frame(bool onPad) {
        sim::reset();
        _tov_XINPUT_GAMEPAD report{};
        if (onPad) {
            report.wButtons = 0x1000; // A held
            report.sThumbLX = 20000;
            report.sThumbRY = -12000;
        }
        sim::connectPad(0); // connected either way
        sim::setPad(0, report);
        manager = std::make_unique<input::InputManager>(true, true);
        manager->setFocus(true);
        manager->setGame(true);
        manager->bindKeyboard(input::ACTION_MOVE_LEFT, 74);
        manager->bindKeyboard(input::ACTION_MOVE_RIGHT, 76);
        keys[74] = !onPad;
        update();
        update();
        if (manager->isUsingKeyboardAndMouse() == onPad)
            throw std::logic_error("device in use not reached");
    }
    ~Frame() {
        manager.reset();
        sim::reset();
    }
    void update() {
        manager->getInputX86()->updateKeyboardState(keys);
        manager->update(1.0f / 60.0f);
    }
};

void BM_Update(benchmark::State& state) {
    Frame frame(state.range(0) != 0);
    for (auto _ : state)
        frame.update();
    state.SetLabel(state.range(0) ? "pad" : "keyboard");
}
BENCHMARK(BM_Update)->Arg(1)->Arg(0);

// One live read of each kind, on the device in use.
void BM_ReadDigitalLive(benchmark::State& state) {
    Frame frame(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.manager->readDigital(input::ACTION_ABORT_VIDEO));
    state.SetLabel(state.range(0) ? "pad" : "keyboard");
}
BENCHMARK(BM_ReadDigitalLive)->Arg(1)->Arg(0);

void BM_ReadAnalogLive(benchmark::State& state) {
    Frame frame(state.range(0) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame.manager->readAnalog(input::ACTION_MOVEMENT_X));
        benchmark::DoNotOptimize(frame.manager->readAnalog(input::ACTION_CAMERA_Y));
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel(state.range(0) ? "pad" : "keyboard");
}
BENCHMARK(BM_ReadAnalogLive)->Arg(1)->Arg(0);

// A game asking about every id of the table once per frame.
void BM_ReadWholeTable(benchmark::State& state) {
    Frame frame(true);
    for (auto _ : state) {
        for (int id = 0; id < input::kDefaultActionTableSize; ++id) {
            benchmark::DoNotOptimize(frame.manager->readDigital(id));
            benchmark::DoNotOptimize(frame.manager->readAnalog(id));
        }
    }
    state.SetItemsProcessed(state.iterations() * input::kDefaultActionTableSize * 2);
}
BENCHMARK(BM_ReadWholeTable);

} // namespace
