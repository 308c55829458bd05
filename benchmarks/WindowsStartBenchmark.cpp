// How long the Windows program takes from its start to its main window on the screen, with
// few entries and with many, its settings in the registry as a player's are. The program
// runs for real; the window counts as there when it is visible, which it becomes once its
// list is filled. Whatever the user's own settings key held is put back at the end.
//   vx_windows_start_benchmark RUNS ENTRIES PROGRAM
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Timing.h"
#include "platform/win32/MainWindow.h"
#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Win32SystemInfo.h"
#include "state/ModRegistry.h"
#include "state/SettingsLayout.h"

namespace {

namespace fs = std::filesystem;

const std::wstring kKey = L"Software\\VB and VBA Program Settings\\Vexmoor Patchkeeper";
const std::wstring kSaved = L"Software\\Vexmoor Patchkeeper Bench Saved";

struct Found {
    DWORD process;
    bool visible = false;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
    auto& found = *reinterpret_cast<Found*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process == found.process && IsWindowVisible(window) &&
        std::wstring(className) == vx::win32::MainWindow::kClassName) {
        found.visible = true;
        return FALSE;
    }
    return TRUE;
}

// Starts the program and waits until its main window shows; then closes it.
double StartMilliseconds(const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start the program: error %lu\n", GetLastError());
        std::exit(1);
    }
    Found found{process.dwProcessId};
    while (!found.visible) {
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "the program ended before its main window showed\n");
            std::exit(1);
        }
        EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&found));
    }
    QueryPerformanceCounter(&now);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

// The program's settings as a player with `entries` mods has them, the first the backup,
// the others of assorted sizes, none the live archive's.
void MakePlayer(const fs::path& root, int entries) {
    fs::remove_all(root);
    const fs::path game = root / "Vexmoor";
    fs::create_directories(game / "mods");
    std::ofstream(game / "vexmoor.exe") << "MZ";
    std::ofstream(game / "patch_vx.zpk") << std::string(4096, 'o');
    std::ofstream(game / "mods/NORMAL_patch_vx.zpk") << std::string(4096, 'o');
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
    vx::windows::RegistrySettings settings{vx::windows::kProgramSettingsRoot,
                                           vx::settings::kAppName};
    vx::windows::Win32SystemInfo system;
    vx::ModRegistry registry(settings, system);
    settings.BeginBatch();
    registry.WriteGameFolder(game.string());
    registry.WriteEntry(1, (game / "mods/NORMAL_patch_vx.zpk").string());
    for (int i = 2; i <= entries; ++i) {
        // A thousand to a folder: Wine looks through a whole folder for each new name, which
        // would make the set-up take minutes.
        const fs::path folder = root / "archives" / std::to_string(i / 1000);
        if (i % 1000 == 0 || i == 2) {
            fs::create_directories(folder);
        }
        const fs::path archive = folder / (std::to_string(i) + ".zpk");
        std::ofstream(archive).close();
        fs::resize_file(archive, static_cast<std::uintmax_t>(i % 1000));
        registry.WriteEntry(i, archive.string());
    }
    registry.WriteCount(static_cast<std::int16_t>(entries));
    settings.Commit();
    settings.EndBatch();
}

double Median(int runs, const std::wstring& program) {
    return vx::bench::MedianMilliseconds(
        runs, [] {}, [&] { StartMilliseconds(program); });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS ENTRIES PROGRAM\n", argv[0]);
        return 2;
    }
    const int runs = std::stoi(argv[1]);
    const int entries = std::stoi(argv[2]);
    const std::wstring program = fs::path(argv[3]).wstring();
    const fs::path root = fs::temp_directory_path() / "vx-windows-start-bench";

    // The user's own settings, if any, wait aside.
    HKEY existing = nullptr;
    const bool saved =
        RegOpenKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS;
    if (saved) {
        HKEY aside = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kSaved.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &aside, nullptr);
        RegCopyTreeW(existing, nullptr, aside);
        RegCloseKey(aside);
        RegCloseKey(existing);
    }

    MakePlayer(root, 3);
    const double few = Median(runs, program);
    MakePlayer(root, entries);
    const double many = Median(runs, program);
    using vx::bench::Report;
    Report("Start to the main window, 3 entries", few, "");
    Report(("Start to the main window, " + std::to_string(entries) + " entries").c_str(), many,
           "target <= 2000 ms on Windows");

    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
    if (saved) {
        HKEY restored = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &restored, nullptr);
        HKEY aside = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, kSaved.c_str(), 0, KEY_READ, &aside);
        RegCopyTreeW(aside, nullptr, restored);
        RegCloseKey(aside);
        RegCloseKey(restored);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSaved.c_str());
    }
    fs::remove_all(root);
    return 0;
}
