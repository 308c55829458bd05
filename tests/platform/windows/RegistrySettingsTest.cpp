// The registry store, checked against raw reads, in a scratch key under HKEY_CURRENT_USER and
// once where the program really keeps its settings; and Steam's folder read from there.
#include <regex>

#include "platform/windows/ServicesTest.h"
#include "platform/windows/SteamSearch.h"

namespace vx::windows {
namespace {

constexpr std::string_view kApp = "Vexmoor Patchkeeper";

TEST_F(ServicesTest, StoresRegSzValuesThatRoundTripLongShrinkingAndAbsent) {
    const std::string nonAscii = "D:\\Spiele\\Ärger\\日本語\\😀.zpk";
    settings_.Save("mods", "1", nonAscii);
    // RegQueryValueExW, unlike RegGetValueW, shows the bytes exactly as stored.
    DWORD type = 0;
    wchar_t raw[64] = {};
    DWORD bytes = sizeof raw - sizeof(wchar_t);
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, ToUtf16(root_ + "\\Vexmoor Patchkeeper\\mods").c_str(), 0,
                  KEY_READ, &key);
    RegQueryValueExW(key, L"1", nullptr, &type, reinterpret_cast<BYTE*>(raw), &bytes);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw, ToUtf16(nonAscii));
    EXPECT_EQ(bytes, (wcslen(raw) + 1) * sizeof(wchar_t)) << "REG_SZ counts its NUL";
    for (const std::string& value : {std::string(4000, 'x'), std::string("C:\\Ä"), std::string()}) {
        settings_.Save("settings", "vxpath", value);
        EXPECT_EQ(settings_.Get("settings", "vxpath"), value);
    }
    EXPECT_EQ(settings_.Get("settings", "mods"), std::nullopt);
    const DWORD number = 3;  // a value that is not text is an error naming the key
    RegSetKeyValueW(HKEY_CURRENT_USER, ToUtf16(root_ + "\\Vexmoor Patchkeeper\\settings").c_str(),
                    L"mods", REG_DWORD, &number, sizeof number);
    const Error error = test::ErrorOf([&] { settings_.Get("settings", "mods"); });
    EXPECT_NE(error.Text().find("not as text"), std::string::npos) << error.Text();
    EXPECT_NE(error.Path().find("Vexmoor Patchkeeper\\settings\\mods"), std::string::npos);
}

// Where Visual Basic's SaveSetting keeps them, so that the remembered folder and list of
// earlier versions stay valid. Spelled out here: a slip in the program's own constant must show.
TEST(ProgramSettingsTest, LiveUnderVisualBasicsProgramSettingsKey) {
    const std::wstring app = L"Software\\VB and VBA Program Settings\\Vexmoor Patchkeeper";
    RegistrySettings(kProgramSettingsRoot, kApp).Save("patchkeeper test", "1", "C:\\Ärger.zpk");
    EXPECT_EQ(RegistrySettings("Software\\VB and VBA Program Settings", kApp)
                  .Get("patchkeeper test", "1"),
              "C:\\Ärger.zpk");
    RegDeleteKeyW(HKEY_CURRENT_USER, (app + L"\\patchkeeper test").c_str());
    // The application's key goes too, unless it held the user's own settings before.
    RegDeleteKeyW(HKEY_CURRENT_USER, app.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings");
}

TEST_F(ServicesTest, FindsTheGameInALibraryOfTheSteamFolderTheRegistryNames) {
    const std::string game = folder_ / "Library\\steamapps\\common\\Vexmoor";
    std::filesystem::create_directories(ToUtf16(folder_ / "Steam\\steamapps"));
    std::filesystem::create_directories(ToUtf16(game));
    test::WriteFile(game + "\\VEXMOOR.exe", "");
    // Steam escapes the backslashes of its libraries, and writes its own path with slashes.
    const std::regex backslash(R"(\\)");
    test::WriteFile(folder_ / "Steam\\steamapps\\libraryfolders.vdf",
                    "\"libraryfolders\" { \"1\" { \"path\" \"" +
                        std::regex_replace(folder_ / "Library", backslash, R"(\\)") + "\" } }");
    RegistrySettings(root_, "Valve")
        .Save("Steam", "SteamPath", std::regex_replace(folder_ / "Steam", backslash, "/"));
    EXPECT_EQ(FindGameInSteam(root_), game);
}

}  // namespace
}  // namespace vx::windows
