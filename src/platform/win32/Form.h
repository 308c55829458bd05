#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

#include "app/Controls.h"
#include "app/Layout.h"
#include "platform/win32/BaseWindow.h"
#include "platform/win32/CaptionFont.h"
#include "platform/win32/MessageBoxes.h"
#include "platform/win32/UiHandles.h"

namespace vx::win32 {

// What kind of child window a control is; where it sits comes from the layout.
struct ControlKind {
    const wchar_t* className;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    std::optional<CaptionFit> fit;  // how its caption must fit, if it has one
};

// One child control of a form: where the layout puts it, its id and its kind.
struct FormControl {
    layout::Control place;
    int id;
    ControlKind kind;
};

// The id of `control` on a form whose first control in `tabOrder` has `firstId`: its place in
// the order Tab walks them counts on from there. A control not in `tabOrder` does not compile.
template <std::size_t N>
constexpr int IdIn(const std::array<layout::Control, N>& tabOrder, int firstId,
                   const layout::Control& control) {
    for (std::size_t i = 0; i < N; ++i) {
        if (tabOrder[i].name == control.name) {
            return firstId + static_cast<int>(i);
        }
    }
    throw std::logic_error("the control is not in the tab order");
}

// A form's controls in the order of `tabOrder`, which is the order they are made in and the
// order Tab walks them, each with its id from IdIn and its kind from `kindOf`.
template <std::size_t N>
constexpr std::array<FormControl, N> InTabOrder(const std::array<layout::Control, N>& tabOrder,
                                                int firstId,
                                                ControlKind (*kindOf)(const layout::Control&)) {
    std::array<FormControl, N> controls{};
    for (std::size_t i = 0; i < N; ++i) {
        controls[i] = {tabOrder[i], IdIn(tabOrder, firstId, tabOrder[i]), kindOf(tabOrder[i])};
    }
    return controls;
}

// How a form's controls follow it as it grows; nullptr for a form of fixed size.
using GrowthRule = layout::Growth (*)(const layout::Control&);

// A top-level window laid out in twips: it sizes itself and its controls for the
// DPI of the monitor it is on, uses the system's message font, keeps the keyboard focus on
// its controls, and ends the program's message loop when the user closes it. Its load step
// runs when it is first opened. Its boxes, failures included, are owned by it.
class Form : public BaseWindow<Form> {
  public:
    virtual ~Form() = default;

    // Shows the window, running the load step first the first time. A failing load is
    // reported and the window still opens.
    void Open();
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }

  protected:
    Form() = default;
    MessageBoxes& Boxes() { return boxes_; }

    // Creates the window, hidden and centred on its monitor (over its `owner` while that
    // shows), and its controls in the order of `controls`, which is the order Tab walks them.
    // Throws vx::Error when Windows refuses. Without a minimize box the title bar has one
    // button only, which leaves a narrow window room for a long caption. A form with a growth
    // rule can be resized and maximized, down to its laid-out client size, the smallest.
    void Create(const wchar_t* className, std::string_view caption, layout::Size clientSize,
                std::span<const FormControl> controls, bool minimizeBox,
                GrowthRule growth = nullptr, HWND owner = nullptr);

    virtual void OnLoad() = 0;
    // The one place where a form learns that a control was used.
    virtual void OnCommand(int id, int notification) = 0;
    virtual void OnFontChanged() {}
    // A message the form itself does not handle; answers whether it was handled here (a
    // handled WM_SETCURSOR has set the cursor).
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }

  private:
    friend class BaseWindow<Form>;

    // Runs Dispatch through the event boundary: an exception must never unwind through
    // Windows' message dispatch.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyDpi(UINT dpi);
    void PlaceControls();
    SIZE SmallestWindowSize() const;
    void ApplyIcons(UINT dpi);
    void Centre();

    Win32MessageBoxes boxes_;
    bool loaded_ = false;
    DWORD style_ = 0;
    layout::Size clientSize_{};
    GrowthRule growth_ = nullptr;
    UINT dpi_ = 0;  // zero until the controls exist
    std::span<const FormControl> controls_;
    UniqueFont font_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    HWND focus_ = nullptr;
};

}  // namespace vx::win32
