#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/qt/CommandLine.h"

namespace vx::qt {
namespace {

// The status, then what went to stdout and to stderr.
std::tuple<std::optional<int>, std::string, std::string> Start(
    std::vector<const char*> args, const std::map<std::string, std::string>& variables) {
    args.insert(args.begin(), "vexmoor-patchkeeper");
    std::ostringstream out;
    std::ostringstream err;
    const std::optional<int> status = HandleCommandLine(
        {const_cast<char* const*>(args.data()), args.size()},
        [&](const char* name) {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        },
        out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLineTest, AnswersVersionAndRefusesToStartWithoutADisplay) {
    const auto [status, out, err] = Start({"--version"}, {});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::regex_match(out, std::regex("Vexmoor Patchkeeper \\d+\\.\\d+\\.\\d+\n")))
        << out;

    const auto [noDisplay, nothing, complaint] = Start({}, {{"DISPLAY", ""}});
    EXPECT_EQ(noDisplay, 1);
    EXPECT_TRUE(std::regex_match(complaint, std::regex("[^\n]+\n"))) << complaint;

    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        EXPECT_EQ(std::get<0>(Start({}, {{variable, ":1"}})), std::nullopt) << variable;
    }
    EXPECT_EQ(std::get<0>(Start({"-platform", "offscreen"}, {})), std::nullopt);
}

}  // namespace
}  // namespace vx::qt
