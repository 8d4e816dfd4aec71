#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The whole file as bytes; empty when it cannot be read, which the callers'
// comparisons then report.
inline std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
