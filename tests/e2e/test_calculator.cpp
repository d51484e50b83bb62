// The calculator in its window: real key events, the screen read back from its pixels,
// its boxes and its exit status (the dialogue's text is checked through the terminal edition).
#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include <signal.h>
#include <sys/wait.h>

#include "tests/e2e/harness/e2e_test.h"
#include "tests/unit/fake_dialog.h"

namespace {

using namespace std::chrono_literals;

const std::string prompt = " Eingabe der Wellenlaenge [nm]: ?";
const std::string press_any_key = "Press any key to continue";

class Calculator : public e2e_test {
protected:
    fake_dialog dialog;   // first on PATH: records every message box

    // Starts the calculator (E2E_CALCULATOR: another copy, such as the
    // packaged one), from a directory that is deleted meanwhile when asked,
    // and waits for its prompt.
    void start_calculator(bool from_a_deleted_directory = false) {
        const char* path = std::getenv("E2E_CALCULATOR");
        const std::string calculator = path && *path ? path : CALCULATOR_PATH;
        const std::string directory = std::filesystem::temp_directory_path() / ("deleted_" + std::to_string(getpid()));
        if (from_a_deleted_directory) std::filesystem::create_directory(directory);
        ASSERT_NO_FATAL_FAILURE(from_a_deleted_directory
                                    ? start("/bin/sh", {"-c", "cd \"$0\" && rmdir \"$0\" && exec \"$1\"", directory,
                                                        calculator})
                                    : start(calculator, {}));
        window_move_to_origin_and_focus(server.connection, window);
        ASSERT_TRUE(row_shows(13, prompt)) << shown.dump();
    }
};

// Started from a directory that no longer exists: nothing to report. The
// entry, corrected with Backspace, is purple: six more rows scroll the
// 25-row screen three times. White on blue; keys typed before END's prompt
// do not end it; the screen is drawn again, whole, when uncovered, at the
// prompt with the cursor blinking and at END's still screen; a new key ends
// the program.
TEST_F(Calculator, APurpleEntryScrollsTheScreenInWhiteOnBlueUntilANewKey) {
    ASSERT_NO_FATAL_FAILURE(start_calculator(true));
    Display* x = server.connection;
    // Covers the window's top left, uncovers it, and waits for row 1: the
    // same picture must show every other row as it was.
    const auto drawn_again = [&](const std::string& first_row, int row, const std::string& text) {
        const Window cover = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 400, 200, 0, 0, WhitePixel(x, 0));
        XMapRaised(x, cover);
        XSync(x, False);
        std::this_thread::sleep_for(300ms);
        XDestroyWindow(x, cover);
        XSync(x, False);
        EXPECT_TRUE(row_shows(1, first_row)) << shown.dump();
        EXPECT_EQ(shown.row_text(row), text) << shown.dump();
    };
    type_text(x, "-50x\b0");
    ASSERT_TRUE(row_shows(13, prompt + " -500")) << shown.dump();
    drawn_again("          ***** Berechnung der Spektralwertanteile x,y *****", 13, prompt + " -500");
    type_text(x, "\nzz");   // the z keys wait behind Enter
    const std::string end_first_row = " direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit";
    ASSERT_TRUE(rows_show({{1, end_first_row},
                         {8, ""}, {10, prompt + " -500"}, {13, "         fuer Purpurpunkt:"},
                         {15, "         x=  .5657461"}, {16, "         y=  .1867449"}, {19, "         fuer  500 nm :"},
                         {21, "         x=  .008168"}, {22, "         y=  .538423"}, {25, press_any_key}}))
        << shown.dump();
    const text_screen& s = shown;
    EXPECT_EQ(std::make_tuple(s.at(13, 10).character, s.at(13, 10).foreground, s.at(13, 10).background),
              std::make_tuple('f', 0xFFFFFFu, 0x0000AAu));
    EXPECT_EQ(s.at(24, 80).background, 0x0000AAu);   // untouched cells too: colour 0 shows as blue
    EXPECT_EQ(s.at(25, 1).background, 0x0000AAu);

    drawn_again(end_first_row, 10, prompt + " -500");
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(kill(program.pid, 0), 0) << "the calculator ended without a new key";
    tap_key(x, XK_space);
    expect_status_zero(false);
    EXPECT_TRUE(dialog.calls().empty());
}

// Past the table's end the box asks whether to continue; No ends the program.
TEST_F(Calculator, NoInTheBoxPastTheTableEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    dialog.answer(1);
    type_text(server.connection, "800\n");
    expect_status_zero(false);
    ASSERT_EQ(dialog.calls().size(), 1u);
    EXPECT_EQ(dialog.calls()[0].option("title"), "Unhandled Error #4 - spektralrechner");
}

// The close button ends at once, without a box, in INPUT, at END's prompt,
// and during a box that is never answered, whose program ignores SIGTERM:
// the box (and the sleep it started) ends too.
TEST_F(Calculator, CloseButtonEndsAtOnceInInputAtTheEndAndDuringABox) {
    dialog.delay(1000);
    dialog.ignore_term();
    for (const std::string entry : {"", "500\n", "800\n"}) {
        ASSERT_TRUE(wait_until([&] { return !window_find(server.connection, "Untitled", 0); }, 30));   // the last one's
        ASSERT_NO_FATAL_FAILURE(start_calculator());
        type_text(server.connection, entry);
        ASSERT_TRUE(entry != "500\n" || row_shows(25, press_any_key)) << shown.dump();
        ASSERT_TRUE(wait_until([&] { return dialog.waiting().size() == (entry == "800\n" ? 2u : 0u); }, 10));
        window_send_delete(server.connection, window);
        expect_status_zero(true);
        EXPECT_TRUE(wait_until([&] { return dialog.none_waiting(); }, 1));
    }
    EXPECT_TRUE(dialog.calls().empty());   // the unanswered box recorded no call
}

// The X server ends while the calculator waits at its prompt, then in a box:
// status 1 and Xlib's line, and no leak report from the sanitizer build.
TEST_F(Calculator, LosingTheServerEndsWithStatusOne) {
    dialog.delay(1000);
    for (bool in_a_box : {false, true}) {
        std::string why;
        ASSERT_TRUE(server.connection || x_server_start(server, why)) << why;
        ASSERT_NO_FATAL_FAILURE(start_calculator());
        type_text(server.connection, in_a_box ? "800\n" : "");
        ASSERT_TRUE(wait_until([&] { return dialog.waiting().size() == (in_a_box ? 2u : 0u); }, 30));
        const std::string display = server.display;
        XCloseDisplay(std::exchange(server.connection, nullptr));   // first: its loss would end this test
        kill(server.pid, SIGKILL);
        waitpid(std::exchange(server.pid, -1), nullptr, 0);
        const program_result result = program_wait(program, 60);
        EXPECT_EQ(result.exit_status, 1) << result.err;
        // Xlib's line: the connection broken, or reset when the server died with a request of ours unread.
        EXPECT_TRUE(result.err.find("X connection to " + display) != std::string::npos ||
                    result.err.find("on X server \"" + display + "\"") != std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("LeakSanitizer"), std::string::npos) << result.err;
    }
    for (pid_t id : dialog.waiting()) kill(id, SIGKILL);
}

}  // namespace
