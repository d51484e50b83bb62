// Long random sequences of string statements checked against std::string:
// after every statement each live string holds its model's text, the heap
// and segment lists keep their texts in address order, and every temp is
// gone. The sequences are long and large enough to compact and grow the
// heap and its list, compact the data segment, and grow the descriptor pool,
// the free-descriptor stack and the temp list.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "runtime/strings/data_segment.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/string_heap.h"

namespace {

// A critical error ends the process with status 0, which would pass for
// success: an exit before the last test has finished fails instead.
bool all_tests_finished = false;
struct exit_watch : ::testing::Environment {
    void SetUp() override {
        std::atexit([] {
            if (!all_tests_finished) {
                std::fputs("the process exited in the middle of a test\n", stderr);
                std::_Exit(1);
            }
        });
    }
    void TearDown() override { all_tests_finished = true; }
};
[[maybe_unused]] ::testing::Environment* const watch = ::testing::AddGlobalTestEnvironment(new exit_watch);

enum class area { heap, segment, fixed };

struct variable {
    str_desc* d;
    std::string value;
    area kind;
    std::uint8_t* text_before;  // to notice texts moved by compaction
};

struct result {
    str_desc* d;
    std::string value;
};

bool holds(const str_desc* d, const std::string& value) {
    return d->len == static_cast<std::int32_t>(value.size()) && std::memcmp(d->text, value.data(), value.size()) == 0;
}

std::uint16_t get_16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

// Live entries in increasing address order, inside [first, first + used).
void check_list(const string_list& list, const std::uint8_t* first, const std::uint8_t* used_end) {
    const std::uint8_t* previous_end = first;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        const str_desc* d = list.slots[i];
        if (d == dead_slot()) continue;
        ASSERT_EQ(d->list_index, i);
        ASSERT_GE(d->text, previous_end) << "slot " << i;
        previous_end = d->text + d->len;
        ASSERT_LE(previous_end, used_end) << "slot " << i;
    }
}

class RandomStrings : public ::testing::Test {
  protected:
    void SetUp() override {
        strings_startup();
        mark = temp_mark();
        for (int i = 0; i < 48; ++i) literals.push_back(random_text(i % 8 == 0 ? 60000 : 80));
        literals.push_back("");
    }

    std::string random_text(std::size_t max_length) {
        std::string text(random() % (max_length + 1), ' ');
        for (char& c : text) c = static_cast<char>(random() % 4 ? 'A' + random() % 58 : random() % 256);
        return text;
    }

    result literal() {
        // The long literals are every eighth; prefer_long picks them half the time.
        const std::size_t pick = random() % literals.size();
        const std::string& text = literals[prefer_long && random() % 2 ? pick / 8 * 8 : pick];
        return {str_from_literal(text.data(), static_cast<std::int32_t>(text.size())), text};
    }

    static result filled(str_desc* d, const std::string& text) {
        std::memcpy(d->text, text.data(), text.size());
        return {d, text};
    }

    std::int32_t count_for(const std::string& value) {
        return static_cast<std::int32_t>(random() % (value.size() + 5)) - 2;
    }

    // A random expression: its temp result (or a variable) and its model.
    result expression(int depth) {
        if (prefer_long && depth == 0 && random() % 2) {
            result a = literal();
            result b = literal();
            return {str_concat(a.d, b.d), a.value + b.value};
        }
        const int choice = static_cast<int>(random() % (depth > 2 ? 5 : 11));
        switch (choice) {
            case 0: case 1: return literal();
            case 2:
                if (!variables.empty()) {
                    const variable& v = variables[random() % variables.size()];
                    return {v.d, v.value};
                }
                return literal();
            case 3: {
                const std::string text = random_text(300);
                return filled(str_new(static_cast<std::uint32_t>(text.size()), 1), text);
            }
            case 4: {
                const int code = static_cast<int>(random() % 256);
                return {str_chr(code), std::string(1, static_cast<char>(code))};
            }
            case 5: {
                const std::string text = random_text(40);
                return filled(str_new_in_segment(static_cast<std::uint32_t>(text.size()), 1), text);
            }
            case 6: {
                result a = expression(depth + 1);
                result b = expression(depth + 1);
                return {str_concat(a.d, b.d), a.value + b.value};
            }
            case 7: {
                result a = expression(depth + 1);
                const std::int32_t n = count_for(a.value);
                return {str_left(a.d, n), a.value.substr(0, std::max(n, 0))};
            }
            case 8: {
                result a = expression(depth + 1);
                const std::int32_t n = std::clamp<std::int32_t>(count_for(a.value), 0, a.value.size());
                return {str_right(a.d, n), a.value.substr(a.value.size() - n)};
            }
            case 9: {
                result a = expression(depth + 1);
                for (char& c : a.value)
                    if (c >= 'a' && c <= 'z') c ^= 0x20;
                return {str_ucase(a.d), a.value};
            }
            default: {
                result a = expression(depth + 1);
                for (char& c : a.value)
                    if (c >= 'A' && c <= 'Z') c ^= 0x20;
                return {str_lcase(a.d), a.value};
            }
        }
    }

