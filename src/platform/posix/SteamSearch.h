#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vx::posix {

// The game's folder in the player's Steam libraries, looking under `home` in the places the
// Debian, Flatpak and Snap packages of Steam keep it (a library on an SD card or another
// disk is found through the libraries file); nullopt when the game is in none of them.
std::optional<std::string> FindGameInSteam(const std::filesystem::path& home);

}  // namespace vx::posix
