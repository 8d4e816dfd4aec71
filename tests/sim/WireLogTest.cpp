#include "sim/WireLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

MouseReport countingReport()
{
    MouseReport report{};
    for (std::size_t i = 0; i < report.size(); ++i)
        report[i] = static_cast<std::uint8_t>(i * 5);
    return report;
}

std::string hexOfCountingReport()
{
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < kMouseReportSize; ++i) {
        std::snprintf(pair, sizeof pair, " %02X", static_cast<unsigned>(i * 5 & 0xFF));
        text += pair;
    }
    return text;
}

TEST(WireLine, FormatsStampDirectionAndUpperCaseHex)
{
    const WireRecord record{1234.5, WireDirection::HostToDevice, countingReport()};
    EXPECT_EQ(formatWireLine(record), "1234.500 H>D" + hexOfCountingReport());

    const WireRecord reply{0.25, WireDirection::DeviceToHost, countingReport()};
    EXPECT_EQ(formatWireLine(reply), "0.250 D>H" + hexOfCountingReport());
}

TEST(WireLine, ParsesWhatItFormats)
{
    for (const WireDirection direction : {WireDirection::HostToDevice, WireDirection::DeviceToHost}) {
        const WireRecord record{98.125, direction, countingReport()};
        const auto parsed = parseWireLine(formatWireLine(record) + "\n");
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, record);
    }
}

TEST(WireLine, AcceptsLowerCaseHex)
{
    const WireRecord record{1, WireDirection::DeviceToHost, countingReport()};
    std::string line = formatWireLine(record);
    const std::size_t bytesStart = line.find("D>H") + 3;
    for (std::size_t i = bytesStart; i < line.size(); ++i)
        if (line[i] >= 'A' && line[i] <= 'F')
            line[i] = static_cast<char>(line[i] - 'A' + 'a');
    const auto parsed = parseWireLine(line);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->bytes, record.bytes);
}

struct MalformedLine {
    const char* name;
    std::string text;
};

void PrintTo(const MalformedLine& c, std::ostream* os)
{
    *os << c.name;
}

class WireLineRejects : public ::testing::TestWithParam<MalformedLine> {};

TEST_P(WireLineRejects, GivesNone)
{
    EXPECT_FALSE(parseWireLine(GetParam().text).has_value());
}

const std::string kGoodBytes = hexOfCountingReport();

INSTANTIATE_TEST_SUITE_P(
    WireLine, WireLineRejects,
    ::testing::Values(MalformedLine{"Empty", ""},
                      MalformedLine{"NoStamp", "H>D" + kGoodBytes},
                      MalformedLine{"StampNotANumber", "1.2x H>D" + kGoodBytes},
                      MalformedLine{"UnknownDirection", "1.000 H<D" + kGoodBytes},
                      MalformedLine{"MissingByte", "1.000 H>D" + kGoodBytes.substr(3)},
                      MalformedLine{"ExtraByte", "1.000 H>D" + kGoodBytes + " 00"},
                      MalformedLine{"BadHexDigit", "1.000 H>D 0G" + kGoodBytes.substr(3)},
                      MalformedLine{"TwoSpaces", "1.000 H>D  0" + kGoodBytes.substr(4)},
                      MalformedLine{"TrailingSpace", "1.000 D>H" + kGoodBytes + " "}),
    [](const auto& info) { return std::string(info.param.name); });

class WireLogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = std::filesystem::temp_directory_path() /
                ("wirelog-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::vector<std::string> fileLines() const
    {
        std::ifstream in(path_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::filesystem::path path_;
};

TEST_F(WireLogFile, KeepsEveryRecordInMemoryAndInTheFileInOrder)
{
    WireLog log;
    ASSERT_TRUE(log.openFile(path_));
    MouseReport request{};
    request[0] = 0x07;
    request[1] = 0xF9;
    MouseReport reply{};
    reply[0] = 0x01;
    reply[1] = 0x23;
    log.record(WireDirection::HostToDevice, request);
    log.record(WireDirection::DeviceToHost, reply);

    const std::vector<WireRecord> records = log.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].direction, WireDirection::HostToDevice);
    EXPECT_EQ(records[0].bytes, request);
    EXPECT_EQ(records[1].direction, WireDirection::DeviceToHost);
    EXPECT_EQ(records[1].bytes, reply);
    EXPECT_LE(records[0].milliseconds, records[1].milliseconds);

    // Lines are on disk while the log is still open, so another process can follow them.
    const std::vector<std::string> lines = fileLines();
    ASSERT_EQ(lines.size(), 2u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto parsed = parseWireLine(lines[i]);
        ASSERT_TRUE(parsed.has_value()) << lines[i];
        EXPECT_EQ(parsed->bytes, records[i].bytes);
        EXPECT_EQ(parsed->direction, records[i].direction);
        EXPECT_NEAR(parsed->milliseconds, records[i].milliseconds, 0.001);
    }
}

TEST_F(WireLogFile, AppendsToAnExistingFile)
{
    {
        std::ofstream out(path_);
        out << "earlier line\n";
    }
    WireLog log;
    ASSERT_TRUE(log.openFile(path_));
    log.record(WireDirection::HostToDevice, countingReport());
    const std::vector<std::string> lines = fileLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "earlier line");
    EXPECT_TRUE(parseWireLine(lines[1]).has_value());
}

TEST_F(WireLogFile, ClearEmptiesMemoryButNotTheFile)
{
    WireLog log;
    ASSERT_TRUE(log.openFile(path_));
    log.record(WireDirection::HostToDevice, countingReport());
    log.clear();
    EXPECT_TRUE(log.records().empty());
    EXPECT_EQ(fileLines().size(), 1u);
}

// Memory keeps the latest records only; the file keeps every line.
TEST_F(WireLogFile, MemoryKeepsTheLatestRecordsAndTheFileAll)
{
    WireLog log;
    ASSERT_TRUE(log.openFile(path_));
    const std::size_t written = WireLog::kMemoryRecordLimit + 3;
    for (std::size_t i = 0; i < written; ++i) {
        MouseReport report{};
        report[0] = static_cast<std::uint8_t>(i);
        report[1] = static_cast<std::uint8_t>(i >> 8);
        report[2] = static_cast<std::uint8_t>(i >> 16);
        log.record(WireDirection::HostToDevice, report);
    }
    const std::vector<WireRecord> records = log.records();
    ASSERT_EQ(records.size(), WireLog::kMemoryRecordLimit);
    const auto serial = [](const WireRecord& r) { return r.bytes[0] | r.bytes[1] << 8 | r.bytes[2] << 16; };
    EXPECT_EQ(serial(records.front()), 3) << "the three oldest are gone";
    EXPECT_EQ(static_cast<std::size_t>(serial(records.back())), written - 1);
    EXPECT_EQ(fileLines().size(), written);
}

TEST_F(WireLogFile, AFileThatCannotBeOpenedLeavesTheMemoryLog)
{
    WireLog log;
    EXPECT_FALSE(log.openFile((path_ / "no-such-dir" / "log").string()));
    EXPECT_FALSE(log.fileHealthy());
    log.record(WireDirection::DeviceToHost, countingReport());
    EXPECT_EQ(log.records().size(), 1u);
}

TEST_F(WireLogFile, AWriteFailureClosesTheFileAndIsReported)
{
    WireLog log;
    ASSERT_TRUE(log.openFile("/dev/full"));
    EXPECT_TRUE(log.fileHealthy());
    log.record(WireDirection::HostToDevice, countingReport());
    EXPECT_FALSE(log.fileHealthy());
    EXPECT_EQ(log.records().size(), 1u);
}

TEST(WireClock, NeverGoesBack)
{
    double previous = wireClockMilliseconds();
    for (int i = 0; i < 1000; ++i) {
        const double now = wireClockMilliseconds();
        EXPECT_GE(now, previous);
        previous = now;
    }
}

} // namespace
