#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "platform/win32/UiHandles.h"

namespace vx::win32 {

enum class CaptionFit {
    Label,   // the text as drawn, no border
    Button,  // the text inside the button's border and focus frame
    Edit     // one line of text inside the sunken border; the width scrolls
};

// A control's caption and the pixels it has to fit in.
struct CaptionBox {
    std::wstring text;
    int width;
    int height;
    CaptionFit fit;
};

// Whether `box` shows its caption whole in the font selected into `dc`.
bool CaptionFits(HDC dc, const CaptionBox& box, UINT dpi);

// `font`, made smaller a pixel at a time until every caption fits its box. The layout's sizes
// are fixed, so a large system font would otherwise cut captions off.
UniqueFont CreateFittingFont(LOGFONTW font, std::span<const CaptionBox> boxes, UINT dpi);

}  // namespace vx::win32
