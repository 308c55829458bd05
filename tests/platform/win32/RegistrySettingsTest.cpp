// The registry store in a scratch key under HKEY_CURRENT_USER, read back raw.
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

    // The value as the registry holds it, bypassing the code under test.
    std::wstring RawValue(const std::string& section, const std::wstring& name, DWORD& type,
                          DWORD& bytes) {
        const std::wstring subKey = ToUtf16(root_ + "\\" + std::string(kApp) + "\\" + section);
        std::wstring buffer(8192, L'\0');
        bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(),
                               RRF_RT_ANY | RRF_NOEXPAND, &type, buffer.data(), &bytes),
                  ERROR_SUCCESS);
        buffer.resize(wcslen(buffer.c_str()));
        return buffer;
    }

    std::string root_ =
        "Software\\VexmoorPatchkeeperTest\\run-" + std::to_string(GetCurrentProcessId());
    Win32Platform platform_{root_};
};

TEST_F(RegistrySettingsTest, SavesRegSzValuesWhereTheClassicRuntimeKeepsThem) {
    platform_.SaveSetting(kApp, "settings", "vxpath", "C:\\Games\\Vexmoor");
    platform_.SaveSetting(kApp, "mods", "1", "C:\\Games\\Vexmoor\\mods\\NORMAL_patch_vx.zpk");

    DWORD type = 0;
    DWORD bytes = 0;
    EXPECT_EQ(RawValue("settings", L"vxpath", type, bytes), L"C:\\Games\\Vexmoor");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, (16 + 1) * sizeof(wchar_t)) << "the terminating NUL belongs to REG_SZ";
    EXPECT_EQ(RawValue("mods", L"1", type, bytes),
              L"C:\\Games\\Vexmoor\\mods\\NORMAL_patch_vx.zpk");
}

TEST_F(RegistrySettingsTest, RoundTripsNonAsciiLongAndShrinkingValues) {
    const std::string nonAscii = "D:\\Spiele\\Vexmoor Ärger\\日本語\\😀.zpk";
    const std::string long4000(4000, 'x');
    platform_.SaveSetting(kApp, "mods", "1", nonAscii);
    platform_.SaveSetting(kApp, "mods", "2", long4000);
    EXPECT_EQ(platform_.GetSetting(kApp, "mods", "1"), nonAscii);
    EXPECT_EQ(platform_.GetSetting(kApp, "mods", "2"), long4000);

    DWORD type = 0;
    DWORD bytes = 0;
    EXPECT_EQ(RawValue("mods", L"1", type, bytes), ToUtf16(nonAscii)) << "stored as UTF-16";

    platform_.SaveSetting(kApp, "mods", "2", "");
    EXPECT_EQ(platform_.GetSetting(kApp, "mods", "2"), "");
}

TEST_F(RegistrySettingsTest, AbsentKeysAndValuesReadAsNothing) {
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), std::nullopt);
    platform_.SaveSetting(kApp, "settings", "mods", "2");
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), std::nullopt);
    EXPECT_EQ(platform_.GetSetting(kApp, "mods", "1"), std::nullopt);
    EXPECT_EQ(platform_.GetSetting("Another App", "settings", "mods"), std::nullopt);
}

TEST_F(RegistrySettingsTest, ValueThatIsNotTextIsAnErrorNamingTheKey) {
    platform_.SaveSetting(kApp, "settings", "vxpath", "C:\\Games");
    HKEY key = nullptr;
    const std::wstring subKey = ToUtf16(root_ + "\\" + std::string(kApp) + "\\settings");
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const DWORD number = 3;
    RegSetValueExW(key, L"mods", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);

    try {
        platform_.GetSetting(kApp, "settings", "mods");
        FAIL() << "a REG_DWORD read as text";
    } catch (const Error& error) {
        EXPECT_NE(error.Number(), 0);
        EXPECT_NE(error.Text().find("not as text"), std::string::npos) << error.Text();
        EXPECT_NE(error.Path().find("Vexmoor Patchkeeper\\settings\\mods"), std::string::npos)
            << error.Path();
    }
}

}  // namespace
}  // namespace vx::win32
