// The Windows program run from a command prompt or a script: given standard handles, it
// answers there. Real files; the real store, used only where no player's list is in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/windows-services/CommandLineSystem.h"
#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Utf.h"
#include "state/SettingsLayout.h"
#include "support/TempFolder.h"

namespace vx::test {
namespace {

// The listed mods, each of its own bytes; the first is the backup of the live archive.
const std::vector<std::string> kMods = {"game\\mods\\NORMAL_patch_vx.zpk", "a\\Shiny Water.zpk",
                                        "a\\Night Sky.zpk", "b\\Night Sky.zpk"};

class CommandLineProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (program_ == nullptr) {
            GTEST_SKIP() << "VX_PROGRAM_EXE names no program to start";
        }
        HKEY existing = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &existing) == 0) {
            RegCloseKey(existing);
            GTEST_SKIP() << "the store holds a player's list, which this test would replace";
        }
        windows::RegistrySettings store(windows::kProgramSettingsRoot, settings::kAppName);
        store.Save(settings::kSettingsSection, settings::kGameFolderKey, folder_ / "game");
        for (std::size_t i = 0; i < kMods.size(); ++i) {
            std::filesystem::create_directories(NativePath(folder_ / kMods[i]).parent_path());
            WriteFile(folder_ / kMods[i], std::string(3000 + 100 * i, static_cast<char>('A' + i)));
            store.Save(settings::kModsSection, std::to_string(i + 1), folder_ / kMods[i]);
        }
        store.Save(settings::kSettingsSection, settings::kCountKey, std::to_string(kMods.size()));
        WriteFile(live_, ReadFile(folder_ / kMods[0]));
    }
    void TearDown() override {
        if (!IsSkipped()) {  // else the store is not this test's
            RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        }
    }

    // Starts the program with `args`, its output and errors going to files. Windows gives a
    // program of the GUI subsystem none of its starter's console, Wine does: detached, it starts
    // here as it would there.
    HANDLE Start(const std::vector<std::string>& args) {
        std::wstring line =
            windows::QuoteCommandLine({program_}) + L" " + windows::QuoteCommandLine(args);
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const auto open = [&](const char* name) {
            return CreateFileW(windows::ToUtf16(folder_ / name).c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
        };
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = open("out.txt");
        startup.hStdError = open("err.txt");
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                   nullptr, nullptr, &startup, &process));
        for (const HANDLE handle : {process.hThread, startup.hStdOutput, startup.hStdError}) {
            CloseHandle(handle);
        }
        return process.hProcess;
    }
    // Its exit status, once it ends.
    static int Wait(HANDLE process) {
        WaitForSingleObject(process, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process, &status);
        CloseHandle(process);
        return static_cast<int>(status);
    }

    TempFolder folder_;
    std::string live_ = folder_ / "game\\patch_vx.zpk";
    std::wstring key_ = windows::ToUtf16(std::string(windows::kProgramSettingsRoot) + "\\" +
                                         std::string(settings::kAppName));
    const char* program_ = std::getenv("VX_PROGRAM_EXE");
};

TEST_F(CommandLineProgramTest, ListsSwitchesByNumberNameOrPathAndRunsTheCommand) {
    EXPECT_EQ(Wait(Start({"--list"})), 0);
    EXPECT_EQ(ReadFile(folder_ / "out.txt"),
              "* 1  " + folder_ / kMods[0] + "\n  2  " + folder_ / kMods[1] + "\n  3  " +
                  folder_ / kMods[2] + "\n  4  " + folder_ / kMods[3] + "\n");

    // In turn: the arguments, the exit status, the mod whose bytes are then live.
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"--switch", "3"}, 0, kMods[2]},
        {{"--switch", "SHINY water", "--", "cmd", "/c", "exit 42"}, 42, kMods[1]},
        {{"--switch", folder_.Utf8() + "/B/night sky.ZPK"}, 0, kMods[3]},
        {{"--switch", "night sky"}, 1, kMods[3]},
        {{"--switch", "Dawn", "--", "cmd", "/c", "exit 42"}, 1, kMods[3]},
        {{"--switch", "1", "--", "no-such-program"}, 127, kMods[0]},
    };
    for (const auto& [args, status, mod] : cases) {
        EXPECT_EQ(Wait(Start(args)), status) << args[1] << ": " << ReadFile(folder_ / "err.txt");
        EXPECT_EQ(ReadFile(live_), ReadFile(folder_ / mod)) << args[1];
    }
}

// Ctrl+C is typed in the console of the program that started this one; this test stands in for
// that program and ignores it itself.
BOOL WINAPI IgnoreControl(DWORD /*event*/) {
    return TRUE;
}

TEST_F(CommandLineProgramTest, CtrlCDuringTheCopyLeavesTheLiveArchiveAsItWas) {
    // A console as cmd's window is one: Wine's console for a program started from a Unix shell
    // sends no Ctrl+C. The test's own output stays where it went.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    FreeConsole();
    const DWORD why = AllocConsole() != FALSE ? ERROR_SUCCESS : GetLastError();
    SetStdHandle(STD_OUTPUT_HANDLE, out);
    SetStdHandle(STD_ERROR_HANDLE, err);
    if (why != ERROR_SUCCESS) {
        GTEST_SKIP() << "no console to type Ctrl+C in: error " << why;
    }
    SetConsoleCtrlHandler(IgnoreControl, TRUE);
    // Long to copy, cheap to make: the copy writes every zero of it.
    const std::string big = folder_ / "big.zpk";
    WriteFile(big, "");
    std::filesystem::resize_file(NativePath(big), std::uintmax_t{1} << 30);
    const HANDLE process = Start({"--switch", big, "--", "cmd", "/c", "echo x>" + folder_ / "ran"});
    // Ctrl+C once the copy has begun: its temporary file stands beside the live archive.
    for (int i = 0; i < 2000 && Leftovers(folder_ / "game").empty(); ++i) {
        Sleep(5);
    }
    if (GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) == FALSE) {
        TerminateProcess(process, 1);
        GTEST_SKIP() << "this system sends no Ctrl+C to a console: error " << GetLastError();
    }
    EXPECT_EQ(Wait(process), 130) << ReadFile(folder_ / "err.txt");
    ASSERT_EQ(std::filesystem::file_size(NativePath(live_)), 3000U) << "the big archive went live";
    EXPECT_EQ(ReadFile(live_), ReadFile(folder_ / kMods[0]));
    EXPECT_FALSE(std::filesystem::exists(NativePath(folder_ / "ran")));
    EXPECT_TRUE(Leftovers(folder_ / "game").empty());
}

}  // namespace
}  // namespace vx::test
