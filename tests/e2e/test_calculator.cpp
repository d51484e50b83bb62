// The calculator as a user meets it: the real program in a private X server,
// real key events into its window, the screen read back from its pixels,
// its exit status checked.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <signal.h>

#include "tests/e2e/harness/key_typing.h"
#include "tests/e2e/harness/program_run.h"
#include "tests/e2e/harness/screen_decoder.h"
#include "tests/e2e/harness/window_access.h"
#include "tests/e2e/harness/x_server.h"
#include "tests/unit/fake_dialog.h"

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t blue = 0x0000AA;          // EGA colour 1
constexpr std::uint32_t bright_white = 0xFFFFFF;  // colour 15

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
const std::string prompt = " Eingabe der Wellenlaenge [nm]: ?";
const std::string press_any_key = "Press any key to continue";

// A row of the screen without its trailing blanks.
std::string row_of(const text_screen& s, int row) {
    std::string text = s.row_text(row);
    return text.erase(text.find_last_not_of(' ') + 1);
}

class Calculator : public ::testing::Test {
protected:
    x_server server;
    running_program calculator;
    Window window = 0;
    bool waited = false;

    // Waits for the program's end (killing it after seconds).
    program_result ended(double seconds) {
        waited = true;
        return program_wait(calculator, seconds);
    }

    // E2E_CALCULATOR: another copy of the calculator, such as the packaged one.
    static std::string calculator_path() {
        const char* path = std::getenv("E2E_CALCULATOR");
        return path && *path ? path : CALCULATOR_PATH;
    }
    virtual running_program launch() { return program_start(calculator_path(), {}, {"DISPLAY=" + server.display}); }

    void SetUp() override {
        std::string why;
        ASSERT_TRUE(x_server_start(server, why)) << why;
        calculator = launch();
        window = window_find(server.connection, "Untitled", 10);
        ASSERT_NE(window, 0u) << "no window: " << ended(0).err;
        window_move_to_origin_and_focus(server.connection, window);
        ASSERT_TRUE(shows(13, prompt)) << screen_dump();
    }
    void TearDown() override {
        if (calculator.pid > 0 && !waited) program_wait(calculator, 0);   // ends it if a test left it running
    }

    text_screen screen() { return screen_read(server.connection, window); }
    // Waits until the row reads text.
    bool shows(int row, const std::string& text, double seconds = 5) {
        return wait_until([&] { const text_screen s = screen(); return s.rows >= row && row_of(s, row) == text; }, seconds);
    }
    std::string screen_dump() {
        const text_screen s = screen();
        std::string dump;
        for (int r = 1; r <= s.rows; ++r) dump += std::to_string(r) + "|" + row_of(s, r) + "\n";
        return dump;
    }
    // Types the entry and Enter, and waits for END's prompt.
    void answer(const std::string& entry) {
        type_text(server.connection, entry + "\n");
        ASSERT_TRUE(shows(25, press_any_key)) << screen_dump();
    }
    // A key after END's prompt ends the program with status 0.
    void expect_exit_after_a_key() {
        tap_key(server.connection, XK_space);
        const program_result result = ended(5);
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << ", stderr: " << result.err;
    }
};

struct spectral_answer {
    const char* entry;
    const char* fuer, *x, *y;
};

class CalculatorAnswers : public Calculator, public ::testing::WithParamInterface<spectral_answer> {};

TEST_P(CalculatorAnswers, ShowsTheSpectralPointBelowThePrompt) {
    const spectral_answer& expected = GetParam();
    answer(expected.entry);
    const text_screen s = screen();
    EXPECT_EQ(row_of(s, 1), "          ***** Berechnung der Spektralwertanteile x,y *****");
    EXPECT_EQ(row_of(s, 2), "");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(row_of(s, 3 + i), note_rows[i]);
    EXPECT_EQ(row_of(s, 13), *expected.entry ? prompt + " " + expected.entry : prompt);
    EXPECT_EQ(row_of(s, 16), expected.fuer);
    EXPECT_EQ(row_of(s, 18), expected.x);
    EXPECT_EQ(row_of(s, 19), expected.y);
    for (int row : {11, 12, 14, 15, 17, 20, 21, 22, 23, 24}) EXPECT_EQ(row_of(s, row), "") << row;
    EXPECT_EQ(row_of(s, 25), press_any_key);
    expect_exit_after_a_key();
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CalculatorAnswers,
    ::testing::Values(spectral_answer{"500", "         fuer  500 nm :", "         x=  .008168", "         y=  .538423"},
                      spectral_answer{"555.5", "         fuer  555.5 nm :", "         x=  .3409378", "         y=  .6554428"},
                      spectral_answer{"", "         fuer  0 nm :", "         x=  .17556", "         y=  .005294"},
                      spectral_answer{"100", "         fuer  100 nm :", "         x=  .17556", "         y=  .005294"},
                      spectral_answer{"abc", "         fuer  0 nm :", "         x=  .17556", "         y=  .005294"}));

TEST_F(Calculator, WhiteTextOnBlue) {
    const text_screen s = screen();
    EXPECT_EQ(s.at(1, 11).character, '*');
    EXPECT_EQ(s.at(1, 11).foreground, bright_white);
    EXPECT_EQ(s.at(1, 11).background, blue);
    EXPECT_EQ(s.at(24, 80).background, blue);   // untouched cells too: colour 0 shows as blue
    EXPECT_EQ(s.at(25, 1).background, blue);
}

