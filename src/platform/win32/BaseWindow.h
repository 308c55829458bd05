#pragma once

#include <windows.h>

namespace vx::win32 {

// Routes a window's messages to Derived::HandleMessage. The object is attached when the window
// is created (lpParam of CreateWindowExW is the object) and detached before it is destroyed,
// so no message reaches an object that is being torn down.
template <class Derived>
class BaseWindow {
  public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;
    BaseWindow(BaseWindow&&) = delete;
    BaseWindow& operator=(BaseWindow&&) = delete;

    HWND Handle() const { return hwnd_; }

  protected:
    ~BaseWindow() {
        if (hwnd_ != nullptr) {
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<Derived*>(
                reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        return self->HandleMessage(message, wParam, lParam);
    }

  private:
    HWND hwnd_ = nullptr;
};

}  // namespace vx::win32
