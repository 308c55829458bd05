// Kills the program with SIGKILL at random moments of the operations that write files (a
// switch of a large archive, the first-run backup, a settings save) and checks that
// nothing is ever half written: the kill stands in for a crash, a power cut of the process
// or a user ending it from a task manager. VX_KILL_TRIALS, VX_KILL_MIB, VX_KILL_SECONDS and
// VX_SEED raise the load.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include "ChildProcess.h"
#include "DiskState.h"
#include "GameInstall.h"
#include "KillProtocol.h"
#include "LargeArchive.h"
#include "Session.h"
#include "TestSettings.h"
#include "platform/posix/IniFormat.h"
#include "state/SettingsLayout.h"

namespace vx::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

int Trials() {
    return static_cast<int>(EnvNumber("VX_KILL_TRIALS", 50));
}
std::uint64_t ArchiveBytes() {
    return static_cast<std::uint64_t>(EnvNumber("VX_KILL_MIB", 200)) << 20;
}
// No new trial of one kind starts after this; the figures tell how many ran.
Clock::time_point Deadline() {
    return Clock::now() + std::chrono::seconds(EnvNumber("VX_KILL_SECONDS", 45));
}

std::string Name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// One run of the driver, killed `killAfter` after it said it was ready, or left to end.
struct DriverRun {
    bool killed = false;    // the kill came before the driver ended
    bool finished = false;  // the driver got to the end of its operation
    std::string output;
    milliseconds readyToEnd{};
};

DriverRun RunDriver(std::vector<std::string> args, std::optional<microseconds> killAfter) {
    args.insert(args.begin(), VX_KILL_DRIVER);
    ChildProcess driver(args);
    DriverRun run;
    if (!driver.WaitForLine(kill::kReady, std::chrono::seconds(60))) {
        driver.Kill();
        ADD_FAILURE() << "the driver never got ready: " << driver.Output();
        return run;
    }
    const auto ready = Clock::now();
    int status = 0;
    if (killAfter) {
        std::this_thread::sleep_for(*killAfter);
        status = driver.Kill();
    } else {
        status = driver.Wait(std::chrono::minutes(5));
    }
    run.readyToEnd = std::chrono::duration_cast<milliseconds>(Clock::now() - ready);
    run.killed = ChildProcess::Killed(status);
    run.output = driver.Output();
    run.finished = run.output.find(std::string(kill::kDone) + "\n") != std::string::npos;
    if (!run.killed && !ChildProcess::Succeeded(status)) {
        ADD_FAILURE() << "the driver failed: " << run.output;
    }
    return run;
}

// A kill at a moment drawn evenly from the time the operation takes when left alone, and
// a little after it, so that kills land in every part of it.
class KillMoments {
  public:
    explicit KillMoments(milliseconds span)
        : random_(Seed()), moment_(0, span.count() * 1200 + 1) {}
    microseconds Next() { return microseconds(moment_(random_)); }

  private:
    std::mt19937_64 random_;
    std::uniform_int_distribution<std::int64_t> moment_;
};

struct Figures {
    const char* what;
    int trials = 0;
    int killedPartWay = 0;
    int oldKept = 0;
    int newWhole = 0;
    std::size_t leftovers = 0;  // temporary files found after a kill, for the next start

    // Printed once every trial has passed its checks.
    void Print() const {
        std::cout << "[ figures  ] " << what << ": " << trials << " kills (seed " << Seed() << "), "
                  << killedPartWay << " part-way through, " << oldKept << " left the old state, "
                  << newWhole << " the new one, " << leftovers
                  << " temporary files left and removed by the next start, 0 torn";
        if (trials < Trials()) {
            std::cout << " (stopped early by VX_KILL_SECONDS)";
        }
        std::cout << "\n";
    }
};

