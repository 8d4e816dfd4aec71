// Notifications still queued when a test ends would reach members of the next test that join
// the same channel, so every test starts only after the worker has finished.
#include <gtest/gtest.h>

#include "ShapeTestSupport.h"

namespace {

class WaitForWorkerBetweenTests : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { shapetest::waitWorkerIdle(); }
};

const bool kRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new WaitForWorkerBetweenTests);
    return true;
}();

}  // namespace
