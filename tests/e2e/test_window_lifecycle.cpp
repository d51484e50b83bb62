// The window and the life of the process, on a real X server: the window
// that start-up opens, the close button, the missing display, and the
// command line and directories the program sees.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "tests/e2e/harness/program_run.h"
#include "tests/e2e/harness/window_access.h"
#include "tests/e2e/harness/x_server.h"
#include "tests/unit/fake_dialog.h"

namespace {

const std::string probe = std::string(E2E_PROGRAM_DIR) + "/window_probe";

class WindowLifecycle : public ::testing::Test {
protected:
    x_server server;

    void SetUp() override {
        std::string why;
        ASSERT_TRUE(x_server_start(server, why)) << why;
    }

    running_program start(const std::vector<std::string>& arguments, const std::string& directory = "") {
        return program_start(probe, arguments, {"DISPLAY=" + server.display}, directory);
    }

    // Waits until the program's output holds text.
    static bool reports(const running_program& program, const std::string& text) {
        return wait_until([&] { return program_output_so_far(program).find(text) != std::string::npos; }, 5);
    }

    void close_expecting_status_zero(running_program& program, Window window) {
        window_send_delete(server.connection, window);
        const program_result result = program_wait(program, 5);
        EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
    }

    Window wait_for_window(running_program& program) {
        const Window window = window_find(server.connection, "Untitled", 10);
        if (!window) {
            const program_result result = program_wait(program, 0);
            ADD_FAILURE() << "no window; status " << result.exit_status << ", stderr: " << result.err;
        }
        return window;
    }
};

TEST_F(WindowLifecycle, OpensA640By400WindowTitledUntitled) {
    running_program program = start({});
    const Window window = wait_for_window(program);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(wait_until([&] { return window_geometry_of(server.connection, window).mapped; }, 5));
    const window_geometry geometry = window_geometry_of(server.connection, window);
    EXPECT_EQ(geometry.width, 640);
    EXPECT_EQ(geometry.height, 400);

    window_move_to_origin_and_focus(server.connection, window);
    int width = 0, height = 0;
    EXPECT_EQ(window_pixels(server.connection, window, width, height).size(), 640u * 400u);
    close_expecting_status_zero(program, window);
}

TEST_F(WindowLifecycle, CloseButtonEndsTheProcessWithStatusZeroWithinASecond) {
    running_program program = start({});
    const Window window = wait_for_window(program);
    ASSERT_NE(window, 0u);
    window_send_delete(server.connection, window);
    const auto sent = std::chrono::steady_clock::now();
    const program_result result = program_wait(program, 5);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
    EXPECT_LT(seconds, 1.0);
}

// A program that handles the close button itself: the window stays open and
// each request is reported once by exit_query. A burst of requests mixed
// with other events, arriving while events are being dispatched, never
// destroys the window.
TEST_F(WindowLifecycle, CloseRequestsNeverDestroyTheWindow) {
    running_program program = start({"claim-close"});
    const Window window = wait_for_window(program);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(reports(program, "working_directory"));

    window_send_delete(server.connection, window);
    EXPECT_TRUE(reports(program, "exit_query=1 then 0\n"));
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
    running_program program = start({"return"});
    const program_result result = program_wait(program, 10);
    EXPECT_EQ(result.exit_status, 0) << result.err;
}

// A query waits for the window thread's answer, and while the program has
// borrowed the window thread (window_pause) it waits until window_resume.
TEST_F(WindowLifecycle, QueriesWaitForTheWindowThread) {
    const std::pair<const char*, const char*> cases[] = {
        {"window-get", "screen_width=1024 "},
        {"pause", "while_paused=-1 after_resume=1024\n"},
    };
    for (auto [mode, report] : cases) {
        running_program program = start({mode});
        const Window window = wait_for_window(program);
        ASSERT_NE(window, 0u) << mode;
        EXPECT_TRUE(reports(program, report)) << mode;
        close_expecting_status_zero(program, window);
        EXPECT_TRUE(wait_until([&] { return !window_exists(server.connection, window); }, 5)) << mode;
    }
}

TEST_F(WindowLifecycle, PostedMessagesChangeTheWindow) {
    running_program program = start({"messages"});
    const Window window = window_find(server.connection, "Renamed", 10);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(reports(program, "window_x=10 window_y=20\n"));
    const window_geometry geometry = window_geometry_of(server.connection, window);
    EXPECT_TRUE(geometry.mapped);
    EXPECT_EQ(geometry.x, 10);
    EXPECT_EQ(geometry.y, 20);
    close_expecting_status_zero(program, window);
}

TEST_F(WindowLifecycle, CommandLineAndDirectories) {
    const std::string started_in = std::filesystem::temp_directory_path();
    running_program program = start({"first", "with space", "", "last"}, started_in);
    const Window window = wait_for_window(program);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(reports(program, "working_directory"));
    window_send_delete(server.connection, window);
    const program_result result = program_wait(program, 5);
    EXPECT_NE(result.out.find("command_line=[first with space  last]\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("startup_directory=[" + started_in + "]\n"), std::string::npos) << result.out;
    const std::string program_directory = std::filesystem::canonical(E2E_PROGRAM_DIR);
    EXPECT_NE(result.out.find("working_directory=[" + program_directory + "]\n"), std::string::npos) << result.out;
}

// A critical error's box, never answered: closing the window ends the box
// and the process at once.
TEST_F(WindowLifecycle, CloseButtonDuringACriticalErrorsBoxEndsAtOnce) {
    fake_dialog dialog({"zenity"}, true);
    dialog.delay(1000);
    running_program program = start({"critical", "0"});
    const Window window = wait_for_window(program);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(wait_until([&] { return dialog.waiting().size() == 2; }, 10));
    const auto clicked = std::chrono::steady_clock::now();
    window_send_delete(server.connection, window);
    const program_result result = program_wait(program, 30);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count(), 1.0);
    EXPECT_TRUE(wait_until([&] { return dialog.none_waiting(); }, 1));
}

// Critical errors raised on the program thread, at varied moments while the
// window thread presents new frames: each ends the process with status 0,
// never with a crash or a hang. Eight run at a time, each in a place of its
// own on a larger screen: freeglut reads a window's position through the
// top-level window at its corner, and when that is another program's window
// that goes away meanwhile, Xlib ends the process with an X error.
TEST(CriticalErrors, OnTheProgramThreadEndTheProcessCleanly) {
    x_server server;
    std::string why;
    ASSERT_TRUE(x_server_start(server, why, {"-screen", "0", "2560x1600x24"})) << why;
    fake_dialog dialog({"zenity"}, true);   // each box is answered at once
    constexpr int runs = 200, at_once = 8;
    int failed = 0;
    std::string first_failure;
    for (int first = 0; first < runs; first += at_once) {
        std::vector<running_program> batch;
        for (int i = first; i < first + at_once; ++i) {
            const std::string place = "640x400+" + std::to_string(i % 4 * 640) + "+" + std::to_string(i % 8 / 4 * 400);
            batch.push_back(program_start(probe, {"critical", std::to_string(i * 7 % 50), "-geometry", place},
                                          {"DISPLAY=" + server.display}));
        }
        for (running_program& program : batch) {
            const program_result result = program_wait(program, 60);
            if (result.finished && result.exit_status == 0) continue;
            if (failed++ == 0)
                first_failure = "status " + std::to_string(result.exit_status) + ", signal " +
                                std::to_string(result.signal) + ", stderr: " + result.err;
        }
    }
    EXPECT_EQ(failed, 0) << first_failure;
}

TEST(WithoutDisplay, OneLineNamingTheDisplayAndStatusOne) {
    running_program unknown = program_start(probe, {}, {"DISPLAY=:4711"});
    program_result result = program_wait(unknown, 10);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "window_probe: cannot open the X display \":4711\"\n");
    EXPECT_EQ(result.out, "");

    running_program unset = program_start(probe, {}, {"DISPLAY"});
    result = program_wait(unset, 10);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "window_probe: cannot open the X display: DISPLAY is not set\n");

    running_program option = program_start(probe, {"-display", ":4712"}, {"DISPLAY"});
    result = program_wait(option, 10);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "window_probe: cannot open the X display \":4712\"\n");
}

TEST(WithoutOpenGL, NoUsableDisplayModeEndsSilentlyWithStatusOne) {
    x_server server;
    std::string why;
    ASSERT_TRUE(x_server_start(server, why, {"-extension", "GLX"})) << why;
    running_program program = program_start(probe, {}, {"DISPLAY=" + server.display});
    const program_result result = program_wait(program, 10);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "");
}

}  // namespace
