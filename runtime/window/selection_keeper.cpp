// The keeper is our own executable started again (posix_spawn, never a
// forked copy of the threaded GL process): in a session of its own, its
// standard streams on /dev/null, the text on descriptor 3 and a descriptor 4
// on which it reports, by one byte or by closing it, that it has taken the
// selections. It runs before any start-up of the run-time: no window, no GL,
// no threads, one X connection of its own.
#include "runtime/window/selection_keeper.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "runtime/core/sleep.h"
#include "runtime/window/x_selection.h"

extern char** environ;

namespace {

constexpr int text_descriptor = 3;
constexpr int ready_descriptor = 4;
constexpr std::size_t text_limit = 1 << 20;
constexpr char keeper_suffix[] = " (selection keeper)";   // of the keeper's argv[0]

// A close-on-exec copy of the descriptor above the keeper's own numbers.
int moved_high(int descriptor) {
    const int high = fcntl(descriptor, F_DUPFD_CLOEXEC, 10);
    close(descriptor);
    return high;
}

int remaining_ms(std::int64_t deadline) {
    const std::int64_t left = deadline - clock_ms();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Writes the text into the keeper's pipe, within the deadline.
void send_text(int descriptor, const std::string& text, std::int64_t deadline) {
    std::signal(SIGPIPE, SIG_IGN);   // a keeper that died early must not end us with a signal
    fcntl(descriptor, F_SETFL, O_NONBLOCK);
    for (std::size_t sent = 0; sent < text.size();) {
        pollfd writable{descriptor, POLLOUT, 0};
        if (poll(&writable, 1, remaining_ms(deadline)) <= 0) return;
        const ssize_t n = write(descriptor, text.data() + sent, text.size() - sent);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        if (n > 0) sent += static_cast<std::size_t>(n);
    }
}

int ignore_x_error(Display*, XErrorEvent*) { return 0; }
int display_gone(Display*) { _exit(0); }

std::string read_text() {
    std::string text;
    char piece[4096];
    for (ssize_t n; (n = read(text_descriptor, piece, sizeof piece)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        text.append(piece, static_cast<std::size_t>(std::min<std::size_t>(static_cast<std::size_t>(n), text_limit - text.size())));
    }
    close(text_descriptor);
    return text;
}

[[noreturn]] void keep_selections(unsigned bits) {
    const std::string text = read_text();
    Display* display = XOpenDisplay(nullptr);
    if (!display) _exit(0);
    XSetErrorHandler(ignore_x_error);
    XSetIOErrorHandler(display_gone);   // the display has gone: so do we
    const selection_atoms atoms = selection_atoms_intern(display);
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    // Our process number on the window, as on any client's; its PropertyNotify gives the server's time.
    const long pid = getpid();
    XChangeProperty(display, window, atoms.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XEvent event;
    XWindowEvent(display, window, PropertyChangeMask, &event);
    const Time taken = event.xproperty.time;
    unsigned kept = selections_take(display, atoms, window, bits, taken);
    [[maybe_unused]] const ssize_t reported = write(ready_descriptor, "1", 1);
    close(ready_descriptor);
    while (kept != 0) {
        XNextEvent(display, &event);
        if (event.type == SelectionRequest && event.xselectionrequest.owner == window) {
            const unsigned bit = selection_bit_of(atoms, event.xselectionrequest.selection);
            selection_answer(display, atoms, event.xselectionrequest, text, (kept & bit) != 0, taken);
        } else if (event.type == SelectionClear && event.xselectionclear.window == window &&
                   selection_clear_holds(display, event.xselectionclear, taken)) {
            kept &= ~selection_bit_of(atoms, event.xselectionclear.selection);
        }
    }
    XCloseDisplay(display);
    _exit(0);
}

}  // namespace

void selection_keeper_start(Display* display, unsigned bits, const std::string& text, std::int64_t deadline) {
    int text_pipe[2], ready_pipe[2];
    if (pipe2(text_pipe, O_CLOEXEC) != 0) return;
    if (pipe2(ready_pipe, O_CLOEXEC) != 0) {
        close(text_pipe[0]);
        close(text_pipe[1]);
        return;
    }
    const int text_read = moved_high(text_pipe[0]), text_write = moved_high(text_pipe[1]);
    const int ready_read = moved_high(ready_pipe[0]), ready_write = moved_high(ready_pipe[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, text_read, text_descriptor);
    posix_spawn_file_actions_adddup2(&actions, ready_write, ready_descriptor);
    posix_spawn_file_actions_addclosefrom_np(&actions, ready_descriptor + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // Our environment, with the display we use and the selections to keep.
    const std::string display_setting = std::string("DISPLAY=") + DisplayString(display);
    const std::string keeper_setting = std::string(selection_keeper_variable) + "=" + std::to_string(bits);
    std::vector<char*> environment;
    for (char** entry = environ; entry && *entry; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0 &&
            std::strncmp(*entry, keeper_setting.c_str(), std::strlen(selection_keeper_variable) + 1) != 0)
            environment.push_back(*entry);
    environment.push_back(const_cast<char*>(display_setting.c_str()));
    environment.push_back(const_cast<char*>(keeper_setting.c_str()));
    environment.push_back(nullptr);
    std::string name = std::string(program_invocation_short_name) + keeper_suffix;
    char* arguments[] = {name.data(), nullptr};

    pid_t pid;
    const bool started = posix_spawn(&pid, "/proc/self/exe", &actions, &attributes, arguments, environment.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(text_read);
    close(ready_write);
    if (started) send_text(text_write, text, deadline);
    close(text_write);
    if (started) {   // one byte when it owns the selections; end of file when it gave up
        pollfd ready{ready_read, POLLIN, 0};
        char byte;
        if (poll(&ready, 1, remaining_ms(deadline)) > 0) [[maybe_unused]] const ssize_t got = read(ready_read, &byte, 1);
    }
    close(ready_read);
}

void selection_keeper_run_if_asked() {
    const char* value = std::getenv(selection_keeper_variable);
    if (!value) return;
    const unsigned bits = static_cast<unsigned>(std::atoi(value)) & (selection_primary_bit | selection_clipboard_bit);
    unsetenv(selection_keeper_variable);
    struct stat text_source;
    if (fstat(text_descriptor, &text_source) != 0 || !S_ISFIFO(text_source.st_mode)) return;   // not started by us
    // Started through /proc/self/exe, the keeper's command name (what ps, top,
    // pgrep and pkill go by) would be "exe": it takes the program's name.
    const std::string name = program_invocation_short_name;
    prctl(PR_SET_NAME, name.substr(0, name.rfind(keeper_suffix)).c_str());
    keep_selections(bits);
}
