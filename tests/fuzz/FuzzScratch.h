#pragma once

#include <filesystem>
#include <string_view>

// A directory of this process for the files a target reads, created on
// first use (in memory-backed /dev/shm when there is one) and removed with
// its contents when the process ends.
const std::filesystem::path& fuzzScratchDirectory();

// Replaces the file at path with contents, creating missing directories;
// aborts when the file cannot be written, since no input can be tested then.
void writeScratchFile(const std::filesystem::path& path, std::string_view contents);
