#pragma once

#include <cstdint>
#include <span>

namespace vx {

// Code points first..last, every `step`-th one, fold to themselves plus `delta`.
struct FoldingRun {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::uint8_t step;
};

// Unicode's simple case folding, sorted by `first`; generated, see CaseFolding.cpp.
extern const std::span<const FoldingRun> kCaseFoldingRuns;

}  // namespace vx