TEST(KillTest, ASwitchKilledAtAnyMomentLeavesTheOldArchiveOrTheNewOne) {
    GameInstall install;
    MakeArchive(install.live, 1, (1 << 20) + 17);
    const std::vector<std::string> items{install.backup, install.archives + "/mod A.zpk",
                                         install.archives + "/mod B.zpk"};
    MakeArchive(items[1], 2, ArchiveBytes());
    MakeArchive(items[2], 3, ArchiveBytes() + 4097);
    {
        Session first(install.platform);
        first.Start();
        first.Add(items[1]);
        first.Add(items[2]);
        ASSERT_EQ(first.list1.items, items);
    }
    const std::string config = install.config.string();
    auto nextStart = [&](const std::string& liveSource) {
        Session next(install.platform);
        next.Start();
        EXPECT_TRUE(next.boxes.shown.empty());
        EXPECT_EQ(next.list1.items, items);
        EXPECT_EQ(next.label2.caption, Name(liveSource));
        EXPECT_EQ(TemporaryFiles(install.root.Path().string()), std::vector<std::string>{});
    };

    const DriverRun alone = RunDriver({"switch", config, "1"}, std::nullopt);
    ASSERT_TRUE(alone.finished) << alone.output;
    ASSERT_TRUE(SameBytes(install.live, items[1]));
    std::cout << "[ figures  ] an uninterrupted switch of " << (ArchiveBytes() >> 20)
              << " MiB took " << alone.readyToEnd.count() << " ms\n";

    KillMoments moments(alone.readyToEnd);
    Figures figures{"switch"};
    int live = 1;
    const auto deadline = Deadline();
    for (int trial = 0; trial < Trials() && Clock::now() < deadline; ++trial) {
        const int target = live == 1 ? 2 : 1;
        const DriverRun run = RunDriver({"switch", config, std::to_string(target)}, moments.Next());
        const bool old = SameBytes(install.live, items[static_cast<std::size_t>(live)]);
        const bool fresh = !old && SameBytes(install.live, items[static_cast<std::size_t>(target)]);
        ASSERT_TRUE(old || fresh) << "trial " << trial << ": the live archive is torn";
        ASSERT_TRUE(fresh || !run.finished) << "trial " << trial << ": a finished switch was lost";
        ++figures.trials;
        figures.killedPartWay += run.killed && !run.finished ? 1 : 0;
        ++(old ? figures.oldKept : figures.newWhole);
        figures.leftovers += TemporaryFiles(install.root.Path().string()).size();
        live = fresh ? target : live;
        nextStart(items[static_cast<std::size_t>(live)]);
        ASSERT_FALSE(HasFailure()) << "trial " << trial;
    }
    figures.Print();
}

TEST(KillTest, ASwitchKilledAtEachStepKeepsTheOldArchiveAndTheNextStartClearsUp) {
    GameInstall install("the game's own archive");
    const std::string mod = install.archives + "/mod.zpk";
    WriteFile(mod, std::string(1 << 20, 'm'));
    {
        Session first(install.platform);
        first.Start();
        first.Add(mod);
    }
    for (const char* step : {"copy", "flush", "rename"}) {
        const DriverRun run = RunDriver({"switch", install.config.string(), "1", step}, {});
        EXPECT_TRUE(run.killed && !run.finished) << step << ": " << run.output;
        EXPECT_EQ(ReadFile(install.live), "the game's own archive") << step;
        if (std::string_view(step) == "rename") {
            // Named by now, whether or not the file system gave an unnamed one first.
            EXPECT_EQ(TemporaryFiles(install.game).size(), 1U);
        }
        Session next(install.platform);
        next.Start();
        EXPECT_EQ(next.list1.items, (std::vector<std::string>{install.backup, mod})) << step;
        EXPECT_EQ(next.label2.caption, "NORMAL_patch_vx.zpk") << step;
        EXPECT_EQ(TemporaryFiles(install.root.Path().string()), std::vector<std::string>{}) << step;
    }
}

