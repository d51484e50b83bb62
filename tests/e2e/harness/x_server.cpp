#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/e2e/harness/harness.h"

bool x_server_start(x_server& server, std::string& why, const std::vector<std::string>& extra_arguments,
                    const std::string& screen_size) {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    int pipe_fds[2] = {-1, -1};
    server.pid = pipe(pipe_fds) == 0 ? fork() : -1;
    if (server.pid == 0) {
        close(pipe_fds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, 2);
        const std::string fd = std::to_string(pipe_fds[1]);
        std::vector<const char*> argv{"Xvfb", "-displayfd", fd.c_str(),  "-screen",
                                      "0",    screen_size.c_str(), "-nolisten", "tcp"};
        for (const std::string& argument : extra_arguments) argv.push_back(argument.c_str());
        argv.push_back(nullptr);
        execvp("Xvfb", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(pipe_fds[1]);
    // Xvfb writes its display number once it accepts connections.
    FILE* from_server = server.pid > 0 ? fdopen(pipe_fds[0], "r") : nullptr;
    char display[16] = ":";
    if (from_server && std::fgets(display + 1, sizeof display - 1, from_server))
        server.display.assign(display, std::strcspn(display, "\n"));
    if (from_server) std::fclose(from_server);
    if (server.display.empty()) {
        why = "Xvfb did not start (is it installed?)";
        return false;
    }
    server.connection = XOpenDisplay(server.display.c_str());
    if (!server.connection) why = "cannot connect to Xvfb on " + server.display;
    return server.connection != nullptr;
}

x_server::~x_server() {
    if (connection) XCloseDisplay(connection);
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}
