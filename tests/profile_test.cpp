// The bindings profile keeps its word: a call applies a whole profile or changes nothing (the
// tables, the settings, the files beside the profile), whatever the text holds, wherever the
// size limit falls in it and whichever allocation fails.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "support/every_lock.h"
#include "support/failing_allocations.h"
#include "support/fixture.h"
#include "support/profile_state.h"

using namespace testing_support;
using input::BINDING_GAMEPAD;
using input::BINDING_KEYBOARD;
using input::kMaxProfileBindings;
using input::kMaxProfileSize;

namespace {

const std::string kHead = "gameinput-bindings 1\n";

// A profile of exactly `size` bytes: the head, `body`, then a comment padded with ASCII that
// ends in `tail`, so that the tail's last byte is the text's last.
std::string profileOfSize(std::size_t size, const std::string& body, const std::string& tail) {
    std::string text = kHead + body + "#";
    return text + std::string(size - text.size() - tail.size(), 'x') + tail;
}

// A path as the library's messages quote it: a long one by its last 80 bytes.
std::string shown(const std::string& path) {
    return path.size() > 80 ? "..." + path.substr(path.size() - 80) : path;
}

class Profile : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        manager->setMenu(true);
    }
    // Made apart from the defaults a new manager has, so that a change shows.
    void moveAwayFromTheDefaults() {
        input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_Y, 0, 72);
        input::removeBinding(*manager, BINDING_GAMEPAD, input::ACTION_MENU_A, 0);
        manager->setInvertVerticalForPad(true);
        manager->setSticksSwapped(true);
        manager->setMouseSensitivity(0.25f);
    }
};

// What only the simulated machine can be made to do: fail a file move.
class SimProfile : public Profile {};

} // namespace

TEST_F(Profile, TheSizeLimitIsTheByteCountWhereverACharacterFallsAcrossIt) {
    struct Case {
        const char* what;
        std::string text;
        bool reads;
    };
    const std::string bound = "key MENU_A 72\n";
    const std::size_t limit = kMaxProfileSize;
    const std::vector<Case> cases = {
        {"at the limit, a 2-byte character ending on it", profileOfSize(limit, bound, "\xC3\xA9"),
         true},
        {"one below, a 3-byte character ending on it",
         profileOfSize(limit - 1, bound, "\xE2\x82\xAC"), true},
        {"one above, a 2-byte character across the limit",
         profileOfSize(limit + 1, bound, "\xC3\xA9"), false},
        {"two above, a 4-byte character across the limit",
         profileOfSize(limit + 2, bound, "\xF0\x9F\x8E\xAE"), false},
        // Everything past the limit is a binding: a cut text would read as the part before it.
        {"a long file whose bindings go on past the limit",
         profileOfSize(limit - 100, bound, "\xC3\xA9") + "\n" +
             [] {
                 std::string more;
                 while (more.size() < kMaxProfileSize / 2)
                     more += "key MENU_B 66\n";
                 return more;
             }(),
         false},
    };
    Folder folder("profile_size");
    const std::string file = folder.path("big.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The same text as given and through a file, each on the defaults.
        for (bool throughFile : {false, true}) {
            make();
            manager->setMenu(true);
            std::string before = visibleState(*manager);
            input::ProfileError error;
            bool read;
            if (throughFile) {
                writeFile(file, c.text);
                read = input::loadBindingProfile(*manager, file.c_str(), &error);
            } else {
                read = input::readBindingProfile(*manager, c.text.data(), c.text.size(), &error);
            }
            ASSERT_EQ(read, c.reads) << error.message;
            if (c.reads) {
                EXPECT_EQ(tables(*manager), "0:18=72 ");
                continue;
            }
            EXPECT_EQ(error.line, 0);
            EXPECT_EQ(std::string(error.message),
                      throughFile
                          ? "\"" + shown(file) + "\" is larger than 524288 bytes, the most a " +
                                "profile holds"
                          : "the profile is larger than 524288 bytes");
            EXPECT_EQ(visibleState(*manager), before);
        }
    }
}

