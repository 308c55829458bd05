#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/windows-services/Handle.h"

// One running program per user session: the first start holds a named mutex for its whole
// life, and a later start brings the first's window forward and ends. Windows closes the
// mutex with its program however that ends, so a program killed outright stops no later start.
namespace vx::windows {

class SingleInstance final {
  public:
    // Takes the mutex named `mutexName`; the first program's windows are of `windowClasses`.
    SingleInstance(const std::string& mutexName, std::vector<std::wstring> windowClasses);

    // Whether no other program holds the mutex. A mutex that cannot be made for any other
    // reason than that keeps nobody from starting.
    bool IsFirst() const { return first_; }

    // As a later start: brings the first's shown window forward, restored if it was
    // minimised; whether one was found.
    bool AskFirstToRaise() const;

  private:
    UniqueKernelObject mutex_;
    bool first_ = true;
    std::vector<std::wstring> windowClasses_;
};

}  // namespace vx::windows
