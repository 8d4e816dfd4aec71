#pragma once

#include "config/ProfileStore.h"

#include <filesystem>
#include <string>

// A mouse profile store in `directory` whose file holds `macroCount` macros
// of 60 steps in each of three profiles; `flavour` changes every name, so
// two stores of different flavours have different files.
ProfileStore profileStoreWithMacros(const std::filesystem::path& directory, int macroCount, wchar_t flavour);

// An empty mouse profile store in `directory`.
ProfileStore emptyProfileStore(const std::filesystem::path& directory);

// Path of a store's file.
std::filesystem::path profileFileOf(const ProfileStore& store);

// The file's temporary companion, present while a save is under way.
std::filesystem::path temporaryFileOf(const ProfileStore& store);
