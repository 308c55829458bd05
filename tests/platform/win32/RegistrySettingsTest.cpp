// The registry store in a scratch key under HKEY_CURRENT_USER, checked against raw reads.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Utf.h"
#include "platform/win32/Win32Platform.h"
#include "state/Error.h"

namespace vx::win32 {
namespace {

constexpr std::string_view kApp = "Vexmoor Patchkeeper";

class RegistrySettingsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VexmoorPatchkeeperTest");
    }

    std::wstring SubKey(const std::string& section) const {
        return ToUtf16(root_ + "\\" + std::string(kApp) + "\\" + section);
    }

    std::string root_ =
        "Software\\VexmoorPatchkeeperTest\\" + std::to_string(GetCurrentProcessId());
    Win32Platform platform_{root_};
};

TEST_F(RegistrySettingsTest, StoresRegSzWhereTheClassicRuntimeKeepsSettings) {
    const std::string nonAscii = "D:\\Spiele\\Ärger\\日本語\\😀.zpk";
    platform_.SaveSetting(kApp, "mods", "1", nonAscii);

    // RegQueryValueExW, unlike RegGetValueW, shows the bytes exactly as stored.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SubKey("mods").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    wchar_t raw[64] = {};
    DWORD bytes = sizeof raw - sizeof(wchar_t);
    EXPECT_EQ(RegQueryValueExW(key, L"1", nullptr, &type, reinterpret_cast<BYTE*>(raw), &bytes),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw, ToUtf16(nonAscii));
    EXPECT_EQ(bytes, (wcslen(raw) + 1) * sizeof(wchar_t)) << "REG_SZ counts its NUL";
}

TEST_F(RegistrySettingsTest, RoundTripsLongAndShrinkingValuesAndAbsentOnes) {
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), std::nullopt);
    const std::string long4000(4000, 'x');
    platform_.SaveSetting(kApp, "settings", "vxpath", long4000);
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), long4000);
    platform_.SaveSetting(kApp, "settings", "vxpath", "C:\\Ä");
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), "C:\\Ä");
    platform_.SaveSetting(kApp, "settings", "vxpath", "");
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), "");

    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "mods"), std::nullopt);
    EXPECT_EQ(platform_.GetSetting(kApp, "mods", "1"), std::nullopt);
}

TEST_F(RegistrySettingsTest, ValueThatIsNotTextIsAnErrorNamingTheKey) {
    platform_.SaveSetting(kApp, "settings", "vxpath", "C:\\Games");
    const DWORD number = 3;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SubKey("settings").c_str(), L"mods", REG_DWORD,
                              &number, sizeof number),
              ERROR_SUCCESS);
    try {
        platform_.GetSetting(kApp, "settings", "mods");
        ADD_FAILURE() << "a REG_DWORD read as text";
    } catch (const Error& error) {
        EXPECT_NE(error.Text().find("not as text"), std::string::npos) << error.Text();
        EXPECT_NE(error.Path().find("Vexmoor Patchkeeper\\settings\\mods"), std::string::npos);
    }
}

}  // namespace
}  // namespace vx::win32
