#include "Text.h"

#include <algorithm>
#include <optional>

#include "CaseFolding.h"

namespace vx {
namespace {

char32_t FoldCodePoint(char32_t c) {
    auto run =
        std::upper_bound(kCaseFoldingRuns.begin(), kCaseFoldingRuns.end(), c,
                         [](char32_t value, const FoldingRun& r) { return value < r.first; });
    if (run == kCaseFoldingRuns.begin()) {
        return c;
    }
    --run;
    if (c > run->last || (c - run->first) % run->step != 0) {
        return c;
    }
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->delta);
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

// The code point that starts at `text[i]`, or nothing when the bytes there are not a
// well-formed UTF-8 sequence (overlong forms and surrogates included).
std::optional<Decoded> DecodeAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        return Decoded{lead, 1};
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1FU;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0FU;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07U;
        smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > text.size()) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(byte)) {
            return std::nullopt;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return std::nullopt;
    }
    return Decoded{c, length};
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::optional<Decoded> decoded = DecodeAt(text, i);
        if (!decoded) {
            out += text[i++];
            continue;
        }
        AppendUtf8(out, FoldCodePoint(decoded->codePoint));
        i += decoded->length;
    }
    return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return FoldCase(a) == FoldCase(b);
}

}  // namespace vx
