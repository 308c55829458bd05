#include "state/CountText.h"

#include <charconv>
#include <cmath>
#include <string>

#include "state/Error.h"

namespace vx {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Accepts [sign] digits [separator digits] [e [sign] digits], with at least one digit
// before the exponent, and rewrites it with '.' as the separator for from_chars.
bool Normalise(std::string_view text, char decimalSeparator, std::string& out) {
    std::size_t i = 0;
    auto take = [&](auto pred) {
        std::size_t start = i;
        while (i < text.size() && pred(text[i])) {
            out += text[i++];
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            out += '-';
        }
        ++i;
    }
    std::size_t digits = take(IsDigit);
    if (i < text.size() && text[i] == decimalSeparator) {
        out += '.';
        ++i;
        digits += take(IsDigit);
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            out += text[i++];
        }
        if (take(IsDigit) == 0) {
            return false;
        }
    }
    return i == text.size();
}

}  // namespace

Error BadCountError(std::string_view text) {
    return Error(kErrorTypeMismatch, "Type mismatch: the stored mod count \"" + std::string(text) +
                                         "\" is not a number of mods");
}

std::int16_t ParseCount(std::string_view text, char decimalSeparator) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    std::string number;
    double value = 0;
    const bool isNumber = Normalise(text, decimalSeparator, number);
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (!isNumber || (result.ec != std::errc{} && result.ec != std::errc::result_out_of_range)) {
        throw BadCountError(text);
    }
    if (result.ec == std::errc::result_out_of_range) {
        // Too large in magnitude, or too small to tell from zero.
        const auto exponent = number.find_first_of("eE");
        const bool tiny = exponent != std::string::npos && number[exponent + 1] == '-';
        const bool negative = number.front() == '-';
        value = tiny ? (negative ? -0.5 : 0.0) : (negative ? -HUGE_VAL : HUGE_VAL);
    }
    const double whole = std::floor(value);
    if (whole < -32768.0 || whole > 32767.0) {
        throw Error(kErrorOverflow,
                    "Overflow: the stored mod count \"" + std::string(text) + "\" is out of range");
    }
    return static_cast<std::int16_t>(whole);
}

}  // namespace vx
