#include "platform/win32/Form.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/EventBoundary.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/resource.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"

namespace vx::win32 {
namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kGrowingStyle = WS_THICKFRAME | WS_MAXIMIZEBOX;
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
    // A form that grows moves its controls: what they covered before must be painted anew.
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
        throw windows::LastError();
    }
}

}  // namespace

void Form::Create(const wchar_t* className, std::string_view caption, layout::Size clientSize,
                  std::span<const FormControl> controls, bool minimizeBox, GrowthRule growth,
                  HWND owner) {
    style_ = kFormStyle | (minimizeBox ? WS_MINIMIZEBOX : 0) | (growth ? kGrowingStyle : 0);
    growth_ = growth;
    clientSize_ = clientSize;
    controls_ = controls;
    RegisterFormClass(className, &BaseWindow<Form>::WindowProc);
    if (CreateWindowExW(kFormExStyle, className, windows::ToUtf16(caption).c_str(), style_,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                        ThisModule(), static_cast<Form*>(this)) == nullptr) {
        throw windows::LastError();
    }
    boxes_.Attach(Handle());
    for (const FormControl& control : controls_) {
        const HWND child = CreateWindowExW(
            control.kind.exStyle, control.kind.className,
            windows::ToUtf16(control.place.caption).c_str(),
            WS_CHILD | WS_VISIBLE | control.kind.style, 0, 0, 0, 0, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), ThisModule(), nullptr);
        if (child == nullptr) {
            throw windows::LastError();
        }
    }
    ApplyDpi(WindowDpi(Handle()));
    Centre();
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
            // A grown window keeps its size on the new monitor, as Windows scaled it; a fixed
            // one has just been sized for the new DPI.
            SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         (growth_ ? 0 : SWP_NOSIZE) | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }

        case WM_GETMINMAXINFO:
            if (dpi_ != 0) {
                const SIZE smallest = SmallestWindowSize();
                reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {smallest.cx, smallest.cy};
                return 0;
            }
            break;

        case WM_SIZE:
            // Minimized, the client area is empty: the controls stay where they were.
            if (wParam != SIZE_MINIMIZED) {
                PlaceControls();
            }
            break;

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
            if (OnMessage(message, wParam, lParam)) {
                return message == WM_SETCURSOR ? TRUE : 0;  // TRUE: no other cursor is set
            }
            break;
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

void Form::ApplyDpi(UINT dpi) {
    std::vector<CaptionBox> boxes;
    for (const FormControl& control : controls_) {
        if (control.kind.fit) {
            boxes.push_back({windows::ToUtf16(control.place.caption),
                             TwipsToPixels(control.place.width, dpi),
                             TwipsToPixels(control.place.height, dpi), *control.kind.fit});
        }
    }
    UniqueFont font = CreateFittingFont(MessageFontForDpi(dpi), boxes, dpi);

    for (const FormControl& control : controls_) {
        SendMessageW(Control(control.id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }
    // The controls let go of the old font above; only now may it be deleted.
    font_ = std::move(font);

    // The first time, and always for a fixed form, the laid-out size; a form that has grown
    // keeps its size when only the font changes, down to the laid-out size at the new DPI.
    const bool first = dpi_ == 0;
    dpi_ = dpi;
    SIZE size = SmallestWindowSize();
    RECT window{};
    if (growth_ != nullptr && !first && GetWindowRect(Handle(), &window) != FALSE) {
        size.cx = std::max(size.cx, window.right - window.left);
        size.cy = std::max(size.cy, window.bottom - window.top);
    }
    SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls();
    ApplyIcons(dpi);
    OnFontChanged();
}

SIZE Form::SmallestWindowSize() const {
    return WindowSizeForClient(TwipsToPixels(clientSize_.width, dpi_),
                               TwipsToPixels(clientSize_.height, dpi_), style_, kFormExStyle, dpi_);
}

void Form::PlaceControls() {
    RECT client{};
    if (dpi_ == 0 || GetClientRect(Handle(), &client) == FALSE) {
        return;
    }
    const int dpi = static_cast<int>(dpi_);
    const layout::Size extra{
        std::max(0, static_cast<int>(client.right) - TwipsToPixels(clientSize_.width, dpi_)),
        std::max(0, static_cast<int>(client.bottom) - TwipsToPixels(clientSize_.height, dpi_))};
    for (const FormControl& control : controls_) {
        const layout::Growth growth = growth_ ? growth_(control.place) : layout::Growth::None;
        const layout::Rect rect = layout::PlaceGrown(control.place, growth, dpi, extra);
        MoveWindow(Control(control.id), rect.left, rect.top, rect.width, rect.height, TRUE);
    }
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

void Form::Centre() {
    const HWND owner = GetWindow(Handle(), GW_OWNER);
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) != FALSE;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT window{};
    if (GetMonitorInfoW(MonitorFromWindow(overOwner ? owner : Handle(), MONITOR_DEFAULTTONEAREST),
                        &monitor) == FALSE ||
        GetWindowRect(Handle(), &window) == FALSE) {
        return;
    }
    RECT work = monitor.rcWork;
    if (overOwner) {
        GetWindowRect(owner, &work);
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vx::win32
