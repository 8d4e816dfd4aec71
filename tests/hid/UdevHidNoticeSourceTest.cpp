#include "FixturePaths.h"

#include "hid/linux/UdevHidNoticeSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>

namespace {

TEST(UdevHidNoticeSource, WatchesANonBlockingDescriptor)
{
    auto source = UdevHidNoticeSource::create(sysfsFixture("desktop"));
    if (!source)
        GTEST_SKIP() << "no netlink device events in this environment";
    ASSERT_GE(source->fd(), 0);
    EXPECT_NE(fcntl(source->fd(), F_GETFL) & O_NONBLOCK, 0);
    // Nothing is plugged in during the test: asking must not block.
    const auto start = std::chrono::steady_clock::now();
    while (source->nextNotice()) {
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
