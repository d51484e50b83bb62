#include "runtime/terminal/console_terminal.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <termios.h>
#include <unistd.h>

#include "runtime/screen/console_image.h"

namespace {

// The program thread sets the key mode; the restore, also from a signal
// handler on any thread, ends it once (exchange). Modes written before the flag.
termios modes_before_key_mode{};
std::atomic<bool> key_mode_on{false};

// Async-signal-safe: only write and tcsetattr.
void restore_from_anywhere(bool flush) {
    console_colours_restore(flush);
    if (key_mode_on.exchange(false)) tcsetattr(STDIN_FILENO, TCSANOW, &modes_before_key_mode);
}

void restore_at_exit() { restore_from_anywhere(true); }

// The terminal back, then the signal's own action: the process ends as it
// would have without the handler, with the signal as its cause.
void ending_signal(int signal_number) {
    restore_from_anywhere(false);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

constexpr int ending_signals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};

// With SA_RESTART: a handler that returns (Ctrl+Z's, after fg) leaves no
// other thread's read or write failing with EINTR.
void install(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
}

termios key_modes{};

// Ctrl+Z: the terminal's modes and colours back while the process is
// stopped, the key mode and the program's colours again when it continues.
void suspending_signal(int signal_number) {
    const bool keys = key_mode_on.load();
    if (keys) tcsetattr(STDIN_FILENO, TCSANOW, &modes_before_key_mode);
    const bool coloured = console_colours_restore(false);
    std::signal(signal_number, SIG_DFL);
    sigset_t this_signal;
    sigemptyset(&this_signal);
    sigaddset(&this_signal, signal_number);
    pthread_sigmask(SIG_UNBLOCK, &this_signal, nullptr);
    std::raise(signal_number);   // stops here until continued
    install(signal_number, suspending_signal);
    if (coloured) console_colours_set_again();
    if (keys && key_mode_on.load()) tcsetattr(STDIN_FILENO, TCSANOW, &key_modes);
}

bool ignored(int signal_number) {
    struct sigaction previous {};
    sigaction(signal_number, nullptr, &previous);
    return previous.sa_handler == SIG_IGN;   // nohup, background jobs
}

}  // namespace

void console_terminal_startup() {
    const char* terminal = std::getenv("TERM");
    console_escapes = isatty(STDOUT_FILENO) && !(terminal && std::strcmp(terminal, "dumb") == 0);
    std::atexit(restore_at_exit);
    for (int signal_number : ending_signals)
        if (!ignored(signal_number)) install(signal_number, ending_signal);
    if (!ignored(SIGTSTP)) install(SIGTSTP, suspending_signal);
}

bool console_key_mode_begin() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &modes_before_key_mode) != 0) return false;
    key_modes = modes_before_key_mode;
    key_modes.c_lflag &= ~(ICANON | ECHO);
    key_modes.c_cc[VMIN] = 1;
    key_modes.c_cc[VTIME] = 0;
    key_mode_on.store(true);
    if (tcsetattr(STDIN_FILENO, TCSANOW, &key_modes) == 0) return true;
    key_mode_on.store(false);
    return false;
}

void console_key_mode_end() {
    if (key_mode_on.exchange(false)) tcsetattr(STDIN_FILENO, TCSANOW, &modes_before_key_mode);
}

void console_terminal_restore() { restore_from_anywhere(true); }
