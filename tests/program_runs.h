// The tests start the real programs as a shell would.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

inline std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct run_result { std::string out, err; int status = -1, signal = 0; };

// Environment changes are "NAME=value" or "NAME" (removed).
inline void exec_program(const char* path, const std::vector<std::string>& environment,
                         const std::vector<std::string>& arguments = {}) {
    // As an interactive shell starts a program, whatever started this test.
    for (int signal_number : {SIGINT, SIGQUIT, SIGTSTP, SIGPIPE}) std::signal(signal_number, SIG_DFL);
    for (const std::string& change : environment) {
        const std::size_t equals = change.find('=');
        if (equals == std::string::npos) unsetenv(change.c_str());
        else setenv(change.substr(0, equals).c_str(), change.substr(equals + 1).c_str(), 1);
    }
    std::vector<char*> argv{const_cast<char*>(path)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(path, argv.data());
    _exit(127);
}

inline run_result ended_with(int status, const std::string& out, const std::string& err = "") {
    return {out, err, WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

inline std::string read_all(int fd) {
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(fd);
    return text;
}

// Runs the program with its standard input, output and error on pipes. A
// program that ends without reading all its input must not end the test
// with SIGPIPE: the write then fails with EPIPE, and the rest stays unread.
// file_limit > 0 caps the size of the files the program writes.
inline run_result run_piped(const char* path, const std::string& input, std::vector<std::string> environment = {"DISPLAY"},
                            const std::vector<std::string>& arguments = {}, rlim_t file_limit = 0) {
    int in[2], out[2], err[2];
    if (pipe(in) || pipe(out) || pipe(err)) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        for (int to : {0, 1, 2}) dup2((to == 0 ? in[0] : to == 1 ? out[1] : err[1]), to);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        if (file_limit) {
            const rlimit limit{file_limit, file_limit};
            setrlimit(RLIMIT_FSIZE, &limit);   // a write beyond it fails with EFBIG, SIGXFSZ ignored
            std::signal(SIGXFSZ, SIG_IGN);
        }
        exec_program(path, environment, arguments);
    }
    for (int fd : {in[0], out[1], err[1]}) close(fd);
    std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        for (ssize_t sent = 0, n = 0; sent < ssize_t(input.size()) && n >= 0; sent += n)
            n = write(in[1], input.data() + sent, input.size() - sent);
        close(in[1]);
    });
    std::string errors;
    std::thread error_reader([&] { errors = read_all(err[0]); });
    const std::string output = read_all(out[0]);
    writer.join();
    error_reader.join();
    int status = 0;
    waitpid(pid, &status, 0);
    return ended_with(status, output, errors);
}