TEST_F(Profile, TheFullestTablesAProfileCarriesSaveAndReadBackWhole) {
    // The longest line the writer makes: a name of 64 bytes, the highest key code.
    const std::string longName(64, 'L');
    manager->registerAction(300, longName.c_str(), input::CONTROL_DOWN, input::CHANNEL_MENU);
    manager->clearKeyBindings();
    manager->clearGamepadBindings();
    for (std::size_t i = 0; i < kMaxProfileBindings; ++i) {
        manager->bindKeyboard(300, input::KEY_WHEEL_DOWN);
        manager->bindGamepad(300, input::GAMEPAD_RIGHT_STICK_Y);
    }
    manager->setInvertHorizontalForMouse(true);
    manager->setMouseSensitivity(0.123456789f);
    std::string text = profileText(*manager);
    ASSERT_GT(text.size(), kMaxProfileSize / 2);
    ASSERT_LE(text.size(), kMaxProfileSize);
    EXPECT_NE(text.find("\nkey " + longName + " 257\n"), std::string::npos);
    std::printf("[ profile  ] the fullest tables write %llu of %llu bytes\n",
                static_cast<unsigned long long>(text.size()),
                static_cast<unsigned long long>(kMaxProfileSize));

    Folder folder("profile_fullest");
    const std::string file = folder.path("profile.txt");
    input::ProfileError error;
    ASSERT_TRUE(input::saveBindingProfile(*manager, file.c_str(), &error)) << error.message;
    std::string saved = visibleState(*manager);
    make();
    manager->registerAction(300, longName.c_str(), input::CONTROL_DOWN, input::CHANNEL_MENU);
    ASSERT_TRUE(input::loadBindingProfile(*manager, file.c_str(), &error)) << error.message;
    EXPECT_EQ(visibleState(*manager), saved);
    EXPECT_EQ(profileText(*manager), text);

    // One binding more is more than a profile carries: refused when written and when read.
    manager->bindKeyboard(300, input::KEY_WHEEL_DOWN);
    auto files = folder.listing();
    EXPECT_EQ(input::writeBindingProfile(*manager, nullptr, 0, &error), 0u);
    EXPECT_STREQ(error.message,
                 "the key table holds 2049 bindings; a profile carries at most 2048");
    EXPECT_FALSE(input::saveBindingProfile(*manager, file.c_str(), &error));
    EXPECT_STREQ(error.message,
                 "the key table holds 2049 bindings; a profile carries at most 2048");
    EXPECT_EQ(folder.listing(), files);
    std::string tooMany = text + "pad " + longName + " 23\n";
    EXPECT_FALSE(input::readBindingProfile(*manager, tooMany.data(), tooMany.size(), &error));
    EXPECT_STREQ(error.message, "more than 2048 pad bindings (the most a profile carries)");
}

