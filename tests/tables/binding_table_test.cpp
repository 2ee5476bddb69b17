// The manager's flat tables against a standard-library model: random bindings over every kind of
// id (negative, indexed, beyond the index), checked span by span, and a failed allocation at
// every point of a growth leaves the table as it was.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "host/control.h"
#include "input/binding_table.h"
#include "support/failing_allocations.h"

namespace {

using input::ActionNameTable;
using input::BindingTable;
using testing_support::failEachAllocationInTurn;
using Model = std::multimap<int, unsigned short>; // keeps insertion order within a key

std::vector<unsigned short> codesOf(const BindingTable& table, int action) {
    std::vector<unsigned short> codes;
    BindingTable::Span span = table.find(action);
    for (const BindingTable::Entry* e = span.first; e != span.last; ++e) {
        EXPECT_EQ(e->action, action);
        codes.push_back(e->code);
    }
    return codes;
}

std::vector<unsigned short> codesOf(const Model& model, int action) {
    std::vector<unsigned short> codes;
    auto range = model.equal_range(action);
    for (auto it = range.first; it != range.second; ++it)
        codes.push_back(it->second);
    return codes;
}

void expectSame(const BindingTable& table, const Model& model, const std::vector<int>& ids) {
    ASSERT_EQ(table.size(), model.size());
    // The whole table in model order: by action, then binding order.
    auto it = model.begin();
    for (const BindingTable::Entry& e : table) {
        ASSERT_EQ(e.action, it->first);
        ASSERT_EQ(e.code, it->second);
        ++it;
    }
    for (int id : ids)
        ASSERT_EQ(codesOf(table, id), codesOf(model, id)) << "action " << id;
}

TEST(BindingTable, MatchesAnOrderedMultimapUnderRandomBindings) {
    const std::vector<int> pool = {
        -2147483647 - 1, -70000, -1,    0,       1,         2, 3, 7, 63, 64, 65, 309, 310, 4095,
        65535,           65536,  65537, 1 << 20, 2147483647};
    std::vector<int> probes = pool;
    for (int id : pool) {
        probes.push_back(id == -2147483647 - 1 ? id : id - 1);
        probes.push_back(id == 2147483647 ? id : id + 1);
    }
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        BindingTable table;
        Model model;
        int count = static_cast<int>(random() % 300);
        for (int i = 0; i < count; ++i) {
            int id =
                random() % 4 == 0 ? static_cast<int>(random() % 400) : pool[random() % pool.size()];
            unsigned short code = static_cast<unsigned short>(random() % 5);
            table.add(id, code); // duplicates are kept
            model.emplace(id, code);
            if (random() % 50 == 0) {
                table.clear();
                model.clear();
            }
        }
        for (int i = 0; i < 400; ++i)
            probes.push_back(i);
        expectSame(table, model, probes);
        if (HasFatalFailure())
            return;
    }
}

TEST(BindingTable, SwapExchangesEverything) {
    BindingTable a, b;
    a.add(5, 1);
    a.add(5, 2);
    b.add(-3, 9);
    b.add(100000, 8);
    a.swap(b);
    EXPECT_EQ(codesOf(a, -3), std::vector<unsigned short>{9});
    EXPECT_EQ(codesOf(a, 100000), std::vector<unsigned short>{8});
    EXPECT_TRUE(codesOf(a, 5).empty());
    EXPECT_EQ(codesOf(b, 5), (std::vector<unsigned short>{1, 2}));
}

TEST(BindingTable, AFailedGrowthChangesNothing) {
    BindingTable table;
    Model model;
    std::vector<int> probes;
    for (int i = -3; i < 1200; ++i)
        probes.push_back(i);
    int failures = 0;
    // Growth of the entries (many bindings) and of the index (ever higher ids).
    for (int i = 0; i < 600; ++i) {
        int id = i % 2 ? i * 2 : 7;
        auto code = static_cast<unsigned short>(i);
        int n = failEachAllocationInTurn(
            "binding " + std::to_string(i), [&] { table.add(id, code); },
            [&] { expectSame(table, model, probes); });
        ASSERT_GE(n, 0);
        failures += n;
        model.emplace(id, code);
    }
    expectSame(table, model, probes);
    EXPECT_GE(failures, 8);
}

TEST(ActionNameTable, OrderedLookupOverwriteAndFailedGrowth) {
    ActionNameTable names;
    std::map<std::wstring, int> model;
    std::mt19937 random(7);
    int failures = 0;
    for (int i = 0; i < 500; ++i) {
        std::string text = "ACTION_" + std::to_string(random() % 300);
        if (i % 7 == 0)
            text += "_WITH_A_NAME_LONGER_THAN_THE_INLINE_BUFFER";
        int n = failEachAllocationInTurn(
            text, [&] { names.set(vel::InplaceWString<32>(text.c_str()), i); },
            [&] { ASSERT_EQ(names.size(), model.size()); });
        ASSERT_GE(n, 0);
        failures += n;
        model[std::wstring(text.begin(), text.end())] = i;
    }
    EXPECT_GT(failures, 0);
    ASSERT_EQ(names.size(), model.size());
    for (const auto& entry : model) {
        vel::InplaceWString<128> key(std::string(entry.first.begin(), entry.first.end()).c_str());
        EXPECT_EQ(names.find(key), entry.second);
    }
    EXPECT_EQ(names.find(vel::InplaceWString<32>("action_1")), -1); // case-sensitive
    EXPECT_EQ(names.find(vel::InplaceWString<32>("")), -1);
    std::int64_t live = host::memory::liveBlocks();
    names.clear();
    EXPECT_EQ(names.size(), 0u);
    EXPECT_LT(host::memory::liveBlocks(), live); // the long names' heap text goes with them
}

} // namespace
