// The Windows program's two settings stores under the window logic, on real files and a
// scratch registry key: the registry's kept copy of a key sees a change made between two
// commands, and a write the registry refuses leaves the store and the list as they were; an
// INI file beside the program keeps everything, and the registry is never touched.
#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <optional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Startup.h"
#include "fakes/FakeControls.h"
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

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() {
        test::WriteFile(folder_ / "patch_vx.zpk", "the game's own archive");
        test::WriteFile(mod_, "a mod");
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str()); }

    // The main window over `settings`, its game in the scratch folder, loaded.
    void Open(SettingsStore& settings) {
        const Services services{settings, files_, system_};
        startup_.emplace(services);
        startup_->SetGamePath(folder_.Utf8());
        window_.emplace(startup_->Paths(), services, boxes_,
                        MainWindow::Controls{label_, list_, dialog_, copies_});
        window_->Load();
    }

    test::TempFolder folder_;
    std::string mod_ = folder_ / "mod-ä, the same size.zpk";  // as long as the backup's path
    std::string root_ = "Software\\VexmoorPatchkeeperTest-" + std::to_string(GetCurrentProcessId());
    Win32Files files_;
    Win32SystemInfo system_;
    test::FakeLabel label_;
    test::FakeListBox list_;
    test::FakeMessageBoxes boxes_;
    test::FakeOpenFileDialog dialog_;
    test::FakeCopyWatcher copies_;
    std::optional<Startup> startup_;  // holds the paths the window uses
    std::optional<MainWindow> window_;
};

TEST_F(SettingsTest, TheRegistrySeesAChangeBetweenCommandsAndARefusedWriteChangesNothing) {
    RegistrySettings settings{root_, settings::kAppName};
    Open(settings);  // backs the game's archive up as entry 1

    // Changed behind the program's back: the same length, the same number of values.
    RegistrySettings(root_, settings::kAppName).Save("mods", "1", mod_);
    window_->OnRemove();  // nothing selected: the list is only rebuilt
    EXPECT_EQ(list_.items, std::vector{mod_});

    // The entries' key may be read but no longer written.
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    const std::wstring mods = ToUtf16(root_ + "\\Vexmoor Patchkeeper\\mods");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, mods.c_str(), 0, WRITE_DAC, &key), 0);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), 0);
    RegCloseKey(key);
    LocalFree(readOnly);
    dialog_.answers = {folder_ / "mods\\NORMAL_patch_vx.zpk"};
    EXPECT_EQ(test::ErrorOf([&] { window_->OnAdd(); }).Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(list_.items, std::vector{mod_});
    EXPECT_EQ(settings.Get("settings", "mods"), "1") << "the entry is written before the count";
}

// The file is read back through a store of its own: what the window saved is there.
TEST_F(SettingsTest, AnIniFileBesideTheProgramKeepsEverythingAndTheRegistryIsNeverTouched) {
    const std::string program = folder_ / "VexmoorPatchkeeper.exe";
    EXPECT_NE(dynamic_cast<RegistrySettings*>(OpenSettings(program, root_).get()), nullptr);
    test::WriteFile(folder_ / "VexmoorPatchkeeper.ini", "");
    const auto settings = OpenSettings(program, root_);
    Open(*settings);
    dialog_.answers = {mod_};
    window_->OnAdd();
    EXPECT_EQ(OpenSettings(program, root_)->Get("mods", "2"), mod_);
    EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str()), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace vx::windows
