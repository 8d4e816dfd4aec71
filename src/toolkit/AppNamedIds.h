#pragma once

#include <span>

#include "toolkit/NamedIdRegistry.h"

// The application's named-ID table: every widget name its layouts use, with
// its fixed id ("_name_start" 65535, the others 65536 to 65676 in the order
// they first occur in the layouts), sorted by name. The application registers
// it with SApplication::registerNamedIds before loading any layout.
std::span<const NamedIdRow> appNamedIdTable();
