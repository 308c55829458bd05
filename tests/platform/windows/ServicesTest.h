// What every services test stands on: a scratch folder holding a live archive and a mod, a
// scratch registry key, and the real services over both with file steps that fail on request.
#pragma once

#include <gmock/gmock.h>
#include <windows.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "app/Services.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/RegistrySettings.h"
#include "platform/windows/Utf.h"
#include "platform/windows/Win32Error.h"
#include "platform/windows/Win32Files.h"
#include "platform/windows/Win32SystemInfo.h"
#include "state/SettingsLayout.h"
#include "support/Failure.h"
#include "support/RecordingProgress.h"
#include "support/TempFolder.h"

namespace vx::windows {

using Names = std::vector<std::string>;
enum class Step { None, Copy, Flush, Move };

// Which of the system's steps fails, how and how often: the copy and the flush after doing
// their work (a complete temporary file is left to clean up), the rename instead.
// `meanwhile` runs as the chosen step is reached.
struct Fault {
    Step at = Step::None;
    DWORD failure = ERROR_DISK_FULL;
    int failures = INT_MAX;
    std::function<void()> meanwhile;

    static Fault At(Step step) { return {step, ERROR_DISK_FULL, INT_MAX, {}}; }
};

struct FaultySteps : FileSteps {
    void Copy(const std::wstring& source, const std::wstring& target, bool unbuffered,
              CopyProgress& progress) override {
        FileSteps::Copy(source, target, unbuffered, progress);
        Reached(Step::Copy);
    }
    void Flush(const std::wstring& file) override {
        FileSteps::Flush(file);
        Reached(Step::Flush);
    }
    void Move(const std::wstring& from, const std::wstring& to, bool replace) override {
        Reached(Step::Move);
        FileSteps::Move(from, to, replace);
    }
    void Reached(Step step) {
        if (step == fault.at && fault.meanwhile) {
            fault.meanwhile();
        }
        if (step == fault.at && fault.failures-- > 0) {
            throw SystemError(fault.failure);
        }
    }

    Fault fault;
};

class ServicesTest : public ::testing::Test {
  protected:
    ServicesTest() {
        test::WriteFile(live_, "the game's own archive");
        test::WriteFile(mod_, modBytes_);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, ToUtf16(root_).c_str()); }

    test::TempFolder folder_;
    std::string live_ = folder_ / "patch_vx.zpk";
    std::string mod_ = folder_ / "mod-ä.zpk";
    std::string modBytes_ = std::string("mod\0\r\n", 6) + std::string(1 << 20, 'm') + "end";
    std::string root_ = "Software\\VexmoorPatchkeeperTest-" + std::to_string(GetCurrentProcessId());
    FaultySteps steps_;
    test::RecordingProgress progress_;
    RegistrySettings settings_{root_, settings::kAppName};
    Win32Files files_{steps_};
    Win32SystemInfo system_;
    Services services_{settings_, files_, system_};
};

}  // namespace vx::windows
