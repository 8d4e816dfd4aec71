#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

// A program started by a test, in a process group of its own, that gets
// SIGTERM when the test process dies, so that nothing outlives a crashed test.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    struct Options {
        int keepFd = -1;          // stays open in the child under the same number
        std::string outputPath;   // receives stdout and stderr; empty: /dev/null
        std::vector<std::pair<std::string, std::string>> environment;  // set in the child
    };
    bool start(const std::vector<std::string>& argv, const Options& options);
    bool start(const std::vector<std::string>& argv) { return start(argv, Options{}); }

    bool running();
    pid_t pid() const { return pid_; }

    // Waits for the process to end on its own, at most `timeout`; its exit
    // code, or -1 when it did not end (or ended by a signal).
    int waitForExit(std::chrono::milliseconds timeout);

    // SIGTERM to the group, SIGKILL when it has not ended after `grace`.
    void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

private:
    bool reap(int options);

    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
};
