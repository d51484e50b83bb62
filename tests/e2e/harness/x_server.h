// A private X server for one test: Xvfb on a display of its own, chosen by
// the server (-displayfd), 1024 x 768 x 24, no TCP, with Mesa's software GL.
#pragma once
#include <X11/Xlib.h>
#include <string>
#include <sys/types.h>
#include <vector>

struct x_server {
    pid_t pid = -1;
    std::string display;            // ":N", for DISPLAY
    Display* connection = nullptr;  // the test's own connection

    x_server() = default;
    ~x_server();   // closes the connection and ends the server
    x_server(const x_server&) = delete;
    x_server& operator=(const x_server&) = delete;
};

// Starts the server with extra_arguments (such as "-extension", "GLX") and
// connects to it; false, with the reason in why, when Xvfb is missing or
// does not come up within 10 s. X errors on the test's connection (a window
// that has gone away) are recorded, not fatal.
bool x_server_start(x_server& server, std::string& why, const std::vector<std::string>& extra_arguments = {});

// The last X error code on a test connection since the previous call (0 none).
int x_error_take();
