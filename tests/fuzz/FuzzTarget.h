#pragma once

#include <cstddef>
#include <cstdint>

// One fuzz target: the body run on a single input.
using FuzzTargetFunction = void (*)(const std::uint8_t* data, std::size_t size);

// Adds a target to the replay runner's table; the name is the folder of its
// corpus under tests/fuzz/corpus. Returns true so it can initialise a static.
bool registerFuzzTarget(const char* name, FuzzTargetFunction body);

// FUZZ_TARGET(name) { ... } defines the body of the file's only target, run
// with `data` and `size`. In a libFuzzer build (MOUSECFG_LIBFUZZER) it is the
// fuzzer's entry point; otherwise it is registered for the replay runner.
#ifdef MOUSECFG_LIBFUZZER
#define FUZZ_TARGET(name)                                                                   \
    static void fuzzTargetBody(const std::uint8_t* data, std::size_t size);                 \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)       \
    {                                                                                       \
        fuzzTargetBody(data, size);                                                         \
        return 0;                                                                           \
    }                                                                                       \
    static void fuzzTargetBody(const std::uint8_t* data, std::size_t size)
#else
#define FUZZ_TARGET(name)                                                                   \
    static void fuzzTargetBody(const std::uint8_t* data, std::size_t size);                 \
    [[maybe_unused]] static const bool fuzzTargetRegistered = registerFuzzTarget(#name, fuzzTargetBody); \
    static void fuzzTargetBody(const std::uint8_t* data, std::size_t size)
#endif
