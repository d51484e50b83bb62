// Message boxes through the desktop's dialog program.
//
// The program is looked up on PATH (zenity, then kdialog, then xmessage) and
// started with fork and execv: title and message travel as single argument
// vector entries (xmessage reads its text from its standard input), so no
// shell ever sees them and no byte of them is interpreted.
//
// While the box is shown the caller waits for the program's end, its output
// and the end of every box together, so a program that prints a lot never
// blocks on a full pipe, and a box that is never answered still ends when
// the process does.
#include "runtime/errors/tinyfiledialogs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum class dialog_kind { ok, okcancel, yesno, yesnocancel };

dialog_kind parse_dialog_type(const char* type) {
    if (type && std::strcmp(type, "okcancel") == 0) return dialog_kind::okcancel;
    if (type && std::strcmp(type, "yesno") == 0) return dialog_kind::yesno;
    if (type && std::strcmp(type, "yesnocancel") == 0) return dialog_kind::yesnocancel;
    return dialog_kind::ok;
}

bool is_icon(const char* icon, const char* name) { return icon && std::strcmp(icon, name) == 0; }

// The executable file `program` in the first PATH directory that has one
// (an empty entry is the current directory, an unset PATH means /bin:/usr/bin).
std::string find_on_path(const char* program) {
    const char* path = std::getenv("PATH");
    const std::string directories = path ? path : "/bin:/usr/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = directories.find(':', start);
        if (end == std::string::npos) end = directories.size();
        std::string candidate = end == start ? "." : directories.substr(start, end - start);
        candidate += '/';
        candidate += program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

enum class dialog_program { zenity, kdialog, xmessage };

struct dialog_command {
    dialog_program program;
    std::string path;
    std::vector<std::string> arguments;  // without argv[0]
};

const char* zenity_icon(const char* icon) {
    if (is_icon(icon, "warning")) return "dialog-warning";
    if (is_icon(icon, "info")) return "dialog-information";
    if (is_icon(icon, "question")) return "dialog-question";
    return "dialog-error";
}

// zenity answers 0 for OK/Yes and 1 for Cancel/No; an extra button also
// answers 1 and prints its label.
std::vector<std::string> zenity_arguments(const std::string& title, const std::string& message,
                                          dialog_kind kind, const char* icon, int default_button) {
    std::vector<std::string> a;
    switch (kind) {
        case dialog_kind::ok:
            a.push_back(is_icon(icon, "error") ? "--error" : is_icon(icon, "warning") ? "--warning" : "--info");
            break;
        case dialog_kind::okcancel:
            a.insert(a.end(), {"--question", "--ok-label=Ok", "--cancel-label=Cancel"});
            break;
        case dialog_kind::yesno:
            a.insert(a.end(), {"--question", "--ok-label=Yes", "--cancel-label=No"});
            break;
        case dialog_kind::yesnocancel:
            a.insert(a.end(), {"--question", "--ok-label=Yes", "--cancel-label=No", "--extra-button=Cancel"});
            break;
    }
    if (kind != dialog_kind::ok) {
        a.push_back(std::string("--icon-name=") + zenity_icon(icon));
        if (default_button == 0) a.push_back("--default-cancel");
    }
    a.push_back("--no-markup");
    a.push_back("--title=" + title);
    a.push_back("--text=" + message);
    return a;
}

// kdialog's message goes to a label that takes text for rich text when it
// looks like markup. It is sent as rich text that shows every character as
// written: markup characters as entities, line breaks as <br>, and each space
// that follows a space or starts a line as a non-breaking one.
std::string kdialog_literal_text(const std::string& text) {
    std::string rich = "<qt>";
    bool line_start = true, after_space = false;
    for (const char c : text) {
        switch (c) {
            case '&': rich += "&amp;"; break;
            case '<': rich += "&lt;"; break;
            case '>': rich += "&gt;"; break;
            case '"': rich += "&quot;"; break;
            case '\n': rich += "<br>"; break;
            case ' ': rich += line_start || after_space ? "&nbsp;" : " "; break;
            default: rich += c; break;
        }
        line_start = c == '\n';
        after_space = c == ' ';
    }
    return rich + "</qt>";
}

// A window title is plain text, but "[*]" in it marks where a modified
// document's asterisk goes and is not shown; "[*][*]" shows as "[*]".
std::string kdialog_literal_title(const std::string& title) {
    std::string literal;
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title.compare(i, 3, "[*]") == 0) {
            literal += "[*][*]";
            i += 2;
        } else {
            literal += title[i];
        }
    }
    return literal;
}

