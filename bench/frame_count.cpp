// Runs a fixed number of steady frames of the benchmark scenario, for counting what a frame
// costs: instructions (run under callgrind with two counts and take the difference) and heap
// allocations (the engine heap and the global operator new).
//
//   input_frame_count run <pad|keyboard> <frame|update|reads|large-update|contexts-N> <count>
//     frame: the host's key snapshot, update, one read of every default action; update: the
//     manager's update alone; reads: the reads alone; contexts-N: the frame, then the contexts
//     layer's step with N mappings (its cost is the difference with frame)
//   input_frame_count allocations <pad|keyboard> <count>   (the frame, then with 200 mappings)

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "contexts_scenario.h"
#include "frame_scenario.h"
#include "host/control.h"

namespace {

std::atomic<std::uint64_t> g_globalNews{0};

void* countedNew(std::size_t size) {
    g_globalNews.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

int usage() {
    std::fprintf(stderr, "usage: input_frame_count run <pad|keyboard> "
                         "<frame|update|reads|large-update|contexts-N> <count>\n"
                         "       input_frame_count allocations <pad|keyboard> <count>\n");
    return 2;
}

bool parseCount(const char* text, long& count) {
    char* end = nullptr;
    count = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && count >= 0 && count <= 100000000;
}

void addLargeTable(input::InputManager& manager) {
    for (int i = 0; i < 10000; ++i) {
        int id = 400 + i;
        char name[32];
        std::snprintf(name, sizeof name, "BENCH_%d", id);
        manager.registerAction(id, vel::InplaceString<32>(name), input::CONTROL_PRESSED,
                               input::CHANNEL_GAME);
        manager.bindKeyboard(id, static_cast<unsigned short>('A' + i % 26));
        manager.bindGamepad(id, static_cast<unsigned short>(i % 16));
    }
}

} // namespace

void* operator new(std::size_t size) {
    return countedNew(size);
}
void* operator new[](std::size_t size) {
    return countedNew(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedNew(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

int main(int argc, char** argv) {
    if (argc < 4)
        return usage();
    bench::Device device;
    if (std::strcmp(argv[2], "pad") == 0)
        device = bench::Device::Pad;
    else if (std::strcmp(argv[2], "keyboard") == 0)
        device = bench::Device::Keyboard;
    else
        return usage();

    if (std::strcmp(argv[1], "allocations") == 0 && argc == 4) {
        long frames = 0;
        if (!parseCount(argv[3], frames))
            return usage();
        bool clean = true;
        for (int mappings : {0, 200}) {
            bench::ContextsScenario scenario(device, mappings ? mappings : 4);
            std::uint64_t heapBefore = host::memory::allocationCount();
            std::uint64_t newsBefore = g_globalNews.load();
            float sink = 0.0f;
            for (long i = 0; i < frames; ++i)
                sink += mappings ? scenario.step() : scenario.frame.frame();
            std::uint64_t heap = host::memory::allocationCount() - heapBefore;
            std::uint64_t news = g_globalNews.load() - newsBefore;
            std::printf("%s%s: %ld frames, %llu engine-heap allocations, %llu operator new "
                        "calls%s\n",
                        argv[2], mappings ? " with 200 context mappings" : "", frames,
                        static_cast<unsigned long long>(heap),
                        static_cast<unsigned long long>(news), sink < 0.0f ? " " : "");
            clean = clean && heap == 0 && news == 0;
        }
        return clean ? 0 : 1;
    }

    if (std::strcmp(argv[1], "run") != 0 || argc != 5)
        return usage();
    long count = 0;
    if (!parseCount(argv[4], count))
        return usage();
    const char* what = argv[3];
    float sink = 0.0f;
    if (std::strncmp(what, "contexts-", 9) == 0) {
        long mappings = 0;
        if (!parseCount(what + 9, mappings) || mappings < 4)
            return usage();
        bench::ContextsScenario layered(device, static_cast<int>(mappings));
        for (long i = 0; i < count; ++i)
            sink += layered.step();
        return sink < -1e30f ? 3 : 0;
    }
    bench::FrameScenario scenario(device);
    if (std::strcmp(what, "frame") == 0) {
        for (long i = 0; i < count; ++i)
            sink += scenario.frame();
    } else if (std::strcmp(what, "update") == 0) {
        // The manager's update alone: the host's key snapshot stays as set up.
        for (long i = 0; i < count; ++i)
            scenario.manager->update(1.0f / 60.0f);
    } else if (std::strcmp(what, "reads") == 0) {
        for (long i = 0; i < count; ++i)
            sink += scenario.readAll();
    } else if (std::strcmp(what, "large-update") == 0) {
        addLargeTable(*scenario.manager);
        scenario.update();
        for (long i = 0; i < count; ++i)
            scenario.update();
    } else {
        return usage();
    }
    // The result goes somewhere observable so that no read is optimised away.
    return sink < -1e30f ? 3 : 0;
}
