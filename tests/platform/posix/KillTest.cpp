// Kills the program with SIGKILL as each step of a write begins and at random moments (a
// switch of a large archive, the first-run backup, a Remove's one settings write), standing
// in for a crash or a user ending it: nothing may be torn or lost, and the next start clears
// what the kill left. VX_KILL_TRIALS, VX_KILL_MIB, VX_KILL_SECONDS and VX_SEED raise the load.

#include <sys/wait.h>

#include <chrono>
#include <iostream>
#include <random>
#include <thread>

#include "platform/posix/Support.h"

namespace vx::test {
namespace {

using Clock = std::chrono::steady_clock;
using Items = std::vector<std::string>;

// Filled with a byte of its own: a mix of two archives, a gap or a cut-off end equals neither.
void MakeArchive(const std::string& path, char fill, std::uint64_t size) {
    std::system(
        ("head -c " + std::to_string(size) + " /dev/zero | tr '\\0' '" + fill + "' >'" + path + "'")
            .c_str());
}

// The archives are hundreds of MiB: cmp reads them a little at a time.
bool SameBytes(const std::string& a, const std::string& b) {
    return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

// What is killed, how the world is set before each kill, and the check of what a run left,
// which answers whether the old state was kept. The next start must then be clean.
struct Scenario {
    std::string what;
    std::function<void()> reset;
    std::function<void(Session&)> work;
    std::function<bool()> check;
};

struct KillTest : ::testing::Test, Install {
    // The work in a forked copy of this process, on a platform of its own, that dies as step
    // `dieAt` begins, or is killed `killAfter` after it began, or is left to end: true when it
    // came to its end.
    bool Fork(const Scenario& scenario, const std::string& dieAt,
              std::optional<Clock::duration> killAfter) {
        scenario.reset();
        const pid_t pid = ::fork();
        if (pid == 0) {
            FaultySteps dying;
            dying.at = dieAt;
            dying.meanwhile = [] { ::raise(SIGKILL); };
            LinuxServices own(config, dying);
            try {
                Session session(own);
                session.Start();
                scenario.work(session);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        if (killAfter) {
            std::this_thread::sleep_for(*killAfter);
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the work failed";
        return WIFEXITED(status);
    }

    // Lets the work end once, then kills it as each step begins, then at moments drawn evenly
    // from the time it took and a little after, so that kills land in every part.
    void KillEverywhere(const Scenario& scenario) {
        SCOPED_TRACE(scenario.what);
        const auto start = Clock::now();
        const bool alone = Fork(scenario, "", std::nullopt);
        std::uniform_int_distribution<Clock::rep> moment(0, (Clock::now() - start).count() * 6 / 5);
        ASSERT_TRUE(alone && !scenario.check());
        // Where the work has no such step it ends, and must have done its work.
        for (const std::string step : {"copy", "flush", "rename"}) {
            const bool done = Fork(scenario, step, std::nullopt);
            // Named by now, whether or not the file system gave an unnamed one first.
            EXPECT_TRUE(step != "rename" || Leftovers(root).size() == 1U);
            EXPECT_NE(scenario.check(), done) << "killed at " << step;
        }
        std::mt19937_64 random(Seed());
        const auto deadline = Clock::now() + std::chrono::seconds(Env("VX_KILL_SECONDS", 45));
        int trials = 0, old = 0;
        for (; trials < Env("VX_KILL_TRIALS", 50) && Clock::now() < deadline; ++trials) {
            const bool done = Fork(scenario, "", Clock::duration(moment(random)));
            const bool wasOld = scenario.check();
            EXPECT_FALSE(wasOld && done) << "finished work was lost";
            old += int{wasOld};
            ASSERT_FALSE(HasFailure()) << "trial " << trials;
        }
        std::cout << "[ figures  ] " << scenario.what << ": " << trials << " kills (seed " << Seed()
                  << "), " << old << " left the old state, the others the new one, 0 torn\n";
    }

    // The next start, with the system's own steps, lists `items` without a word, names the
    // live archive and clears up.
    void ExpectCleanStart(const Items& items, const std::string& label) {
        LinuxServices systems(config);
        Session next(systems);
        next.Start();
        EXPECT_EQ(next.boxes.shown.size(), 0U);
        EXPECT_EQ(next.modList.items, items);
        EXPECT_EQ(next.currentMod.caption, label);
        EXPECT_EQ(Leftovers(root), Items{});
    }
};

TEST_F(KillTest, NothingIsTornOrLostWhereverAWriteIsKilled) {
    const auto size = static_cast<std::uint64_t>(Env("VX_KILL_MIB", 200)) << 20;
    const Items items{backup, archives + "/mod A.zpk", archives + "/mod B.zpk"};
    MakeArchive(items[1], 'a', size);
    MakeArchive(items[2], 'b', size + 4097);
    // A quarter of the switch's size: each trial that stops it costs the next start a backup.
    MakeArchive(live, 'g', (size >> 2) + 8191);
    KillEverywhere({"first-run backup", [&] { MakeFirstRun(); }, [](Session&) {},
                    [&] {
                        const bool made = std::filesystem::exists(backup);
                        EXPECT_TRUE(!made || SameBytes(backup, live)) << "a partial backup";
                        const auto entry = Stored("mods", "1");
                        const auto count = Stored("settings", "mods");
                        EXPECT_TRUE(!entry || (made && *entry == backup)) << "registered early";
                        EXPECT_TRUE(!count || (*count == "1" && entry)) << "counted early";
                        ExpectCleanStart({backup}, "NORMAL_patch_vx.zpk");
                        return !made;
                    }});

    ::chmod(live.c_str(), 0444);  // and read-only it must stay
    Session first(services);
    first.Start();
    first.Add(items[1]);
    first.Add(items[2]);
    std::size_t now = 0;
    const auto target = [&] { return now == 1 ? std::size_t{2} : std::size_t{1}; };
    KillEverywhere(
        {"switch", [] {}, [&](Session& session) { session.Switch(static_cast<int>(target())); },
         [&] {
             const bool old = SameBytes(live, items[now]);
             EXPECT_TRUE(old || SameBytes(live, items[target()])) << "a torn archive";
             EXPECT_EQ(std::filesystem::status(live).permissions(), std::filesystem::perms(0444));
             now = old ? now : target();
             ExpectCleanStart(items, std::filesystem::path(items[now]).filename());
             return old;
         }});

    // A Remove of the first of 1,000 entries moves all the others in one write.
    Items all;
    for (int i = 1; i <= 1000; ++i) {
        all.push_back(archives + "/" + std::to_string(i) + std::string(std::size_t(i % 61), 'v'));
        WriteFile(all.back(), "");
        services.Registry().WriteEntry(i, all.back());
    }
    services.Registry().WriteCount(1000);
    const std::string before = ReadFile(store);
    const Items shifted(all.begin() + 1, all.end());
    KillEverywhere({"remove", [&] { WriteFile(store, before); },
                    [](Session& session) { session.Remove(0); },
                    [&] {
                        const bool old = ReadFile(store) == before;
                        services.Registry().WriteCount(old ? 1000 : 999);  // clears up
                        ExpectCleanStart(old ? all : shifted, "$Current Mod$");
                        return old;
                    }});
}

}  // namespace
}  // namespace vx::test
