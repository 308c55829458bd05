// The Windows program's two settings stores under the window logic, on real files and a
// scratch registry key: the registry's kept copy of a key sees a change made between two
// commands, and a write the registry refuses leaves the store and the list as they were; an
// INI file beside the program keeps everything, and the registry is never touched.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Startup.h"
#include "fakes/FakeControls.h"
#include "platform/windows-services/IniSettings.h"
#include "platform/windows-services/OpenSettings.h"
#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Files.h"
#include "platform/windows-services/Win32SystemInfo.h"
#include "state/SettingsLayout.h"
#include "support/Failure.h"
#include "support/TempFolder.h"

namespace vx::windows {
namespace {

using Names = std::vector<std::string>;

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() {
        test::WriteFile(folder_ / "patch_vx.zpk", "the game's own archive");
        test::WriteFile(mod_, "a mod");
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str()); }

    // The main window over `settings`, its game in the scratch folder.
    std::unique_ptr<MainWindow> Window(SettingsStore& settings) {
        const Services services{settings, files_, system_};
        startup_ = std::make_unique<Startup>(services);
        startup_->SetGamePath(folder_.Utf8());
        return std::make_unique<MainWindow>(startup_->Paths(), services, boxes_,
                                            MainWindow::Controls{label_, list_, dialog_, copies_});
    }
    std::wstring Key(const std::string& section) const {
        return ToUtf16(root_ + "\\" + std::string(settings::kAppName) + "\\" + section);
    }

    test::TempFolder folder_;
    std::string mod_ = folder_ / "mod-ä.zpk";
    std::string backup_ = folder_ / "mods\\NORMAL_patch_vx.zpk";
    std::string root_ = "Software\\VexmoorPatchkeeperTest-" + std::to_string(GetCurrentProcessId());
    Win32Files files_;
    Win32SystemInfo system_;
    test::FakeLabel label_;
    test::FakeListBox list_;
    test::FakeMessageBoxes boxes_;
    test::FakeOpenFileDialog dialog_;
    test::FakeCopyWatcher copies_;
    std::unique_ptr<Startup> startup_;  // holds the paths the window uses
};

TEST_F(SettingsTest, TheRegistrySeesAChangeBetweenCommandsAndARefusedWriteChangesNothing) {
    RegistrySettings settings{root_, settings::kAppName};
    const auto window = Window(settings);
    window->Load();  // backs the game's archive up as entry 1
    ASSERT_EQ(list_.items, Names{backup_});

    // Changed behind the program's back: the same length, the same number of values.
    const std::string other = folder_ / "mods\\OTHERS_patch_vx.zpk";
    test::WriteFile(other, "another");
    const std::wstring otherText = ToUtf16(other);
    RegSetKeyValueW(HKEY_CURRENT_USER, Key("mods").c_str(), L"1", REG_SZ, otherText.c_str(),
                    static_cast<DWORD>((otherText.size() + 1) * sizeof(wchar_t)));
    window->OnRemove();  // nothing selected: the list is only rebuilt
    EXPECT_EQ(list_.items, Names{other});

    // The entries' key may be read but no longer written.
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    HKEY mods = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Key("mods").c_str(), 0, WRITE_DAC, &mods), 0);
    ASSERT_EQ(RegSetKeySecurity(mods, DACL_SECURITY_INFORMATION, readOnly), 0);
    RegCloseKey(mods);
    LocalFree(readOnly);
    dialog_.answers = {mod_};
    const Error error = test::ErrorOf([&] { window->OnAdd(); });
    EXPECT_EQ(error.Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(error.Path(), "HKEY_CURRENT_USER\\" + root_ + "\\Vexmoor Patchkeeper\\mods\\2");
    EXPECT_EQ(list_.items, Names{other});
    EXPECT_EQ(settings.Get("settings", "mods"), "1") << "the entry is written before the count";
    EXPECT_EQ(settings.Get("mods", "2"), std::nullopt);
}

TEST_F(SettingsTest, AnIniFileBesideTheProgramKeepsEverythingAndTheRegistryIsNeverTouched) {
    const std::string program = folder_ / "VexmoorPatchkeeper.exe";
    EXPECT_NE(dynamic_cast<RegistrySettings*>(OpenSettings(program, root_).get()), nullptr);
    const std::string ini = folder_ / "VexmoorPatchkeeper.ini";
    test::WriteFile(ini, "");
    const auto settings = OpenSettings(program, root_);
    const auto window = Window(*settings);
    window->Load();
    dialog_.answers = {mod_};
    window->OnAdd();
    list_.selected = 1;
    window->OnSwitch();
    list_.selected = 0;
    window->OnRemove();

    EXPECT_EQ(list_.items, Names{mod_});
    EXPECT_EQ(test::ReadFile(folder_ / "patch_vx.zpk"), "a mod");
    // The Linux program's file, where "\\" stands for a backslash.
    std::string escaped;
    for (const char c : mod_) {
        escaped += c == '\\' ? std::string(2, c) : std::string(1, c);
    }
    EXPECT_EQ(test::ReadFile(ini), "[mods]\n1=" + escaped + "\n2=\n\n[settings]\nmods=1\n");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ToUtf16(root_).c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace vx::windows
