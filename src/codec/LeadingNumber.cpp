#include "codec/LeadingNumber.h"

#include <algorithm>
#include <limits>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

LeadingNumber ReadLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // One past the largest int's magnitude is the most negative int's.
    constexpr std::int64_t kMagnitudeLimit =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::uint32_t wrapped = 0;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        wrapped = wrapped * 10u + static_cast<std::uint32_t>(digit);
        magnitude = std::min(magnitude * 10 + digit, kMagnitudeLimit);
    }

    LeadingNumber number;
    if (negative) {
        number.wrapped = 0u - wrapped;
        number.saturated = static_cast<std::int32_t>(-magnitude);
    } else {
        number.wrapped = wrapped;
        number.saturated = static_cast<std::int32_t>(std::min(magnitude, kMagnitudeLimit - 1));
    }
    return number;
}
