// Latency from a notifying write on one member to the callback of the other member of a
// two-member channel: delivered by the worker, or posted to a thread that plays the UI thread.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "shape/Shape.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBenchChannel = 40001;
using IntShape = ShapeType<int, kBenchChannel, 1, 1>;

// Notes when its callback ran.
class Receiver {
public:
    void onChange(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int)
    {
        arrivedAt_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        arrivals_.fetch_add(1, std::memory_order_release);
    }

    uint64_t arrivals() const { return arrivals_.load(std::memory_order_acquire); }
    Clock::time_point arrivedAt() const
    {
        return Clock::time_point(Clock::duration(arrivedAt_.load(std::memory_order_relaxed)));
    }

private:
    std::atomic<uint64_t> arrivals_{0};
    std::atomic<Clock::rep> arrivedAt_{0};
};

// A queue drained by its own thread, which hands each record to deliverPosted.
class DrainThread : public IDeliveryPoster {
public:
    DrainThread() : thread_([this] { loop(); }) {}

    ~DrainThread() override
    {
        {
            std::lock_guard guard(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void postDelivery(std::unique_ptr<PostedDelivery> record) override
    {
        {
            std::lock_guard guard(mutex_);
            records_.push_back(std::move(record));
        }
        wake_.notify_one();
    }

private:
    void loop()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || !records_.empty(); });
            if (records_.empty()) {
                return;
            }
            std::unique_ptr<PostedDelivery> record = std::move(records_.front());
            records_.pop_front();
            lock.unlock();
            deliverPosted(std::move(record));
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::unique_ptr<PostedDelivery>> records_;
    bool stopping_ = false;
    std::thread thread_;
};

void waitForArrival(const Receiver& receiver, uint64_t expected)
{
    while (receiver.arrivals() < expected) {
        std::this_thread::yield();
    }
}

void measureWriteToCallback(benchmark::State& state, IntShape& writer, const Receiver& receiver)
{
    std::vector<double> latencies;
    int value = 0;
    for (auto _ : state) {
        const uint64_t expected = receiver.arrivals() + 1;
        const auto start = Clock::now();
        writer.setCurrentValue(++value, 0, false, false);
        waitForArrival(receiver, expected);
        const std::chrono::duration<double> latency = receiver.arrivedAt() - start;
        state.SetIterationTime(latency.count());
        latencies.push_back(latency.count() * 1e6);
    }
    ShapeRegistry::waitUntilIdle(std::chrono::seconds(10));
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        state.counters["median_us"] = latencies[latencies.size() / 2];
        state.counters["p90_us"] = latencies[latencies.size() * 9 / 10];
    }
}

void BM_WorkerDelivery(benchmark::State& state)
{
    Receiver receiver;
    IntShape writer;
    IntShape reader;
    reader.bind(&receiver, &Receiver::onChange, false);
    measureWriteToCallback(state, writer, receiver);
}
BENCHMARK(BM_WorkerDelivery)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_PostedDelivery(benchmark::State& state)
{
    Receiver receiver;
    DrainThread ui;
    registerHook(&receiver, &ui);
    {
        IntShape writer;
        IntShape reader;
        reader.bind(&receiver, &Receiver::onChange, false);
        measureWriteToCallback(state, writer, receiver);
    }
    unregisterHook(&receiver);
}
BENCHMARK(BM_PostedDelivery)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();
