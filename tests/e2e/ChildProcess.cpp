#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

ChildProcess::~ChildProcess() { stop(); }

bool ChildProcess::start(const std::vector<std::string>& argv, const Options& options)
{
    const int keepFd = options.keepFd;
    const std::string& stdoutPath = options.outputPath;
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127);  // the test died before the signal was armed
        }
        // The test program is single-threaded while it starts programs.
        for (const auto& [name, value] : options.environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        const int out = stdoutPath.empty() ? open("/dev/null", O_WRONLY)
                                           : open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0) {
            dup2(in, STDIN_FILENO);
        }
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != keepFd) {
                close(fd);
            }
        }
        if (keepFd >= 0) {
            fcntl(keepFd, F_SETFD, 0);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    setpgid(pid, pid);
    pid_ = pid;
    exited_ = false;
    return true;
}

bool ChildProcess::reap(int options)
{
    if (pid_ < 0 || exited_) {
        return exited_;
    }
    int status = 0;
    if (waitpid(pid_, &status, options) == pid_) {
        exited_ = true;
        status_ = status;
    }
    return exited_;
}

bool ChildProcess::running() { return pid_ >= 0 && !reap(WNOHANG); }

int ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reap(WNOHANG)) {
        if (pid_ < 0 || std::chrono::steady_clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

void ChildProcess::stop(std::chrono::milliseconds grace)
{
    if (pid_ < 0) {
        return;
    }
    if (!reap(WNOHANG)) {
        kill(-pid_, SIGTERM);
        if (waitForExit(grace) < 0 && !exited_) {
            kill(-pid_, SIGKILL);
            reap(0);
        }
    }
    // Whatever the program left in its group goes with it.
    kill(-pid_, SIGKILL);
    pid_ = -1;
}
