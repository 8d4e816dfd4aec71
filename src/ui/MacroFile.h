#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "config/ProfileStore.h"

// Macro-group files for export and import: a "macro" element holding one
// "group" (attribute "name") per macro group and one "item" ("code",
// "state", "delay", "name") per step, as in the profile file.

// Writes the groups to `path`, replacing it atomically; false on failure.
bool writeMacroFile(const std::filesystem::path& path, const std::vector<MacroGroup>& groups);

enum class MacroFileResult {
    Ok,
    Unreadable,    // missing, unreadable or not well-formed XML
    NotMacroFile,  // well-formed, but its root is not a "macro" element
};

// Reads the groups of a macro file; `groups` is filled only on Ok.
MacroFileResult readMacroFile(const std::filesystem::path& path, std::vector<MacroGroup>& groups);

// `name`, or "name (2)", "name (3)", ... : the first that no group of
// `library` bears.
std::wstring uniqueGroupName(const std::vector<MacroGroup>& library, const std::wstring& name);

// Appends `imported` to `library`, renaming groups whose name is taken.
void appendImportedGroups(std::vector<MacroGroup>& library, const std::vector<MacroGroup>& imported);
