#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "state/Error.h"

namespace vx::test {

// The vx::Error that `action` throws, or nullopt when it returns.
template <typename Action>
std::optional<Error> FailureOf(Action&& action) {
    try {
        action();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

// The vx::Error that `action` must throw; the test fails when it returns.
template <typename Action>
Error ErrorOf(Action&& action) {
    if (auto error = FailureOf(action)) {
        return *error;
    }
    ADD_FAILURE() << "no vx::Error was thrown";
    return Error(0, "no error");
}

}  // namespace vx::test
