// Removal while a handler is in the middle of a transfer, and the logic's
// destruction while a handler runs: no use of a closed descriptor, no wait
// for a time-out, and the connection state ends at 0. Also run under
// AddressSanitizer.

#include "LogicHarness.h"

#include "hid/HidDiscovery.h"

#include <gtest/gtest.h>

#include <ostream>

#include <thread>

namespace logictest {
namespace {

// Transfers (requests and replies, counted from 0) before the macro table's
// replies: GetVersion and GetMode with their replies, then ReadMacroTable.
constexpr std::uint64_t kFirstMacroReply = 5;
constexpr std::uint64_t kMacroRepliesBeforeTheCut = 20;

// The three requests the read sends before the cut; after it, none gets through.
const std::vector<std::string> kRequestsBeforeTheCut{"07 F9", "07 F3", "07 F6"};

bool waitForTransfers(SimulatedMouse& mouse, std::uint64_t count)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (mouse.transferCount() < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(100us);
    }
    return true;
}

std::optional<HidNotice> waitForNotice(HidNoticeSource& source)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::optional<HidNotice> notice = source.nextNotice()) {
            return notice;
        }
        std::this_thread::sleep_for(1ms);
    }
    return std::nullopt;
}

struct CutCase {
    const char* name;
    // Cuts the connection in the middle of the macro table and forwards the
    // removal to the logic, as the main window would.
    void (*cut)(LogicHarness& harness, HidNoticeSource& notices);
};

void PrintTo(const CutCase& row, std::ostream* out)
{
    *out << row.name;
}

// The mouse drops off the bus instead of sending a macro reply; the removal
// notice follows.
void mouseDropsOff(LogicHarness& harness, HidNoticeSource& notices)
{
    harness.mouse().unplugAtTransfer(kFirstMacroReply + kMacroRepliesBeforeTheCut);
    harness.logic().onDeviceChange(false, L"");
    const std::optional<HidNotice> notice = waitForNotice(notices);
    ASSERT_TRUE(notice.has_value());
    ASSERT_FALSE(notice->arrived);
    harness.logic().onDeviceChange(notice->arrived, notice->path);
}

// The removal notice arrives while the worker waits for a reply that the
// still-present mouse is about to send: closing must wake that read.
void noticeWhileAReplyIsPending(LogicHarness& harness, HidNoticeSource&)
{
    harness.mouse().setReplyLatency(30ms);
    harness.logic().onDeviceChange(false, L"");
    ASSERT_TRUE(waitForTransfers(harness.mouse(), kFirstMacroReply + kMacroRepliesBeforeTheCut));
    harness.logic().onDeviceChange(false, harness.mousePath());
}

class MouseLogicUnplugDuringMacroRead : public ::testing::TestWithParam<CutCase> {};

TEST_P(MouseLogicUnplugDuringMacroRead, StopsAtOnceAndEndsDisconnected)
{
    LogicHarness harness;
    std::unique_ptr<HidNoticeSource> notices = harness.backend().openNoticeSource();
    ASSERT_NE(notices, nullptr);
    harness.mouse().resetTransferCount();

    GetParam().cut(harness, *notices);
    const auto cutAt = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForWorkerIdle());
    const auto finished = std::chrono::steady_clock::now();
    harness.settle();

    const std::vector<WireRecord> wire = harness.wire();
    EXPECT_EQ(hostRequests(wire), normalisedRequests(kRequestsBeforeTheCut));
    EXPECT_EQ(harness.page().connectionState.current(), 0);
    // Well below one transfer time-out: nothing waited for a reply that cannot come.
    EXPECT_LT(finished - cutAt, 1500ms);
}

INSTANTIATE_TEST_SUITE_P(Cuts, MouseLogicUnplugDuringMacroRead,
                         ::testing::Values(CutCase{"MouseDropsOff", mouseDropsOff},
                                           CutCase{"NoticeWhileAReplyIsPending", noticeWhileAReplyIsPending}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MouseLogicDestruction, DuringAMacroDownloadTheHandlerEndsAndNothingMoreIsSent)
{
    LogicHarness harness;
    harness.startUp();
    harness.clearWire();
    harness.mouse().resetTransferCount();
    harness.page().buttonAssignment.setCurrentValue(RecordGroup{1, 0, 1, L"", L"", {MacroItem{0x41, 0, 10, L""}}}, 1,
                                                    false, true);
    // The first half is out; the handler now sleeps before the second.
    ASSERT_TRUE(waitForTransfers(harness.mouse(), 1));

    harness.destroyLogic();
    ASSERT_TRUE(waitForWorkerIdle());
    harness.settle();

    EXPECT_EQ(hostRequests(harness.wire()).size(), 1u);
}

}  // namespace
}  // namespace logictest