TEST_F(Profile, EveryCallLeavesTablesSettingsFilesAndLocksAsTheyWereWhenAnAllocationFails) {
    Folder folder("profile_allocations");
    const std::string file = folder.path("profile.txt");
    // A profile that differs from the defaults in both tables and in every setting.
    std::string other = [&] {
        moveAwayFromTheDefaults();
        manager->bindKeyboard(5000, input::KEY_WHEEL_UP);
        for (int i = 0; i < 40; ++i)
            manager->bindGamepad(200 + i, static_cast<unsigned short>(i % 18));
        std::string text = profileText(*manager);
        make();
        manager->setMenu(true);
        return text;
    }();
    writeFile(folder.path("other.txt"), other);

    // A call that reports "out of memory" instead of throwing counts as having thrown.
    auto check = [](bool done, const input::ProfileError& error) {
        if (!done && std::string(error.message) == "out of memory")
            throw std::bad_alloc();
        EXPECT_TRUE(done) << error.message;
    };
    struct Call {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Call> calls = {
        {"replaceBinding appending",
         [&] { input::replaceBinding(*manager, BINDING_KEYBOARD, 390, 0, 65); }},
        {"replaceBinding in place",
         [&] { input::replaceBinding(*manager, BINDING_KEYBOARD, input::ACTION_MENU_A, 0, 65); }},
        {"removeBinding",
         [&] { input::removeBinding(*manager, BINDING_GAMEPAD, input::ACTION_MENU_B, 0); }},
        {"readBindingProfile",
         [&] {
             input::ProfileError error;
             check(input::readBindingProfile(*manager, other.data(), other.size(), &error), error);
         }},
        {"loadBindingProfile",
         [&] {
             input::ProfileError error;
             check(input::loadBindingProfile(*manager, folder.path("other.txt").c_str(), &error),
                   error);
         }},
        {"saveBindingProfile over a profile",
         [&] {
             input::ProfileError error;
             check(input::saveBindingProfile(*manager, file.c_str(), &error), error);
         }},
        {"saveBindingProfile to a new file",
         [&] {
             input::ProfileError error;
             check(input::saveBindingProfile(*manager, folder.path("new.txt").c_str(), &error),
                   error);
         }},
        {"resetBindingProfile", [&] { input::resetBindingProfile(*manager); }},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE(call.what);
        make();
        manager->setMenu(true);
        moveAwayFromTheDefaults();
        writeFile(file, "an old profile, kept whole until a save replaces it\n");
        std::remove(folder.path("new.txt").c_str());
        const std::string state = visibleState(*manager);
        const auto files = folder.listing();
        int failed = failEachAllocationInTurn(call.what, call.run, [&] {
            EXPECT_EQ(visibleState(*manager), state);
            EXPECT_EQ(folder.listing(), files);
            takeEveryLock(*manager); // a lock left held would stop here; the watchdog ends it
        });
        ASSERT_GE(failed, 0);
        // The last run went through: it changed something, so the runs before it could have.
        EXPECT_NE(visibleState(*manager) + (folder.listing() == files ? "" : "files"), state);
    }
}

TEST_F(Profile, ASaveThatCannotReplaceThePathNamesItAndLeavesNothingBehind) {
    Folder folder("profile_save_refusals");
    const std::string file = folder.path("profile.txt");
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string path;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"a folder at the path", [&] { std::filesystem::create_directory(file); }, file,
         "cannot save \"" + shown(file) + "\": it is a folder"},
        {"a read-only file",
         [&] {
             writeFile(file, "kept\n");
             std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                          std::filesystem::perm_options::remove);
         },
         file, "cannot save \"" + shown(file) + "\": the file is read-only"},
        {"a folder that does not exist", [] {}, folder.path("missing/profile.txt"),
         "cannot save \"" + shown(folder.path("missing/profile.txt")) +
             "\": its folder does not exist or cannot be written"},
        {"a folder where the temporary file goes",
         [&] {
             writeFile(file, "kept\n");
             std::filesystem::create_directory(file + ".tmp");
         },
         file, "cannot save \"" + shown(file) + "\": a folder stands where its \".tmp\" goes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(file);
        std::filesystem::remove_all(file + ".tmp");
        c.prepare();
        const auto files = folder.listing();
        input::ProfileError error;
        EXPECT_FALSE(input::saveBindingProfile(*manager, c.path.c_str(), &error));
        EXPECT_EQ(error.line, 0);
        EXPECT_EQ(std::string(error.message), c.message);
        EXPECT_EQ(folder.listing(), files);
        std::filesystem::permissions(folder.path(""), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        if (std::filesystem::exists(file))
            std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
    }
    // Loading a folder says so, rather than reading it as an empty profile.
    std::filesystem::remove_all(file);
    std::filesystem::create_directory(file);
    input::ProfileError error;
    EXPECT_FALSE(input::loadBindingProfile(*manager, file.c_str(), &error));
    EXPECT_EQ(std::string(error.message), "cannot load \"" + shown(file) + "\": it is a folder");
}

TEST_F(SimProfile, AMoveThatFailsLeavesTheOldProfileAndNoTemporaryFile) {
    Folder folder("profile_move_fails");
    const std::string file = folder.path("profile.txt");
    // A long path is quoted by its end, which names the file.
    const std::string deep = folder.path(std::string(120, 'd') + "/profile.txt");
    std::filesystem::create_directories(std::filesystem::path(deep).parent_path());
    for (const std::string& path : {file, deep}) {
        writeFile(path, "the old profile\n");
        const auto files = folder.listing();
        sim::setFileMovesFail(true);
        input::ProfileError error;
        EXPECT_FALSE(input::saveBindingProfile(*manager, path.c_str(), &error));
        sim::setFileMovesFail(false);
        EXPECT_EQ(std::string(error.message),
                  "cannot save \"" + shown(path) + "\": it cannot be replaced");
        EXPECT_EQ(folder.listing(), files);
    }
}
