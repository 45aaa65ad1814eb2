#pragma once

#include <cstdint>
#include <string_view>

// The decimal number at the start of a text, read as the C library's atoi reads it: white
// space skipped, an optional sign, then digits up to the first other character; no digits
// give 0. atoi leaves a number beyond an int undefined, so both sound readings are given and
// each caller takes the one it needs.
struct LeadingNumber {
    // The number modulo 2^32, a negative one in two's complement: its low bits are exact
    // however many digits there are.
    std::uint32_t wrapped = 0;
    // The number held within the range of an int.
    std::int32_t saturated = 0;
};

LeadingNumber ReadLeadingNumber(std::string_view text);
