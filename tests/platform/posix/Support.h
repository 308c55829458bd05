#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>

#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "fakes/FakeControls.h"
#include "platform/posix/IniSettings.h"
#include "platform/posix/PosixError.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixSystemInfo.h"
#include "support/Failure.h"
#include "support/RecordingProgress.h"
#include "support/TempFolder.h"

namespace vx::test {

// How hard the long tests work: defaults that keep a run short, raised through
// the environment. VX_SEED, else a fixed seed, so that a run repeats unless
// asked otherwise.
inline std::int64_t Env(const char* name, std::int64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::atoll(text) : fallback;
}
inline std::uint64_t Seed() {
    return static_cast<std::uint64_t>(Env("VX_SEED", 20240611));
}

// The Linux services as the program composes them, with the settings file under
// `config` and every write through `steps`.
struct LinuxServices {
    explicit LinuxServices(const std::filesystem::path& config,
                           posix::FileSteps& steps = posix::SystemFileSteps())
        : settings(posix::SettingsFileIn(config), steps), files(steps) {}

    operator Services() { return {settings, files, system}; }
    ModRegistry Registry() { return {settings, system}; }

    posix::IniSettings settings;
    posix::PosixFiles files;
    posix::PosixSystemInfo system;
};

// The error box tells what went wrong and where: the number, the text (by
// default the system's own for that number) and the path.
inline void ExpectReported(const std::optional<Error>& error, int number, const std::string& path,
                           const std::string& text = {}) {
    ASSERT_TRUE(error) << "no failure was raised";
    const std::string shown = FormatError(*error);
    EXPECT_EQ(error->Number(), number) << shown;
    EXPECT_THAT(shown, ::testing::StartsWith("Error " + std::to_string(number) + ": " +
                                             (text.empty() ? std::strerror(number) : text)));
    EXPECT_THAT(shown, ::testing::EndsWith("\n\n" + path));
}

// No file may grow past 16 bytes, as on a disk with that little room left; a
// write then fails with EFBIG instead of the signal killing the process. Room
// comes back with `false`.
inline bool FillDisk(bool full = true) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{full ? 16 : RLIM_INFINITY, RLIM_INFINITY};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// The system's steps of an atomic write, but the step named `at` fails once,
// the way a full or failing disk would, or runs `meanwhile` instead and goes
// on. Without `flush` nothing is put on the disk, for speed.
struct FaultySteps : posix::FileSteps {
    std::string at;
    bool flush = true;
    std::function<void()> meanwhile;
    int renames = 0;  // every atomic write ends in one
    void Copy(int from, int to, std::int64_t size, const std::string& path,
              CopyProgress& progress) override {
        Hit("copy", ENOSPC, path);
        FileSteps::Copy(from, to, size, path, progress);
    }
    void Flush(int fd, const std::string& path) override {
        Hit("flush", EIO, path);
        if (flush) {
            FileSteps::Flush(fd, path);
        }
    }
    void Rename(int folder, const std::string& from, const std::string& to, bool keep) override {
        ++renames;
        Hit("rename", EBUSY, to);
        FileSteps::Rename(folder, from, to, keep);
    }
    void Hit(std::string_view step, int number, const std::string& path) {
        if (at != step) {
            return;
        }
        at.clear();
        if (!meanwhile) {
            throw posix::ErrnoError(number, path);
        }
        meanwhile();
    }
};

// A user's machine once the game folder has been accepted, all real, in a
// temporary folder: the game with its executable, live archive and mods folder,
// the user's archives, and the program's store remembering the game folder.
struct Install {
    Install() {
        std::filesystem::create_directories(mods);
        std::filesystem::create_directories(archives);
        WriteFile(game + "/vexmoor.exe", "MZ");
        WriteFile(live, "the game's own archive");
        services.Registry().WriteGameFolder(game);
    }
    ~Install() {
        for (const auto& path : protected_) {
            Protect(path, false);
        }
    }

    std::optional<std::string> Stored(std::string_view section, std::string_view key) {
        return services.settings.Get(section, key);
    }
    std::set<std::string> Everything() const { return Snapshot(root); }
    // What a first run finds: the game folder remembered, nothing else.
    void MakeFirstRun() {
        std::filesystem::remove(backup);
        std::filesystem::remove(store);
        services.Registry().WriteGameFolder(game);
    }
    // Keeps even root from writing into `path` with the immutable attribute,
    // which binds every user where permission bits bind all but root. False where
    // it cannot be had.
    bool Protect(const std::string& path, bool on = true) {
        const std::string attribute = on ? "chattr +i '" : "chattr -i '";
        const bool done = ::geteuid() == 0 ? std::system((attribute + path + "'").c_str()) == 0
                                           : ::chmod(path.c_str(), on ? 0555 : 0755) == 0;
        if (done && on) {
            protected_.push_back(path);
        }
        return done;
    }
    static int ProtectedError() { return ::geteuid() == 0 ? EPERM : EACCES; }

    TempFolder temp;
    std::string root = temp.Path();
    std::string game = root + "/Vexmoor Game";
    std::string live = game + "/patch_vx.zpk";
    std::string mods = game + "/mods";
    std::string backup = mods + "/NORMAL_patch_vx.zpk";
    std::string archives = root + "/archives";
    std::string mod = archives + "/big mod.zpk";
    std::filesystem::path config = root + "/config";
    std::string store = root + "/config/Vexmoor Patchkeeper/settings.ini";
    FaultySteps steps;
    RecordingProgress progress;
    LinuxServices services{config, steps};
    // Where a switch keeps an unknown live archive today.
    std::string kept = mods + "/patch_vx-" + services.system.LocalDate() + ".zpk";

  private:
    std::vector<std::string> protected_;
};

// One run of the program as its window binding drives it, over fake controls: a
// new Session is a new start.
struct Session {
    explicit Session(Services given) : services(given), startup(given) {
        currentMod.caption = "$Current Mod$";
    }
    // A failing load still leaves the window up, as the binding shows it after
    // the report.
    void Start() {
        ASSERT_EQ(startup.Run(), FirstWindow::Main);
        main.emplace(startup.Paths(), services, boxes,
                     MainWindow::Controls{currentMod, modList, dialog, copies});
        main->Load();
    }
    // Switch To, Add A Mod and Remove A Mod, with what the user chose first; -1
    // selects nothing.
    void Switch(int item) {
        modList.selected = item;
        main.value().OnSwitch();
    }
    void Add(const std::string& chosen) {
        dialog.answers = {chosen};
        dialog.shown = 0;
        main.value().OnAdd();
    }
    void Remove(int item) {
        modList.selected = item;
        main.value().OnRemove();
    }

    Services services;
    Startup startup;
    std::optional<MainWindow> main;
    FakeMessageBoxes boxes;
    FakeLabel currentMod;
    FakeListBox modList;
    FakeOpenFileDialog dialog;
    FakeCopyWatcher copies;
};

}  // namespace vx::test
