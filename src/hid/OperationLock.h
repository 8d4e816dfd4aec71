#pragma once

#include <mutex>
#include <string>

// A process-wide recursive lock per operation name ("HidDevice::Read", ...),
// created on first use and shared by every caller of that name. The returned
// guard holds it until it goes out of scope; the wait has no time limit.
std::unique_lock<std::recursive_mutex> operationLock(const std::string& name);
