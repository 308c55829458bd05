#pragma once

#include <string>
#include <string_view>

#include "app/Controls.h"

namespace vx::win32 {

// "Description | pattern | ..." as GetOpenFileNameW wants it: each part trimmed of spaces and
// ended by a NUL, the whole ended by a second NUL. A description without a pattern is dropped.
std::wstring ToFilterList(std::string_view filter);

// The system's open-file dialog. The chosen name is kept for the next showing, where the
// dialog starts; a cancelled dialog leaves the name empty, so a cancel never adds anything.
class Win32OpenFileDialog : public OpenFileDialog {
  public:
    void SetFlags(unsigned flags) override { flags_ = flags; }
    void SetFilter(const std::string& filter) override { filter_ = ToFilterList(filter); }
    void ShowOpen() override;
    std::string FileName() const override { return fileName_; }

  private:
    unsigned flags_ = 0;
    std::wstring filter_;
    std::string fileName_;
};

}  // namespace vx::win32
