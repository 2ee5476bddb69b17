// Wall-clock cost of the game's frame: update plus one read of every default action, the two
// halves apart, the owner's frame while other threads read input, and a large action table.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "contexts_scenario.h"
#include "frame_scenario.h"
#include "vel/spin_lock.h"
#include "winsim/windows.h"

namespace {

bench::Device deviceOf(const benchmark::State& state) {
    return state.range(0) ? bench::Device::Pad : bench::Device::Keyboard;
}

void BM_Frame(benchmark::State& state) {
    bench::FrameScenario frame(deviceOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.frame());
    state.SetLabel(bench::deviceName(deviceOf(state)));
}
BENCHMARK(BM_Frame)->Arg(1)->Arg(0);

void BM_Update(benchmark::State& state) {
    bench::FrameScenario frame(deviceOf(state));
    for (auto _ : state)
        frame.update();
    state.SetLabel(bench::deviceName(deviceOf(state)));
}
BENCHMARK(BM_Update)->Arg(1)->Arg(0);

void BM_ReadPass(benchmark::State& state) {
    bench::FrameScenario frame(deviceOf(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.readAll());
    state.SetItemsProcessed(state.iterations() * input::kDefaultActionCount);
    state.SetLabel(bench::deviceName(deviceOf(state)));
}
BENCHMARK(BM_ReadPass)->Arg(1)->Arg(0);

// The frame followed by the contexts layer's step with `range(1)` mappings in four contexts;
// the layer's share is the difference with BM_Frame.
void BM_FrameWithContexts(benchmark::State& state) {
    bench::ContextsScenario scenario(deviceOf(state), static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(scenario.step());
    state.SetLabel(bench::deviceName(deviceOf(state)));
}
BENCHMARK(BM_FrameWithContexts)->ArgsProduct({{1, 0}, {200, 2000}})->ArgNames({"pad", "mappings"});

// The owner's frame with `range(1)` other threads looping on live reads of the default actions.
void BM_FrameWithReaders(benchmark::State& state) {
    bench::FrameScenario frame(deviceOf(state));
    int readerCount = static_cast<int>(state.range(1));
    std::atomic<bool> stop{false};
    std::vector<std::uint64_t> calls(static_cast<std::size_t>(readerCount), 0);
    std::vector<std::thread> readers;
    for (int r = 0; r < readerCount; ++r) {
        readers.emplace_back([&, r] {
            std::uint64_t n = 0;
            float sink = 0.0f;
            while (!stop.load(std::memory_order_relaxed)) {
                sink += frame.readAll();
                n += input::kDefaultActionCount;
            }
            benchmark::DoNotOptimize(sink);
            calls[static_cast<std::size_t>(r)] = n;
        });
    }
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.frame());
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stop = true;
    for (std::thread& reader : readers)
        reader.join();
    std::uint64_t total = 0;
    for (std::uint64_t n : calls)
        total += n;
    // Every reader must have got through: a starved reader shows as a zero here.
    std::uint64_t fewest = readerCount ? calls[0] : 0;
    for (std::uint64_t n : calls)
        fewest = n < fewest ? n : fewest;
    state.counters["reader_calls_per_s"] = total / seconds;
    state.counters["slowest_reader_calls"] = static_cast<double>(fewest);
    state.SetLabel(bench::deviceName(deviceOf(state)));
}
BENCHMARK(BM_FrameWithReaders)
    ->ArgsProduct({{1, 0}, {0, 1, 3}})
    ->ArgNames({"pad", "readers"})
    ->UseRealTime();

// One lock round trip (take, release) of the kinds a live read takes: `range(0)` 0 for a binding
// table's spin lock, 1 for an SRW lock (the manager's and the pads' recursive locks); with
// `range(1)` another thread loops on the same lock. The contended figure times the lock round
// trips of a frame's live reads is what a reader thread costs the owner.
void BM_LockRoundTrip(benchmark::State& state) {
    vel::SpinLock spin;
    SRWLOCK srw{}; // zero is the unlocked state
    bool useSrw = state.range(0) != 0;
    auto roundTrip = [&] {
        if (useSrw) {
            AcquireSRWLockExclusive(&srw);
            ReleaseSRWLockExclusive(&srw);
        } else {
            spin.lock();
            spin.unlock();
        }
    };
    std::atomic<bool> stop{false};
    std::thread other;
    if (state.range(1))
        other = std::thread([&] {
            while (!stop.load(std::memory_order_relaxed))
                roundTrip();
        });
    for (auto _ : state)
        roundTrip();
    stop = true;
    if (other.joinable())
        other.join();
    state.SetLabel(useSrw ? "srw" : "spin");
}
BENCHMARK(BM_LockRoundTrip)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"srw", "contended"})
    ->UseRealTime();

// 10,000 registered actions beyond the defaults, one key and one pad button each.
void BM_UpdateLargeTable(benchmark::State& state) {
    bench::FrameScenario frame(deviceOf(state));
    for (int i = 0; i < 10000; ++i) {
        int id = 400 + i;
        char name[32];
        std::snprintf(name, sizeof name, "BENCH_%d", id);
        vel::InplaceString<32> text;
        text = name;
        frame.manager->registerAction(id, text, input::CONTROL_PRESSED, input::CHANNEL_GAME);
        frame.manager->bindKeyboard(id, static_cast<unsigned short>('A' + i % 26));
        frame.manager->bindGamepad(id, static_cast<unsigned short>(i % 16));
    }
    frame.update();
    for (auto _ : state)
        frame.update();
    state.SetItemsProcessed(state.iterations() * (10000 + input::kDefaultActionCount));
    state.SetLabel(bench::deviceName(deviceOf(state)));
}
BENCHMARK(BM_UpdateLargeTable)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
