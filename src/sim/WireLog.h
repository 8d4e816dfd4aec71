#pragma once

#include "mouse/MouseWireLayout.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class WireDirection {
    HostToDevice, // written "H>D"
    DeviceToHost, // written "D>H"
};

// One report seen on the wire, as the 64 bytes of the report without the
// transfer's report-ID byte.
struct WireRecord {
    double milliseconds = 0; // since the process's first simulated device was made
    WireDirection direction = WireDirection::HostToDevice;
    MouseReport bytes{};

    bool operator==(const WireRecord&) const = default;
};

// "<ms with three decimals> <H>D|D>H> <64 bytes as upper-case hex pairs, space separated>"
std::string formatWireLine(const WireRecord& record);

// The inverse of formatWireLine; none for any other text. A trailing newline is accepted.
std::optional<WireRecord> parseWireLine(std::string_view line);

// Milliseconds on the wire log's clock (shared by every log in the process).
double wireClockMilliseconds();

// Every report received and sent, kept in memory (the latest
// kMemoryRecordLimit, so a long session stays small) and optionally appended
// to a file, one flushed line per report. Thread-safe.
class WireLog {
public:
    static constexpr std::size_t kMemoryRecordLimit = 1 << 16;

    WireLog() = default;
    ~WireLog();
    WireLog(const WireLog&) = delete;
    WireLog& operator=(const WireLog&) = delete;

    // Appends further lines to `path` (created when missing, never truncated,
    // so several devices or runs can share one file). False if it cannot be
    // opened; the in-memory log goes on either way.
    bool openFile(const std::string& path);
    void closeFile();
    // False once a line could not be written; the file is then closed.
    bool fileHealthy() const;

    void record(WireDirection direction, const MouseReport& bytes);
    std::vector<WireRecord> records() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<WireRecord> records_;
    int fileDescriptor_ = -1;
    bool fileFailed_ = false;
};

// Name of the environment variable that names a wire-log file for every
// simulated device the process makes.
inline constexpr const char* kWireLogEnvironmentVariable = "MOUSECFG_WIRE_LOG";