TEST_F(Calculator, APurpleEntryScrollsTheScreenThreeTimes) {
    answer("-500");
    const text_screen s = screen();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(row_of(s, 1 + i), note_rows[1 + i]);
    EXPECT_EQ(row_of(s, 10), prompt + " -500");
    EXPECT_EQ(row_of(s, 13), "         fuer Purpurpunkt:");
    EXPECT_EQ(row_of(s, 15), "         x=  .5657461");
    EXPECT_EQ(row_of(s, 16), "         y=  .1867449");
    EXPECT_EQ(row_of(s, 19), "         fuer  500 nm :");
    EXPECT_EQ(row_of(s, 21), "         x=  .008168");
    EXPECT_EQ(row_of(s, 22), "         y=  .538423");
    EXPECT_EQ(row_of(s, 25), press_any_key);
    expect_exit_after_a_key();
}

TEST_F(Calculator, KeysTypedBeforeEndDoNotEndIt) {
    type_text(server.connection, "500");
    type_text(server.connection, "\nzz", 0);   // in one burst: the z keys wait behind Enter
    ASSERT_TRUE(shows(25, press_any_key)) << screen_dump();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(kill(calculator.pid, 0), 0) << "the calculator ended without a new key";
    expect_exit_after_a_key();
}

// Fake dialog programs first on PATH, for the calculator to find.
class CalculatorWithDialogs : public Calculator {
protected:
    std::unique_ptr<fake_dialog> dialog;
    void SetUp() override {
        dialog = std::make_unique<fake_dialog>();
        Calculator::SetUp();
    }
};

TEST_F(CalculatorWithDialogs, ReadingPastTheTableAsksWhetherToContinue) {
    dialog->delay(0.3);
    dialog->answer(0);   // Yes
    type_text(server.connection, "800\n");
    ASSERT_TRUE(wait_until([&] { return !dialog->calls().empty(); }, 10));
    std::this_thread::sleep_for(100ms);   // the first box has its answer
    dialog->answer(1);   // No to the next
    const program_result result = ended(10);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal;
    const std::vector<fake_dialog_call> calls = dialog->calls();
    ASSERT_EQ(calls.size(), 2u);
    // Each READ that fails reports its own line: 38 first, after Yes the next one, 39.
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].option("title"), "Unhandled Error #4 - spektralrechner");
        EXPECT_EQ(calls[i].option("text"), "Line: " + std::to_string(38 + i) + " (in main module)\nOut of DATA\nContinue?");
    }
}

// The box is never answered, and its program ignores SIGTERM: closing the
// window ends it (and the sleep it started) and the process, at once.
TEST_F(CalculatorWithDialogs, CloseButtonDuringABoxEndsTheBoxAndTheProcess) {
    dialog->delay(1000);
    dialog->ignore_term();
    type_text(server.connection, "800\n");
    ASSERT_TRUE(wait_until([&] { return dialog->waiting().size() == 2; }, 10));
    const auto clicked = std::chrono::steady_clock::now();
    window_send_delete(server.connection, window);
    const program_result result = ended(30);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count(), 1.0);
    EXPECT_TRUE(wait_until([&] { return dialog->none_waiting(); }, 1));
}

TEST_F(CalculatorWithDialogs, ADialogThatPrintsAMegabyteIsAnsweredAsAnyOther) {
    dialog->print(std::string(1 << 20, 'x'));
    dialog->answer(1);   // No
    type_text(server.connection, "800\n");
    const program_result result = ended(30);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal;
    EXPECT_EQ(dialog->calls().size(), 1u);
}

// Started from a directory that no longer exists: nothing to report, the
// dialogue runs as always.
class CalculatorFromADeletedDirectory : public CalculatorWithDialogs {
protected:
    running_program launch() override {
        const std::string directory = std::filesystem::temp_directory_path() / ("deleted_" + std::to_string(getpid()));
        std::filesystem::create_directory(directory);
        return program_start("/bin/sh", {"-c", "cd \"$0\" && rmdir \"$0\" && exec \"$1\"", directory, calculator_path()},
                             {"DISPLAY=" + server.display});
    }
};

TEST_F(CalculatorFromADeletedDirectory, AnswersAsAlways) {
    answer("500");
    EXPECT_EQ(row_of(screen(), 18), "         x=  .008168");
    EXPECT_EQ(row_of(screen(), 19), "         y=  .538423");
    EXPECT_TRUE(dialog->calls().empty());
    expect_exit_after_a_key();
}

TEST_F(Calculator, CloseButtonDuringInputEndsAtOnce) {
    const auto clicked = std::chrono::steady_clock::now();
    window_send_delete(server.connection, window);
    const program_result result = ended(5);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count(), 1.0);
}

TEST_F(Calculator, CloseButtonDuringEndsPromptEndsAtOnce) {
    answer("500");
    const auto clicked = std::chrono::steady_clock::now();
    window_send_delete(server.connection, window);
    const program_result result = ended(5);
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal;
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - clicked).count(), 1.0);
}

}  // namespace
