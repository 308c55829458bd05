// The registry store, checked against raw reads: in a scratch key under HKEY_CURRENT_USER,
// and once where the program really keeps its settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Utf.h"
#include "platform/win32/Win32Platform.h"
#include "support/Failure.h"

namespace vx::win32 {
namespace {

constexpr std::string_view kApp = "Vexmoor Patchkeeper";

class RegistrySettingsTest : public ::testing::Test {
  protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VexmoorPatchkeeperTest");
    }

    std::string root_ =
        "Software\\VexmoorPatchkeeperTest\\" + std::to_string(GetCurrentProcessId());
    Win32Platform platform_{root_};
};

// RegQueryValueExW, unlike RegGetValueW, shows the bytes exactly as stored.
void ExpectStoredAsRegSz(const std::wstring& key, const std::string& value) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle), ERROR_SUCCESS);
    DWORD type = 0;
    wchar_t raw[64] = {};
    DWORD bytes = sizeof raw - sizeof(wchar_t);
    EXPECT_EQ(RegQueryValueExW(handle, L"1", nullptr, &type, reinterpret_cast<BYTE*>(raw), &bytes),
              ERROR_SUCCESS);
    RegCloseKey(handle);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw, ToUtf16(value));
    EXPECT_EQ(bytes, (wcslen(raw) + 1) * sizeof(wchar_t)) << "REG_SZ counts its NUL";
}

TEST_F(RegistrySettingsTest, StoresRegSzValuesThatRoundTripLongShrinkingAndAbsent) {
    const std::string nonAscii = "D:\\Spiele\\Ärger\\日本語\\😀.zpk";
    platform_.SaveSetting(kApp, "mods", "1", nonAscii);
    ExpectStoredAsRegSz(ToUtf16(root_ + "\\Vexmoor Patchkeeper\\mods"), nonAscii);
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), std::nullopt);
    for (const std::string& value : {std::string(4000, 'x'), std::string("C:\\Ä"), std::string()}) {
        platform_.SaveSetting(kApp, "settings", "vxpath", value);
        EXPECT_EQ(platform_.GetSetting(kApp, "settings", "vxpath"), value);
    }
    EXPECT_EQ(platform_.GetSetting(kApp, "settings", "mods"), std::nullopt);
    EXPECT_EQ(platform_.GetSetting(kApp, "mods", "2"), std::nullopt);
}

TEST_F(RegistrySettingsTest, ValueThatIsNotTextIsAnErrorNamingTheKey) {
    const DWORD number = 3;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER,
                              ToUtf16(root_ + "\\Vexmoor Patchkeeper\\settings").c_str(), L"mods",
                              REG_DWORD, &number, sizeof number),
              ERROR_SUCCESS);
    const Error error = test::ErrorOf([&] { platform_.GetSetting(kApp, "settings", "mods"); });
    EXPECT_NE(error.Text().find("not as text"), std::string::npos) << error.Text();
    EXPECT_NE(error.Path().find("Vexmoor Patchkeeper\\settings\\mods"), std::string::npos);
}

// Where the classic runtime kept them, so that a user's remembered folder and list stay
// valid. Spelled out here: a slip in the program's own constant must show.
TEST(ProgramSettingsTest, LiveUnderTheClassicRuntimesKey) {
    const wchar_t* app = L"Software\\VB and VBA Program Settings\\Vexmoor Patchkeeper";
    const std::wstring section = std::wstring(app) + L"\\patchkeeper test section";
    Win32Platform().SaveSetting(kApp, "patchkeeper test section", "1", "C:\\Ärger.zpk");
    ExpectStoredAsRegSz(section, "C:\\Ärger.zpk");
    RegDeleteTreeW(HKEY_CURRENT_USER, section.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, section.c_str());
    // The application's key goes too, unless it held the user's own settings before.
    RegDeleteKeyW(HKEY_CURRENT_USER, app);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings");
}

}  // namespace
}  // namespace vx::win32
