#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/qt/CommandLine.h"

namespace vx::qt {
namespace {

struct Outcome {
    std::optional<int> status;
    std::string out;
    std::string err;
};

Outcome Start(std::vector<std::string> args, const std::map<std::string, std::string>& variables) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    const auto environment = [&](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
    const std::optional<int> status = HandleCommandLine(argv, environment, out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLineTest, AnswersVersionAndRefusesToStartWithoutADisplay) {
    const Outcome version = Start({"p", "--version"}, {});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(
        std::regex_match(version.out, std::regex("Vexmoor Patchkeeper \\d+\\.\\d+\\.\\d+\n")))
        << version.out;

    const Outcome headless = Start({"p"}, {{"DISPLAY", ""}});
    EXPECT_EQ(headless.status, 1);
    EXPECT_EQ(std::count(headless.err.begin(), headless.err.end(), '\n'), 1) << headless.err;

    for (const auto& variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        EXPECT_EQ(Start({"p"}, {{variable, ":1"}}).status, std::nullopt) << variable;
    }
    EXPECT_EQ(Start({"p", "-platform", "offscreen"}, {}).status, std::nullopt);
}

}  // namespace
}  // namespace vx::qt
