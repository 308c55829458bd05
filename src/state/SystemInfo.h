#pragma once

#include <string>

namespace vx {

// What else the program learns of the system and the user it runs for.
class SystemInfo {
  public:
    virtual ~SystemInfo() = default;

    // The decimal separator of the user's locale, used to read the stored entry count.
    virtual char DecimalSeparator() const = 0;

    // Today's date where the user is, as YYYY-MM-DD.
    virtual std::string LocalDate() const = 0;

    // What the game-folder box offers before the user types anything.
    virtual std::string SuggestedGameFolder() const = 0;
};

}  // namespace vx
