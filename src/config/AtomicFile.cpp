#include "config/AtomicFile.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kUserOnlyMode = S_IRUSR | S_IWUSR;

bool writeAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool removeIfPresent(const std::filesystem::path& path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool pathExists(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Writes contents to a new file at path, flushed to disk. On failure the
// partly written file is left for the caller to remove.
bool writeNewFile(const std::filesystem::path& path, std::string_view contents)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kUserOnlyMode);
    if (fd < 0)
        return false;
    // The umask may have taken bits away; the owner must keep read and write.
    const bool ok = ::fchmod(fd, kUserOnlyMode) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    return ok && closed;
}

// Makes the rename durable by flushing the directory entry.
bool syncDirectory(const std::filesystem::path& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    return synced && closed;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         const std::function<bool()>& beforeReplace)
{
    std::filesystem::path temporary = target;
    temporary += kTemporarySuffix;

    if (!removeIfPresent(temporary))
        return false;
    if (!writeNewFile(temporary, contents) || (beforeReplace && !beforeReplace())
        || ::rename(temporary.c_str(), target.c_str()) != 0) {
        // Best effort: a temporary file that cannot be removed now is
        // removed by the next save.
        static_cast<void>(removeIfPresent(temporary));
        return false;
    }
    const std::filesystem::path directory = target.parent_path();
    return syncDirectory(directory.empty() ? std::filesystem::path(".") : directory);
}

bool moveFileAside(const std::filesystem::path& file)
{
    if (!pathExists(file))
        return true;
    std::filesystem::path keep = file;
    keep += ".unreadable";
    for (unsigned suffix = 1; pathExists(keep); ++suffix) {
        keep = file;
        keep += ".unreadable." + std::to_string(suffix);
    }
    return ::rename(file.c_str(), keep.c_str()) == 0;
}
