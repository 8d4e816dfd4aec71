#include "sim/WireLog.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view kHostToDeviceToken = "H>D";
constexpr std::string_view kDeviceToHostToken = "D>H";
constexpr char kHexDigits[] = "0123456789ABCDEF";

std::chrono::steady_clock::time_point wireClockEpoch()
{
    static const auto epoch = std::chrono::steady_clock::now();
    return epoch;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool writeWhole(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

double wireClockMilliseconds()
{
    const auto elapsed = std::chrono::steady_clock::now() - wireClockEpoch();
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

std::string formatWireLine(const WireRecord& record)
{
    char stamp[32];
    const int stampLength = std::snprintf(stamp, sizeof stamp, "%.3f", record.milliseconds);
    std::string line(stamp, static_cast<std::size_t>(stampLength > 0 ? stampLength : 0));
    line += ' ';
    line += record.direction == WireDirection::HostToDevice ? kHostToDeviceToken : kDeviceToHostToken;
    for (const std::uint8_t byte : record.bytes) {
        line += ' ';
        line += kHexDigits[byte >> 4];
        line += kHexDigits[byte & 0x0F];
    }
    return line;
}

std::optional<WireRecord> parseWireLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);

    WireRecord record;
    const std::size_t stampEnd = line.find(' ');
    if (stampEnd == std::string_view::npos || stampEnd == 0)
        return std::nullopt;
    const auto [stampStop, stampError] = std::from_chars(line.data(), line.data() + stampEnd, record.milliseconds);
    if (stampError != std::errc() || stampStop != line.data() + stampEnd)
        return std::nullopt;
    line.remove_prefix(stampEnd + 1);

    if (line.starts_with(kHostToDeviceToken))
        record.direction = WireDirection::HostToDevice;
    else if (line.starts_with(kDeviceToHostToken))
        record.direction = WireDirection::DeviceToHost;
    else
        return std::nullopt;
    line.remove_prefix(kHostToDeviceToken.size());

    constexpr std::size_t kByteFieldWidth = 3; // " XX"
    if (line.size() != record.bytes.size() * kByteFieldWidth)
        return std::nullopt;
    for (std::size_t i = 0; i < record.bytes.size(); ++i) {
        const std::string_view field = line.substr(i * kByteFieldWidth, kByteFieldWidth);
        const int high = hexValue(field[1]);
        const int low = hexValue(field[2]);
        if (field[0] != ' ' || high < 0 || low < 0)
            return std::nullopt;
        record.bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return record;
}

WireLog::~WireLog()
{
    closeFile();
}

bool WireLog::openFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    std::lock_guard lock(mutex_);
    if (fileDescriptor_ >= 0)
        ::close(fileDescriptor_);
    fileDescriptor_ = fd;
    fileFailed_ = fd < 0;
    return fd >= 0;
}

void WireLog::closeFile()
{
    std::lock_guard lock(mutex_);
    if (fileDescriptor_ >= 0)
        ::close(fileDescriptor_);
    fileDescriptor_ = -1;
}

bool WireLog::fileHealthy() const
{
    std::lock_guard lock(mutex_);
    return !fileFailed_;
}

void WireLog::record(WireDirection direction, const MouseReport& bytes)
{
    std::lock_guard lock(mutex_);
    const WireRecord added{wireClockMilliseconds(), direction, bytes};
    records_.push_back(added);
    if (records_.size() > kMemoryRecordLimit)
        records_.pop_front();
    if (fileDescriptor_ < 0)
        return;
    if (!writeWhole(fileDescriptor_, formatWireLine(added) + '\n')) {
        ::close(fileDescriptor_);
        fileDescriptor_ = -1;
        fileFailed_ = true;
    }
}

std::vector<WireRecord> WireLog::records() const
{
    std::lock_guard lock(mutex_);
    return {records_.begin(), records_.end()};
}

void WireLog::clear()
{
    std::lock_guard lock(mutex_);
    records_.clear();
}