class FirstRunKillTest : public ::testing::Test {
  protected:
    // The store remembers the game folder and nothing else; no backup exists yet.
    void MakeFirstRun() {
        std::filesystem::remove(install.backup);
        std::filesystem::remove(install.SettingsFile());
        ModRegistry(install.platform).WriteGameFolder(install.game);
    }
    std::optional<std::string> Stored(std::string_view section, std::string_view key) {
        return install.platform.GetSetting(settings::kAppName, section, key);
    }
    // Whatever the kill left, the backup is absent or whole, and registered only if whole;
    // the next start then finishes the first run.
    void CheckAfterKill(const std::string& when) {
        const bool backup =
            std::filesystem::exists(std::filesystem::symlink_status(install.backup));
        ASSERT_TRUE(!backup || SameBytes(install.backup, install.live))
            << when << ": a partial backup was left";
        if (const auto entry = Stored(settings::kModsSection, "1")) {
            ASSERT_TRUE(backup) << when << ": a backup that does not exist was registered";
            EXPECT_EQ(*entry, install.backup) << when;
        }
        if (const auto count = Stored(settings::kSettingsSection, settings::kCountKey)) {
            EXPECT_EQ(*count, "1") << when;
            EXPECT_TRUE(Stored(settings::kModsSection, "1")) << when;
        }
        Session next(install.platform);
        next.Start();
        EXPECT_TRUE(next.boxes.shown.empty()) << when;
        EXPECT_TRUE(SameBytes(install.backup, install.live)) << when;
        EXPECT_EQ(next.list1.items, std::vector<std::string>{install.backup}) << when;
        EXPECT_EQ(next.label2.caption, "NORMAL_patch_vx.zpk") << when;
        EXPECT_EQ(TemporaryFiles(install.root.Path().string()), std::vector<std::string>{}) << when;
    }

    GameInstall install;
};

TEST_F(FirstRunKillTest, AKillDuringTheBackupNeverLeavesOrRegistersAPartialOne) {
    // A quarter of the switch's size: the backup is written by the same code as a switch,
    // and every trial that the kill stops costs the next start a whole backup.
    MakeArchive(install.live, 4, ArchiveBytes() / 4 + 8191);
    MakeFirstRun();
    const DriverRun alone = RunDriver({"start", install.config.string()}, std::nullopt);
    ASSERT_TRUE(alone.finished) << alone.output;
    ASSERT_TRUE(SameBytes(install.backup, install.live));
    std::cout << "[ figures  ] an uninterrupted first run took " << alone.readyToEnd.count()
              << " ms\n";

    KillMoments moments(alone.readyToEnd);
    Figures figures{"first-run backup"};
    const auto deadline = Deadline();
    for (int trial = 0; trial < Trials() && Clock::now() < deadline; ++trial) {
        MakeFirstRun();
        const DriverRun run = RunDriver({"start", install.config.string()}, moments.Next());
        const bool backup = std::filesystem::exists(install.backup);
        ++figures.trials;
        figures.killedPartWay += run.killed && !run.finished ? 1 : 0;
        ++(backup ? figures.newWhole : figures.oldKept);
        figures.leftovers += TemporaryFiles(install.root.Path().string()).size();
        CheckAfterKill("trial " + std::to_string(trial));
        ASSERT_FALSE(HasFailure()) << "trial " << trial;
    }
    figures.Print();
}

TEST_F(FirstRunKillTest, AKillAtEachStepOfTheBackupLeavesNoBackupAndNoLeftover) {
    for (const char* step : {"copy", "flush", "rename"}) {
        MakeFirstRun();
        const DriverRun run = RunDriver({"start", install.config.string(), step}, {});
        EXPECT_TRUE(run.killed && !run.finished) << step << ": " << run.output;
        EXPECT_FALSE(std::filesystem::exists(install.backup)) << step;
        if (std::string_view(step) == "rename") {
            EXPECT_EQ(TemporaryFiles(install.mods).size(), 1U);
        }
        CheckAfterKill(step);
    }
}

class SaveKillTest : public ::testing::Test {
  protected:
    static constexpr int kEntries = 120;
    static constexpr int kChanging = 60;

    // A store of many long entries, so that a save has a file of some size to write.
    void SetUp() override {
        std::string text = "[settings]\nvxpath=" + install.game +
                           "\nmods=" + std::to_string(kEntries) + "\n\n[mods]\n";
        for (int i = 1; i <= kEntries; ++i) {
            expected[i] = i == kChanging ? kill::SaveValue(0)
                                         : install.archives + "/mod " + std::to_string(i) + " " +
                                               std::string(150, 'x') + ".zpk";
            text += std::to_string(i) + "=" + expected[i] + "\n";
        }
        WriteFile(install.SettingsFile(), text);
    }

