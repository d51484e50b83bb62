// INPUT's line editor in the window, on a program thread of its own fed with
// keys by the test thread (which plays the window thread). The terminal
// edition's tests type into the same editor through standard input.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/input/input_line.h"
#include "runtime/input/input_targets.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/screen/console_image.h"
#include "runtime/strings/string_heap.h"
#include "runtime/terminal/console_input.h"
#include "runtime/window/key_callbacks.h"
#include "tests/unit/console_screen.h"

namespace {

using namespace std::chrono_literals;

std::string text_of(const str_desc* s) { return std::string(reinterpret_cast<const char*>(s->text), s->len); }

enum kind { text, whole_line };   // a string target of INPUT, or LINE INPUT's

// Typed: "\n" is Enter, "\b" Backspace, "\t" Tab. Echo: what INPUT shows of the line.
struct input_case { std::vector<kind> targets; std::string typed; std::vector<std::string> values; std::string echo; };

const input_case cases[] = {
    {{text}, "5,0\n", {"50"}, "50"},   // a piece beyond the targets: its comma is taken back
    {{text}, "\"a,b\n", {"a,b"}, "\"a,b"},   // inside quotes a comma is an ordinary character
    {{text, text}, "\"a\"b,\"x\",y\n", {"a", "x"}, "\"a\",\"x\""},   // after a closing quote only a comma
    {{text, text}, "p,q\b\b\n", {"p", ""}, "p"},   // a piece taken back leaves its target empty
    {{text, text}, "a,bc\bd\n", {"a", "bd"}, "a,bd"},
    {{text}, "\"a\"\bb\"\n", {"ab"}, "\"ab\""},   // Backspace takes back a closing quote,
    {{text}, "\"a,bc\b\n", {"a,b"}, "\"a,b"},      // ... inside quotes,
    {{text}, "\"\bx,y\n", {"xy"}, "xy"},           // ... and an opening quote
    {{whole_line}, "\"1,2\"3\n", {"\"1,2\"3"}, "\"1,2\"3"},
    {{text}, "\b7\tZ\n", {"7       Z"}, "7       Z"},   // Tab pads to a multiple of 8
    {{text}, "abc\t|\n", {"abc     |"}, "abc     |"},
    {{text}, "a\x1b\x1c\x0c\x07" "b\n", {"a\x1b" "b"}, "a\x1b" "b"},   // 28, 12 and the bell change nothing
};

// One key as freeglut reports it: a byte ("\n" stands for Enter, 13), or a
// special key given as its negation; then waits until INPUT has taken it.
void press(int key) {
    if (key == '\n') key = 13;
    if (key < 0) {
        key_special_event(-key, 1);
        key_special_event(-key, 0);
    } else {
        key_char_event(key, 1, 0);
        key_char_event(key, 0, 0);
    }
    const auto index = [](std::uint32_t address) {
        return std::atomic_ref<std::uint8_t>(*emulated_address(address)).load();
    };
    for (const auto deadline = std::chrono::steady_clock::now() + 5s;
         index(bios_keyboard_head) != index(bios_keyboard_tail) && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(1ms);
}

class InputLine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { strings_startup(); }
    void SetUp() override {
        fresh_text_screen();
        keyboard_buffer_startup();
        exit_in_progress = 0;
        page = write_page;
        // The test clock stands still: each key is taken because storing it
        // woke INPUT, not because a wait timed out.
        manual_clock_start(1000, 0);
    }
    void TearDown() override { manual_clock_stop(); }
    void run_keys(std::int32_t targets, const std::vector<int>& keys, std::int8_t newline = 1) {
        std::atomic<bool> done{false};
        std::thread program([&] {
            input_line(targets, newline);
            done = true;
        });
        for (int key : keys) press(key);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!done && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        const bool finished = done;
        exit_in_progress = 1;   // lets a stuck INPUT go before the test fails
        wake_signal_raise(program_thread_wake);
        program.join();
        exit_in_progress = 0;
        ASSERT_TRUE(finished) << "INPUT did not finish";
    }
    void run(std::int32_t targets, const std::string& typed, std::int8_t newline = 1) {
        run_keys(targets, std::vector<int>(typed.begin(), typed.end()), newline);
    }
    screen_image* page = nullptr;
};

TEST_F(InputLine, PiecesInTheWindow) {
    for (const input_case& c : cases) {
        fresh_text_screen();
        page = write_page;
        std::vector<str_desc*> targets;
        for (kind k : c.targets) {
            targets.push_back(str_new(0, 0));
            input_target_set(static_cast<std::int32_t>(targets.size()),
                             k == text ? input_type_string : input_type_string | input_type_line_input, targets.back());
        }
        const std::int64_t before = clock_ms();
        run(static_cast<std::int32_t>(targets.size()), c.typed);
        EXPECT_EQ(clock_ms() - before, c.typed.find('\a') == std::string::npos ? 0 : 250) << c.typed;   // the bell
        std::vector<std::string> values;
        for (const str_desc* target : targets) values.push_back(text_of(target));
        EXPECT_EQ(values, c.values) << c.typed;
        EXPECT_EQ(row_text(page, 1), c.echo) << c.typed;
        EXPECT_EQ(cursor_at(page), std::make_pair(2, 1)) << c.typed;
    }
    // Keys that are not single characters change nothing.
    str_desc* entry = str_new(0, 0);
    input_target_set(1, input_type_string, entry);
    run_keys(1, {'a', -GLUT_KEY_F1, -GLUT_KEY_LEFT, 127 /* Delete */, 'b', '\n'});
    EXPECT_EQ(text_of(entry), "ab");
}

TEST_F(InputLine, BackspaceAfterAWrapAndScrollRestoresTheScreen) {
    for (int row = 1; row <= 23; ++row) print_raw("row " + std::to_string(row), 1);
    print_raw("prompt at column 71? ");
    move_to(24, 70);
    std::vector<std::uint8_t> expected(page->cells, page->cells + 2 * 80 * 25);
    str_desc* entry = str_new(0, 0);
    input_target_set(1, input_type_string, entry);
    run(1, "abcdefghijklmno\b\b\b\b\b\b\n", 0);   // runs past column 80: the region scrolls
    EXPECT_EQ(text_of(entry), "abcdefghi");
    for (int i = 0; i < 9; ++i) expected[2 * (23 * 80 + 69 + i)] = static_cast<std::uint8_t>('a' + i);
    EXPECT_EQ(std::vector<std::uint8_t>(page->cells, page->cells + 2 * 80 * 25), expected);
    EXPECT_EQ(cursor_at(page), std::make_pair(24, 79));
}

// Storing a piece can compact the heap and grow it, freeing the old block
// (the sanitizer build sees any read of it), while the typed line is read.
// Two string targets, each with one byte of room so that its second
// character moves it; the heap is left every room from none to more than the
// whole line needs, so that some runs compact it during a store.
TEST_F(InputLine, PiecesStoredWhileTheHeapIsCompactedHoldWhatWasTyped) {
    // The heap grows when compacted.
    str_assign(str_new(0, 0), str_from_cstring(std::string(65536, '.').c_str()));
    std::size_t wrong_at_room = 0;
    for (std::size_t room = 1; room <= 600 && !wrong_at_room; ++room) {
        str_desc* first = str_assign(str_new(0, 0), str_from_cstring("x"));   // the newest string: no spare bytes
        str_desc* second = str_assign(str_new(0, 0), str_from_cstring("x"));
        input_target_set(1, input_type_string, first);
        input_target_set(2, input_type_string, second);
        for (char key : std::string("ab,cd\r")) keyboard_buffer_store(static_cast<std::uint8_t>(key), 0);
        heap_capacity = heap_used + room;   // nearly full (the block itself is larger)
        input_line(2, 0);   // every key is there: no wait
        if (text_of(first) != "ab" || text_of(second) != "cd") wrong_at_room = room;
        str_free(first);
        str_free(second);
    }
    EXPECT_EQ(wrong_at_room, 0u);
}

// Numbers into targets of each width; a target whose piece stays empty is
// 0, all its bytes (the 80-bit float's ten) cleared at the start, and no more.
TEST_F(InputLine, NumbersIntoTargetsOfEachWidth) {
    std::int16_t integer = 9;
    struct { float value; char after[6]; } single{9, "after"};
    double wide = 9;
    long double extended = 9;
    input_target_set(1, 16, &integer);
    input_target_set(2, input_type_float | 256, &extended);
    input_target_set(3, input_type_float | 64, &wide);
    input_target_set(4, input_type_float | 32, &single.value);
    run(4, "-12,,2.25,1.5\n");
    EXPECT_EQ(std::tuple(integer, extended, wide, single.value, std::string(single.after)),
              std::tuple(std::int16_t{-12}, 0.0L, 2.25, 1.5f, "after"));
}

// The terminal edition's INPUT reads standard input: "\r", "\r\n" and "\n"
// each end a line; a line keeps its first megabyte and drops the rest; a
// numeric piece of a million bytes is checked as it arrives, Backspace
// included, in time in proportion to its length (not within a minute before).
TEST_F(InputLine, LinesFromStandardInput) {
    const std::string megabyte(1 << 20, '0'), path = testing::TempDir() + "console_input";
    std::ofstream(path) << "500\r600\r\n7" << megabyte << megabyte << "\n&H" << megabyte.substr(50000) << "7FF\bFFF\n8";
    ASSERT_TRUE(std::freopen(path.c_str(), "r", stdin));
    console_image_create();
    str_desc* entry = str_new(0, 0);
    std::int16_t number = 5;
    std::vector<std::string> entries;
    std::atomic<bool> done{false};
    testing::internal::CaptureStdout();   // the echo
    std::thread program([&] {
        for (int line = 0; line < 5; ++line) {
            input_target_set(1, line == 3 ? 16 : input_type_string, line == 3 ? static_cast<void*>(&number) : entry);
            console_input_line(1, 1);
            entries.push_back(line == 3 ? std::to_string(number) : text_of(entry));
        }
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!done && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    testing::internal::GetCapturedStdout();
    if (!done) program.detach();   // the test has failed; it goes on meanwhile
    ASSERT_TRUE(done);
    program.join();
    EXPECT_EQ(entries, (std::vector<std::string>{"500", "600", "7" + megabyte.substr(1), "32767", "8"}));
}

}  // namespace
