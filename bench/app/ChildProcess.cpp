#include "ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <thread>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Environment& extra)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const auto& [key, value] : extra) {
            replaced = replaced || key == name;
        }
        if (!replaced) {
            environment.push_back(text);
        }
    }
    for (const auto& [key, value] : extra) {
        environment.push_back(key + "=" + value);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = -1;
    }
}

ChildProcess::~ChildProcess() { terminate(); }

bool ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (pid_ < 0) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void ChildProcess::terminate()
{
    if (pid_ < 0) {
        return;
    }
    kill(pid_, SIGTERM);
    if (!waitForExit(std::chrono::seconds(3))) {
        kill(pid_, SIGKILL);
        waitForExit(std::chrono::seconds(3));
    }
}
