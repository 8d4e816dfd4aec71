#include "hid/HidTrace.h"

#include "hid/HidText.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

namespace {

constexpr const char* kTraceVariable = "MOUSECFG_TRACE";
constexpr size_t kInitialLineCapacity = 512;
constexpr size_t kMaxLineCapacity = 1 << 16;

std::mutex& traceMutex()
{
    static std::mutex mutex;
    return mutex;
}

HidTraceSink& installedSink()
{
    static HidTraceSink sink;
    return sink;
}

bool stdoutTraceEnabled()
{
    const char* value = std::getenv(kTraceVariable);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// vswprintf reports a too-small buffer only by failing, so grow until it fits.
std::wstring formatLine(const wchar_t* format, va_list arguments)
{
    std::vector<wchar_t> buffer(kInitialLineCapacity);
    while (true) {
        va_list attempt;
        va_copy(attempt, arguments);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, attempt);
        va_end(attempt);
        if (written >= 0)
            return std::wstring(buffer.data(), static_cast<size_t>(written));
        if (buffer.size() >= kMaxLineCapacity)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

void hidTrace(const wchar_t* format, ...)
{
    std::lock_guard lock(traceMutex());
    HidTraceSink& sink = installedSink();
    if (!sink && !stdoutTraceEnabled())
        return;
    va_list arguments;
    va_start(arguments, format);
    const std::wstring line = formatLine(format, arguments);
    va_end(arguments);
    if (sink) {
        sink(line);
        return;
    }
    const std::string utf8 = hidWideToUtf8(line);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

void setHidTraceSink(HidTraceSink sink)
{
    std::lock_guard lock(traceMutex());
    installedSink() = std::move(sink);
}
