#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "ShapeTestSupport.h"
#include "shape/Shape.h"

namespace {

using namespace shapetest;

constexpr int kHookChannel = 30101;
using IntShape = ShapeType<int, kHookChannel, 1, 1>;

// A writer on the test thread and a target whose owner may register hooks.
class HookedDelivery : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(waitWorkerIdle());
        target.bind(&recorder, &Recorder<int>::onChange, false);
    }

    // Removing the hook waits for a hook call in progress; the UI threads then outlive it.
    void TearDown() override
    {
        EXPECT_TRUE(waitWorkerIdle());
        unregisterHook(&recorder);
    }

    Recorder<int> recorder;
    UiThread ui;
    UiThread otherUi;
    IntShape writer;
    IntShape target;
};

TEST_F(HookedDelivery, ArrivesOnTheUiThreadOnlyWhenDispatched)
{
    registerHook(&recorder, &ui);
    Gate paused;
    ui.post([&paused] { paused.pass(); });
    ASSERT_TRUE(paused.waitReached());

    writer.setCurrentValue(4, 9, false, false);
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(recorder.count(), 0u) << "posted, not yet dispatched";
    EXPECT_EQ(target.current(), 0);

    paused.open();
    ASSERT_TRUE(recorder.waitFor(1));
    const auto call = recorder.calls()[0];
    EXPECT_EQ(call.thread, ui.id());
    EXPECT_EQ(call.values, std::vector<int>{4});
    EXPECT_EQ(call.param, 9);
    EXPECT_EQ(call.oldLength, 1u);
    ASSERT_TRUE(waitAllIdle(ui));
    EXPECT_EQ(target.current(), 4);
}

TEST_F(HookedDelivery, OwnSelfNotificationAlsoComesThroughTheHook)
{
    registerHook(&recorder, &ui);
    ui.run([this] { target.setCurrentValue(2, 1, true, false); });
    ASSERT_TRUE(recorder.waitFor(1));
    EXPECT_EQ(recorder.calls()[0].thread, ui.id());
    ASSERT_TRUE(waitAllIdle(ui));
    EXPECT_EQ(writer.current(), 2);
}

TEST_F(HookedDelivery, IsDroppedWhenTheTargetWasDestroyedBeforeDispatch)
{
    Recorder<int> leavingRecorder;
    auto leaving = std::make_unique<IntShape>();
    leaving->bind(&leavingRecorder, &Recorder<int>::onChange, false);
    registerHook(&leavingRecorder, &ui);
    Gate paused;
    ui.post([&paused] { paused.pass(); });
    ASSERT_TRUE(paused.waitReached());

    writer.setCurrentValue(3, 0, false, false);
    ASSERT_TRUE(waitWorkerIdle());
    leaving.reset();
    paused.open();

    ASSERT_TRUE(waitAllIdle(ui));
    EXPECT_EQ(leavingRecorder.count(), 0u);
    unregisterHook(&leavingRecorder);
}

TEST_F(HookedDelivery, SecondRegistrationReplacesTheFirst)
{
    registerHook(&recorder, &otherUi);
    registerHook(&recorder, &ui);
    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(recorder.waitFor(1));
    EXPECT_EQ(recorder.calls()[0].thread, ui.id());
    ASSERT_TRUE(waitAllIdle(otherUi));
    EXPECT_EQ(recorder.count(), 1u);
}

struct DirectRow {
    const char* name;
    void (*arrange)(const void* owner, IDeliveryPoster* poster);
};

class DirectDelivery : public HookedDelivery, public testing::WithParamInterface<DirectRow> {
protected:
    void TearDown() override
    {
        unregisterHook(static_cast<const char*>(static_cast<const void*>(&recorder)) + 1);
        HookedDelivery::TearDown();
    }
};

TEST_P(DirectDelivery, RunsOnTheWorker)
{
    GetParam().arrange(&recorder, &ui);
    writer.setCurrentValue(5, 0, false, false);
    ASSERT_TRUE(recorder.waitFor(1));
    const auto thread = recorder.calls()[0].thread;
    EXPECT_NE(thread, ui.id());
    EXPECT_NE(thread, std::this_thread::get_id());
}

INSTANTIATE_TEST_SUITE_P(
    Hooks, DirectDelivery,
    testing::Values(DirectRow{"NoHook", [](const void*, IDeliveryPoster*) {}},
                    DirectRow{"HookWithoutPoster", [](const void* owner, IDeliveryPoster*) { registerHook(owner, nullptr); }},
                    DirectRow{"HookRemoved",
                              [](const void* owner, IDeliveryPoster* poster) {
                                  registerHook(owner, poster);
                                  unregisterHook(owner);
                              }},
                    DirectRow{"HookOfAnotherOwner",
                              [](const void* owner, IDeliveryPoster* poster) {
                                  registerHook(static_cast<const char*>(owner) + 1, poster);
                              }}),
    [](const testing::TestParamInfo<DirectRow>& info) { return info.param.name; });

TEST_F(HookedDelivery, PostedDeliveriesKeepTheirOrderAndTheirOwnSnapshots)
{
    registerHook(&recorder, &ui);
    constexpr int kWrites = 30;
    for (int value = 1; value <= kWrites; ++value) {
        writer.setCurrentValue(value, value, false, false);
    }
    ASSERT_TRUE(recorder.waitFor(kWrites));
    const auto calls = recorder.calls();
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(calls[i].values, std::vector<int>{i + 1});
        EXPECT_EQ(calls[i].param, i + 1);
        EXPECT_EQ(calls[i].thread, ui.id());
    }
}

TEST_F(HookedDelivery, RecordsWithoutSnapshotOrRecordAreIgnored)
{
    deliverPosted(nullptr);
    deliverPosted(std::make_unique<PostedDelivery>(target, nullptr, 0, 1, 0, 15));
    EXPECT_EQ(recorder.count(), 0u);
}

TEST_F(HookedDelivery, HandBuiltRecordDeliversItsSnapshot)
{
    IntShape source;
    source.current() = 6;
    auto record = std::make_unique<PostedDelivery>(target, source.clone(nullptr), 2, 1, 0, notifyFlags(false, false));
    EXPECT_EQ(record->target(), &target);
    deliverPosted(std::move(record));
    ASSERT_EQ(recorder.count(), 1u);
    EXPECT_EQ(target.current(), 6);
    EXPECT_EQ(recorder.calls()[0].param, 2);
}

TEST(Snapshot, IsADetachedCopyOfTheWritersState)
{
    ShapeType<int, kHookChannel + 1, 3, 1> shape;
    shape.at(1) = 7;
    shape.selection().setIndex(2);
    const std::unique_ptr<ShapeBase> snapshot = shape.clone(nullptr);
    shape.at(1) = 8;

    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->channelId(), kHookChannel + 1);
    EXPECT_EQ(snapshot->typeName(), shape.typeName());
    EXPECT_EQ(snapshot->index(), 2u);
    ASSERT_EQ(snapshot->length(), 3u);
    EXPECT_EQ(static_cast<const int*>(snapshot->untypedData())[1], 7);
    EXPECT_EQ(snapshot->owner(), nullptr);

    const ShapeType<unsigned char, kHookChannel + 1, 1, 1> otherType;
    EXPECT_EQ(shape.clone(&otherType), nullptr) << "a clone keeps its element type";
    EXPECT_EQ(shape.deliver(otherType, 0, 0, 0, 15), 0);
}

}  // namespace
