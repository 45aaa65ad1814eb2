#include "Require.h"
#include "app/PortNumberCheck.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Trimmed of blanks (spaces, tabs), the whole field is an optional plus and digits that make
// 0 to 255; a 0 only without the plus.
PortNumberCheck ModelCheck(const std::string& field) {
    const std::size_t first = std::min(field.find_first_not_of(" \t"), field.size());
    const std::string trimmed = field.substr(first, field.find_last_not_of(" \t") + 1 - first);
    const bool plus = trimmed.starts_with('+');
    const std::string digits = trimmed.substr(plus ? 1 : 0);
    const std::string significant =
        digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
    const bool digitsOnly = !digits.empty() && std::all_of(digits.begin(), digits.end(), IsDigit);
    const int value = !digitsOnly || significant.empty() ? 0 : std::stoi(significant.substr(0, 4));
    if (!digitsOnly || value > 255 || (plus && value == 0)) {
        return {std::nullopt, kNotAByteMessage};
    }
    const auto number = static_cast<std::uint8_t>(value);
    return {number, number == 0 ? RangeMessage(1, 255) : std::string()};
}

// atoi's reading of the whole field, low 8 bits.
std::uint8_t ModelPort(const std::string& field) {
    std::size_t i = 0;
    while (i < field.size() && std::isspace(static_cast<unsigned char>(field[i]))) {
        ++i;
    }
    const bool negative = i < field.size() && field[i] == '-';
    i += i < field.size() && (field[i] == '-' || field[i] == '+') ? 1 : 0;
    unsigned value = 0;
    for (; i < field.size() && IsDigit(field[i]); ++i) {
        value = value * 10 + static_cast<unsigned>(field[i] - '0');
    }
    return static_cast<std::uint8_t>(negative ? 0u - value : value);
}

}  // namespace

// The port field's text, which ends at its first zero byte as the edit field's does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string field(input.substr(0, input.find('\0')));
    const PortNumberCheck check = CheckPortNumber(input);
    const PortNumberCheck model = ModelCheck(field);
    Require(check.number == model.number && check.message == model.message, "port check");
    Require(PortNumberFromText(input) == ModelPort(field), "port number");
    return 0;
}
