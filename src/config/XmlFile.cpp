#include "config/XmlFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

XmlLoadResult reportUnreadable(const std::filesystem::path& path, const std::string& reason, std::string* out)
{
    std::fprintf(stderr, "mousecfg: cannot read %s: %s\n", path.c_str(), reason.c_str());
    if (out != nullptr)
        *out = reason;
    return XmlLoadResult::Unreadable;
}

// Reads the whole file; on failure returns false with errno set.
bool readWholeFile(int fd, std::string& contents)
{
    char chunk[8192];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (count == 0)
            return true;
        contents.append(chunk, static_cast<std::size_t>(count));
    }
}

} // namespace

XmlLoadResult loadXmlFile(const std::filesystem::path& path, pugi::xml_document& document, std::string* reason)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return XmlLoadResult::Missing;
        return reportUnreadable(path, std::strerror(errno), reason);
    }
    std::string contents;
    const bool read = readWholeFile(fd, contents);
    const int readError = errno;
    ::close(fd);
    if (!read) {
        return reportUnreadable(path, std::strerror(readError), reason);
    }

    const pugi::xml_parse_result parsed =
        document.load_buffer(contents.data(), contents.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        return reportUnreadable(path, std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset),
                                reason);
    }
    return XmlLoadResult::Loaded;
}
