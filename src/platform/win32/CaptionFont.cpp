#include "platform/win32/CaptionFont.h"

#include <cstdlib>

#include "platform/win32/Dpi.h"

namespace vx::win32 {

bool CaptionFits(HDC dc, const CaptionBox& box, UINT dpi) {
    TEXTMETRICW metrics{};
    SIZE extent{};
    if (GetTextMetricsW(dc, &metrics) == FALSE ||
        GetTextExtentPoint32W(dc, box.text.c_str(), static_cast<int>(box.text.size()), &extent) ==
            FALSE) {
        return false;
    }
    switch (box.fit) {
        case CaptionFit::Label:
            return extent.cx <= box.width && metrics.tmHeight <= box.height;
        case CaptionFit::Button:
            // Leading above the letters may be cut; the letters themselves may not.
            return extent.cx + ScaleFrom96(8, dpi) <= box.width &&
                   metrics.tmHeight - metrics.tmInternalLeading + ScaleFrom96(4, dpi) <= box.height;
        case CaptionFit::Edit:
            return metrics.tmHeight + 2 * SystemMetricForDpi(SM_CYEDGE, dpi) <= box.height;
    }
    return false;
}

UniqueFont CreateFittingFont(LOGFONTW font, std::span<const CaptionBox> boxes, UINT dpi) {
    const WindowDC screen(nullptr);
    const int smallest = ScaleFrom96(8, dpi);
    UniqueFont created(CreateFontIndirectW(&font));
    while (created && std::abs(font.lfHeight) > smallest) {
        bool fits = true;
        {
            const SelectedFont selected(screen.Get(), created.Get());
            for (const CaptionBox& box : boxes) {
                fits = fits && CaptionFits(screen.Get(), box, dpi);
            }
        }
        if (fits) {
            break;
        }
        font.lfHeight += font.lfHeight < 0 ? 1 : -1;
        created.Reset(CreateFontIndirectW(&font));
    }
    return created;
}

}  // namespace vx::win32
