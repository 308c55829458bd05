#pragma once

#include <windows.h>

// DPI answers that also work where the per-monitor functions are missing (Windows before 10
// 1607, older Wine): there the system DPI stands in for the window's.
namespace vx::win32 {

inline constexpr UINT kDefaultDpi = 96;

UINT SystemDpi();
UINT WindowDpi(HWND window);

// A length in pixels at 96 DPI, scaled to `dpi`.
int ScaleFrom96(int pixels, UINT dpi);

int TwipsToPixels(int twips, UINT dpi);

int SystemMetricForDpi(int index, UINT dpi);

// The outer size of a window whose client area is width x height pixels.
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

// The font the system uses for message boxes, sized for `dpi`.
LOGFONTW MessageFontForDpi(UINT dpi);

}  // namespace vx::win32
