// The window and the life of the process, on a real X server: the window
// that start-up opens and the services that change it, the close button,
// critical errors, the missing display, and the command line and
// directories the program sees.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <tuple>

#include "tests/e2e/harness/program_run.h"
#include "tests/e2e/harness/window_access.h"
#include "tests/e2e/harness/x_server.h"
#include "tests/unit/fake_dialog.h"

namespace {

const std::string probe = std::string(E2E_PROGRAM_DIR) + "/window_probe";

class WindowLifecycle : public ::testing::Test {
protected:
    x_server server;
    running_program program;
    Window window = 0;

    void SetUp() override {
        std::string why;
        ASSERT_TRUE(x_server_start(server, why)) << why;
    }
    void TearDown() override {
        if (program.pid > 0) program_wait(program, 0);
    }
    // Starts the probe and waits for its window.
    void start(const std::vector<std::string>& arguments, const std::string& title = "Untitled",
               const std::string& directory = "") {
        program = program_start(probe, arguments, {"DISPLAY=" + server.display}, directory);
        window = window_find(server.connection, title, 10);
        if (!window) FAIL() << "no window; stderr: " << program_wait(program, 0).err;
    }
    // Clicks the close button: the process ends within a second, with status 0.
    program_result close_expecting_quick_status_zero() {
        window_send_delete(server.connection, window);
        const auto clicked = std::chrono::steady_clock::now();
        const program_result result = program_wait(program, 60);
        EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count(), 1.0);
        return result;
    }
};

TEST_F(WindowLifecycle, WindowServicesCommandLineDirectoriesAndTheCloseButton) {
    const std::string started_in = std::filesystem::temp_directory_path();
    ASSERT_NO_FATAL_FAILURE(start({"first", "with space", "", "last"}, "Renamed", started_in));
    ASSERT_TRUE(program_reports(program, "window_x=10 window_y=20\n")) << program_output_so_far(program);
    const window_geometry geometry = window_geometry_of(server.connection, window);
    EXPECT_TRUE(geometry.mapped);
    EXPECT_EQ(std::make_tuple(geometry.x, geometry.y, geometry.width, geometry.height),
              std::make_tuple(10, 20, 640, 400));
    const program_result result = close_expecting_quick_status_zero();
    // A query waits for the window thread's answer, and while the program has
    // borrowed the window thread it waits until window_resume.
    const std::string working_directory = std::filesystem::canonical(E2E_PROGRAM_DIR);
    const std::string lines[] = {"command_line=[first with space  last]", "startup_directory=[" + started_in + "]",
                                 "working_directory=[" + working_directory + "]", "screen_width=1024",
                                 "while_paused=-1 after_resume=1024"};
    for (const std::string& line : lines)
        EXPECT_NE(result.out.find(line + "\n"), std::string::npos) << line << " in " << result.out;
    EXPECT_TRUE(wait_until([&] { return !window_exists(server.connection, window); }, 5));
}

// A program that handles the close button itself: the window stays open and
// each request is reported once by exit_query. A burst of requests mixed
// with other events, arriving while events are being dispatched, never
// destroys the window.
TEST_F(WindowLifecycle, CloseRequestsNeverDestroyTheWindowOfAProgramThatClaimsThem) {
    ASSERT_NO_FATAL_FAILURE(start({"claim-close"}));
    ASSERT_TRUE(program_reports(program, "claimed\n"));
    window_send_delete(server.connection, window);
    EXPECT_TRUE(program_reports(program, "exit_query=1 then 0\n"));
    for (int i = 0; i < 300; ++i) {
        window_send_delete(server.connection, window);
        XMoveWindow(server.connection, window, i % 7, i % 5);
        XFlush(server.connection);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(window_exists(server.connection, window));
    EXPECT_TRUE(window_geometry_of(server.connection, window).mapped);
    const program_result result = program_wait(program, 0);
    EXPECT_FALSE(result.finished) << "the program ended; status " << result.exit_status << ", stderr: " << result.err;
}

TEST_F(WindowLifecycle, ReturningFromTheProgramEndsWithStatusZero) {
    program = program_start(probe, {"return"}, {"DISPLAY=" + server.display});
    EXPECT_EQ(program_wait(program, 10).exit_status, 0);
}

// A critical error's box, never answered: closing the window ends the box
// and the process at once.
TEST_F(WindowLifecycle, CloseButtonDuringACriticalErrorsBoxEndsAtOnce) {
    fake_dialog dialog({"zenity"}, true);
    dialog.delay(1000);
    ASSERT_NO_FATAL_FAILURE(start({"critical", "0"}));
    ASSERT_TRUE(wait_until([&] { return dialog.waiting().size() == 2; }, 10));
    close_expecting_quick_status_zero();
    EXPECT_TRUE(wait_until([&] { return dialog.none_waiting(); }, 1));
}

// Critical errors raised on the program thread, at varied moments while the
// window thread presents new frames: each ends the process with status 0,
// never with a crash or a hang. Eight run at a time, their windows over one
// another, each going away while the others present.
TEST(CriticalErrors, OnTheProgramThreadEndTheProcessCleanly) {
    x_server server;
    std::string why;
    ASSERT_TRUE(x_server_start(server, why)) << why;
    fake_dialog dialog({"zenity"}, true);   // each box is answered at once
    int failed = 0;
    std::string first_failure;
    for (int first = 0; first < 200; first += 8) {
        std::vector<running_program> batch;
        for (int i = first; i < first + 8; ++i)
            batch.push_back(
                program_start(probe, {"critical", std::to_string(i * 7 % 50)}, {"DISPLAY=" + server.display}));
        for (running_program& program : batch) {
            const program_result result = program_wait(program, 60);
            if ((result.finished && result.exit_status == 0) || failed++ > 0) continue;
            first_failure = "status " + std::to_string(result.exit_status) + ", signal " +
                            std::to_string(result.signal) + ", stderr: " + result.err;
        }
    }
    EXPECT_EQ(failed, 0) << first_failure;
}

// No display: one line naming it and status 1; no usable display mode (a
// server without GLX): status 1 without a word.
TEST(NoUsableDisplay, EndsWithStatusOneAndAtMostALineNamingTheDisplay) {
    x_server server;
    std::string why;
    ASSERT_TRUE(x_server_start(server, why, {"-extension", "GLX"})) << why;
    const struct { std::vector<std::string> arguments, environment; std::string err; } cases[] = {
        {{}, {"DISPLAY=:4711"}, "window_probe: cannot open the X display \":4711\"\n"},
        {{}, {"DISPLAY"}, "window_probe: cannot open the X display: DISPLAY is not set\n"},
        {{"-display", ":4712"}, {"DISPLAY"}, "window_probe: cannot open the X display \":4712\"\n"},
        {{}, {"DISPLAY=" + server.display}, ""},
    };
    for (const auto& c : cases) {
        running_program program = program_start(probe, c.arguments, c.environment);
        const program_result result = program_wait(program, 10);
        EXPECT_EQ(result.exit_status, 1) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "") << c.err;
    }
}

}  // namespace
