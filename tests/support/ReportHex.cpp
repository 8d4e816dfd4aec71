#include "ReportHex.h"

#include <cstdio>
#include <sstream>

std::string significantHex(const MouseReport& report)
{
    std::size_t end = report.size();
    while (end > 0 && report[end - 1] == 0) {
        --end;
    }
    std::string text;
    for (std::size_t i = 0; i < end; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", report[i]);
        text += pair;
    }
    return text;
}

std::string normalisedHex(std::string_view hex)
{
    MouseReport report{};
    std::istringstream pairs{std::string(hex)};
    unsigned value = 0;
    for (std::size_t i = 0; i < report.size() && pairs >> std::hex >> value; ++i) {
        report[i] = static_cast<std::uint8_t>(value);
    }
    return significantHex(report);
}
