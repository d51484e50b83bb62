// Message boxes through the desktop's dialog program.
//
// The program is looked up on PATH (zenity, then kdialog, then xmessage) and
// started with fork and execv: title and message travel as single argument
// vector entries (xmessage reads its text from a pipe), so no shell ever
// sees them and no byte of them is interpreted.
#include "runtime/errors/tinyfiledialogs.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
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

std::string find_on_path(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::string directories(path);
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = directories.find(':', start);
        if (end == std::string::npos) end = directories.size();
        std::string candidate;
        if (end == start) candidate.push_back('.');
        else candidate.append(directories, start, end - start);
        candidate.push_back('/');
        candidate.append(program);
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

struct dialog_command {
    std::string program;
    std::vector<std::string> arguments;  // without argv[0]
    bool message_on_stdin = false;
};

const char* zenity_icon(const char* icon) {
    if (icon && std::strcmp(icon, "warning") == 0) return "dialog-warning";
    if (icon && std::strcmp(icon, "info") == 0) return "dialog-information";
    if (icon && std::strcmp(icon, "question") == 0) return "dialog-question";
    return "dialog-error";
}

dialog_command zenity_command(const std::string& path, const std::string& title,
                              const std::string& message, dialog_kind kind, const char* icon,
                              int default_button) {
    dialog_command command{path, {}, false};
    auto& a = command.arguments;
    switch (kind) {
        case dialog_kind::ok:
            a.push_back(icon && std::strcmp(icon, "error") == 0     ? "--error"
                        : icon && std::strcmp(icon, "warning") == 0 ? "--warning"
                                                                     : "--info");
            break;
        case dialog_kind::okcancel:
            a.insert(a.end(), {"--question", "--ok-label=Ok", "--cancel-label=Cancel"});
            break;
        case dialog_kind::yesno:
        case dialog_kind::yesnocancel:
            a.insert(a.end(), {"--question", "--ok-label=Yes", "--cancel-label=No"});
            if (kind == dialog_kind::yesnocancel) a.push_back("--extra-button=Cancel");
            break;
    }
    if (kind != dialog_kind::ok) {
        a.push_back(std::string("--icon-name=") + zenity_icon(icon));
        if (default_button == 0) a.push_back("--default-cancel");
    }
    a.push_back("--no-markup");
    a.push_back("--title=" + title);
    a.push_back("--text=" + message);
    return command;
}

dialog_command kdialog_command(const std::string& path, const std::string& title,
                               const std::string& message, dialog_kind kind, const char* icon) {
    dialog_command command{path, {"--title", title}, false};
    auto& a = command.arguments;
    switch (kind) {
        case dialog_kind::ok:
            a.push_back(icon && std::strcmp(icon, "error") == 0 ? "--error" : "--msgbox");
            break;
        case dialog_kind::okcancel:
            a.insert(a.end(), {"--continue-label", "Ok", "--warningcontinuecancel"});
            break;
        case dialog_kind::yesno: a.push_back("--warningyesno"); break;
        case dialog_kind::yesnocancel: a.push_back("--warningyesnocancel"); break;
    }
    a.push_back(message);
    return command;
}

dialog_command xmessage_command(const std::string& path, const std::string& title, dialog_kind kind) {
    const char* buttons = "OK:0";
    if (kind == dialog_kind::okcancel) buttons = "OK:0,Cancel:1";
    if (kind == dialog_kind::yesno) buttons = "Yes:0,No:1";
    if (kind == dialog_kind::yesnocancel) buttons = "Yes:0,No:2,Cancel:1";
    return {path, {"-title", title, "-center", "-buttons", buttons, "-default",
                   kind == dialog_kind::yesno || kind == dialog_kind::yesnocancel ? "Yes" : "OK",
                   "-file", "-"},
            true};
}

// Runs the command and returns its exit status, or -1 when it could not run.
int run_dialog(const dialog_command& command, const std::string& message) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(command.program.c_str()));
    for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int exec_report[2];  // closes on a successful exec; carries errno otherwise
    if (pipe2(exec_report, O_CLOEXEC) != 0) return -1;
    int message_pipe[2] = {-1, -1};
    if (command.message_on_stdin && pipe2(message_pipe, O_CLOEXEC) != 0) {
        close(exec_report[0]);
        close(exec_report[1]);
        return -1;
    }

    const pid_t child = fork();
    if (child < 0) {
        close(exec_report[0]);
        close(exec_report[1]);
        if (command.message_on_stdin) {
            close(message_pipe[0]);
            close(message_pipe[1]);
        }
        return -1;
    }
    if (child == 0) {
        if (command.message_on_stdin) dup2(message_pipe[0], STDIN_FILENO);
        execv(argv[0], argv.data());
        const int error = errno;
        ssize_t ignored = write(exec_report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }

    close(exec_report[1]);
    if (command.message_on_stdin) {
        close(message_pipe[0]);
        // A dialog program that exits early must not kill us with SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        std::size_t sent = 0;
        while (sent < message.size()) {
            const ssize_t n = write(message_pipe[1], message.data() + sent, message.size() - sent);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        close(message_pipe[1]);
    }

    int exec_error = 0;
    ssize_t got;
    do {
        got = read(exec_report[0], &exec_error, sizeof exec_error);
    } while (got < 0 && errno == EINTR);
    close(exec_report[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (got > 0) return -1;  // exec failed
    if (!WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

int map_exit_status(int status, dialog_kind kind, bool is_xmessage) {
    if (status < 0) return 0;
    if (kind == dialog_kind::yesnocancel) {
        // zenity: 0 Yes, 1 No or the extra button; kdialog: 0 Yes, 1 No, 2 Cancel;
        // xmessage: 0 Yes, 2 No, 1 Cancel.
        if (status == 0) return 1;
        if (is_xmessage) return status == 2 ? 2 : 0;
        return status == 1 ? 2 : 0;
    }
    return status == 0 ? 1 : 0;
}

}  // namespace

int tinyfd_messageBox(char const* aTitle, char const* aMessage, char const* aDialogType,
                      char const* aIconType, int aDefaultButton) {
    const std::string title = aTitle ? aTitle : "";
    const std::string message = aMessage ? aMessage : "";
    const dialog_kind kind = parse_dialog_type(aDialogType);

    dialog_command command;
    bool is_xmessage = false;
    if (std::string path = find_on_path("zenity"); !path.empty()) {
        command = zenity_command(path, title, message, kind, aIconType, aDefaultButton);
    } else if (std::string path = find_on_path("kdialog"); !path.empty()) {
        command = kdialog_command(path, title, message, kind, aIconType);
    } else if (std::string path = find_on_path("xmessage"); !path.empty()) {
        command = xmessage_command(path, title, kind);
        is_xmessage = true;
    }

    const int status = command.program.empty() ? -1 : run_dialog(command, message);
    if (status < 0) {
        std::fprintf(stderr, "%s\n%s\n", title.c_str(), message.c_str());
        std::fflush(stderr);
        return 0;
    }
    return map_exit_status(status, kind, is_xmessage);
}
