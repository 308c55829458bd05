// Figures of the commands whose work grows with the list, on real files and the real store:
// a list rebuild with a cold store, Add A Mod to a nearly full list, Remove the first entry
// of a full one. Figures only; nothing here passes or fails.

#ifdef _WIN32
#include <windows.h>

#include "platform/windows/Win32Platform.h"
#else
#include "platform/posix/PosixPlatform.h"
#endif
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "Timing.h"
#include "app/MainWindow.h"
#include "fakes/FakeControls.h"
#include "state/ModRegistry.h"
#include "state/SettingsLayout.h"

namespace {

namespace fs = std::filesystem;
using vx::bench::MedianMilliseconds;
using vx::bench::Report;

#ifdef _WIN32
constexpr wchar_t kBenchRoot[] = L"Software\\Vexmoor Patchkeeper Bench";
std::unique_ptr<vx::PlatformServices> MakePlatform(const fs::path&) {
    return std::make_unique<vx::windows::Win32Platform>("Software\\Vexmoor Patchkeeper Bench");
}
void RemoveStore() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRoot);
}
#else
std::unique_ptr<vx::PlatformServices> MakePlatform(const fs::path& root) {
    return std::make_unique<vx::posix::PosixPlatform>(root / "config");
}
void RemoveStore() {}
#endif

void WriteFile(const fs::path& path, std::size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

// The store as a player with `count` mods has it, written in one batch.
void Fill(vx::PlatformServices& platform, const std::string& game,
          const std::vector<std::string>& archives, int count) {
    vx::ModRegistry registry(platform);
    platform.BeginSettingsBatch();
    registry.WriteGameFolder(game);
    for (int i = 1; i <= count; ++i) {
        registry.WriteEntry(i, archives[static_cast<std::size_t>(i - 1)]);
    }
    registry.WriteCount(static_cast<std::int16_t>(count));
    platform.CommitSettings();
    platform.EndSettingsBatch();
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::stoi(argv[1]) : 32767;
    const int runs = argc > 2 ? std::stoi(argv[2]) : 5;
    const fs::path root = fs::temp_directory_path() / "vx-store-bench";
    fs::remove_all(root);
    fs::create_directories(root / "game/mods");
    fs::create_directories(root / "archives");
    WriteFile(root / "game/patch_vx.zpk", 4096);
    std::vector<std::string> archives;
    for (int i = 1; i <= entries; ++i) {
        const fs::path archive = root / "archives" / (std::to_string(i) + ".zpk");
        WriteFile(archive, static_cast<std::size_t>(i % 1000));
        archives.push_back(archive.string());
    }
    const std::string added = (root / "archives/added.zpk").string();
    WriteFile(added, 1);

    std::unique_ptr<vx::PlatformServices> platform = MakePlatform(root);
    vx::Startup startup(*platform);
    startup.SetGamePath((root / "game").string());
    // The tests' stand-ins for the controls: the figures are the window logic's and the
    // store's, not a toolkit's.
    vx::test::FakeLabel label;
    vx::test::FakeListBox list;
    vx::test::FakeMessageBoxes boxes;
    vx::test::FakeOpenFileDialog dialog;
    vx::test::FakeCopyWatcher copies;
    std::unique_ptr<vx::MainWindow> main;
    // A new platform object each time: its store has read nothing yet, as at a start.
    const auto fresh = [&](int count) {
        platform = MakePlatform(root);
        Fill(*platform, (root / "game").string(), archives, count);
        platform = MakePlatform(root);
        main =
            std::make_unique<vx::MainWindow>(startup.Paths(), *platform, boxes,
                                             vx::MainWindow::Controls{label, list, dialog, copies});
    };

    const std::string n = std::to_string(entries);
    Report(("Rebuild of " + n + " entries (store read, size probes, list)").c_str(),
           MedianMilliseconds(
               runs, [&] { fresh(entries); }, [&] { main->Load(); }),
           "target <= 150 ms on Linux");
    dialog.answers = {added};  // and every showing after keeps it
    Report(("Add A Mod at " + std::to_string(entries - 1) + " entries").c_str(),
           MedianMilliseconds(
               runs,
               [&] {
                   fresh(entries - 1);
                   main->Load();  // the window is up, its store read, before the click
               },
               [&] { main->OnAdd(); }),
           "target <= 100 ms on Linux");
    Report(("Remove the first of " + n + " entries").c_str(),
           MedianMilliseconds(
               runs,
               [&] {
                   fresh(entries);
                   main->Load();
                   list.selected = 0;
               },
               [&] { main->OnRemove(); }),
           "target <= 200 ms on Linux");

    main.reset();
    platform.reset();
    RemoveStore();
    fs::remove_all(root);
    return 0;
}
