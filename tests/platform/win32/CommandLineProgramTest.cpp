// The Windows program run from a command prompt or a script: given standard handles, it
// answers there. Real files; the real store, used only where no player's list is in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/windows-services/CommandLineSystem.h"
#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Utf.h"
#include "state/SettingsLayout.h"
#include "support/TempFolder.h"

namespace vx::test {
namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

class CommandLineProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* program = std::getenv("VX_PROGRAM_EXE");
        if (program == nullptr) {
            GTEST_SKIP() << "VX_PROGRAM_EXE names no program to start";
        }
        program_ = program;
        const std::wstring key = windows::ToUtf16(std::string(windows::kProgramSettingsRoot) +
                                                  "\\" + std::string(settings::kAppName));
        HKEY existing = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &existing) ==
            ERROR_SUCCESS) {
            RegCloseKey(existing);
            GTEST_SKIP() << "the store holds a player's list, which this test would replace";
        }
        ownsStore_ = true;
        for (const char* folder : {"game\\mods", "a", "b"}) {
            std::filesystem::create_directories(NativePath(folder_ / folder));
        }
        WriteFile(live_, std::string(4000, 'L'));
        WriteFile(folder_ / "game\\mods\\NORMAL_patch_vx.zpk", std::string(4000, 'L'));
        WriteFile(folder_ / "a\\Shiny Water.zpk", std::string(3000, 'S'));
        WriteFile(folder_ / "a\\Night Sky.zpk", std::string(3100, 'N'));
        WriteFile(folder_ / "b\\Night Sky.zpk", std::string(3200, 'n'));
        windows::RegistrySettings store(windows::kProgramSettingsRoot, settings::kAppName);
        store.Save(settings::kSettingsSection, settings::kGameFolderKey, folder_ / "game");
        const std::vector<std::string> mods = {"game\\mods\\NORMAL_patch_vx.zpk",
                                               "a\\Shiny Water.zpk", "a\\Night Sky.zpk",
                                               "b\\Night Sky.zpk"};
        for (std::size_t i = 0; i < mods.size(); ++i) {
            store.Save(settings::kModsSection, std::to_string(i + 1), folder_ / mods[i]);
        }
        store.Save(settings::kSettingsSection, settings::kCountKey, std::to_string(mods.size()));
    }

    void TearDown() override {
        if (ownsStore_) {
            RegDeleteTreeW(HKEY_CURRENT_USER,
                           windows::ToUtf16(std::string(windows::kProgramSettingsRoot) + "\\" +
                                            std::string(settings::kAppName))
                               .c_str());
        }
    }

    // Starts the program with `args`, its output and errors going to files.
    Result Run(const std::vector<std::string>& args) {
        std::vector<std::string> all = {program_};
        all.insert(all.end(), args.begin(), args.end());
        std::wstring line = windows::QuoteCommandLine(all);
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const auto open = [&](const std::string& path) {
            return CreateFileW(windows::ToUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               &inherited, CREATE_ALWAYS, 0, nullptr);
        };
        const HANDLE out = open(folder_ / "out.txt");
        const HANDLE err = open(folder_ / "err.txt");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION process{};
        const std::wstring folder = windows::ToUtf16(folder_.Utf8());
        EXPECT_NE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 folder.c_str(), &startup, &process),
                  FALSE);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        for (const HANDLE handle : {process.hProcess, process.hThread, out, err}) {
            CloseHandle(handle);
        }
        return {static_cast<int>(status), ReadFile(folder_ / "out.txt"),
                ReadFile(folder_ / "err.txt")};
    }

    std::string Live() const { return ReadFile(live_); }

    TempFolder folder_;
    std::string live_ = folder_ / "game\\patch_vx.zpk";
    std::string program_;
    bool ownsStore_ = false;
};

TEST_F(CommandLineProgramTest, ListsSwitchesByNumberNameOrPathAndRunsTheCommand) {
    const Result list = Run({"--list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "* 1  " + folder_ / "game\\mods\\NORMAL_patch_vx.zpk" + "\n  2  " +
                            folder_ / "a\\Shiny Water.zpk" + "\n  3  " +
                            folder_ / "a\\Night Sky.zpk" + "\n  4  " +
                            folder_ / "b\\Night Sky.zpk" + "\n");

    struct Case {
        std::vector<std::string> args;
        int status;
        std::string mod;  // whose bytes are then live; empty: as before
    };
    const std::vector<Case> cases = {
        {{"--switch", "3"}, 0, "a\\Night Sky.zpk"},
        {{"--switch", "SHINY water", "--", "cmd", "/c", "exit 42"}, 42, "a\\Shiny Water.zpk"},
        {{"--switch", folder_.Utf8() + "/B/night sky.ZPK"}, 0, "b\\Night Sky.zpk"},
        {{"--switch", "night sky"}, 1, ""},
        {{"--switch", "Dawn", "--", "cmd", "/c", "echo ran>ran"}, 1, ""},
        {{"--switch", "1", "--", "no-such-program"}, 127, "game\\mods\\NORMAL_patch_vx.zpk"},
    };
    for (const Case& c : cases) {
        const std::string before = Live();
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << c.args[1] << ": " << result.err;
        EXPECT_EQ(Live(), c.mod.empty() ? before : ReadFile(folder_ / c.mod)) << c.args[1];
    }
    EXPECT_FALSE(std::filesystem::exists(NativePath(folder_ / "ran")));
}

}  // namespace
}  // namespace vx::test
