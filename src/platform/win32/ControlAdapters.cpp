#include "platform/win32/ControlAdapters.h"

#include <algorithm>
#include <vector>

#include "platform/win32/UiHandles.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"
#include "state/Error.h"

namespace vx::win32 {
namespace {

std::wstring ListText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) {
        throw Error(ERROR_INVALID_INDEX, "The list has no item " + std::to_string(index));
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    return std::wstring(buffer.data(), copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
}

// Holds back the list's drawing while it is filled; draws it once, whole, afterwards.
// Turning drawing back on also makes a hidden window visible, as Windows documents, so a
// hidden list is left alone.
class HeldRedraw {
  public:
    explicit HeldRedraw(HWND list)
        : list_((GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) != 0 ? list : nullptr) {
        if (list_ != nullptr) {
            SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        }
    }
    ~HeldRedraw() {
        if (list_ != nullptr) {
            SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list_, nullptr, TRUE);
        }
    }
    HeldRedraw(const HeldRedraw&) = delete;
    HeldRedraw& operator=(const HeldRedraw&) = delete;
    HeldRedraw(HeldRedraw&&) = delete;
    HeldRedraw& operator=(HeldRedraw&&) = delete;

  private:
    HWND list_;
};

std::string ReadWindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(std::max(length, 0)) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return windows::ToUtf8(
        std::wstring_view(buffer.data(), static_cast<std::size_t>(std::max(copied, 0))));
}

}  // namespace

void WriteWindowText(HWND window, const std::string& text) {
    if (SetWindowTextW(window, windows::ToUtf16(text).c_str()) == FALSE) {
        throw windows::LastError();
    }
}

void Win32Window::Hide() {
    ShowWindow(window_, SW_HIDE);
}

std::string Win32TextBox::Text() const {
    return ReadWindowText(edit_);
}

void Win32TextBox::SetText(const std::string& text) {
    WriteWindowText(edit_, text);
}

void Win32Label::SetCaption(const std::string& caption) {
    WriteWindowText(label_, caption);
}

void Win32ListBox::SetItems(const std::vector<std::string>& items) {
    std::vector<std::wstring> texts;
    texts.reserve(items.size());
    std::size_t characters = 0;
    for (const std::string& item : items) {
        texts.push_back(windows::ToUtf16(item));
        characters += texts.back().size() + 1;
    }
    const HeldRedraw held(list_);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    // Room for every item up front, instead of growing with each one.
    SendMessageW(list_, LB_INITSTORAGE, texts.size(),
                 static_cast<LPARAM>(characters) * static_cast<LPARAM>(sizeof(wchar_t)));
    // Straight to the list box's own procedure: the list is subclassed twice (its tooltip and
    // ours), neither minds an item added, and under Wine each message through that chain cost
    // some 60 microseconds, which made a list of 32,767 take two seconds to fill.
    const auto listProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(list_, GCLP_WNDPROC));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const LRESULT added = CallWindowProcW(listProc, list_, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(texts[i].c_str()));
        if (added == LB_ERR || added == LB_ERRSPACE) {
            throw Error(ERROR_NOT_ENOUGH_MEMORY, "The list cannot take another item", items[i]);
        }
    }
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScrollWidth(texts)), 0);
}

std::string Win32ListBox::Item(int index) const {
    return windows::ToUtf8(ListText(list_, index));
}

int Win32ListBox::SelectedIndex() const {
    const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void Win32ListBox::UpdateScrollWidth() {
    if (list_ == nullptr) {
        return;
    }
    std::vector<std::wstring> texts;
    const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
    for (int i = 0; count != LB_ERR && i < static_cast<int>(count); ++i) {
        texts.push_back(ListText(list_, i));
    }
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScrollWidth(texts)), 0);
}

int Win32ListBox::ScrollWidth(const std::vector<std::wstring>& items) const {
    const WindowDC dc(list_);
    if (dc.Get() == nullptr || items.empty()) {
        return 0;
    }
    const SelectedFont font(dc.Get(),
                            reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::wstring& item : items) {
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), item.c_str(), static_cast<int>(item.size()), &extent);
        widest = std::max(widest, extent.cx);
    }
    // Room for the margin the list leaves on either side of an item.
    return static_cast<int>(widest) + 2 * GetSystemMetrics(SM_CXEDGE);
}

}  // namespace vx::win32
