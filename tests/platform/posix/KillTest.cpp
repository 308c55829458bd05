// Kills the program with SIGKILL as each step of a write begins and at random moments (a
// switch of a large archive, the first-run backup, a settings save), standing in for a crash
// or a user ending it: nothing may be torn or lost, and the next start or save clears what
// the kill left. VX_KILL_TRIALS, VX_KILL_MIB, VX_KILL_SECONDS and VX_SEED raise the load.

#include <sys/mman.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <new>
#include <random>
#include <thread>

#include "Support.h"

namespace vx::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using Items = std::vector<std::string>;

// Filled with a byte of its own: a mix of two archives, a gap or a cut-off end equals neither.
void MakeArchive(const std::string& path, char fill, std::uint64_t size) {
    std::ofstream out(path, std::ios::binary);
    const std::string chunk(1 << 20, fill);
    for (std::uint64_t at = 0; at < size; at += chunk.size()) {
        out.write(chunk.data(),
                  static_cast<std::streamsize>(std::min<std::uint64_t>(chunk.size(), size - at)));
    }
}

// The archives are hundreds of MiB: cmp reads them a little at a time.
bool SameBytes(const std::string& a, const std::string& b) {
    return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

// One run of the child: what it told of its progress, in memory it shares with the test,
// and how it ended.
struct Trial {
    int saved = 0;  // settings saves completed
    bool done = false;
    char failure[512] = {};
    bool killed = false;
    microseconds span{};
};

struct KillTest : ::testing::Test, Install {
    // Done by a copy of this process, on a platform of its own. Only the run `alone` must
    // come to an end by itself.
    using Work = std::function<void(PlatformServices&, Trial&, bool alone)>;
    // Holds what a run left against what must hold, then lets the program's next start or
    // save clear up; true when the old state was kept.
    using Check = std::function<bool(const Trial&)>;

    // `work` in a forked copy of this process that dies as step `dieAt` begins, or is killed
    // `killAfter` after it began, or is left to end.
    Trial Fork(const Work& work, const std::string& dieAt, std::optional<microseconds> killAfter) {
        auto* shared = new (::mmap(nullptr, sizeof(Trial), PROT_READ | PROT_WRITE,
                                   MAP_SHARED | MAP_ANONYMOUS, -1, 0)) Trial;
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            FaultySteps dying;
            dying.at = dieAt;
            dying.die = true;
            posix::PosixPlatform own(config, dying);
            try {
                work(own, *shared, !killAfter && dieAt.empty());
                shared->done = true;
            } catch (const std::exception& e) {
                std::snprintf(shared->failure, sizeof shared->failure, "%s", e.what());
            }
            ::_exit(0);
        }
        if (killAfter) {
            std::this_thread::sleep_for(*killAfter);
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        Trial run = *shared;
        ::munmap(shared, sizeof(Trial));
        run.killed = WIFSIGNALED(status);
        run.span = std::chrono::duration_cast<microseconds>(Clock::now() - start);
        EXPECT_STREQ(run.failure, "");
        return run;
    }

    // Kills `work` as each of `stepsToDieAt` begins, then at moments drawn evenly from the
    // time it takes when left alone and a little after, so that kills land in every part.
    void KillEverywhere(
        const std::string& what, const std::vector<std::string>& stepsToDieAt, const Work& work,
        const Check& check, const std::function<void()>& reset = [] {}) {
        for (const auto& step : stepsToDieAt) {
            reset();
            const Trial run = Fork(work, step, std::nullopt);
            EXPECT_TRUE(run.killed && !run.done) << step;
            // Named by now, whether or not the file system gave an unnamed one first.
            EXPECT_TRUE(step != "rename" || Leftovers(root).size() == 1U);
            EXPECT_TRUE(check(run)) << "killed at " << step << ", the old state was not kept";
        }
        reset();
        const Trial alone = Fork(work, "", std::nullopt);
        ASSERT_TRUE(alone.done);
        check(alone);
        std::mt19937_64 random(Seed());
        std::uniform_int_distribution<std::int64_t> moment(0, alone.span.count() * 6 / 5);
        const auto deadline = Clock::now() + std::chrono::seconds(Env("VX_KILL_SECONDS", 45));
        int trials = 0;
        int partWay = 0;
        int old = 0;
        std::size_t leftovers = 0;
        for (; trials < Env("VX_KILL_TRIALS", 50) && Clock::now() < deadline; ++trials) {
            reset();
            const Trial run = Fork(work, "", microseconds(moment(random)));
            partWay += run.killed && !run.done ? 1 : 0;
            leftovers += Leftovers(root).size();
            old += check(run) ? 1 : 0;
            ASSERT_FALSE(HasFailure()) << what << ", trial " << trials;
        }
        std::cout << "[ figures  ] " << what << ": uninterrupted in " << alone.span.count() / 1000
                  << " ms; " << trials << " kills (seed " << Seed() << "), " << partWay
                  << " part-way through, " << old << " left the old state, " << trials - old
                  << " the new one, 0 torn; " << leftovers << " temporary files left, all cleared"
                  << (trials < Env("VX_KILL_TRIALS", 50) ? " (stopped by VX_KILL_SECONDS)" : "")
                  << "\n";
    }

    // The next start, a program with the system's own steps, lists `items` without a word,
    // names the live archive and clears up.
    void ExpectCleanStart(const Items& items, const std::string& label) {
        posix::PosixPlatform system(config);
        Session next(system);
        next.Start();
        EXPECT_EQ(next.boxes.shown.size(), 0U);
        EXPECT_EQ(next.list1.items, items);
        EXPECT_EQ(next.label2.caption, label);
        EXPECT_EQ(Leftovers(root), Items{});
    }
};

TEST_F(KillTest, ASwitchOfALargeArchiveLeavesTheOldOneOrTheNewOneWhole) {
    const auto size = static_cast<std::uint64_t>(Env("VX_KILL_MIB", 200)) << 20;
    const Items items{backup, archives + "/mod A.zpk", archives + "/mod B.zpk"};
    MakeArchive(live, 'g', (1 << 20) + 17);
    MakeArchive(items[1], 'a', size);
    MakeArchive(items[2], 'b', size + 4097);
    ::chmod(live.c_str(), 0444);  // and read-only it must stay
    Session first(platform);
    first.Start();
    first.Add(items[1]);
    first.Add(items[2]);
    ASSERT_EQ(first.list1.items, items);
    std::size_t now = 0;
    const auto target = [&] { return now == 1 ? std::size_t{2} : std::size_t{1}; };
    KillEverywhere(
        "switch", {"copy", "flush", "rename"},
        [&](PlatformServices& own, Trial&, bool) {
            Session session(own);
            session.Start();
            session.Switch(static_cast<int>(target()));
        },
        [&](const Trial& run) {
            const bool old = SameBytes(live, items[now]);
            EXPECT_TRUE(old || SameBytes(live, items[target()])) << "the live archive is torn";
            EXPECT_FALSE(old && run.done) << "a finished switch was lost";
            EXPECT_EQ(std::filesystem::status(live).permissions(), std::filesystem::perms(0444));
            now = old ? now : target();
            ExpectCleanStart(items, std::filesystem::path(items[now]).filename());
            return old;
        });
}

TEST_F(KillTest, AFirstRunBackupIsWholeOrAbsentAndRegisteredOnlyOnceWhole) {
    // A quarter of the switch's size: each trial that stops it costs the next start a backup.
    MakeArchive(live, 'g', (static_cast<std::uint64_t>(Env("VX_KILL_MIB", 200)) << 18) + 8191);
    KillEverywhere(
        "first-run backup", {"copy", "flush", "rename"},
        [&](PlatformServices& own, Trial&, bool) { Session(own).Start(); },
        [&](const Trial& run) {
            const bool made = std::filesystem::exists(std::filesystem::symlink_status(backup));
            EXPECT_TRUE(!made || SameBytes(backup, live)) << "a partial backup";
            EXPECT_TRUE(made || !run.done) << "a finished backup was lost";
            const auto entry = Stored(settings::kModsSection, "1");
            const auto count = Stored(settings::kSettingsSection, settings::kCountKey);
            EXPECT_TRUE(!entry || (made && *entry == backup)) << "registered too early";
            EXPECT_TRUE(!count || (*count == "1" && entry)) << "counted before it was registered";
            ExpectCleanStart({backup}, "NORMAL_patch_vx.zpk");
            EXPECT_TRUE(SameBytes(backup, live));
            return !made;
        },
        [&] { MakeFirstRun(); });
}

TEST_F(KillTest, ASettingsSaveLeavesTheStoreAsBeforeOrAfterIt) {
    // Many long entries, so that a save has a file of some size to write; each round's value
    // is of a length of its own, so that a torn file cannot pass for a whole one.
    const auto value = [](int round) {
        return "/round " + std::to_string(round) + std::string(std::size_t(round % 61), 'v');
    };
    const auto text = [&](int round) {
        std::string ini = "[settings]\nvxpath=" + game + "\nmods=120\n\n[mods]\n";
        for (int i = 1; i <= 120; ++i) {
            ini += std::to_string(i) + "=" +
                   (i == 60 ? value(round) : archives + "/" + std::string(150, 'x')) + "\n";
        }
        return ini;
    };
    WriteFile(store, text(0));
    KillEverywhere(
        "settings save", {"flush", "rename"},
        [&](PlatformServices& own, Trial& progress, bool alone) {
            for (int round = 1; round <= (alone ? 20 : 100); ++round) {
                ModRegistry(own).WriteEntry(60, value(round));
                progress.saved = round;
            }
        },
        [&](const Trial& run) {
            const std::string now = ReadFile(store);
            EXPECT_TRUE(now == text(run.saved) || now == text(run.saved + 1))
                << "after " << run.saved << " saves the store holds:\n"
                << now;
            ModRegistry(platform).WriteEntry(60, value(0));
            EXPECT_EQ(Leftovers(root), Items{});
            return now == text(run.saved);
        });
}

}  // namespace
}  // namespace vx::test
