// Message boxes through the desktop's dialog program.
//
// The program is looked up on PATH (zenity, then kdialog, then xmessage) and
// started with fork and execv: title and message travel as single argument
// vector entries (xmessage reads its text from its standard input), so no
// shell ever sees them and no byte of them is interpreted.
#include "runtime/errors/tinyfiledialogs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
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

// kdialog answers 0 for OK/Yes, 1 for No, 2 for Cancel.
std::vector<std::string> kdialog_arguments(const std::string& title, const std::string& message,
                                           dialog_kind kind, const char* icon) {
    std::vector<std::string> a{"--title", title};
    switch (kind) {
        case dialog_kind::ok: a.push_back(is_icon(icon, "error") ? "--error" : "--msgbox"); break;
        case dialog_kind::okcancel: a.insert(a.end(), {"--continue-label", "Ok", "--warningcontinuecancel"}); break;
        case dialog_kind::yesno: a.push_back("--warningyesno"); break;
        case dialog_kind::yesnocancel: a.push_back("--warningyesnocancel"); break;
    }
    a.push_back(message);
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

// Runs the command with `input` on its standard input and keeps what it
// prints; returns its exit status, or -1 when it could not run.
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
        return -1;
    }

    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec.
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
        return -1;
    }

    for (std::size_t sent = 0; sent < input.size();) {
        const ssize_t n = send(to_child[0], input.data() + sent, input.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    close(to_child[0]);

    int exec_error = 0;
    ssize_t got;
    do {
        got = read(exec_report[0], &exec_error, sizeof exec_error);
    } while (got < 0 && errno == EINTR);
    close(exec_report[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            close(from_child[0]);
            return -1;
        }
    }

    // Read what it printed only now, without waiting: a process it left
    // behind may hold the pipe open. (Dialog programs print a word or two.)
    fcntl(from_child[0], F_SETFL, O_NONBLOCK);
    char buffer[256];
    for (ssize_t n; (n = read(from_child[0], buffer, sizeof buffer)) > 0 && output.size() < 4096;)
        output.append(buffer, static_cast<std::size_t>(n));
    close(from_child[0]);

    if (got > 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
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

int tinyfd_messageBox(char const* aTitle, char const* aMessage, char const* aDialogType,
                      char const* aIconType, int aDefaultButton) {
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
    const int status = command.path.empty() ? -1 : run_dialog(command, input, output);
    if (status < 0) {
        std::fprintf(stderr, "%s\n%s\n", title.c_str(), message.c_str());
        std::fflush(stderr);
        return 0;
    }
    return map_exit_status(status, output, kind, command.program);
}
