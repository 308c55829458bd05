#pragma once

#include "state/PlatformServices.h"

namespace vx {

// Holds one event's settings saves back until Commit stores them in one write; whatever is
// not committed when the event ends, by a failure or an early return, is forgotten, so that
// an event changes the store whole or not at all.
class SettingsBatch {
  public:
    explicit SettingsBatch(PlatformServices& platform) : platform_(platform) {
        platform_.BeginSettingsBatch();
    }
    ~SettingsBatch() { platform_.EndSettingsBatch(); }
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;
    SettingsBatch(SettingsBatch&&) = delete;
    SettingsBatch& operator=(SettingsBatch&&) = delete;

    void Commit() { platform_.CommitSettings(); }

  private:
    PlatformServices& platform_;
};

}  // namespace vx
