#pragma once

#include <cstdint>
#include <string_view>

// Integer conversion of attribute text with the rules of the C library's
// wcstol/wcstoul on a platform whose long is 32 bits wide:
// leading white space is skipped, then an optional sign, then (base 16 only)
// an optional "0x"/"0X", then digits of the base in either case; conversion
// stops at the first other character and text without digits gives 0.
// Bases 2 to 36 are accepted; any other base gives 0.

// Out-of-range values saturate to INT32_MAX or INT32_MIN.
std::int32_t textToLong(std::wstring_view text, int base);

// A leading minus negates in unsigned arithmetic ("-1" gives 0xFFFFFFFF);
// a magnitude beyond 32 bits gives UINT32_MAX whatever the sign.
std::uint32_t textToULong(std::wstring_view text, int base);
