#pragma once

#include "shape/Records.h"

#include <string_view>
#include <vector>

// Parses the steps of a combination key, written as "code:delay" tokens
// separated by commas (for example "17:5,65:0"). Spaces are removed first;
// empty tokens and tokens made only of colons yield no step; a token without
// a colon has delay 0; anything after a second colon is ignored. Both parts
// are converted like wcstol in base 10.
std::vector<CombKeyStep> parseCombKeySteps(std::wstring_view text);