// kdialog answers 0 for OK/Yes, 1 for No, 2 for Cancel.
std::vector<std::string> kdialog_arguments(const std::string& title, const std::string& message,
                                           dialog_kind kind, const char* icon) {
    std::vector<std::string> a{"--title", kdialog_literal_title(title)};
    switch (kind) {
        case dialog_kind::ok: a.push_back(is_icon(icon, "error") ? "--error" : "--msgbox"); break;
        case dialog_kind::okcancel: a.insert(a.end(), {"--continue-label", "Ok", "--warningcontinuecancel"}); break;
        case dialog_kind::yesno: a.push_back("--warningyesno"); break;
        case dialog_kind::yesnocancel: a.push_back("--warningyesnocancel"); break;
    }
    a.push_back(kdialog_literal_text(message));
    return a;
}

// xmessage answers with the number given to the pressed button; it reads
// the message from its standard input.
std::vector<std::string> xmessage_arguments(const std::string& title, dialog_kind kind, int default_button) {
    const char* buttons = "OK:0";
    const char* default_label = "OK";
    switch (kind) {
        case dialog_kind::ok: break;
        case dialog_kind::okcancel:
            buttons = "OK:0,Cancel:1";
            if (default_button == 0) default_label = "Cancel";
            break;
        case dialog_kind::yesno:
            buttons = "Yes:0,No:1";
            default_label = default_button == 0 ? "No" : "Yes";
            break;
        case dialog_kind::yesnocancel:
            buttons = "Yes:0,No:2,Cancel:1";
            default_label = default_button == 0 ? "Cancel" : default_button == 2 ? "No" : "Yes";
            break;
    }
    return {"-title", title, "-center", "-buttons", buttons, "-default", default_label, "-file", "-"};
}

void close_pair(int ends[2]) {
    for (int i = 0; i < 2; ++i)
        if (ends[i] >= 0) close(ends[i]);
}

void close_if_open(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// Once the process is ending no box is shown, and a box being shown ends
// as if closed. The event descriptor becomes readable then, for good, and
// wakes every waiting box. Set by the exit sequence (the screen thread's, or
// the program thread's in the terminal edition), read by any thread's box.
std::atomic<bool> boxes_abandoned{false};

int abandon_signal() {
    static const int signal = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return signal;
}

constexpr int dialog_failed = -1;      // it could not run
constexpr int dialog_abandoned = -2;   // it was ended because the process is ending

// What a dialog program prints is read all along, so that it never blocks
// on a full pipe, but only this much is kept: its answer is a word.
constexpr std::size_t output_kept = 256;
// How long an abandoned dialog gets to end on SIGTERM before SIGKILL.
constexpr int termination_grace_ms = 200;
// How often the wait looks again when the kernel cannot report the
// program's end through a descriptor.
constexpr int fallback_poll_ms = 50;

void keep_output(std::string& output, const char* bytes, ssize_t count) {
    if (count > 0 && output.size() < output_kept)
        output.append(bytes, std::min(static_cast<std::size_t>(count), output_kept - output.size()));
}

// A descriptor that becomes readable when the child ends, or -1 where the
// kernel has none.
int child_end_descriptor(pid_t child) { return static_cast<int>(syscall(SYS_pidfd_open, child, 0)); }

// Waits until the child has ended (without reaping it) or timeout_ms passed.
void wait_for_end(pid_t child, int end_descriptor, int timeout_ms) {
    if (end_descriptor >= 0) {
        pollfd ended{end_descriptor, POLLIN, 0};
        while (poll(&ended, 1, timeout_ms) < 0 && errno == EINTR) {}
        return;
    }
    for (int waited = 0; waited < timeout_ms; waited += 10) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == child)
            return;
        usleep(10000);
    }
}

