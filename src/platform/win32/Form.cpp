#include "platform/win32/Form.h"

#include <string>
#include <vector>

#include "app/EventBoundary.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/resource.h"

namespace vx::win32 {
namespace {

// Fixed size: the layout gives every control its place, there is nothing to stretch.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kFormExStyle = 0;

HINSTANCE ThisModule() {
    return GetModuleHandleW(nullptr);
}

void RegisterFormClass(const wchar_t* className, WNDPROC windowProc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(ThisModule(), className, &existing) != FALSE) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
        throw LastError();
    }
}

RECT ControlRect(const layout::Control& place, UINT dpi) {
    const int left = TwipsToPixels(place.left, dpi);
    const int top = TwipsToPixels(place.top, dpi);
    return RECT{left, top, left + TwipsToPixels(place.width, dpi),
                top + TwipsToPixels(place.height, dpi)};
}

}  // namespace

void Form::Create(const wchar_t* className, std::string_view caption, layout::Size clientSize,
                  std::span<const FormControl> controls, bool minimizeBox) {
    style_ = kFormStyle | (minimizeBox ? WS_MINIMIZEBOX : 0);
    clientSize_ = clientSize;
    controls_ = controls;
    RegisterFormClass(className, &BaseWindow<Form>::WindowProc);
    if (CreateWindowExW(kFormExStyle, className, ToUtf16(caption).c_str(), style_, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ThisModule(),
                        static_cast<Form*>(this)) == nullptr) {
        throw LastError();
    }
    for (const FormControl& control : controls_) {
        const HWND child = CreateWindowExW(
            control.exStyle, control.className, ToUtf16(control.place.caption).c_str(),
            WS_CHILD | WS_VISIBLE | control.style, 0, 0, 0, 0, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), ThisModule(), nullptr);
        if (child == nullptr) {
            throw LastError();
        }
    }
    ApplyDpi(WindowDpi(Handle()));
    CentreOnMonitor();
}

void Form::Open() {
    if (!loaded_) {
        loaded_ = true;
        RunEvent(boxes_, [this] { OnLoad(); });
    }
    ShowWindow(Handle(), SW_SHOW);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // After a failure the message counts as handled: the box has told the user, and the
    // default handling could act on a half-done change.
    LRESULT result = 0;
    RunEvent(boxes_, [&] { result = Dispatch(message, wParam, lParam); });
    return result;
}

LRESULT Form::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && lParam == 0) {
                // Enter, passed on by the dialog keys of the message loop. No button is the
                // default: Enter presses the button that has the focus and nothing else.
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(Handle(), focus) &&
                    (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) != 0) {
                    OnCommand(GetDlgCtrlID(focus), BN_CLICKED);
                }
                return 0;
            }
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;

        case WM_ACTIVATE:
            // Like a dialog: the control that had the focus gets it back on return.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(Handle(), focus)) {
                    focus_ = focus;
                }
            }
            break;

        case WM_SETFOCUS: {
            HWND target = focus_;
            if (target == nullptr || !IsWindowVisible(target)) {
                target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
            }
            if (target != nullptr) {
                SetFocus(target);
            }
            return 0;
        }

        case WM_DPICHANGED: {
            ApplyDpi(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }

        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETNONCLIENTMETRICS) {
                ApplyDpi(WindowDpi(Handle()));
            }
            break;

        case WM_DESTROY:
            // Closing either window ends the program, hidden windows or not.
            PostQuitMessage(0);
            return 0;

        default:
            break;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

void Form::ApplyDpi(UINT dpi) {
    std::vector<CaptionBox> boxes;
    for (const FormControl& control : controls_) {
        if (control.fit) {
            boxes.push_back({ToUtf16(control.place.caption),
                             TwipsToPixels(control.place.width, dpi),
                             TwipsToPixels(control.place.height, dpi), *control.fit});
        }
    }
    UniqueFont font = CreateFittingFont(MessageFontForDpi(dpi), boxes, dpi);

    for (const FormControl& control : controls_) {
        const HWND child = Control(control.id);
        const RECT rect = ControlRect(control.place, dpi);
        MoveWindow(child, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    // The controls let go of the old font above; only now may it be deleted.
    font_ = std::move(font);

    const SIZE size =
        WindowSizeForClient(TwipsToPixels(clientSize_.width, dpi),
                            TwipsToPixels(clientSize_.height, dpi), style_, kFormExStyle, dpi);
    SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyIcons(dpi);
    OnFontChanged();
}

void Form::ApplyIcons(UINT dpi) {
    const auto load = [dpi](int widthMetric, int heightMetric) {
        return UniqueIcon(static_cast<HICON>(LoadImageW(
            ThisModule(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
            SystemMetricForDpi(widthMetric, dpi), SystemMetricForDpi(heightMetric, dpi), 0)));
    };
    UniqueIcon big = load(SM_CXICON, SM_CYICON);
    UniqueIcon small = load(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

void Form::CentreOnMonitor() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT window{};
    if (GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor) == FALSE ||
        GetWindowRect(Handle(), &window) == FALSE) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vx::win32
