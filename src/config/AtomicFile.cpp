#include "config/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kUserOnlyMode = S_IRUSR | S_IWUSR;

// Records the step that failed, with errno, when the caller asked for it.
class FailureNote {
public:
    explicit FailureNote(std::string* failure) : failure_(failure) {}

    bool fail(const char* step, const std::filesystem::path& path) const
    {
        const int error = errno;
        if (failure_ != nullptr)
            *failure_ = std::string(step) + " " + path.string() + ": " + std::strerror(error);
        errno = error;
        return false;
    }

private:
    std::string* failure_;
};

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

bool pathExists(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Looks first, so that a directory that cannot be written reports that at
// the creation of the new file rather than here.
bool removeIfPresent(const std::filesystem::path& path)
{
    return !pathExists(path) || ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// Writes contents to a new file at path, flushed to disk. On failure the
// partly written file is left for the caller to remove.
bool writeNewFile(const std::filesystem::path& path, std::string_view contents, const FailureNote& note)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kUserOnlyMode);
    if (fd < 0)
        return note.fail("cannot create", path);
    // The umask may have taken bits away; the owner must keep read and write.
    const bool written = (::fchmod(fd, kUserOnlyMode) == 0 || note.fail("cannot set the permissions of", path))
        && (writeAll(fd, contents) || note.fail("cannot write", path))
        && (::fsync(fd) == 0 || note.fail("cannot flush", path));
    const bool closed = ::close(fd) == 0;
    if (written && !closed)
        return note.fail("cannot write", path);
    return written;
}

// Makes the rename durable by flushing the directory entry.
bool syncDirectory(const std::filesystem::path& directory, const FailureNote& note)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return note.fail("cannot open the directory", directory);
    const bool synced = ::fsync(fd) == 0 || note.fail("cannot flush the directory", directory);
    const bool closed = ::close(fd) == 0;
    if (synced && !closed)
        return note.fail("cannot flush the directory", directory);
    return synced;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         const std::function<bool()>& beforeReplace, std::string* failure)
{
    const FailureNote note(failure);
    std::filesystem::path temporary = target;
    temporary += kTemporarySuffix;

    if (!removeIfPresent(temporary))
        return note.fail("cannot remove the temporary file", temporary);
    const bool replaced = writeNewFile(temporary, contents, note) && (!beforeReplace || beforeReplace())
        && (::rename(temporary.c_str(), target.c_str()) == 0 || note.fail("cannot replace", target));
    if (!replaced) {
        // Best effort: a temporary file that cannot be removed now is
        // removed by the next save.
        const int error = errno;
        static_cast<void>(removeIfPresent(temporary));
        errno = error;
        return false;
    }
    const std::filesystem::path directory = target.parent_path();
    return syncDirectory(directory.empty() ? std::filesystem::path(".") : directory, note);
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