    // The store as before the save of round `saved` + 1 or after it, and nothing else.
    void CheckStore(int saved, const std::string& when) {
        posix::PosixPlatform reader(install.config);
        const auto changing = reader.GetSetting(settings::kAppName, settings::kModsSection,
                                                std::to_string(kChanging));
        ASSERT_TRUE(changing == kill::SaveValue(saved) || changing == kill::SaveValue(saved + 1))
            << when << ": after round " << saved << " the entry holds " << changing.value_or("");
        EXPECT_EQ(
            reader.GetSetting(settings::kAppName, settings::kSettingsSection, settings::kCountKey),
            std::to_string(kEntries))
            << when;
        // The other entries through the store's own parser in one go: reading them one by
        // one would parse the whole file for each.
        const posix::IniDocument document =
            posix::ParseIni(ReadFile(install.SettingsFile()), install.SettingsFile());
        for (int i = 1; i <= kEntries; ++i) {
            const std::string* value = document.Find(settings::kModsSection, std::to_string(i));
            ASSERT_NE(value, nullptr) << when << ": entry " << i << " lost";
            if (i != kChanging) {
                ASSERT_EQ(*value, expected[i]) << when;
            }
        }
    }

    // The program's next save, which must also clear what a killed save left.
    void NextSave(const std::string& when) {
        ModRegistry(install.platform).WriteEntry(kChanging, kill::SaveValue(0));
        EXPECT_EQ(Listing(install.ConfigFolder()), "settings.ini;") << when;
    }

    static int LastSavedRound(const std::string& output) {
        int last = 0;
        std::size_t at = 0;
        while ((at = output.find(kill::kSaved, at)) != std::string::npos) {
            at += kill::kSaved.size();
            last = std::stoi(output.substr(at));
        }
        return last;
    }

    GameInstall install;
    std::map<int, std::string> expected;
};

TEST_F(SaveKillTest, ASaveKilledAtAnyMomentLeavesTheStoreAsBeforeOrAfterIt) {
    const std::string config = install.config.string();
    const std::string entry = std::to_string(kChanging);
    const DriverRun alone = RunDriver({"save", config, entry, "20"}, std::nullopt);
    ASSERT_TRUE(alone.finished) << alone.output;
    CheckStore(20, "uninterrupted");
    NextSave("uninterrupted");

    KillMoments moments(alone.readyToEnd);
    Figures figures{"settings save"};
    const auto deadline = Deadline();
    for (int trial = 0; trial < Trials() && Clock::now() < deadline; ++trial) {
        const DriverRun run = RunDriver({"save", config, entry, "1000000"}, moments.Next());
        const int saved = LastSavedRound(run.output);
        ++figures.trials;
        figures.killedPartWay += run.killed ? 1 : 0;
        figures.leftovers += TemporaryFiles(install.root.Path().string()).size();
        const auto now =
            install.platform.GetSetting(settings::kAppName, settings::kModsSection, entry);
        ++(now == kill::SaveValue(saved) ? figures.oldKept : figures.newWhole);
        const std::string when = "trial " + std::to_string(trial);
        CheckStore(saved, when);
        NextSave(when);
        ASSERT_FALSE(HasFailure()) << when;
    }
    figures.Print();
}

TEST_F(SaveKillTest, ASaveKilledAtEachStepLeavesTheStoreAsBeforeAndTheNextSaveClearsUp) {
    const std::string config = install.config.string();
    for (const char* step : {"write", "flush", "rename"}) {
        const DriverRun run = RunDriver({"save", config, std::to_string(kChanging), "1", step}, {});
        EXPECT_TRUE(run.killed && !run.finished) << step << ": " << run.output;
        CheckStore(0, step);
        EXPECT_EQ(install.platform.GetSetting(settings::kAppName, settings::kModsSection,
                                              std::to_string(kChanging)),
                  kill::SaveValue(0))
            << step;
        if (std::string_view(step) == "rename") {
            EXPECT_EQ(TemporaryFiles(install.ConfigFolder()).size(), 1U);
        }
        NextSave(step);
    }
}

}  // namespace
}  // namespace vx::test
