#pragma once

#include "hid/HidTrace.h"

#include <mutex>
#include <string>
#include <vector>

// Collects trace lines while alive.
class TraceCapture {
public:
    TraceCapture()
    {
        setHidTraceSink([this](std::wstring_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        });
    }
    ~TraceCapture() { setHidTraceSink(nullptr); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::wstring> lines() const
    {
        std::lock_guard lock(mutex_);
        return lines_;
    }

    void clear()
    {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

    bool contains(const std::wstring& line) const
    {
        std::lock_guard lock(mutex_);
        for (const auto& l : lines_)
            if (l == line)
                return true;
        return false;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> lines_;
};
