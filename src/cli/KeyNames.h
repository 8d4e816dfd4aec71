#pragma once

#include <optional>
#include <string>

// Key names of the key table, as mousectl accepts and records them.

// The name of the key table entry for `code`: an exact match first, then the
// code without the extended-key flag; none when neither finds an entry.
std::optional<std::wstring> keyNameOf(int code);

// A key given on the command line: a key table name (letter case ignored,
// the first entry of that name wins) or a key code in decimal or 0x-hex that
// the key table knows. None for anything else.
std::optional<int> keyCodeFromArgument(const std::string& argument);