    void assign(variable& v, result r) {
        ASSERT_TRUE(holds(r.d, r.value));
        if (v.kind == area::segment && r.value.size() > 500) {  // the segment holds 64 KiB
            r = {str_left(r.d, 500), r.value.substr(0, 500)};
        }
        str_assign(v.d, r.d);
        v.value = r.value;
        if (v.kind == area::fixed) v.value = (r.value + std::string(v.d->len, ' ')).substr(0, v.d->len);
        v.text_before = v.d->text;
    }

    void new_variable() {
        const int choice = static_cast<int>(random() % 10);
        variable v{};
        if (choice == 0 && segment_variables_made < 2000 && segment_variables() < 40) {
            v = {str_new_in_segment(0, 0), "", area::segment, nullptr};
            ++segment_variables_made;
        } else if (choice == 1 && fixed_buffers.size() < 200) {
            const std::size_t length = 1 + random() % 30;
            fixed_buffers.push_back(std::make_unique<char[]>(length));
            v = {str_fixed_view(fixed_buffers.back().get(), static_cast<std::int32_t>(length), 0), "", area::fixed,
                 nullptr};
            v.value = std::string(length, '\0');
        } else {
            v = {str_new(0, 0), "", area::heap, nullptr};
        }
        variables.push_back(v);
        assign(variables.back(), expression(0));
    }

    int segment_variables() const {
        int n = 0;
        for (const variable& v : variables) n += v.kind == area::segment;
        return n;
    }

    void free_variable(std::size_t i) {
        str_free(variables[i].d);
        variables[i] = variables.back();
        variables.pop_back();
    }

    void statement(std::size_t max_variables) {
        const int choice = static_cast<int>(random() % 10);
        if (variables.size() < max_variables && (choice < 3 || variables.size() < max_variables / 2)) {
            new_variable();
        } else if (choice < 5) {
            free_variable(random() % variables.size());
        } else if (choice == 4) {
            (void)expression(0);  // left for the statement's cleanup
        } else if (choice == 5) {
            str_desc* work = str_new(0, 0);  // the PRINT pattern
            result r = expression(0);
            str_assign(work, r.d);
            ASSERT_TRUE(holds(work, r.value));
            str_free(work);
        } else {
            assign(variables[random() % variables.size()], expression(0));
        }
        temp_cleanup(mark, 0);
        ASSERT_EQ(temp_mark(), mark);
    }

    void check_everything() {
        for (variable& v : variables) {
            ASSERT_TRUE(holds(v.d, v.value));
            if (v.d->text != v.text_before) {
                ++moved_by_compaction[static_cast<int>(v.kind)];
                v.text_before = v.d->text;
            }
            if (v.kind == area::segment) {
                ASSERT_EQ(get_16(v.d->seg_record), v.value.size());
                ASSERT_EQ(get_16(v.d->seg_record + 2), v.d->text - segment_base());
            }
        }
        ASSERT_TRUE(holds(permanent_space_string, " "));
        check_list(heap_list, heap_base, heap_base + heap_used);
        check_list(segment_list, segment_base() + segment_text_start, segment_base() + seg_used);
        ASSERT_LE(seg_used, seg_top);
        ASSERT_LE(heap_used, heap_capacity);
    }

    std::mt19937 random{1};
    std::uint32_t mark = 0;
    std::deque<std::string> literals;
    std::vector<variable> variables;
    std::vector<std::unique_ptr<char[]>> fixed_buffers;
    int segment_variables_made = 0;
    bool prefer_long = false;
    long moved_by_compaction[3] = {};
};

TEST_F(RandomStrings, StatementsMatchTheModel) {
    const std::size_t heap_capacity_before = heap_capacity;
    // Phases: few strings, many strings, a few long strings (the heap grows).
    for (int step = 0; step < 54000; ++step) {
        prefer_long = step >= 50000;
        ASSERT_NO_FATAL_FAILURE(statement(step < 20000 ? 60 : step < 50000 ? 250 : 40)) << "step " << step;
        ASSERT_NO_FATAL_FAILURE(check_everything()) << "step " << step;
    }
    EXPECT_GT(moved_by_compaction[static_cast<int>(area::heap)], 0);
    EXPECT_GT(moved_by_compaction[static_cast<int>(area::segment)], 0);
    EXPECT_GT(heap_capacity, heap_capacity_before);
    while (!variables.empty()) free_variable(random() % variables.size());
}

TEST_F(RandomStrings, TablesGrowPastTheirFirstSize) {
    const std::uint32_t list_capacity_before = heap_list.capacity;
    for (int i = 0; i < 70000; ++i) {  // a new descriptor block and a longer heap list
        variables.push_back({str_new(0, 0), "", area::heap, nullptr});
        assign(variables.back(), literal());
    }
    EXPECT_GT(heap_list.capacity, list_capacity_before);
    check_everything();
    std::vector<result> temps;  // a longer temp list
    for (int i = 0; i < 70000; ++i) temps.push_back(expression(3));
    for (const result& r : temps) ASSERT_TRUE(holds(r.d, r.value));
    temp_cleanup(mark, 0);
    // Freed in random order: a longer free-descriptor stack.
    while (!variables.empty()) {
        free_variable(random() % variables.size());
        if (variables.size() % 5000 == 0) check_everything();
    }
    for (int step = 0; step < 2000; ++step) {
        ASSERT_NO_FATAL_FAILURE(statement(100));
        ASSERT_NO_FATAL_FAILURE(check_everything());
    }
}

}  // namespace
