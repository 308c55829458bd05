#include "platform/win32/ListTooltip.h"

#include <commctrl.h>

namespace vx::win32 {

ListTooltip::~ListTooltip() {
    if (tooltip_ != nullptr) {
        RemoveWindowSubclass(list_, &ListProc, 0);
        DestroyWindow(tooltip_);
    }
}

void ListTooltip::Attach(HWND owner, HWND list) {
    list_ = list;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_ == nullptr) {
        return;  // a list without tips is still a list
    }
    TTTOOLINFOW tool{};
    // The size every version of the common controls accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long paths wrap instead of running off the screen.
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
    SetWindowSubclass(list, &ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ListTooltip::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR /*id*/, DWORD_PTR self) {
    if (message == WM_MOUSEMOVE) {
        auto& tips = *reinterpret_cast<ListTooltip*>(self);
        const LRESULT item = SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam);
        if (item != tips.item_) {
            tips.item_ = item;
            SendMessageW(tips.tooltip_, TTM_POP, 0, 0);
        }
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

bool ListTooltip::OnNotify(NMHDR& header) {
    if (tooltip_ == nullptr || header.hwndFrom != tooltip_ || header.code != TTN_GETDISPINFOW) {
        return false;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(list_, &cursor);
    text_ = TextAt(list_, cursor);
    // Read when the tip is shown; the list may change while it is hidden.
    reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = text_.data();
    return true;
}

std::wstring ListTooltip::TextAt(HWND list, POINT point) {
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit) != 0) {
        return {};  // outside every item
    }
    const WPARAM index = LOWORD(hit);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

}  // namespace vx::win32
