#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "app/ErrorReport.h"
#include "state/Error.h"

namespace vx::test {

// The failure `action` raised, or nothing when it raised none.
template <typename Action>
std::optional<Error> FailureOf(Action&& action) {
    try {
        action();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

// What the binding's error box shows for `error` tells the user what went wrong and where:
// the number, the text (by default the system's own for that number) and the path.
inline void ExpectReported(const std::optional<Error>& error, int number, const std::string& path,
                           const std::string& text = {}) {
    ASSERT_TRUE(error) << "no failure was raised";
    const std::string shown = FormatError(*error);
    EXPECT_EQ(error->Number(), number) << shown;
    EXPECT_THAT(shown, ::testing::StartsWith("Error " + std::to_string(number) + ": " +
                                             (text.empty() ? std::strerror(number) : text)));
    EXPECT_THAT(shown, ::testing::EndsWith("\n\n" + path));
}

}  // namespace vx::test
