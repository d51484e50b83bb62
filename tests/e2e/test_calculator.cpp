// The calculator as a user meets it in its window: the real program in a
// private X server, real key events, the screen read back from its pixels,
// its message boxes and its exit status. (The printed results of many
// entries are checked through the terminal edition.)
#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#include <signal.h>
#include <sys/wait.h>

#include "tests/e2e/harness/e2e_test.h"
#include "tests/unit/fake_dialog.h"

namespace {

using namespace std::chrono_literals;

const char* const note_rows[] = {
    " Bemerkung: fuer Stellen des Spektralfarbenzuges koennen die Wellenlaengen",
    " direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit",
    " einem Minus einzugeben. Es wird dann die Schnittstelle auf der Purpur-",
    " geraden bestimmt.",
    " Die Purpurgeradeenden liegen bei den Gegenfarben von etwa 493.8 bis 569.6",
    " Wenn diese Grenzen nicht eingehalten werden, faellt der Schnittpunkt mit",
    " der Purpurgeraden ausserhalb des Spektralfarbenzuges.",
    " Die Berechnungsgrenzen sind 360 nm bis 700 nm.",
};
const std::string heading = "          ***** Berechnung der Spektralwertanteile x,y *****";
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
        if (from_a_deleted_directory) {
            const std::string directory =
                std::filesystem::temp_directory_path() / ("deleted_" + std::to_string(getpid()));
            std::filesystem::create_directory(directory);
            const std::string script = "cd \"$0\" && rmdir \"$0\" && exec \"$1\"";
            ASSERT_NO_FATAL_FAILURE(start("/bin/sh", {"-c", script, directory, calculator}));
        } else {
            ASSERT_NO_FATAL_FAILURE(start(calculator, {}));
        }
        window_move_to_origin_and_focus(server.connection, window);
        ASSERT_TRUE(row_shows(13, prompt)) << shown.dump();
    }
};

// White on blue; keys typed before END's prompt do not end it; its still
// screen is drawn again when uncovered; a new key ends the program.
TEST_F(Calculator, AnswersInWhiteOnBlueAndEndsAfterANewKey) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    type_text(server.connection, "500\nzz");   // the z keys wait behind Enter
    std::vector<std::string> rows = {heading, ""};
    rows.insert(rows.end(), std::begin(note_rows), std::end(note_rows));
    rows.insert(rows.end(), {"", "", prompt + " 500", "", "", "         fuer  500 nm :", "", "         x=  .008168",
                             "         y=  .538423", "", "", "", "", "", press_any_key});
    ASSERT_TRUE(rows_show(rows)) << shown.dump();
    const text_screen& s = shown;
    EXPECT_EQ(std::make_tuple(s.at(1, 11).character, s.at(1, 11).foreground, s.at(1, 11).background),
              std::make_tuple('*', 0xFFFFFFu, 0x0000AAu));
    EXPECT_EQ(s.at(24, 80).background, 0x0000AAu);   // untouched cells too: colour 0 shows as blue
    EXPECT_EQ(s.at(25, 1).background, 0x0000AAu);

    Display* x = server.connection;
    const Window cover = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 400, 200, 0, 0, WhitePixel(x, 0));
    XMapRaised(x, cover);
    XSync(x, False);
    std::this_thread::sleep_for(300ms);
    XDestroyWindow(x, cover);
    XSync(x, False);
    EXPECT_TRUE(row_shows(1, heading)) << shown.dump();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(kill(program.pid, 0), 0) << "the calculator ended without a new key";
    tap_key(x, XK_space);
    expect_status_zero(false);
    EXPECT_TRUE(dialog.calls().empty());
}

// Started from a directory that no longer exists: nothing to report. The
// entry, corrected with Backspace, is purple: six more rows scroll the
// 25-row screen three times. The close button at END's prompt ends at once,
// without a box.
TEST_F(Calculator, APurpleEntryScrollsTheScreenThreeTimes) {
    ASSERT_NO_FATAL_FAILURE(start_calculator(true));
    type_text(server.connection, "-50x\b0\n");
    std::vector<std::string> rows(note_rows + 1, note_rows + 8);
    rows.insert(rows.end(), {"", "", prompt + " -500", "", "", "         fuer Purpurpunkt:", "",
                             "         x=  .5657461", "         y=  .1867449", "", "",
                             "         fuer  500 nm :", "", "         x=  .008168",
                             "         y=  .538423", "", "", press_any_key});
    EXPECT_TRUE(rows_show(rows)) << shown.dump();
    window_send_delete(server.connection, window);
    expect_status_zero(true);
    EXPECT_TRUE(dialog.calls().empty());
}

// Each READ past the table's end reports its own line: 38 first, after Yes
// the next one, 39. A dialog program that prints a megabyte is answered as
// any other.
TEST_F(Calculator, ReadingPastTheTableAsksWhetherToContinue) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    dialog.print(std::string(1 << 20, 'x'));
    dialog.delay(0.3);
    dialog.answer(0);      // Yes
    dialog.answer(1, 1);   // No to the second box
    type_text(server.connection, "800\n");
    expect_status_zero(false);
    const std::vector<fake_dialog_call> calls = dialog.calls();
    ASSERT_EQ(calls.size(), 2u);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].option("title"), "Unhandled Error #4 - spektralrechner");
        EXPECT_EQ(calls[i].option("text"),
                  "Line: " + std::to_string(38 + i) + " (in main module)\nOut of DATA\nContinue?");
    }
}

// The box is never answered, and its program ignores SIGTERM: closing the
// window ends it (and the sleep it started) and the process, at once.
TEST_F(Calculator, CloseButtonDuringABoxEndsTheBoxAndTheProcess) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    dialog.delay(1000);
    dialog.ignore_term();
    type_text(server.connection, "800\n");
    ASSERT_TRUE(wait_until([&] { return dialog.waiting().size() == 2; }, 10));
    window_send_delete(server.connection, window);
    expect_status_zero(true);
    EXPECT_TRUE(wait_until([&] { return dialog.none_waiting(); }, 1));
}

// In INPUT: no prompt, no box, the end at once.
TEST_F(Calculator, CloseButtonInInputEndsAtOnce) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    window_send_delete(server.connection, window);
    expect_status_zero(true);
    EXPECT_TRUE(dialog.calls().empty());
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
        EXPECT_NE(result.err.find("X connection to " + display), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("LeakSanitizer"), std::string::npos) << result.err;
    }
    for (pid_t id : dialog.waiting()) kill(id, SIGKILL);
}

}  // namespace
