#pragma once

#include "sim/WireLog.h"

#include <filesystem>
#include <string>
#include <vector>

namespace clitest {

// What one run of the mousectl binary left behind.
struct RunResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// A temporary application directory (removed afterwards) holding copies of
// the named fixtures of tests/fixtures/cli, and the wire log of the runs made in it.
class AppDirectory {
public:
    explicit AppDirectory(const std::vector<std::string>& fixtures);
    ~AppDirectory();
    AppDirectory(const AppDirectory&) = delete;
    AppDirectory& operator=(const AppDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path wireLogPath() const { return path_ / "wire.log"; }

    // Runs mousectl with --dir set to this directory and its wire log named
    // by MOUSECFG_WIRE_LOG.
    RunResult run(const std::vector<std::string>& arguments) const;

    // Every report of the runs so far; none when no simulated mouse was made.
    std::vector<WireRecord> wire() const;
    bool wireLogExists() const;

private:
    std::filesystem::path path_;
};

// Runs the binary with exactly these arguments and one extra environment entry.
RunResult runMouseCtl(const std::vector<std::string>& arguments, const std::string& environmentEntry);

// The host's requests as hex up to the last non-zero byte ("07 FA 02").
std::vector<std::string> hostRequests(const std::vector<WireRecord>& wire);
// The same text form for expectations written with explicit trailing zeros.
std::vector<std::string> normalisedRequests(const std::vector<std::string>& hex);

}  // namespace clitest
