#pragma once

#include "FuzzTarget.h"

#include <ostream>
#include <string>
#include <vector>

struct RegisteredFuzzTarget {
    std::string name;
    FuzzTargetFunction body;
};

inline void PrintTo(const RegisteredFuzzTarget& target, std::ostream* out)
{
    *out << target.name;
}

// Every target linked into the replay runner, in registration order.
const std::vector<RegisteredFuzzTarget>& registeredFuzzTargets();
