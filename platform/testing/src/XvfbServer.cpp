#include "testing/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer() {
    int fds[2];
    if (pipe(fds) != 0) {
        whyNot = "no pipe for Xvfb";
        return;
    }
    pid = fork();
    if (pid == 0) {
        // The server keeps none of the test's descriptors: a pipe it held open would keep a
        // death test's parent waiting after the test process ended.
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        dup2(fds[1], 3);
        close_range(4, ~0u, 0);
        const std::string fd = "3";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    // The server writes its display number once it accepts connections.
    while (pid > 0 && poll(&p, 1, 20000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        whyNot = "Xvfb did not start (is the package xvfb installed?)";
        if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
        pid = -1;
        return;
    }
    name = ":" + number;
}

XvfbServer::~XvfbServer() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
}

XvfbServer& XvfbServer::Shared() {
    static XvfbServer server;
    return server;
}

void XvfbServer::Kill() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
    const std::string number = name.substr(1);
    unlink(("/tmp/.X11-unix/X" + number).c_str());
    unlink(("/tmp/.X" + number + "-lock").c_str());
}
