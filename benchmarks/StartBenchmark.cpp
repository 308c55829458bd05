// How long the Linux program takes from its start to its main window on the screen, and its
// peak memory by then, beside a bare Qt window started the same way. The programs run for
// real on the X display (Xvfb); the window counts as there when the X server maps it.
// With many entries it starts twice: with archives of assorted sizes, and with every archive
// of the live archive's size, each of which the current-mod label could name.
//   vx_start_benchmark RUNS ENTRIES PROGRAM BARE_WINDOW
#include <X11/Xlib.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Timing.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Started {
    double milliseconds;
    double peakMegabytes;
};

// The peak resident size so far of process `pid`, in MB.
double PeakMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

bool IsTitled(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    const bool titled = XFetchName(display, window, &name) != 0 && name != nullptr && title == name;
    if (name != nullptr) {
        XFree(name);
    }
    return titled;
}

// Starts `program` with `home` as its home and waits for a window titled `title` to be mapped.
Started Start(const std::string& program, const fs::path& home, const std::string& title) {
    // A server busy with the last program's goodbye may turn a connection away for a moment.
    Display* display = nullptr;
    for (int attempt = 0; display == nullptr && attempt < 100; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            ::usleep(20000);
        }
    }
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        std::exit(1);
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
        // A runtime folder of its own, which the program makes for this user only: a copy of
        // the program the user runs meanwhile would otherwise be the one that opens.
        ::setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Started started{};
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && IsTitled(display, event.xmap.window, title)) {
            started.milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    started.peakMegabytes = PeakMegabytes(pid);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    return started;
}

constexpr std::uintmax_t kLiveSize = 4096;

// A player's home with the game and `entries` registered archives, the first the backup; the
// others all of the live archive's size when `allLiveSize`, else of assorted sizes, none of it.
fs::path MakeHome(int entries, bool allLiveSize) {
    fs::path home = fs::temp_directory_path() /
                    ("vx-start-bench-" + std::to_string(entries) + (allLiveSize ? "-live" : ""));
    fs::remove_all(home);
    const fs::path game = home / "Vexmoor";
    fs::create_directories(game / "mods");
    fs::permissions(home, fs::perms::owner_all);  // it is the runtime folder too
    fs::create_directories(home / "archives");
    std::ofstream(game / "vexmoor.exe") << "MZ";
    std::ofstream(game / "patch_vx.zpk") << std::string(kLiveSize, 'o');
    std::ofstream(game / "mods/NORMAL_patch_vx.zpk") << std::string(kLiveSize, 'o');
    std::string store = "[settings]\nvxpath=" + game.string() +
                        "\nmods=" + std::to_string(entries) +
                        "\n\n[mods]\n1=" + (game / "mods/NORMAL_patch_vx.zpk").string() + "\n";
    for (int i = 2; i <= entries; ++i) {
        const fs::path archive = home / "archives" / (std::to_string(i) + ".zpk");
        std::ofstream(archive).close();
        // Only the size is ever read: a file with a hole is as good, and quick to make.
        fs::resize_file(archive, allLiveSize ? kLiveSize : static_cast<std::uintmax_t>(i % 1000));
        store += std::to_string(i) + "=" + archive.string() + "\n";
    }
    fs::create_directories(home / ".config/Vexmoor Patchkeeper");
    std::ofstream(home / ".config/Vexmoor Patchkeeper/settings.ini") << store;
    ::sync();  // the set-up's writeback is over before anything is timed
    return home;
}

Started Median(int runs, const std::string& program, const fs::path& home,
               const std::string& title) {
    std::vector<Started> all;
    all.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        all.push_back(Start(program, home, title));
    }
    std::sort(all.begin(), all.end(),
              [](const Started& a, const Started& b) { return a.milliseconds < b.milliseconds; });
    return all[all.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s RUNS ENTRIES PROGRAM BARE_WINDOW\n", argv[0]);
        return 2;
    }
    const int runs = std::stoi(argv[1]);
    const int entries = std::stoi(argv[2]);
    const fs::path few = MakeHome(3, false);
    const fs::path many = MakeHome(entries, false);
    const fs::path manyLive = MakeHome(entries, true);

    const Started bare = Median(runs, argv[4], few, "Bare Qt window");
    const Started small = Median(runs, argv[3], few, "Vexmoor Patchkeeper");
    const Started large = Median(runs, argv[3], many, "Vexmoor Patchkeeper");
    const Started largeLive = Median(runs, argv[3], manyLive, "Vexmoor Patchkeeper");
    using vx::bench::Report;
    Report("Start to the main window, 3 entries", small.milliseconds, "");
    Report("  anchor: a bare Qt window with a list and a button", bare.milliseconds, "");
    std::printf("  ratio %.2f   target <= 1.2\n", small.milliseconds / bare.milliseconds);
    const std::string n = std::to_string(entries);
    Report(("Start to the main window, " + n + " entries").c_str(), large.milliseconds,
           "target <= 500 ms");
    Report(("Start to the main window, " + n + " entries of the live size").c_str(),
           largeLive.milliseconds, "target <= 500 ms");
    std::printf("%-58s %9.1f MB   target <= 40 MB (anchor %.1f MB)\n", "Peak memory, 3 entries",
                small.peakMegabytes, bare.peakMegabytes);
    std::printf("%-58s %9.1f MB   target <= 60 MB\n", ("Peak memory, " + n + " entries").c_str(),
                large.peakMegabytes);
    fs::remove_all(few);
    fs::remove_all(many);
    fs::remove_all(manyLive);
    return 0;
}
