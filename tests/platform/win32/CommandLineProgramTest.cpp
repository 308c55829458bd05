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

    // Starts the program with `args`, its output and errors going to files; its exit status.
    int Run(const std::vector<std::string>& args) {
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
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &process));
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        for (const HANDLE handle :
             {process.hProcess, process.hThread, startup.hStdOutput, startup.hStdError}) {
            CloseHandle(handle);
        }
        return static_cast<int>(status);
    }

    TempFolder folder_;
    std::string live_ = folder_ / "game\\patch_vx.zpk";
    std::wstring key_ = windows::ToUtf16(std::string(windows::kProgramSettingsRoot) + "\\" +
                                         std::string(settings::kAppName));
    const char* program_ = std::getenv("VX_PROGRAM_EXE");
};

TEST_F(CommandLineProgramTest, ListsSwitchesByNumberNameOrPathAndRunsTheCommand) {
    EXPECT_EQ(Run({"--list"}), 0);
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
        EXPECT_EQ(Run(args), status) << args[1] << ": " << ReadFile(folder_ / "err.txt");
        EXPECT_EQ(ReadFile(live_), ReadFile(folder_ / mod)) << args[1];
    }
}

}  // namespace
}  // namespace vx::test
