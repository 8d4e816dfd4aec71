#pragma once

#include "mouse/MouseWireLayout.h"

#include <string>
#include <string_view>

// A report the way the tests compare reports: upper-case hex pairs separated
// by spaces, without the zero bytes that pad it at the end ("07 F9").
std::string significantHex(const MouseReport& report);

// The same form for a report written by hand, in either case and with or
// without its padding ("07 f9 00 00" gives "07 F9"). Pairs beyond the
// report's size are ignored.
std::string normalisedHex(std::string_view hex);
