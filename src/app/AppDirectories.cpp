#include "app/AppDirectories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace {

bool holdsResourcePackage(const std::filesystem::path& directory)
{
    std::error_code error;
    return !directory.empty() && std::filesystem::is_directory(directory / kResourcePackageDirName, error);
}

}  // namespace

UserEnvironment currentUserEnvironment()
{
    UserEnvironment environment;
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
        environment.xdgConfigHome = value;
    }
    if (const char* value = std::getenv("HOME"); value != nullptr && value[0] != '\0') {
        environment.home = value;
    } else if (const passwd* account = getpwuid(getuid()); account != nullptr && account->pw_dir != nullptr) {
        environment.home = account->pw_dir;
    }
    return environment;
}

std::filesystem::path executableDirectory()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

std::filesystem::path userProfileDirectory(const UserEnvironment& environment)
{
    const std::filesystem::path xdg(environment.xdgConfigHome);
    if (xdg.is_absolute()) {
        return xdg / "mousecfg";
    }
    if (environment.home.empty()) {
        return {};
    }
    return std::filesystem::path(environment.home) / ".config" / "mousecfg";
}

std::optional<AppDirectories> resolveAppDirectories(const std::filesystem::path& executableDir,
                                                    const std::filesystem::path& installedDataDir,
                                                    const UserEnvironment& environment)
{
    if (holdsResourcePackage(executableDir)) {
        return AppDirectories{executableDir, executableDir, false};
    }
    if (holdsResourcePackage(installedDataDir)) {
        return AppDirectories{installedDataDir.lexically_normal(), userProfileDirectory(environment), true};
    }
    return std::nullopt;
}
