#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "tests/e2e/harness/e2e_test.h"
#include "tests/program_runs.h"

running_program program_start(const std::string& path, const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment_changes,
                              const std::string& working_directory) {
    running_program program;
    char pattern[] = "/tmp/e2e_program_XXXXXX";
    program.output_directory = mkdtemp(pattern);
    program.started = std::chrono::steady_clock::now();
    program.pid = fork();
    if (program.pid == 0) {
        if (!std::freopen((program.output_directory + "/out").c_str(), "w", stdout) ||
            !std::freopen((program.output_directory + "/err").c_str(), "w", stderr))
            _exit(125);
        if (!working_directory.empty() && chdir(working_directory.c_str()) != 0) _exit(126);
        exec_program(path.c_str(), environment_changes, arguments);
    }
    return program;
}

program_result program_wait(running_program& program, double timeout_seconds) {
    program_result result;
    int status = 0;
    if (!wait_until([&] { return waitpid(program.pid, &status, WNOHANG) == program.pid; }, timeout_seconds)) {
        kill(program.pid, SIGKILL);
        waitpid(program.pid, &status, 0);
    }
    result = {WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0,
              file_text(program.output_directory + "/out"), file_text(program.output_directory + "/err")};
    std::filesystem::remove_all(program.output_directory);
    program.pid = -1;
    return result;
}

bool program_reports(const running_program& program, const std::string& text, double timeout_seconds) {
    return wait_until([&] { return file_text(program.output_directory + "/out").find(text) != std::string::npos; },
                      timeout_seconds);
}

void e2e_test::SetUp() {
    std::string why;
    ASSERT_TRUE(x_server_start(server, why, {}, server_screen)) << why;
}

void e2e_test::TearDown() {
    if (program.pid > 0) program_wait(program, 0);
}

void e2e_test::start(const std::string& path, const std::vector<std::string>& arguments, const std::string& title,
                     const std::string& directory) {
    program = program_start(path, arguments, {"DISPLAY=" + server.display}, directory);
    window = window_find(server.connection, title, 30);
    if (!window) FAIL() << "no window; stderr: " << program_wait(program, 0).err;
}

void e2e_test::expect_status_zero(bool quick) {
    const auto from = std::chrono::steady_clock::now();
    const program_result result = program_wait(program, 60);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
    EXPECT_TRUE(!quick || seconds < 1.0) << seconds << " s";
}
