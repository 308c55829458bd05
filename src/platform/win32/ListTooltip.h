#pragma once

#include <windows.h>

#include <string>

namespace vx::win32 {

// A tooltip over a list box that shows the whole text of the item under the mouse, for
// paths longer than the list is wide.
class ListTooltip {
  public:
    ListTooltip() = default;
    ListTooltip(const ListTooltip&) = delete;
    ListTooltip& operator=(const ListTooltip&) = delete;
    ListTooltip(ListTooltip&&) = delete;
    ListTooltip& operator=(ListTooltip&&) = delete;
    ~ListTooltip();

    // Creates the tooltip for `list`, whose parent `owner` passes on its notifications.
    void Attach(HWND owner, HWND list);
    // Answers the tooltip's request for its text; false for any other notification.
    bool OnNotify(NMHDR& header);

    // The text of the item of `list` at `point` (in the list's client coordinates); empty
    // where there is none.
    static std::wstring TextAt(HWND list, POINT point);

  private:
    // Watches the mouse over the list: a tip shown for one item is taken down when the mouse
    // moves on to another, so that the next one asks for that item's text.
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);

    HWND tooltip_ = nullptr;
    HWND list_ = nullptr;
    LRESULT item_ = -1;  // what LB_ITEMFROMPOINT last said for the mouse
    std::wstring text_;
};

}  // namespace vx::win32
