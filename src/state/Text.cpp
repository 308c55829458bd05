#include "state/Text.h"

#include <algorithm>
#include <optional>

#include "state/CaseFolding.h"

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

// Not std::tolower: the user's locale has no say in how file names compare.
unsigned char AsciiLower(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 0x20) : byte;
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

// The bytes of FoldCase(text), one at a time, without building the string.
class FoldedBytes {
  public:
    explicit FoldedBytes(std::string_view text) : text_(text) {}

    // The next byte, or nothing at the end.
    std::optional<char> Next() {
        if (at_ == pending_.size()) {
            if (i_ == text_.size()) {
                return std::nullopt;
            }
            pending_.clear();
            at_ = 0;
            const auto lead = static_cast<unsigned char>(text_[i_]);
            if (lead < 0x80) {  // most of a path: no table needed
                pending_ += static_cast<char>(AsciiLower(lead));
                ++i_;
            } else if (const std::optional<Decoded> decoded = DecodeAt(text_, i_)) {
                AppendUtf8(pending_, FoldCodePoint(decoded->codePoint));
                i_ += decoded->length;
            } else {
                pending_ += text_[i_++];
            }
        }
        return pending_[at_++];
    }

  private:
    std::string_view text_;
    std::size_t i_ = 0;
    std::string pending_;  // at most four bytes: no allocation
    std::size_t at_ = 0;
};

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    FoldedBytes bytes(text);
    while (const std::optional<char> byte = bytes.Next()) {
        out += *byte;
    }
    return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    // Compared as they are folded: a path registered thousands of times over is compared
    // with each entry without a string made for either, ASCII byte by byte.
    std::size_t same = 0;
    for (; same < a.size() && same < b.size(); ++same) {
        const auto x = static_cast<unsigned char>(a[same]);
        const auto y = static_cast<unsigned char>(b[same]);
        if (x >= 0x80 || y >= 0x80) {
            break;
        }
        if (AsciiLower(x) != AsciiLower(y)) {
            return false;
        }
    }
    FoldedBytes left(a.substr(same));
    FoldedBytes right(b.substr(same));
    for (;;) {
        const std::optional<char> x = left.Next();
        const std::optional<char> y = right.Next();
        if (x != y) {
            return false;
        }
        if (!x) {
            return true;
        }
    }
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    return text.substr(0, kMark.size()) == kMark ? text.substr(kMark.size()) : text;
}

}  // namespace vx
