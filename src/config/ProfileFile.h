#pragma once

#include "config/ProfileStore.h"

#include <filesystem>

// Full path of a store's file: its directory and the given bare name.
std::filesystem::path profileFilePath(const ProfileStore& store, const std::wstring& fileName);
