#include "Text.h"

namespace vx {
namespace {

char32_t LowerCodePoint(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return c + 0x20;  // ASCII and Latin-1
    }
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        // Latin Extended-A pairs; the block shifts parity at 0x139 and again at 0x178.
        if (c == 0x178) {
            return 0xFF;
        }
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool isUpper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
        return isUpper ? c + 1 : c;
    }
    if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2)) {
        return c + 0x20;  // Greek
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;  // Cyrillic basic
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;  // Cyrillic with marks
    }
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string ToLower(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out += static_cast<char>(b0 >= 'A' && b0 <= 'Z' ? b0 + 0x20 : b0);
            ++i;
            continue;
        }
        // Only two-byte sequences hold letters that change; everything else is copied.
        if ((b0 & 0xE0) == 0xC0 && i + 1 < text.size() &&
            (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            const char32_t c = (static_cast<char32_t>(b0 & 0x1F) << 6) |
                               (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            if (c >= 0x80) {
                AppendUtf8(out, LowerCodePoint(c));
                i += 2;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return ToLower(a) == ToLower(b);
}

}  // namespace vx
