#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

// A program started with extra environment variables, ended (SIGTERM, then
// SIGKILL) and reaped when the object goes.
class ChildProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // pid() is -1 when the program could not be started.
    ChildProcess(const std::vector<std::string>& arguments, const Environment& extra);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Waits up to `timeout` for the program to end by itself; true when it did.
    bool waitForExit(std::chrono::milliseconds timeout);
    void terminate();

private:
    pid_t pid_ = -1;
};