void signal_group(pid_t child, int signal) {
    if (kill(-child, signal) != 0) kill(child, signal);
}

// Ends the dialog and everything it started (they share its process group):
// SIGTERM, a short grace, then SIGKILL for whatever is left. Reaps the child.
void end_dialog(pid_t child, int end_descriptor) {
    signal_group(child, SIGTERM);
    wait_for_end(child, end_descriptor, termination_grace_ms);
    signal_group(child, SIGKILL);   // the child is not reaped yet, so its group id is still its own
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
}

// Waits for the child's end, meanwhile writing input to its standard input
// and reading its standard output. Returns its exit status, dialog_failed
// when it did not exit normally, or dialog_abandoned.
int wait_for_dialog(pid_t child, int input_fd, int output_fd, const std::string& input, std::string& output) {
    const int end_descriptor = child_end_descriptor(child);
    const int abandoned = abandon_signal();
    const int timeout = end_descriptor >= 0 && abandoned >= 0 ? -1 : fallback_poll_ms;
    std::size_t sent = 0;
    if (input.empty()) close_if_open(input_fd);
    char buffer[4096];
    int result = dialog_failed;
    for (;;) {
        if (boxes_abandoned.load()) {
            end_dialog(child, end_descriptor);
            result = dialog_abandoned;
            break;
        }
        int status = 0;
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            if (ended == child && WIFEXITED(status)) result = WEXITSTATUS(status);
            break;
        }
        pollfd watched[4] = {{output_fd, POLLIN, 0}, {input_fd, POLLOUT, 0}, {end_descriptor, POLLIN, 0},
                             {abandoned, POLLIN, 0}};
        if (poll(watched, 4, timeout) < 0) continue;   // EINTR
        if (watched[0].revents) {
            const ssize_t n = read(output_fd, buffer, sizeof buffer);
            if (n > 0) keep_output(output, buffer, n);
            else if (n == 0 || errno != EINTR) close_if_open(output_fd);
        }
        if (watched[1].revents) {
            const ssize_t n = send(input_fd, input.data() + sent, input.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) sent += static_cast<std::size_t>(n);
            if ((n < 0 && errno != EINTR && errno != EAGAIN) || sent == input.size()) close_if_open(input_fd);
        }
    }
    // What the program printed just before it ended. A process it left
    // behind may hold the pipe open: read only what is there.
    if (output_fd >= 0 && result != dialog_abandoned) {
        fcntl(output_fd, F_SETFL, O_NONBLOCK);
        for (ssize_t n; output.size() < output_kept && (n = read(output_fd, buffer, sizeof buffer)) > 0;)
            keep_output(output, buffer, n);
    }
    close_if_open(output_fd);
    close_if_open(input_fd);
    if (end_descriptor >= 0) close(end_descriptor);
    return result;
}

