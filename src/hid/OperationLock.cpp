#include "hid/OperationLock.h"

#include <map>
#include <memory>

std::unique_lock<std::recursive_mutex> operationLock(const std::string& name)
{
    static std::mutex tableMutex;
    static std::map<std::string, std::unique_ptr<std::recursive_mutex>> table;
    std::recursive_mutex* lock = nullptr;
    {
        std::lock_guard guard(tableMutex);
        auto& entry = table[name];
        if (!entry)
            entry = std::make_unique<std::recursive_mutex>();
        lock = entry.get();
    }
    return std::unique_lock(*lock);
}
