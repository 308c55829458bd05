#pragma once

#include <string>

#include "app/CopyJob.h"
#include "platform/win32/Form.h"

namespace vx::win32 {

// The window a long copy shows over the main window: the archive's name, a bar and the bytes
// copied of the total, and Cancel, greyed once pressed or past stopping. Its close box and
// Esc cancel too; closing it never ends the program, and only its owner destroys it.
class ProgressWindow final : public Form {
  public:
    static constexpr const wchar_t* kClassName = L"VexmoorPatchkeeper.Progress";
    static constexpr int kFirstId = 300;
    static constexpr int IdOf(const layout::Control& control) {
        return IdIn(layout::progress::kTabOrder, kFirstId, control);
    }

    // Creates the window for `job`, hidden, owned by `owner`.
    ProgressWindow(HWND owner, CopyJob& job, const std::string& fileName);

    // Shows what the job has done since the last look.
    void Update();

  private:
    void OnLoad() override {}
    void OnCommand(int id, int notification) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    CopyJob& job_;
    CopyJob::State shown_{-1, -1, false, false};
};

}  // namespace vx::win32