// Runs the command with `input` on its standard input and keeps the start of
// what it prints; returns its exit status, dialog_failed when it could not
// run, or dialog_abandoned.
int run_dialog(const dialog_command& command, const std::string& input, std::string& output) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(command.path.c_str()));
    for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // exec_report closes on a successful exec and carries errno otherwise;
    // the standard input is a socket so that writing to a program that has
    // exited fails with EPIPE instead of raising SIGPIPE.
    int exec_report[2] = {-1, -1}, to_child[2] = {-1, -1}, from_child[2] = {-1, -1};
    if (pipe2(exec_report, O_CLOEXEC) != 0 || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, to_child) != 0 ||
        pipe2(from_child, O_CLOEXEC) != 0) {
        close_pair(exec_report);
        close_pair(to_child);
        close_pair(from_child);
        return dialog_failed;
    }

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec. The dialog gets
        // a process group of its own, which an abandoned box ends as a whole,
        // and SIGTERM when the thread that started it ends: in the run-time,
        // whose threads live as long as the process, when the process ends,
        // however that happens. Its group is a background one on the caller's
        // terminal, where (with "stty tostop") a write to the terminal, such
        // as a toolkit's warning on standard error, would stop it for good:
        // it ignores the signals that stop background groups at the terminal.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        std::signal(SIGTTOU, SIG_IGN);
        std::signal(SIGTTIN, SIG_IGN);
        if (getppid() != parent) _exit(127);
        dup2(to_child[1], STDIN_FILENO);
        dup2(from_child[1], STDOUT_FILENO);
        // When an end already was descriptor 0 or 1, dup2 left it close-on-exec.
        fcntl(STDIN_FILENO, F_SETFD, 0);
        fcntl(STDOUT_FILENO, F_SETFD, 0);
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);  // the program gets no other descriptor of ours
        execv(argv[0], argv.data());
        const int error = errno;
        ssize_t ignored = write(exec_report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(exec_report[1]);
    close(to_child[1]);
    close(from_child[1]);
    if (child < 0) {
        close(exec_report[0]);
        close(to_child[0]);
        close(from_child[0]);
        return dialog_failed;
    }
    setpgid(child, child);   // also here, so that the group exists before the child runs

    int exec_error = 0;
    ssize_t got;
    do {
        got = read(exec_report[0], &exec_error, sizeof exec_error);
    } while (got < 0 && errno == EINTR);
    close(exec_report[0]);

    const int result = wait_for_dialog(child, to_child[0], from_child[0], got > 0 ? std::string() : input, output);
    return got > 0 && result != dialog_abandoned ? dialog_failed : result;
}

// tinyfiledialogs' results: 1 OK/Yes, 0 Cancel/No/closed, 2 No of "yesnocancel".
int map_exit_status(int status, const std::string& output, dialog_kind kind, dialog_program program) {
    if (status == 0) return 1;
    if (kind != dialog_kind::yesnocancel) return 0;
    switch (program) {
        case dialog_program::zenity: return status == 1 && output.rfind("Cancel", 0) != 0 ? 2 : 0;
        case dialog_program::kdialog: return status == 1 ? 2 : 0;
        case dialog_program::xmessage: return status == 2 ? 2 : 0;
    }
    return 0;
}

}  // namespace

void message_boxes_abandon() {
    boxes_abandoned.store(true);
    const std::uint64_t one = 1;
    if (const int signal = abandon_signal(); signal >= 0) {
        ssize_t ignored = write(signal, &one, sizeof one);
        (void)ignored;
    }
}

bool desktop_dialog_needs_x() {
    return find_on_path("zenity").empty() && find_on_path("kdialog").empty() && !find_on_path("xmessage").empty();
}

int desktop_message_box(char const* aTitle, char const* aMessage, char const* aDialogType,
                        char const* aIconType, int aDefaultButton) {
    if (boxes_abandoned.load()) return 0;
    const std::string title = aTitle ? aTitle : "";
    const std::string message = aMessage ? aMessage : "";
    const dialog_kind kind = parse_dialog_type(aDialogType);

    dialog_command command{};
    std::string input;
    if (std::string path = find_on_path("zenity"); !path.empty()) {
        command = {dialog_program::zenity, path, zenity_arguments(title, message, kind, aIconType, aDefaultButton)};
    } else if (std::string path = find_on_path("kdialog"); !path.empty()) {
        command = {dialog_program::kdialog, path, kdialog_arguments(title, message, kind, aIconType)};
    } else if (std::string path = find_on_path("xmessage"); !path.empty()) {
        command = {dialog_program::xmessage, path, xmessage_arguments(title, kind, aDefaultButton)};
        input = message;
    }

    std::string output;
    const int status = command.path.empty() ? dialog_failed : run_dialog(command, input, output);
    if (status == dialog_abandoned) return 0;
    if (status < 0) return -1;
    return map_exit_status(status, output, kind, command.program);
}

int tinyfd_messageBox(char const* aTitle, char const* aMessage, char const* aDialogType,
                      char const* aIconType, int aDefaultButton) {
    const int answer = desktop_message_box(aTitle, aMessage, aDialogType, aIconType, aDefaultButton);
    if (answer >= 0) return answer;
    std::fprintf(stderr, "%s\n%s\n", aTitle ? aTitle : "", aMessage ? aMessage : "");
    std::fflush(stderr);
    return 0;
}
