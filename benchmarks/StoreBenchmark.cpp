// Figures of the commands whose work grows with the list, on real files and the real store:
// a list rebuild with a cold store (with archives of assorted sizes, and with every one of the
// live archive's size, each of which the current-mod label could name), Add A Mod to a nearly
// full list, Remove the first entry of a full one. Figures only; nothing here passes or fails.

#ifdef _WIN32
#include <windows.h>

#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Win32Files.h"
#include "platform/windows-services/Win32SystemInfo.h"
#else
#include "platform/posix/IniSettings.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixSystemInfo.h"
#endif
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Timing.h"
#include "app/MainWindow.h"
#include "fakes/FakeControls.h"
#include "state/ModRegistry.h"
#include "state/SettingsLayout.h"

namespace {

namespace fs = std::filesystem;
using vx::bench::MedianMilliseconds;
using vx::bench::Report;

// The targets, each platform's own.
#ifdef _WIN32
constexpr const char* kRebuildTarget = "target <= 1000 ms on Windows";
constexpr const char* kLiveSizedTarget = "";
constexpr const char* kAddTarget = "target <= 1000 ms on Windows";
constexpr const char* kRemoveTarget = "target <= 3000 ms on Windows";
#else
constexpr const char* kRebuildTarget = "target <= 150 ms on Linux";
constexpr const char* kLiveSizedTarget = "target <= 500 ms on Linux";
constexpr const char* kAddTarget = "target <= 100 ms on Linux";
constexpr const char* kRemoveTarget = "target <= 200 ms on Linux";
#endif

// The program's services, over a store of the benchmark's own.
#ifdef _WIN32
constexpr wchar_t kBenchRoot[] = L"Software\\Vexmoor Patchkeeper Bench";
struct BenchServices {
    explicit BenchServices(const fs::path&) {}
    vx::windows::RegistrySettings settings{"Software\\Vexmoor Patchkeeper Bench",
                                           vx::settings::kAppName};
    vx::windows::Win32Files files;
    vx::windows::Win32SystemInfo system;
};
void RemoveStore() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRoot);
}
#else
struct BenchServices {
    explicit BenchServices(const fs::path& root)
        : settings(vx::posix::SettingsFileIn(root / "config")) {}
    vx::posix::IniSettings settings;
    vx::posix::PosixFiles files;
    vx::posix::PosixSystemInfo system;
};
void RemoveStore() {}
#endif

vx::Services ServicesOf(BenchServices& services) {
    return {services.settings, services.files, services.system};
}

void WriteFile(const fs::path& path, std::size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

constexpr std::size_t kLiveSize = 4096;

// `entries` archives in `folder`, of `size(i)` bytes each. Only sizes are ever read: files
// with holes are as good, and quick to make.
std::vector<std::string> MakeArchives(const fs::path& folder, int entries,
                                      const std::function<std::size_t(int)>& size) {
    fs::create_directories(folder);
    std::vector<std::string> archives;
    for (int i = 1; i <= entries; ++i) {
        const fs::path archive = folder / (std::to_string(i) + ".zpk");
        WriteFile(archive, 0);
        fs::resize_file(archive, size(i));
        archives.push_back(archive.string());
    }
    return archives;
}

// The store as a player with `count` mods has it, written in one batch.
void Fill(BenchServices& services, const std::string& game,
          const std::vector<std::string>& archives, int count) {
    vx::ModRegistry registry(services.settings, services.system);
    services.settings.BeginBatch();
    registry.WriteGameFolder(game);
    for (int i = 1; i <= count; ++i) {
        registry.WriteEntry(i, archives[static_cast<std::size_t>(i - 1)]);
    }
    registry.WriteCount(static_cast<std::int16_t>(count));
    services.settings.Commit();
    services.settings.EndBatch();
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::stoi(argv[1]) : 32767;
    const int runs = argc > 2 ? std::stoi(argv[2]) : 5;
    const fs::path root = fs::temp_directory_path() / "vx-store-bench";
    fs::remove_all(root);
    fs::create_directories(root / "game/mods");
    WriteFile(root / "game/patch_vx.zpk", kLiveSize);
    const auto archives = MakeArchives(root / "archives", entries,
                                       [](int i) { return static_cast<std::size_t>(i % 1000); });
    const auto liveSized =
        MakeArchives(root / "live-sized", entries, [](int) { return kLiveSize; });
    const std::string added = (root / "archives/added.zpk").string();
    WriteFile(added, 1);

    auto services = std::make_unique<BenchServices>(root);
    vx::Startup startup(ServicesOf(*services));
    startup.SetGamePath((root / "game").string());
    // The tests' stand-ins for the controls: the figures are the window logic's and the
    // store's, not a toolkit's.
    vx::test::FakeLabel label;
    vx::test::FakeListBox list;
    vx::test::FakeMessageBoxes boxes;
    vx::test::FakeOpenFileDialog dialog;
    vx::test::FakeCopyWatcher copies;
    std::unique_ptr<vx::MainWindow> main;
    // New services each time: the store has read nothing yet, as at a start.
    const auto fresh = [&](int count, const std::vector<std::string>& registered) {
        main.reset();
        services = std::make_unique<BenchServices>(root);
        Fill(*services, (root / "game").string(), registered, count);
        services = std::make_unique<BenchServices>(root);
        main =
            std::make_unique<vx::MainWindow>(startup.Paths(), ServicesOf(*services), boxes,
                                             vx::MainWindow::Controls{label, list, dialog, copies});
    };

    const std::string n = std::to_string(entries);
    Report(("Rebuild of " + n + " entries (store read, size probes, list)").c_str(),
           MedianMilliseconds(
               runs, [&] { fresh(entries, archives); }, [&] { main->Load(); }),
           kRebuildTarget);
    Report(("Rebuild of " + n + " entries of the live size").c_str(),
           MedianMilliseconds(
               runs, [&] { fresh(entries, liveSized); }, [&] { main->Load(); }),
           kLiveSizedTarget);
    dialog.answers = {added};  // and every showing after keeps it
    Report(("Add A Mod at " + std::to_string(entries - 1) + " entries").c_str(),
           MedianMilliseconds(
               runs,
               [&] {
                   fresh(entries - 1, archives);
                   main->Load();  // the window is up, its store read, before the click
               },
               [&] { main->OnAdd(); }),
           kAddTarget);
    Report(("Remove the first of " + n + " entries").c_str(),
           MedianMilliseconds(
               runs,
               [&] {
                   fresh(entries, archives);
                   main->Load();
                   list.selected = 0;
               },
               [&] { main->OnRemove(); }),
           kRemoveTarget);

    main.reset();
    services.reset();
    RemoveStore();
    fs::remove_all(root);
    return 0;
}
