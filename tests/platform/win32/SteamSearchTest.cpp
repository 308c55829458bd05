// Steam's folder from a scratch registry key, the game in a library its file lists.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "platform/win32/RegistrySettings.h"
#include "platform/win32/SteamSearch.h"
#include "platform/win32/Utf.h"

namespace vx::win32 {
namespace {

TEST(SteamSearchTest, FindsTheGameInALibraryOfTheSteamFolderTheRegistryNames) {
    const std::string root =
        "Software\\VexmoorPatchkeeperTest\\steam-" + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(FindGameInSteam(root), std::nullopt) << "no Steam";

    test::TempFolder temp;
    const std::string game = temp / "Library\\steamapps\\common\\Vexmoor";
    std::filesystem::create_directories(ToUtf16(temp / "Steam\\steamapps"));
    std::filesystem::create_directories(ToUtf16(game));
    test::WriteBytes(game + "\\VEXMOOR.exe", "");
    std::string library;  // escaped, as Steam writes it
    for (const char c : temp / "Library") {
        library += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    test::WriteBytes(temp / "Steam\\steamapps\\libraryfolders.vdf",
                     "\"libraryfolders\" { \"1\" { \"path\" \"" + library + "\" } }");
    // Steam writes its own path with forward slashes.
    std::string steam = temp / "Steam";
    std::replace(steam.begin(), steam.end(), '\\', '/');
    RegistrySettings(root).Save("Valve", "Steam", "SteamPath", steam);

    EXPECT_EQ(FindGameInSteam(root), game);
    RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root).c_str());
}

}  // namespace
}  // namespace vx::win32
