#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace vx {
namespace {

struct ParseCase {
    std::vector<std::string> args;
    CommandLine expected;
};

TEST(CommandLineTest, ParsesEachFormAndRefusesBadUsage) {
    const std::vector<ParseCase> cases = {
        {{"-platform", "offscreen"}, {Action::Window, "", {}, {"-platform", "offscreen"}}},
        {{"--list"}, {Action::List, "", {}, {}}},
        {{"--help"}, {Action::Help, "", {}, {}}},
        {{"--switch", "Shiny Water"}, {Action::Switch, "Shiny Water", {}, {}}},
        {{"--switch=2"}, {Action::Switch, "2", {}, {}}},
        {{"--switch", "--list"}, {Action::Switch, "--list", {}, {}}},
        {{"--switch", "2", "--", "game", "--", "-x"},
         {Action::Switch, "2", {"game", "--", "-x"}, {}}},
    };
    for (const auto& [args, want] : cases) {
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(std::tie(line.action, line.what, line.command, line.toolkit),
                  std::tie(want.action, want.what, want.command, want.toolkit))
            << ::testing::PrintToString(args);
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--switch"},
                                               {"--switch="},
                                               {"--switch", "2", "--"},
                                               {"--list", "--", "game"},
                                               {"--", "game"},
                                               {"--list", "--switch", "2"},
                                               {"--list", "extra"},
                                               {"--lsit"}}) {
        EXPECT_THROW(ParseCommandLine(args), UsageError) << ::testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace vx
