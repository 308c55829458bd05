#pragma once

#include <windows.h>

#include "platform/windows-services/Handle.h"

// Owners for the GDI and user handles the windows make, and short-lived borrowings of them.
namespace vx::win32 {

struct FontTraits {
    using Value = HFONT;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { DeleteObject(value); }
};

struct IconTraits {
    using Value = HICON;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { DestroyIcon(value); }
};

using UniqueFont = windows::Unique<FontTraits>;  // CreateFontIndirectW
using UniqueIcon = windows::Unique<IconTraits>;  // LoadImageW without LR_SHARED

// A device context borrowed from a window (or the screen for nullptr) for measuring text.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&&) = delete;
    WindowDC& operator=(WindowDC&&) = delete;
    ~WindowDC() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects a font into a device context for one scope and puts the old one back.
class SelectedFont {
  public:
    SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(SelectObject(dc, font)) {}
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;
    SelectedFont(SelectedFont&&) = delete;
    SelectedFont& operator=(SelectedFont&&) = delete;
    ~SelectedFont() {
        if (old_ != nullptr) {
            SelectObject(dc_, old_);
        }
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace vx::win32
