#include "state/TemporaryName.h"

namespace vx {
namespace {

constexpr std::size_t kHexDigits = 16;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string TemporaryName(std::uint64_t random) {
    std::string name(kTemporaryPrefix);
    for (std::size_t digit = kHexDigits; digit-- > 0;) {
        name += "0123456789abcdef"[(random >> (4 * digit)) & 0xF];
    }
    return name + std::string(kTemporarySuffix);
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kHexDigits + kTemporarySuffix.size() ||
        !name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
        return false;
    }
    for (char c : name.substr(kTemporaryPrefix.size(), kHexDigits)) {
        if (!IsHexDigit(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace vx
