#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx::windows {

// The game's folder in the player's Steam libraries: Steam's own folder comes from the
// SteamPath value of HKEY_CURRENT_USER\<registryRoot>\Valve\Steam, the others from its
// libraries file; nullopt when Steam or the game is not there.
std::optional<std::string> FindGameInSteam(std::string_view registryRoot = "Software");

}  // namespace vx::windows
