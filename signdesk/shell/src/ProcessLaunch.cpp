#include "shell/ProcessLaunch.h"

#include <cerrno>
#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <win32/user.h>

extern char** environ;

namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// Waits for the child in the background so that it never stays a zombie.
void ReapLater(pid_t pid) {
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

// True once the child has ended (and been reaped) within the time.
bool WaitFor(pid_t pid, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20)) pause *= 2;
    }
}

} // namespace

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> args;
    if (!commandLine) return args;
    const char* p = commandLine;
    while (Blank(*p))
        ++p;
    if (!*p) return args;

    // The program: no backslash rules.
    std::string program;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p)
            program += *p;
        if (*p == '"') ++p;
    } else {
        for (; *p && !Blank(*p); ++p)
            program += *p;
    }
    args.push_back(program);

    for (;;) {
        while (Blank(*p))
            ++p;
        if (!*p) break;
        std::string arg;
        bool quoted = false;
        while (*p && (quoted || !Blank(*p))) {
            if (*p == '\\') {
                std::size_t slashes = 0;
                while (*p == '\\') {
                    ++slashes;
                    ++p;
                }
                if (*p == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        arg += '"';
                        ++p;
                    }
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (*p == '"') {
                if (quoted && p[1] == '"') {
                    arg += '"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
            } else {
                arg += *p++;
            }
        }
        args.push_back(arg);
    }
    return args;
}

void RunProcessAndWait(const char* commandLine, int timeoutMs) {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    pid_t pid = -1;
    int error = ENOENT;
    if (!args.empty() && !args[0].empty()) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        error = ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    }
    if (error != 0) {
        std::string text = std::string("Unable to run:") + (commandLine ? commandLine : "");
        MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK);
        return;
    }
    if (timeoutMs == -1 || !WaitFor(pid, timeoutMs < 0 ? 0 : timeoutMs)) ReapLater(pid);
}
