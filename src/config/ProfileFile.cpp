#include "config/ProfileFile.h"

#include <pugixml.hpp>

std::filesystem::path profileFilePath(const ProfileStore& store, const std::wstring& fileName)
{
    // Built from UTF-8 so the name does not depend on the process locale.
    return store.directory / std::filesystem::path(pugi::as_utf8(fileName));
}
