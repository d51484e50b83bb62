// INPUT on a program thread of its own, fed with keys through the keyboard
// buffer by the test thread, which plays the window thread.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "runtime/console/print.h"
#include "runtime/core/emulated_memory.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/input/input_line.h"
#include "runtime/input/input_targets.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/string_heap.h"
#include "tests/unit/console_screen.h"

namespace {

using namespace std::chrono_literals;

std::string text_of(const str_desc* s) { return std::string(reinterpret_cast<const char*>(s->text), s->len); }

void print_text(const char* text) {
    str_desc* s = str_from_cstring(text);
    print_string(s, 0);
    str_free(s);
}

// Waits until INPUT has taken every key from the keyboard buffer.
void wait_until_buffer_empty() {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    const auto index = [](std::uint32_t address) { return std::atomic_ref<std::uint8_t>(*emulated_address(address)).load(); };
    while (index(bios_keyboard_head) != index(bios_keyboard_tail) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

// One key as freeglut reports it: a byte ("\n" stands for Enter, 13), or a
// special key given as its negation.
void press(int key) {
    if (key == '\n') key = 13;
    if (key < 0) {
        key_special_event(-key, 1);
        key_special_event(-key, 0);
    } else {
        key_char_event(key, 1, 0);
        key_char_event(key, 0, 0);
    }
    wait_until_buffer_empty();
}

class InputLine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { strings_startup(); }
    void SetUp() override {
        fresh_text_screen();
        keyboard_buffer_startup();
        exit_in_progress = 0;
        page = write_page;
        entry = str_new(0, 0);
        input_target_set(1, input_type_string, entry);
    }
    void TearDown() override { manual_clock_stop(); }
    // Starts input_line on a program thread of its own.
    std::thread start(std::int32_t targets, std::int8_t newline = 1) {
        done = false;
        return std::thread([this, targets, newline] {
            input_line(targets, newline);
            done = true;
        });
    }
    bool finishes() {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!done && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        return done;
    }
    // Types the keys (bytes, or special keys as their negation); "\n" is Enter and "\b" Backspace.
    void run_keys(std::int32_t targets, const std::vector<int>& keys, std::int8_t newline = 1) {
        std::thread program = start(targets, newline);
        for (int key : keys) press(key);
        const bool finished = finishes();
        exit_in_progress = 1;   // lets a stuck INPUT go before the test fails
        if (!finished) manual_clock_stop();
        program.join();
        exit_in_progress = 0;
        ASSERT_TRUE(finished) << "INPUT did not finish";
    }
    void run(std::int32_t targets, const std::string& typed, std::int8_t newline = 1) {
        run_keys(targets, std::vector<int>(typed.begin(), typed.end()), newline);
    }

    std::atomic<bool> done{false};
    screen_image* page = nullptr;
    str_desc* entry = nullptr;
};

TEST_F(InputLine, TypedLineWithEnterGivesTheStringAndANewLine) {
    // The test clock stands still: each key is taken because storing it
    // woke INPUT, not because a wait timed out.
    manual_clock_start(1000, 0);
    print_text(" Eingabe der Wellenlaenge [nm]: ");
    print_text("? ");
    run(1, "550\n");
    EXPECT_EQ(text_of(entry), "550");
    EXPECT_EQ(row_text(page, 1), " Eingabe der Wellenlaenge [nm]: ? 550");
    EXPECT_EQ(page->cursor_y, 2);
    EXPECT_EQ(page->cursor_x, 1);
    run(1, "\n", 0);   // an empty line; without the newline flag the cursor stays
    EXPECT_EQ(text_of(entry), "");
    EXPECT_EQ(page->cursor_y, 2);
    EXPECT_EQ(clock_ms(), 1000);
}

TEST_F(InputLine, CommasAndQuotesSplitThePieces) {
    run(1, "5,0\n");   // a second piece has no target: the comma is taken back
    EXPECT_EQ(text_of(entry), "50");
    EXPECT_EQ(row_text(page, 1), "50");

    run(1, "\"a,b\n");   // inside quotes a comma is an ordinary character
    EXPECT_EQ(text_of(entry), "a,b");

    str_desc* second = str_new(0, 0);
    input_target_set(2, input_type_string, second);
    run(2, "\"a\"b,\"x\",y\n");   // after a closing quote only a comma: b and y go
    EXPECT_EQ(text_of(entry), "a");
    EXPECT_EQ(text_of(second), "x");
    EXPECT_EQ(row_text(page, 3), "\"a\",\"x\"");

    run(2, "p,q\b\b\n");   // the second piece taken back entirely leaves its target empty
    EXPECT_EQ(text_of(entry), "p");
    EXPECT_EQ(text_of(second), "");

    input_target_set(1, input_type_string | input_type_line_input, entry);
    run(1, "\"1,2\"3\n");   // LINE INPUT: commas and quotes are ordinary
    EXPECT_EQ(text_of(entry), "\"1,2\"3");
}

TEST_F(InputLine, BackspaceTabAndIgnoredKeys) {
    run(1, "\b7\n");   // Backspace on an empty line does nothing
    EXPECT_EQ(text_of(entry), "7");
    EXPECT_EQ(row_text(page, 1), "7");

    run(1, "abc\t|\n");   // Tab at length 3 feeds five spaces
    EXPECT_EQ(text_of(entry), "abc     |");

    run_keys(1, {'a', -GLUT_KEY_F1, -GLUT_KEY_LEFT, 127 /* Delete */, 27, 28, 12, 7, 'b', '\n'});
    EXPECT_EQ(text_of(entry), "a\x1b" "b");
    EXPECT_EQ(row_text(page, 3), "a\x1b" "b");
}

TEST_F(InputLine, BackspaceAfterAWrapAndScrollRestoresTheScreen) {
    for (int row = 1; row <= 23; ++row) {
        print_text(("row " + std::to_string(row)).c_str());
        print_string(permanent_empty_string, 1);
    }
    print_text("prompt at column 71? ");
    locate(24, 70, 0, 0, 0, 3);
    std::vector<std::uint8_t> before(page->cells, page->cells + 2 * 80 * 25);
    run(1, "abcdefghijklmno\b\b\b\b\b\b\n", 0);   // runs past column 80: the region scrolls
    EXPECT_EQ(text_of(entry), "abcdefghi");
    std::vector<std::uint8_t> expected = before;   // the typed nine only
    for (int i = 0; i < 9; ++i) expected[2 * (23 * 80 + 69 + i)] = static_cast<std::uint8_t>('a' + i);
    EXPECT_EQ(std::vector<std::uint8_t>(page->cells, page->cells + 2 * 80 * 25), expected);
    EXPECT_EQ(page->cursor_y, 24);
    EXPECT_EQ(page->cursor_x, 79);
}

TEST_F(InputLine, NumericTargetsTakeBackWhatWouldNotFit) {
    std::int16_t small = 5;
    std::uint8_t byte = 5;
    float single = 5;
    double twice = 5;
    input_target_set(1, 16, &small);
    input_target_set(2, 8 | input_type_unsigned, &byte);
    input_target_set(3, 32 | input_type_float, &single);
    input_target_set(4, 64 | input_type_float, &twice);
    run(4, "-327689,2567,3.402823E389,1D3089\n");
    EXPECT_EQ(small, -32768);
    EXPECT_EQ(byte, 25);
    EXPECT_EQ(single, 3.402823E38f);
    EXPECT_EQ(twice, 1E308);
    EXPECT_EQ(row_text(page, 1), "-32768,25,3.402823E38,1D308");

    run(4, "12,3\b\b\n");   // targets without a piece keep their start value, 0
    EXPECT_EQ(small, 12);
    EXPECT_EQ(byte, 0);
}

TEST_F(InputLine, CursorShowsWhileWaitingAndAnExitEndsTheWait) {
    page->cursor_visible = 0;
    std::thread program = start(1);
    press('x');
    EXPECT_EQ(page->cursor_visible, 1);
    press('\n');
    program.join();
    EXPECT_EQ(page->cursor_visible, 0);
    program = start(1);
    press('x');
    exit_in_progress = 1;
    EXPECT_TRUE(finishes());
    program.join();
}

// Storing a piece can compact the heap and grow it, freeing the old block
// (the sanitizer build sees any read of it), while the typed line is read:
// each piece must come from text that is still valid then. Two string
// targets, each with one byte of room so that its second character moves it;
// the heap is left every room from none to more than the whole line needs,
// so that some runs compact it during a store.
TEST_F(InputLine, PiecesStoredWhileTheHeapIsCompactedHoldWhatWasTyped) {
    str_assign(str_new(0, 0), str_from_cstring(std::string(65536, '.').c_str()));   // the heap grows when compacted
    manual_clock_start(0, 0);   // INPUT's waits pass at once
    std::size_t wrong_at_room = 0;
    for (std::size_t room = 1; room <= 600 && !wrong_at_room; ++room) {
        str_desc* first = str_assign(str_new(0, 0), str_from_cstring("x"));   // the newest string: no spare bytes
        str_desc* second = str_assign(str_new(0, 0), str_from_cstring("x"));
        input_target_set(1, input_type_string, first);
        input_target_set(2, input_type_string, second);
        for (char key : std::string("ab,cd\r")) keyboard_buffer_store(static_cast<std::uint8_t>(key), 0);
        heap_capacity = heap_used + room;   // nearly full (the block itself is larger)
        input_line(2, 0);
        if (text_of(first) != "ab" || text_of(second) != "cd") wrong_at_room = room;
        str_free(first);
        str_free(second);
    }
    manual_clock_stop();
    EXPECT_EQ(wrong_at_room, 0u);
}

TEST_F(InputLine, FixedLengthStringsTakeNoMoreThanTheirLength) {
    char buffer[] = "....";
    str_desc* fixed = str_fixed_view(buffer, 4, 0);
    input_target_set(1, input_type_string, fixed);
    run(1, "abcde\n");
    EXPECT_EQ(std::string(buffer), "abcd");
    run(1, "z\n");
    EXPECT_EQ(std::string(buffer), "z   ");
}

}  // namespace
