#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ShapeTestSupport.h"
#include "shape/Channels.h"
#include "shape/Shape.h"

namespace {

using namespace shapetest;

constexpr int kTestChannel = 30001;
using IntShape = ShapeType<int, kTestChannel, 1, 1>;
using IntListShape = ShapeType<int, kTestChannel + 1, 3, 1>;

// Two bound members of one int channel, A joined first.
class TwoMembers : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(waitWorkerIdle());
        a.bind(&ra, &Recorder<int>::onChange, false);
        b.bind(&rb, &Recorder<int>::onChange, false);
    }

    // Recorders outlive the shapes, whose destructors wait for deliveries in progress.
    Recorder<int> ra;
    Recorder<int> rb;
    IntShape a;
    IntShape b;
};

TEST(ChannelJoin, NewMemberTakesEarliestMembersArrayButNotItsIndex)
{
    auto first = std::make_unique<IntListShape>();
    const int values[] = {4, 5, 6};
    first->assign(values, 3, 0);
    first->selection().setIndex(2);
    IntListShape second;
    second.selection().setIndex(1);
    const int others[] = {9};
    second.assign(others, 1, 0);

    IntListShape third;
    EXPECT_EQ(std::vector<int>(third.data(), third.data() + third.length()), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(third.index(), 0u);

    first.reset();
    IntListShape fourth;
    EXPECT_EQ(fourth.length(), 1u) << "after the first leaves, the earliest alive member is the source";
    EXPECT_EQ(fourth.current(), 9);
}

TEST(ChannelJoin, FirstMemberStartsWithResetElements)
{
    const ShapeType<DpiDat, kTestChannel, 2, 1> first;
    ASSERT_EQ(first.length(), 2u);
    EXPECT_EQ(first.at(0), (DpiDat{0, 0, 0, 0, 0}));
}

TEST(ChannelJoin, EmptiedEarliestMemberIsCopiedAsEmpty)
{
    ShapeType<int, kTestChannel + 2, 2, 1> first;
    first.assign(nullptr, 0, 0);
    const ShapeType<int, kTestChannel + 2, 2, 1> second;
    EXPECT_EQ(second.length(), 0u);
}

TEST(ChannelJoin, ChannelsAreKeyedByIdAndElementType)
{
    Recorder<unsigned char> byteRecorder;
    Recorder<int> otherRecorder;
    ShapeType<int, kTestChannel + 3, 1, 1> ints;
    ShapeType<unsigned char, kTestChannel + 3, 1, 1> bytes;
    ShapeType<int, kTestChannel + 4, 1, 1> otherId;
    bytes.bind(&byteRecorder, &Recorder<unsigned char>::onChange, false);
    otherId.bind(&otherRecorder, &Recorder<int>::onChange, false);

    ints.setCurrentValue(5, 0, false, true);
    ASSERT_TRUE(waitWorkerIdle());

    EXPECT_EQ(byteRecorder.count(), 0u);
    EXPECT_EQ(otherRecorder.count(), 0u);
    EXPECT_EQ(bytes.current(), 0);
}

TEST(ChannelJoin, JoiningNotifiesNobody)
{
    Recorder<int> ra;
    IntShape a;
    a.bind(&ra, &Recorder<int>::onChange, false);
    const IntShape b;
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(ra.count(), 0u);
}

struct WriteRow {
    const char* name;
    int written;  // A and B hold 0 before the write
    bool self;
    bool force;
    std::size_t writerCalls;
    std::size_t otherCalls;
};

class NotifyingWrite : public TwoMembers, public testing::WithParamInterface<WriteRow> {};

TEST_P(NotifyingWrite, CallsTheExpectedCallbacks)
{
    const WriteRow& row = GetParam();
    a.setCurrentValue(row.written, 42, row.self, row.force);
    if (row.writerCalls == 0 && row.otherCalls == 0) {
        EXPECT_FALSE(ShapeRegistry::workerRunning()) << "an unchanged write queues nothing";
    }
    ASSERT_TRUE(waitWorkerIdle());

    const auto writerCalls = ra.calls();
    const auto otherCalls = rb.calls();
    ASSERT_EQ(writerCalls.size(), row.writerCalls);
    ASSERT_EQ(otherCalls.size(), row.otherCalls);
    for (const auto& call : otherCalls) {
        EXPECT_EQ(call.values, std::vector<int>{row.written});
        EXPECT_EQ(call.param, 42);
        EXPECT_EQ(call.channelId, kTestChannel);
        EXPECT_NE(call.thread, std::this_thread::get_id()) << "delivered by the worker";
    }
    for (const auto& call : writerCalls) {
        EXPECT_EQ(call.values, std::vector<int>{row.written});
        EXPECT_EQ(call.param, 42);
    }
    EXPECT_EQ(b.current(), row.written);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, NotifyingWrite,
    testing::Values(WriteRow{"ChangedReachesOnlyTheOther", 5, false, false, 0, 1},
                    WriteRow{"UnchangedQueuesNothing", 0, false, false, 0, 0},
                    WriteRow{"UnchangedWithForceReachesTheOther", 0, false, true, 0, 1},
                    WriteRow{"ChangedWithSelfReachesBoth", 5, true, false, 1, 1},
                    WriteRow{"UnchangedWithSelfStillQueuesNothing", 0, true, false, 0, 0},
                    WriteRow{"UnchangedWithSelfAndForceReachesBoth", 0, true, true, 1, 1}),
    [](const testing::TestParamInfo<WriteRow>& info) { return info.param.name; });

TEST_F(TwoMembers, OtherSeesItsOwnOldLengthAndIndexWriterSeesItsPrevious)
{
    Recorder<int> rw;
    Recorder<int> ro;
    using Lists = ShapeType<int, kTestChannel + 5, 3, 1>;
    Lists writer;
    Lists other;
    writer.bind(&rw, &Recorder<int>::onChange, false);
    other.bind(&ro, &Recorder<int>::onChange, false);
    writer.selection().setIndex(2);
    other.selection().setIndex(1);

    const int shorter[] = {8};
    writer.setArray(shorter, 1, 3, true, false);
    ASSERT_TRUE(waitWorkerIdle());

    ASSERT_EQ(rw.count(), 1u);
    ASSERT_EQ(ro.count(), 1u);
    const auto own = rw.calls()[0];
    EXPECT_EQ(own.oldLength, 3u);
    EXPECT_EQ(own.oldIndex, 2u);
    EXPECT_EQ(own.length, 1u);
    EXPECT_EQ(own.index, 0u) << "shrinking below the index moves it to the last element";
    const auto theirs = ro.calls()[0];
    EXPECT_EQ(theirs.oldLength, 3u);
    EXPECT_EQ(theirs.oldIndex, 1u);
    EXPECT_EQ(theirs.values, std::vector<int>{8});
    EXPECT_EQ(other.length(), 1u);
    EXPECT_EQ(other.index(), 0u);
}

struct RawFlagsRow {
    const char* name;
    uint32_t flags;
    bool otherCopies;
    bool otherCalled;
    bool writerCalled;
};

class RawFlags : public TwoMembers, public testing::WithParamInterface<RawFlagsRow> {};

TEST_P(RawFlags, DecideCopyAndCallbacks)
{
    const RawFlagsRow& row = GetParam();
    a.current() = 7;
    a.notify(1, row.flags);
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(b.current() == 7, row.otherCopies);
    EXPECT_EQ(rb.count() == 1, row.otherCalled);
    EXPECT_EQ(ra.count() == 1, row.writerCalled);
    if (row.otherCalled) {
        EXPECT_EQ(rb.calls()[0].values, std::vector<int>{7}) << "the callback sees the delivered value";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bits, RawFlags,
    testing::Values(RawFlagsRow{"None", 0, false, false, false},
                    RawFlagsRow{"CopyOnly", kNotifyCopy, true, false, false},
                    RawFlagsRow{"CallbackWithoutCopy", kNotifyOnChange, false, true, false},
                    RawFlagsRow{"ForceWithoutCopy", kNotifyForce, false, true, false},
                    RawFlagsRow{"CopyAndCallback", kNotifyCopy | kNotifyOnChange, true, true, false},
                    RawFlagsRow{"SelfOnly", kNotifySelf, false, false, true},
                    RawFlagsRow{"All", 15, true, true, true}),
    [](const testing::TestParamInfo<RawFlagsRow>& info) { return info.param.name; });

TEST_F(TwoMembers, MemberWithoutCallbackFollowsTheValue)
{
    IntShape unbound;
    a.setCurrentValue(9, 0, false, false);
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(unbound.current(), 9);
    EXPECT_EQ(rb.count(), 1u);
}

TEST_F(TwoMembers, ReceiveSuppressionBlocksOthersWritesButNotOwnNotifications)
{
    *b.suppressFlag() = 1;
    a.setCurrentValue(3, 0, false, true);
    b.notifyAll(0, true);
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(b.current(), 0);
    ASSERT_EQ(rb.count(), 1u) << "only b's own notification";
    EXPECT_EQ(rb.calls()[0].values, std::vector<int>{0});
    EXPECT_EQ(a.current(), 0) << "a copied b's value back";
}

TEST_F(TwoMembers, WritesArriveInQueueOrder)
{
    constexpr int kWrites = 50;
    for (int value = 1; value <= kWrites; ++value) {
        a.setCurrentValue(value, value, false, false);
    }
    ASSERT_TRUE(rb.waitFor(kWrites));
    const auto calls = rb.calls();
    for (int i = 0; i < kWrites; ++i) {
        EXPECT_EQ(calls[i].values, std::vector<int>{i + 1});
        EXPECT_EQ(calls[i].param, i + 1);
    }
}

TEST_F(TwoMembers, SelectMovesTheIndexAndNotifies)
{
    Recorder<int> ro;
    using Lists = ShapeType<int, kTestChannel + 6, 3, 1>;
    Lists writer;
    Lists other;
    other.bind(&ro, &Recorder<int>::onChange, false);

    EXPECT_EQ(writer.selection().select(3, 0, false, false), 0) << "index past the end";
    EXPECT_EQ(writer.selection().select(0, 0, false, false), 1) << "unchanged index";
    EXPECT_FALSE(ShapeRegistry::workerRunning());
    EXPECT_EQ(writer.selection().select(2, 5, false, false), 1);
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(writer.index(), 2u);
    EXPECT_EQ(other.index(), 2u);
    ASSERT_EQ(ro.count(), 1u);
    EXPECT_EQ(ro.calls()[0].index, 2u);
    EXPECT_EQ(ro.calls()[0].oldIndex, 0u);
    EXPECT_EQ(ro.calls()[0].param, 5);

    EXPECT_EQ(writer.selection().select(2, 6, false, true), 1);
    ASSERT_TRUE(ro.waitFor(2)) << "forced select of the same index notifies";
}

TEST_F(TwoMembers, FillArrayReplacesTheArray)
{
    a.fillArrayValue(4, 3, 0, false, false);
    ASSERT_TRUE(rb.waitFor(1));
    EXPECT_EQ(rb.calls()[0].values, (std::vector<int>{4, 4, 4}));
    EXPECT_EQ(rb.calls()[0].oldLength, 1u);
    a.fillArrayValue(4, 3, 0, false, false);
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(rb.count(), 1u) << "already filled: nothing queued";
}

TEST_F(TwoMembers, RefreshImmediateCallsOwnCallbackBeforeReturning)
{
    a.current() = 6;
    a.refresh(3, 1);
    ASSERT_EQ(ra.count(), 1u);
    const auto call = ra.calls()[0];
    EXPECT_EQ(call.values, std::vector<int>{6});
    EXPECT_EQ(call.param, 3);
    EXPECT_EQ(call.thread, std::this_thread::get_id());
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(rb.count(), 0u);
}

TEST_F(TwoMembers, RefreshLaterCallsOnlyOwnCallbackFromTheWorker)
{
    a.refresh(3, 0);
    ASSERT_TRUE(ra.waitFor(1));
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_NE(ra.calls()[0].thread, std::this_thread::get_id());
    EXPECT_EQ(rb.count(), 0u);
}

TEST(Bind, CallNowCallsOnceWithCurrentValueAsOldAndNew)
{
    Recorder<int> recorder;
    IntListShape shape;
    shape.selection().setIndex(2);
    shape.at(2) = 5;
    shape.bind(&recorder, &Recorder<int>::onChange, true);
    ASSERT_EQ(recorder.count(), 1u);
    const auto call = recorder.calls()[0];
    EXPECT_EQ(call.values, (std::vector<int>{0, 0, 5}));
    EXPECT_EQ(call.length, call.oldLength);
    EXPECT_EQ(call.index, 2u);
    EXPECT_EQ(call.oldIndex, 2u);
    EXPECT_EQ(call.param, 0);
    EXPECT_EQ(shape.owner(), &recorder);
}

TEST(Bind, WithoutCallNowAValueDeliveredBeforeIsCopiedSilently)
{
    Recorder<int> recorder;
    ASSERT_TRUE(waitWorkerIdle());
    IntShape writer;
    IntShape late;
    writer.setCurrentValue(8, 0, false, false);
    ASSERT_TRUE(waitWorkerIdle());
    late.bind(&recorder, &Recorder<int>::onChange, false);
    EXPECT_EQ(late.current(), 8);
    EXPECT_EQ(recorder.count(), 0u);
}

TEST(Bind, NullOwnerChangesNothingAndASecondBindReplacesTheFirst)
{
    Recorder<int> first;
    Recorder<int> second;
    IntShape writer;
    IntShape target;
    target.bind<Recorder<int>>(nullptr, &Recorder<int>::onChange, true);
    EXPECT_EQ(target.owner(), nullptr);
    target.bind(&first, &Recorder<int>::onChange, false);
    target.bind<Recorder<int>>(nullptr, &Recorder<int>::onChange, false);
    target.bind(&second, &Recorder<int>::onChange, false);

    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(second.waitFor(1));
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(first.count(), 0u);
    EXPECT_EQ(target.owner(), &second);
}

// A callback owner defined through a base class, bound through the derived pointer.
struct BaseOwner {
    int seen = -1;
    void onValue(int, const int* data, uint32_t, uint32_t, uint32_t, uint32_t, int) { seen = *data; }
};
struct DerivedOwner : BaseOwner {};

TEST(Bind, AcceptsACallbackOfABaseClass)
{
    ShapeType<int, -1, 1, 1> shape;
    DerivedOwner owner;
    shape.bind(&owner, &BaseOwner::onValue, false);
    shape.setCurrentValue(4, 0, true, false);
    EXPECT_EQ(owner.seen, 4);
}

TEST(PrivateInstance, NotifiesOnlyItselfAndOnlyWithSelf)
{
    Recorder<int> r1;
    Recorder<int> r2;
    using Private = ShapeType<int, -1, 1, 1>;
    Private one;
    Private two;
    one.bind(&r1, &Recorder<int>::onChange, false);
    two.bind(&r2, &Recorder<int>::onChange, false);

    one.notifyOthers(0, true);
    one.setCurrentValue(3, 0, false, false);
    EXPECT_EQ(r1.count(), 0u);
    EXPECT_EQ(one.current(), 3);

    one.notifyAll(7, false);
    ASSERT_EQ(r1.count(), 1u) << "called before notifyAll returns";
    EXPECT_EQ(r1.calls()[0].thread, std::this_thread::get_id());
    EXPECT_EQ(r1.calls()[0].param, 7);
    EXPECT_EQ(two.current(), 0);
    EXPECT_EQ(r2.count(), 0u);
    EXPECT_FALSE(ShapeRegistry::workerRunning());
}

TEST(PrivateInstance, SelfWriteReportsThePreviousLengthAndIndex)
{
    Recorder<int> recorder;
    ShapeType<int, -1, 3, 1> shape;
    shape.bind(&recorder, &Recorder<int>::onChange, false);
    shape.selection().setIndex(2);
    const int one[] = {1};
    shape.setArray(one, 1, 0, true, false);
    ASSERT_EQ(recorder.count(), 1u);
    EXPECT_EQ(recorder.calls()[0].oldLength, 3u);
    EXPECT_EQ(recorder.calls()[0].oldIndex, 2u);
    EXPECT_EQ(recorder.calls()[0].index, 0u);
}

TEST(Worker, EndsWhenTheQueueIsEmptyAndTheNextWriteStartsANewOne)
{
    Recorder<int> recorder;
    IntShape writer;
    IntShape reader;
    reader.bind(&recorder, &Recorder<int>::onChange, false);

    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(recorder.waitFor(1));
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_FALSE(ShapeRegistry::workerRunning()) << "no pending work, no worker";

    writer.setCurrentValue(2, 0, false, false);
    ASSERT_TRUE(recorder.waitFor(2));
    EXPECT_EQ(recorder.calls()[1].values, std::vector<int>{2});
}

TEST(Worker, CallbackMayWriteToItsOwnShape)
{
    Recorder<int> writerRecorder;
    Recorder<int> echoRecorder;
    IntShape writer;
    IntShape echo;
    writer.bind(&writerRecorder, &Recorder<int>::onChange, false);
    echo.bind(&echoRecorder, &Recorder<int>::onChange, false);
    echoRecorder.setAction([&echo] {
        if (echo.current() < 100) {
            echo.setCurrentValue(echo.current() + 100, 0, false, false);
        }
    });

    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(writerRecorder.waitFor(1));
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(writer.current(), 101);
    EXPECT_EQ(writerRecorder.calls()[0].values, std::vector<int>{101});
}

TEST(Worker, AFailingCallbackDoesNotStopLaterDeliveries)
{
    Recorder<int> failingRecorder;
    Recorder<int> laterRecorder;
    IntShape writer;
    IntShape failing;
    IntShape later;
    failing.bind(&failingRecorder, &Recorder<int>::onChange, false);
    later.bind(&laterRecorder, &Recorder<int>::onChange, false);
    failingRecorder.setAction([&failing] { (void)failing.at(5); });

    writer.setCurrentValue(1, 0, false, false);
    writer.setCurrentValue(2, 0, false, false);
    ASSERT_TRUE(laterRecorder.waitFor(2));
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(failingRecorder.count(), 2u);
}

TEST(Worker, MemberDestroyedDuringTheWalkIsSkippedAndTheRestStillReceive)
{
    Recorder<int> blockingRecorder;
    Recorder<int> leavingRecorder;
    Recorder<int> lastRecorder;
    Gate gate;
    IntShape writer;
    IntShape blocking;
    auto leaving = std::make_unique<IntShape>();
    IntShape last;
    blocking.bind(&blockingRecorder, &Recorder<int>::onChange, false);
    leaving->bind(&leavingRecorder, &Recorder<int>::onChange, false);
    last.bind(&lastRecorder, &Recorder<int>::onChange, false);
    blockingRecorder.setAction([&gate] { gate.pass(); });

    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(gate.waitReached());
    leaving.reset();
    gate.open();

    ASSERT_TRUE(lastRecorder.waitFor(1));
    ASSERT_TRUE(waitWorkerIdle());
    EXPECT_EQ(leavingRecorder.count(), 0u);
    EXPECT_EQ(last.current(), 1);
}

// The wait for an idle worker ends when the last delivery is done, not
// before, and gives up at its limit while a callback still runs.
TEST(Worker, WaitUntilIdleEndsWithTheLastDelivery)
{
    Recorder<int> recorder;
    Gate gate;
    IntShape writer;
    IntShape reader;
    reader.bind(&recorder, &Recorder<int>::onChange, false);
    recorder.setAction([&gate] { gate.pass(); });

    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(gate.waitReached());
    EXPECT_FALSE(ShapeRegistry::waitUntilIdle(std::chrono::milliseconds(30)));
    std::thread opener([&gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        gate.open();
    });
    EXPECT_TRUE(ShapeRegistry::waitUntilIdle(kWaitLimit));
    EXPECT_FALSE(ShapeRegistry::workerRunning());
    EXPECT_EQ(recorder.count(), 1u);
    opener.join();
}

TEST(Worker, DestructorWaitsForTheDeliveryInProgress)
{
    Recorder<int> recorder;
    Gate gate;
    std::atomic<bool> callbackFinished{false};
    IntShape writer;
    auto target = std::make_unique<IntShape>();
    target->bind(&recorder, &Recorder<int>::onChange, false);
    recorder.setAction([&] {
        gate.pass();
        std::this_thread::sleep_for(20ms);
        callbackFinished = true;
    });

    writer.setCurrentValue(1, 0, false, false);
    ASSERT_TRUE(gate.waitReached());
    gate.open();
    target.reset();
    EXPECT_TRUE(callbackFinished) << "destroyed only after its callback returned";
    ASSERT_TRUE(waitWorkerIdle());
}

TEST(Worker, MemberJoiningDuringTheWalkReceivesTheNotification)
{
    Recorder<int> blockingRecorder;
    Gate gate;
    Recorder<int> joinedRecorder;
    IntShape writer;
    IntShape blocking;
    blocking.bind(&blockingRecorder, &Recorder<int>::onChange, false);
    blockingRecorder.setAction([&gate] { gate.pass(); });

    writer.setCurrentValue(1, 0, false, true);
    ASSERT_TRUE(gate.waitReached());
    IntShape joined;
    joined.bind(&joinedRecorder, &Recorder<int>::onChange, false);
    gate.open();

    ASSERT_TRUE(joinedRecorder.waitFor(1)) << "forced write reaches the member that joined meanwhile";
    ASSERT_TRUE(waitWorkerIdle());
}

}  // namespace
