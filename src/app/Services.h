#pragma once

#include "state/Files.h"
#include "state/SettingsStore.h"
#include "state/SystemInfo.h"

namespace vx {

// What the window logic asks of the system it runs on, by concern; one of each per program.
struct Services {
    SettingsStore& settings;
    Files& files;
    SystemInfo& system;
};

}  // namespace vx
