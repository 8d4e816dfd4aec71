// Time from a key reaching the grab thread to the chain's answer: the
// handoff to the UI thread, the walk of the chain and the way back.
#include <QCoreApplication>
#include <QMetaObject>

#include <benchmark/benchmark.h>

#include <thread>

#include "ui/KeyboardHook.h"
#include "ui/hook/KeyHandoff.h"

namespace {

bool takeEveryKey(void*, int, unsigned, const KeyHookEvent&) { return true; }

void BM_KeyPressToChainAnswer(benchmark::State& state)
{
    registerKeyboardHandler(nullptr, &takeEveryKey);
    KeyHandoff handoff(std::chrono::milliseconds(250));
    KeyHookEvent event;
    event.vkCode = 0x41;
    for (auto _ : state) {
        const KeyHandoff::Answer answer = handoff.offer(WM_KEYDOWN, event);
        if (answer != KeyHandoff::Answer::Swallowed) {
            state.SkipWithError("the chain did not answer");
            break;
        }
    }
    unregisterKeyboardHandler(&takeEveryKey);
}
BENCHMARK(BM_KeyPressToChainAnswer)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

// The UI thread runs the event loop; the benchmarks run as the grab thread.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    int result = 0;
    std::thread grabThread([&] {
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    result = app.exec();
    grabThread.join();
    return result;
}
