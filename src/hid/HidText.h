#pragma once

#include <string>
#include <string_view>

// UTF-8 <-> wide text for device nodes and trace lines. Malformed input
// becomes U+FFFD; neither direction fails.
std::string hidWideToUtf8(std::wstring_view text);
std::wstring hidUtf8ToWide(std::string_view text);
