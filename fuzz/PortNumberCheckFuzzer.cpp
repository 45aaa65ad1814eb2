#include "Require.h"
#include "app/PortNumberCheck.h"

#include <cctype>
#include <regex>
#include <string>

namespace {

// Blanks, an optional plus, digits and blanks, in the field's first 31 characters.
PortNumberCheck ModelCheck(const std::string& field) {
    static const std::regex kByte("[ \t]*(\\+?)0*([0-9]{1,3})[ \t]*");
    std::smatch match;
    const std::string examined = field.substr(0, 31);
    if (!std::regex_match(examined, match, kByte) || std::stoi(match[2]) > 255 ||
        (std::stoi(match[2]) == 0 && match[1].length() > 0)) {
        return {std::nullopt, kNotAByteMessage};
    }
    const auto number = static_cast<std::uint8_t>(std::stoi(match[2]));
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
    for (; i < field.size() && std::isdigit(static_cast<unsigned char>(field[i])); ++i) {
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
