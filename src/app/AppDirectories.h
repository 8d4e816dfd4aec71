#pragma once

#include <filesystem>
#include <optional>
#include <string>

// Where the application finds its resource package and configuration file and
// keeps its profile files.
//
// A build tree or a portable copy has "uires" beside the executable: the
// package, config.xml and the profile files all live there. An installed
// build reads the package and config.xml from its data directory and keeps
// the profile files in the user's configuration directory, since it cannot
// write beside the executable.
struct AppDirectories {
    std::filesystem::path resourceDir;  // holds "uires" and config.xml
    std::filesystem::path profileDir;   // holds the profile files
    bool installed = false;
};

// The environment values the rule reads.
struct UserEnvironment {
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME, may be empty
    std::string home;           // $HOME or the account's home directory
};

UserEnvironment currentUserEnvironment();

// The directory of the running executable, empty when it cannot be read.
std::filesystem::path executableDirectory();

// The user's configuration directory for this program:
// $XDG_CONFIG_HOME/mousecfg when that is an absolute path, else ~/.config/mousecfg.
// Empty when neither is known.
std::filesystem::path userProfileDirectory(const UserEnvironment& environment);

// Applies the rule for an executable in `executableDir` whose installed data
// directory is `installedDataDir`. None when neither holds "uires".
std::optional<AppDirectories> resolveAppDirectories(const std::filesystem::path& executableDir,
                                                    const std::filesystem::path& installedDataDir,
                                                    const UserEnvironment& environment);

// Name of the resource package directory.
inline constexpr char kResourcePackageDirName[] = "uires";
