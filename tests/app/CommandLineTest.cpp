#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

struct ParseCase {
    std::vector<std::string> args;
    Action action;
    std::string what;
    std::vector<std::string> command;
    std::vector<std::string> toolkit;
    bool usageError = false;
};

TEST(CommandLineTest, ParsesEachFormAndRefusesBadUsage) {
    const std::vector<ParseCase> cases = {
        {{}, Action::Window, "", {}, {}},
        {{"-platform", "offscreen"}, Action::Window, "", {}, {"-platform", "offscreen"}},
        {{"--list"}, Action::List, "", {}, {}},
        {{"--help"}, Action::Help, "", {}, {}},
        {{"--version"}, Action::Version, "", {}, {}},
        {{"--switch", "Shiny Water"}, Action::Switch, "Shiny Water", {}, {}},
        {{"--switch=2"}, Action::Switch, "2", {}, {}},
        {{"--switch", "--list"}, Action::Switch, "--list", {}, {}},
        {{"--switch", "2", "--", "game", "--", "-x"},
         Action::Switch,
         "2",
         {"game", "--", "-x"},
         {}},
        {{"--switch"}, Action::Window, "", {}, {}, true},
        {{"--switch="}, Action::Window, "", {}, {}, true},
        {{"--switch", "2", "--"}, Action::Window, "", {}, {}, true},
        {{"--list", "--", "game"}, Action::Window, "", {}, {}, true},
        {{"--", "game"}, Action::Window, "", {}, {}, true},
        {{"--list", "--switch", "2"}, Action::Window, "", {}, {}, true},
        {{"--list", "extra"}, Action::Window, "", {}, {}, true},
        {{"--lsit"}, Action::Window, "", {}, {}, true},
    };
    for (const ParseCase& c : cases) {
        const std::string shown = ::testing::PrintToString(c.args);
        if (c.usageError) {
            EXPECT_THROW(ParseCommandLine(c.args), UsageError) << shown;
            continue;
        }
        const CommandLine line = ParseCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.what, c.what) << shown;
        EXPECT_EQ(line.command, c.command) << shown;
        EXPECT_EQ(line.toolkit, c.toolkit) << shown;
    }
}

}  // namespace
}  // namespace vx
