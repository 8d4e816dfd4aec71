#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Suffix of the temporary file written beside the target.
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// Replaces the file at target with contents so that the target name always
// holds either the old or the complete new file: the contents go to a
// temporary file in the same directory (created readable and writable by the
// user only), are flushed to disk and then renamed over the target. A
// temporary file left behind by an interrupted save is removed first.
// beforeReplace, when given, runs after the temporary file is complete and
// before the rename; returning false abandons the save. On any failure the
// temporary file is removed, the target is untouched and the result is false;
// `failure`, when given, then receives the step, the file and the system's
// reason ("cannot write <path>: No space left on device"), unless it was
// beforeReplace that refused (it may fill `failure` itself).
bool writeFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         const std::function<bool()>& beforeReplace = {}, std::string* failure = nullptr);

// Renames file to the first free name among "<file>.unreadable",
// "<file>.unreadable.1", "<file>.unreadable.2", ... so that it survives a
// later save. True when the file was moved or does not exist.
bool moveFileAside(const std::filesystem::path& file);
