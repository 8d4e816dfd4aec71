#pragma once

#include <functional>
#include <string_view>

// Diagnostic trace of device discovery and I/O: printf-style wide formats, one
// call per line (the format carries its own "\n" where the line has one).
// By default lines go to stdout as UTF-8 when the environment variable
// MOUSECFG_TRACE is "1" and are discarded otherwise.
void hidTrace(const wchar_t* format, ...);

// Receives every formatted line; calls are serialised.
using HidTraceSink = std::function<void(std::wstring_view line)>;

// Replaces the destination of the trace; an empty sink restores the default.
void setHidTraceSink(HidTraceSink sink);
