#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "ShapeTestSupport.h"
#include "shape/Shape.h"

namespace {

using namespace shapetest;

constexpr int kExitChannel = 30301;
using IntShape = ShapeType<int, kExitChannel, 1, 1>;

// Ends the process while the worker is in the middle of a long queue.
[[noreturn]] void exitDuringDeliveries()
{
    // Left alive on purpose: the process ends with them.
    auto* recorder = new Recorder<int>;
    auto* writer = new IntShape;
    auto* reader = new IntShape;
    reader->bind(recorder, &Recorder<int>::onChange, false);
    recorder->setAction([] { std::this_thread::sleep_for(1ms); });
    for (int value = 1; value <= 200; ++value) {
        writer->setCurrentValue(value, 0, false, false);
    }
    recorder->waitFor(1);
    std::exit(0);
}

TEST(ShapeExit, ProcessExitWhileTheWorkerRunsEndsCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitDuringDeliveries(), testing::ExitedWithCode(0), "");
}

}  // namespace
