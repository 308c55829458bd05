#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

// How hard the long-running tests work: defaults that keep a run short, raised by a
// developer through the environment.
namespace vx::test {

inline std::int64_t EnvNumber(const char* name, std::int64_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    return end != nullptr && *end == '\0' ? value : fallback;
}

// VX_SEED, else a fixed seed, so that a run repeats unless asked otherwise.
inline std::uint64_t Seed() {
    return static_cast<std::uint64_t>(EnvNumber("VX_SEED", 20240611));
}

}  // namespace vx::test
