#include "ChildProcess.h"

#include <cerrno>
#include <exception>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kChildFailed = 99;

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::string readAll(int fd)
{
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return text;
        text.append(chunk, static_cast<std::size_t>(count));
    }
}

} // namespace

std::optional<std::string> runInChildProcess(const std::function<std::string()>& body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        int status = kChildFailed;
        try {
            status = writeAll(pipeEnds[1], body()) ? 0 : kChildFailed;
        } catch (const std::exception&) {
            status = kChildFailed;
        }
        // No exit handlers: they belong to the parent's test run.
        ::_exit(status);
    }
    ::close(pipeEnds[1]);
    const std::string text = readAll(pipeEnds[0]);
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}
