#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "state/CopyProgress.h"

namespace vx::test {

// Records what a copy reports, and stops it at the first report of `stopFrom` bytes or more.
struct RecordingProgress : CopyProgress {
    std::int64_t stopFrom = std::numeric_limits<std::int64_t>::max();
    std::vector<std::int64_t> done;
    std::int64_t total = -1;
    bool finishing = false;
    bool Copied(std::int64_t bytes, std::int64_t of) override {
        done.push_back(bytes);
        total = of;
        return bytes < stopFrom;
    }
    void Finishing() override { finishing = true; }
};

}  // namespace vx::test
