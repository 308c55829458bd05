// Steam's folder from a scratch registry key, the game in a library its file lists.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/win32/RegistrySettings.h"
#include "platform/win32/SteamSearch.h"
#include "platform/win32/Utf.h"
#include "support/TempFolder.h"

namespace vx::win32 {
namespace {

TEST(SteamSearchTest, FindsTheGameInALibraryOfTheSteamFolderTheRegistryNames) {
    const std::string root =
        "Software\\VexmoorPatchkeeperTest\\steam-" + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(FindGameInSteam(root), std::nullopt) << "no Steam";

    vx::test::TempFolder temp;
    const std::string game = temp / "Library\\steamapps\\common\\Vexmoor";
    std::filesystem::create_directories(ToUtf16(temp / "Steam\\steamapps"));
    std::filesystem::create_directories(ToUtf16(game));
    vx::test::WriteFile(game + "\\VEXMOOR.exe", "");
    // Steam escapes the backslashes of its libraries, and writes its own path with slashes.
    std::string library = temp / "Library";
    std::string steam = temp / "Steam";
    for (std::size_t at = 0; (at = library.find('\\', at)) != std::string::npos; at += 2) {
        library.insert(at, 1, '\\');
    }
    std::replace(steam.begin(), steam.end(), '\\', '/');
    vx::test::WriteFile(temp / "Steam\\steamapps\\libraryfolders.vdf",
                        "\"libraryfolders\" { \"1\" { \"path\" \"" + library + "\" } }");
    RegistrySettings(root).Save("Valve", "Steam", "SteamPath", steam);

    EXPECT_EQ(FindGameInSteam(root), game);
    RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root).c_str());
}

}  // namespace
}  // namespace vx::win32
