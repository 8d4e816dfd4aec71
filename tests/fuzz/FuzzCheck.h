#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run when a property of the code under test does not hold. The
// fuzzer keeps the input as a crash; the replay runner names the input.
inline void fuzzRequire(bool condition, const char* property)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz property violated: %s\n", property);
        std::abort();
    }
}
