#include "sim/FirmwareTransport.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kReportId = 0;

} // namespace

std::optional<MouseReport> reportFromOutputTransfer(std::span<const std::uint8_t> transfer)
{
    if (transfer.empty() || transfer.front() != kReportId || transfer.size() > kMouseReportSize + 1)
        return std::nullopt;
    MouseReport report{};
    std::copy(transfer.begin() + 1, transfer.end(), report.begin());
    return report;
}
