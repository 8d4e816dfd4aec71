#include "FuzzRegistry.h"

namespace {

std::vector<RegisteredFuzzTarget>& targets()
{
    static std::vector<RegisteredFuzzTarget> registered;
    return registered;
}

} // namespace

bool registerFuzzTarget(const char* name, FuzzTargetFunction body)
{
    targets().push_back(RegisteredFuzzTarget{name, body});
    return true;
}

const std::vector<RegisteredFuzzTarget>& registeredFuzzTargets()
{
    return targets();
}
