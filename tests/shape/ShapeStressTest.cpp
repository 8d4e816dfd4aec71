#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "ShapeTestSupport.h"
#include "shape/Shape.h"

namespace {

using namespace shapetest;

constexpr int kStressChannel = 30201;
using IntShape = ShapeType<int, kStressChannel, 1, 1>;

constexpr int kWriterThreads = 3;
constexpr int kWritesPerWriter = 150;
constexpr int kChurnRounds = 120;

// Values carry the writer and a per-writer sequence number.
int encode(int writer, int sequence)
{
    return (writer << 16) | sequence;
}
int writerOf(int value)
{
    return value >> 16;
}
int sequenceOf(int value)
{
    return value & 0xffff;
}

// Every writer's values must reach an observer in the order they were written, each exactly once.
void expectOrderedPerWriter(const std::vector<Call<int>>& calls, int writers, int writesEach, const char* who)
{
    std::map<int, int> lastSequence;
    std::map<int, int> seen;
    for (const auto& call : calls) {
        ASSERT_EQ(call.values.size(), 1u) << who;
        const int value = call.values[0];
        const int writer = writerOf(value);
        const auto last = lastSequence.find(writer);
        if (last != lastSequence.end()) {
            EXPECT_GT(sequenceOf(value), last->second) << who << ": writer " << writer << " out of order";
        }
        lastSequence[writer] = sequenceOf(value);
        ++seen[writer];
    }
    for (int writer = 1; writer <= writers; ++writer) {
        EXPECT_EQ(seen[writer], writesEach) << who << ": writer " << writer;
    }
}

TEST(ShapeStress, WritersMembersJoiningAndLeavingAndHooksStayConsistent)
{
    ASSERT_TRUE(waitWorkerIdle());
    UiThread ui;

    // Recorders outlive every shape bound to them.
    Recorder<int> workerObserverCalls;
    Recorder<int> uiObserverCalls;
    std::vector<Recorder<int>> writerCalls(kWriterThreads + 1);

    // Stable observers: one delivered by the worker, one through the UI thread's hook.
    IntShape workerObserver;
    workerObserver.bind(&workerObserverCalls, &Recorder<int>::onChange, false);
    std::unique_ptr<IntShape> uiObserver;
    registerHook(&uiObserverCalls, &ui);
    ui.run([&] {
        uiObserver = std::make_unique<IntShape>();
        uiObserver->bind(&uiObserverCalls, &Recorder<int>::onChange, false);
    });

    std::atomic<bool> writing{true};
    std::vector<std::thread> threads;

    // Writers 1..3 each own a member on their own thread; writer 4 writes on the UI thread.
    std::vector<std::unique_ptr<IntShape>> writerShapes(kWriterThreads + 1);
    for (int w = 1; w <= kWriterThreads; ++w) {
        threads.emplace_back([&, w] {
            auto& shape = writerShapes[w - 1];
            shape = std::make_unique<IntShape>();
            shape->bind(&writerCalls[w - 1], &Recorder<int>::onChange, false);
            for (int seq = 1; seq <= kWritesPerWriter; ++seq) {
                shape->setCurrentValue(encode(w, seq), seq, seq % 5 == 0, seq % 7 == 0);
                if (seq % 16 == 0) {
                    std::this_thread::yield();
                }
            }
        });
    }
    const int uiWriter = kWriterThreads + 1;
    ui.run([&] {
        writerShapes[uiWriter - 1] = std::make_unique<IntShape>();
        writerShapes[uiWriter - 1]->bind(&writerCalls[uiWriter - 1], &Recorder<int>::onChange, false);
    });
    registerHook(&writerCalls[uiWriter - 1], &ui);
    threads.emplace_back([&] {
        for (int seq = 1; seq <= kWritesPerWriter; ++seq) {
            ui.post([&, seq] { writerShapes[uiWriter - 1]->setCurrentValue(encode(uiWriter, seq), 0, false, false); });
        }
    });

    // Members joining and leaving while notifications run, half of them hooked.
    threads.emplace_back([&] {
        for (int round = 0; round < kChurnRounds; ++round) {
            Recorder<int> calls;
            const bool hooked = round % 2 == 1;
            if (hooked) {
                registerHook(&calls, &ui);
            }
            {
                IntShape member;
                member.bind(&calls, &Recorder<int>::onChange, false);
                std::this_thread::yield();
            }
            if (hooked) {
                unregisterHook(&calls);
            }
        }
    });

    // Hook replacement racing with the worker's use of the hook.
    threads.emplace_back([&] {
        while (writing) {
            registerHook(&uiObserverCalls, &ui);
            std::this_thread::sleep_for(200us);
        }
    });

    for (std::size_t i = 0; i + 1 < threads.size(); ++i) {
        threads[i].join();
    }
    writing = false;
    threads.back().join();
    ASSERT_TRUE(waitAllIdle(ui));

    const int totalWriters = kWriterThreads + 1;
    expectOrderedPerWriter(workerObserverCalls.calls(), totalWriters, kWritesPerWriter, "worker observer");
    expectOrderedPerWriter(uiObserverCalls.calls(), totalWriters, kWritesPerWriter, "ui observer");
    for (const auto& call : uiObserverCalls.calls()) {
        EXPECT_EQ(call.thread, ui.id());
    }

    // Observers saw the same queue, so they end on the same value.
    const int lastSeen = workerObserver.current();
    ui.run([&] { EXPECT_EQ(uiObserver->current(), lastSeen); });

    // A writer's own member is not overwritten by its own notification, so concurrent writers
    // may differ; one more write after the storm brings every member to the same value.
    const int settled = encode(1, kWritesPerWriter + 1);
    writerShapes[0]->setCurrentValue(settled, 0, false, false);
    ASSERT_TRUE(waitAllIdle(ui));
    EXPECT_EQ(workerObserver.current(), settled);
    for (int w = 2; w <= kWriterThreads; ++w) {
        EXPECT_EQ(writerShapes[w - 1]->current(), settled) << "writer " << w;
    }
    ui.run([&] {
        EXPECT_EQ(uiObserver->current(), settled);
        EXPECT_EQ(writerShapes[uiWriter - 1]->current(), settled);
        writerShapes[uiWriter - 1].reset();
        uiObserver.reset();
    });
    unregisterHook(&uiObserverCalls);
    unregisterHook(&writerCalls[uiWriter - 1]);
}

TEST(ShapeStress, WriteRightAfterTheWorkerEndsIsNeverLost)
{
    ASSERT_TRUE(waitWorkerIdle());
    Recorder<int> calls;
    IntShape writer;
    IntShape reader;
    reader.bind(&calls, &Recorder<int>::onChange, false);
    constexpr int kRounds = 300;
    for (int round = 1; round <= kRounds; ++round) {
        writer.setCurrentValue(round, 0, false, false);
        ASSERT_TRUE(calls.waitFor(static_cast<std::size_t>(round))) << "write " << round << " lost";
    }
    ASSERT_TRUE(waitWorkerIdle());
}

}  // namespace
