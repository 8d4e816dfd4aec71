#pragma once

#include <pugixml.hpp>

#include <filesystem>
#include <string>

enum class XmlLoadResult {
    Loaded,     // the file was read and parsed
    Missing,    // there is no file at the path
    Unreadable, // the file exists but could not be read or is not well-formed
};

// Parses the file with the library's default options and automatic encoding
// detection. An unreadable file is reported with one line on stderr naming
// the file and the reason (the parser's description and offset), so that a
// user who mistyped it learns why it had no effect. A missing file prints
// nothing. `reason`, when given, receives that reason for an unreadable file.
XmlLoadResult loadXmlFile(const std::filesystem::path& path, pugi::xml_document& document,
                          std::string* reason = nullptr);
