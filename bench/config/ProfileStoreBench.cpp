#include "config/ProfileStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Saving runs on the UI thread after every use of the assignment dialog, so
// its cost (dominated by flushing to disk) is what the user waits for.

namespace {

constexpr int kMacroItems = 60;

ProfileStore sampleStore(const std::filesystem::path& directory, int macros)
{
    ProfileStore store;
    store.fileName = kMouseProfileFileName;
    store.directory = directory;
    ProfileGroup& group = *appendProfileGroup(store);
    for (int m = 0; m < macros; ++m) {
        MacroGroup macro{L"Macro " + std::to_wstring(m), {}};
        for (int i = 0; i < kMacroItems; ++i)
            macro.items.push_back(
                MacroItem{0x41 + i % 26, i % 2, 10 + i, std::wstring(1, static_cast<wchar_t>(L'A' + i % 26))});
        group.macros.push_back(macro);
    }
    for (int button = 0; button < 6; ++button)
        group.records.push_back(RecordGroup{button, 1, 1, L"Macro", L"Group", group.macros.front().items});
    return store;
}

std::filesystem::path benchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "mousecfg-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        std::abort();
    return pattern;
}

void saveStore(benchmark::State& state)
{
    const std::filesystem::path directory = benchDirectory();
    ProfileStore store = sampleStore(directory, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!saveProfileStore(store))
            state.SkipWithError("save failed");
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(directory / "msprofile.xml"));
    std::filesystem::remove_all(directory);
}
BENCHMARK(saveStore)->Arg(1)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

void loadStore(benchmark::State& state)
{
    const std::filesystem::path directory = benchDirectory();
    ProfileStore saved = sampleStore(directory, static_cast<int>(state.range(0)));
    if (!saveProfileStore(saved))
        state.SkipWithError("save failed");
    for (auto _ : state) {
        ProfileStore store;
        store.directory = directory;
        benchmark::DoNotOptimize(loadProfileStore(store, kMouseProfileFileName));
    }
    std::filesystem::remove_all(directory);
}
BENCHMARK(loadStore)->Arg(1)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
