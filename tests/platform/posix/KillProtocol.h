#pragma once

#include <string>
#include <string_view>

// What the kill driver and the kill test say to each other. The driver writes one line per
// event to its standard output, unbuffered, so that the test knows how far it got.
namespace vx::test::kill {

inline constexpr std::string_view kReady = "ready";    // about to start the timed operation
inline constexpr std::string_view kDone = "done";      // the operation returned
inline constexpr std::string_view kSaved = "saved ";   // followed by the round just saved
inline constexpr std::string_view kFailed = "error ";  // followed by the failure's text

// The value the save mode writes in round `round`; its length changes from round to round,
// so that a torn file could not pass for a whole one.
inline std::string SaveValue(int round) {
    return "/archives/round " + std::to_string(round) + "/" +
           std::string(static_cast<std::size_t>(round % 61), 'v') + ".zpk";
}

}  // namespace vx::test::kill
