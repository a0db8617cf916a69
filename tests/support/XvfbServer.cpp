#include "XvfbServer.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer(int depth, int width, int height)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    server = fork();
    if (server == 0) {
        close(fds[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        dup2(null, STDOUT_FILENO);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
        const std::string fd = std::to_string(fds[1]);
        // -displayfd: the server picks a free display number and writes it to the pipe once
        // it accepts connections.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd readable = {fds[0], POLLIN, 0};
    char c;
    while (poll(&readable, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.empty())
        name = ":" + number;
}

XvfbServer::~XvfbServer() { stop(); }

void XvfbServer::stop()
{
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
    }
}
