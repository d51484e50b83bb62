#include "tests/e2e/harness/x_server.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int last_x_error = 0;

// The display (":N") whose number Xvfb writes to the pipe once it accepts
// connections; empty at end of file or after 10 s.
std::string read_display(int fd) {
    std::string text = ":";
    while (text.find('\n') == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        char chunk[32];
        const ssize_t n = poll(&ready, 1, 10000) > 0 ? read(fd, chunk, sizeof chunk) : 0;
        if (n <= 0) return "";
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

}  // namespace

bool x_server_start(x_server& server, std::string& why, const std::vector<std::string>& extra_arguments) {
    XSetErrorHandler([](Display*, XErrorEvent* error) {
        last_x_error = error->error_code;
        return 0;
    });
    int pipe_fds[2] = {-1, -1};
    server.pid = pipe(pipe_fds) == 0 ? fork() : -1;
    if (server.pid == 0) {
        close(pipe_fds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, 2);
        const std::string fd = std::to_string(pipe_fds[1]);
        std::vector<const char*> argv{"Xvfb",        "-displayfd", fd.c_str(), "-screen",
                                      "0", "1024x768x24", "-nolisten",  "tcp"};
        for (const std::string& argument : extra_arguments) argv.push_back(argument.c_str());
        argv.push_back(nullptr);
        execvp("Xvfb", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(pipe_fds[1]);
    server.display = server.pid > 0 ? read_display(pipe_fds[0]) : "";
    close(pipe_fds[0]);
    if (server.display.empty()) {
        why = "Xvfb did not start (is it installed?)";
        return false;
    }
    for (int attempt = 0; attempt < 50 && !server.connection; ++attempt) {
        server.connection = XOpenDisplay(server.display.c_str());
        if (!server.connection) usleep(20000);
    }
    if (!server.connection) why = "cannot connect to Xvfb on " + server.display;
    return server.connection != nullptr;
}

x_server::~x_server() {
    if (connection) XCloseDisplay(connection);
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

int x_error_take() {
    const int error = last_x_error;
    last_x_error = 0;
    return error;
}
