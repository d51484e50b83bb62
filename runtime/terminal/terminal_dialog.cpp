#include "runtime/terminal/terminal_dialog.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "runtime/errors/tinyfiledialogs.h"
#include "runtime/terminal/console_stdin.h"

namespace {

bool variable_set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// One line of standard input in lower case, without its blanks; false
// at the end of input.
bool read_answer(std::string& answer) {
    answer.clear();
    int c;
    while ((c = console_read_byte()) >= 0 && c != '\n')
        if (!std::isspace(c)) answer += static_cast<char>(std::tolower(c));
    return c >= 0 || !answer.empty();
}

// Whether the Wayland compositor named by WAYLAND_DISPLAY (a path, or a
// name in XDG_RUNTIME_DIR) accepts a connection.
bool wayland_reachable() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name) return false;
    const char* directory = std::getenv("XDG_RUNTIME_DIR");
    const std::string path = name[0] == '/' ? name : std::string(directory ? directory : "") + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reached =
        socket_fd >= 0 && connect(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (socket_fd >= 0) close(socket_fd);
    return reached;
}

// Whether Xlib can open the X display named by DISPLAY. The library is
// loaded only for this: the terminal edition is not linked with it, and
// where it is missing no dialog program can reach an X display either.
bool x_display_opens() {
    if (!variable_set("DISPLAY")) return false;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);   // stays loaded
    if (!xlib) return false;
    using open_function = void* (*)(const char*);
    using close_function = int (*)(void*);
    const auto open_display = reinterpret_cast<open_function>(dlsym(xlib, "XOpenDisplay"));
    const auto close_display = reinterpret_cast<close_function>(dlsym(xlib, "XCloseDisplay"));
    void* display = open_display && close_display ? open_display(nullptr) : nullptr;
    if (display) close_display(display);
    return display != nullptr;
}

std::int32_t terminal_message_box(const char* title, const char* message, const char* dialog_type) {
    std::fflush(stdout);   // what the program printed comes first
    const bool question = dialog_type && std::strcmp(dialog_type, "yesno") == 0;
    if (!isatty(STDIN_FILENO) || !isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "%s\n%s\n", title ? title : "", message ? message : "");
        std::fflush(stderr);
        return 0;
    }
    std::fprintf(stderr, "%s\n%s%s", title ? title : "", message ? message : "", question ? " [y/n] " : "\n");
    if (!question) return 1;
    const char* text = message ? message : "";
    const char* last_line = std::strrchr(text, '\n');
    last_line = last_line ? last_line + 1 : text;
    for (std::string answer;;) {
        std::fflush(stderr);
        if (!read_answer(answer)) {
            std::fputc('\n', stderr);   // the end of input is No
            return 0;
        }
        if (answer == "y" || answer == "yes") return 1;
        if (answer == "n" || answer == "no") return 0;
        std::fprintf(stderr, "%s [y/n] ", last_line);
    }
}

}  // namespace

std::int32_t console_message_box(const char* title, const char* message, const char* dialog_type) {
    // xmessage shows nothing on a Wayland display.
    const bool x_only = desktop_dialog_needs_x();
    if (!variable_set("DISPLAY") && (x_only || !variable_set("WAYLAND_DISPLAY")))
        return terminal_message_box(title, message, dialog_type);
    const int answer = desktop_message_box(title, message, dialog_type, "error", 1);
    // A dialog program that cannot reach the display ends as No would
    // (zenity and xmessage with status 1): that No is no answer, unless the
    // display that the program uses can be reached.
    if (answer > 0 || (answer == 0 && ((!x_only && wayland_reachable()) || x_display_opens()))) return answer;
    return terminal_message_box(title, message, dialog_type);
}
