#include "SpoolerCommand.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "win32/SpoolerTesting.h"

extern char** environ;

namespace sdspool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD defaultTimeout = 10000;
std::atomic<DWORD> commandTimeout{defaultTimeout};

int millisecondsUntil(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// Ends the child, by force once the deadline has passed; true when it exited with 0.
bool reap(pid_t child, Clock::time_point deadline) {
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR) return false;
        if (Clock::now() >= deadline) {
            ::kill(-child, SIGKILL); // its own process group: helpers it started go too
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

std::optional<std::string> runSpoolerCommand(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return std::nullopt;
    const auto deadline = Clock::now() + std::chrono::milliseconds(commandTimeout.load());

    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    pid_t child = 0;
    int spawned = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
        ::close(output[0]);
        return std::nullopt;
    }

    std::string text;
    bool complete = false;
    for (;;) {
        pollfd watch{output[0], POLLIN, 0};
        int ready = ::poll(&watch, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break; // time-out
        char buffer[4096];
        ssize_t n = ::read(output[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            complete = n == 0;
            break;
        }
        text.append(buffer, std::size_t(n));
    }
    ::close(output[0]);
    bool succeeded = reap(child, complete ? deadline : Clock::now());
    if (!complete || !succeeded) return std::nullopt;
    return text;
}

void setSpoolerCommandTimeout(DWORD milliseconds) {
    commandTimeout = milliseconds ? milliseconds : defaultTimeout;
}

} // namespace sdspool

void SdSetSpoolerCommandTimeout(DWORD milliseconds) {
    sdspool::setSpoolerCommandTimeout(milliseconds);
}
