// Long random sequences of string statements checked against std::string:
// after every statement each live string holds its model's text, the heap
// and segment lists keep their texts in address order, and every temp is
// gone. The runs compact and grow the heap and its list, compact the data
// segment, and grow the descriptor pool, the free-descriptor stack and the
// temp list.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <random>

#include "runtime/strings/data_segment.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/string_heap.h"

namespace {

// A critical error exits with status 0, which would pass for success.
bool all_tests_finished = false;
struct exit_watch : ::testing::Environment {
    void SetUp() override {
        std::atexit([] { if (!all_tests_finished) std::fputs("exited mid-test\n", stderr), std::_Exit(1); });
    }
    void TearDown() override { all_tests_finished = true; }
};
[[maybe_unused]] ::testing::Environment* const watch = ::testing::AddGlobalTestEnvironment(new exit_watch);

enum area { heap, segment, fixed };
struct result { str_desc* d; std::string value; };
struct variable { str_desc* d; std::string value; area kind; std::uint8_t* text_before; };  // before: to see moves

bool holds(const str_desc* d, const std::string& value) {
    return d->len == static_cast<std::int32_t>(value.size()) && std::memcmp(d->text, value.data(), value.size()) == 0;
}
std::uint16_t get_16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

// Live entries in increasing address order, inside [first, used_end).
void check_list(const string_list& list, const std::uint8_t* first, const std::uint8_t* used_end) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        const str_desc* d = list.slots[i];
        if (d == dead_slot()) continue;
        ASSERT_EQ(d->list_index, i);
        ASSERT_GE(d->text, first) << "slot " << i;
        first = d->text + d->len;
        ASSERT_LE(first, used_end) << "slot " << i;
    }
}

std::string flip_case(std::string s, char first, char last) {
    for (char& c : s)
        if (c >= first && c <= last) c ^= 0x20;
    return s;
}

class RandomStrings : public ::testing::Test {
  protected:
    void SetUp() override {
        strings_startup();
        mark = temp_mark();
        for (int i = 0; i < 48; ++i) literals.push_back(random_text(i % 8 == 0 ? 60000 : 80));
        literals.push_back("");
    }
    std::size_t below(std::size_t n) { return random() % n; }
    std::string random_text(std::size_t max_length) {
        std::string text(below(max_length + 1), ' ');
        for (char& c : text) c = static_cast<char>(below(4) ? 'A' + below(58) : below(256));
        return text;
    }
    result literal() {  // every eighth literal is long; prefer_long picks those half the time
        const std::size_t pick = below(literals.size());
        const std::string& text = literals[prefer_long && below(2) ? pick / 8 * 8 : pick];
        return {str_from_literal(text.data(), static_cast<std::int32_t>(text.size())), text};
    }
    static result filled(str_desc* d, const std::string& t) { std::memcpy(d->text, t.data(), t.size()); return {d, t}; }
    // A random expression: its temp result (or a variable) and its model.
    result expression(int depth) {
        if (prefer_long && depth == 0 && below(2)) {
            result a = literal(), b = literal();
            return {str_concat(a.d, b.d), a.value + b.value};
        }
        const std::size_t choice = below(depth > 2 ? 5 : 11);
        if (choice == 2 && !variables.empty()) {
            const variable& v = variables[below(variables.size())];
            return {v.d, v.value};
        }
        if (choice < 3) return literal();
        if (choice == 4) {
            const int code = static_cast<int>(below(256));
            return {str_chr(code), std::string(1, static_cast<char>(code))};
        }
        if (choice == 3 || choice == 5) {
            const std::string text = random_text(choice == 3 ? 300 : 40);
            const auto size = static_cast<std::uint32_t>(text.size());
            return filled(choice == 3 ? str_new(size, 1) : str_new_in_segment(size, 1), text);
        }
        result a = expression(depth + 1);
        const auto n = static_cast<std::int32_t>(below(a.value.size() + 5)) - 2;
        const std::size_t kept = std::clamp<std::int32_t>(n, 0, a.value.size());
        switch (choice) {
            case 6: {
                result b = expression(depth + 1);
                return {str_concat(a.d, b.d), a.value + b.value};
            }
            case 7: return {str_left(a.d, n), a.value.substr(0, kept)};
            case 8: return {str_right(a.d, static_cast<std::int32_t>(kept)), a.value.substr(a.value.size() - kept)};
            case 9: return {str_ucase(a.d), flip_case(a.value, 'a', 'z')};
            default: return {str_lcase(a.d), flip_case(a.value, 'A', 'Z')};
        }
    }
    void assign(variable& v, result r) {
        ASSERT_TRUE(holds(r.d, r.value));
        if (v.kind == segment && r.value.size() > 500) r = {str_left(r.d, 500), r.value.substr(0, 500)};  // 64 KiB
        str_assign(v.d, r.d);
        v.value = v.kind == fixed ? (r.value + std::string(v.d->len, ' ')).substr(0, v.d->len) : r.value;
        v.text_before = v.d->text;
    }
    void new_variable() {
        const std::size_t choice = below(10);
        int in_segment = 0;
        for (const variable& v : variables) in_segment += v.kind == segment;
        if (choice == 0 && segment_variables_made < 2000 && in_segment < 40) {
            variables.push_back({str_new_in_segment(0, 0), "", segment, nullptr});
            ++segment_variables_made;
        } else if (choice == 1 && fixed_buffers.size() < 200) {
            const std::size_t length = 1 + below(30);
            fixed_buffers.push_back(std::make_unique<char[]>(length));
            variables.push_back({str_fixed_view(fixed_buffers.back().get(), static_cast<std::int32_t>(length), 0),
                                 std::string(length, '\0'), fixed, nullptr});
        } else {
            variables.push_back({str_new(0, 0), "", heap, nullptr});
        }
        assign(variables.back(), expression(0));
    }
    void free_variable(std::size_t i) {
        str_free(variables[i].d);
        variables[i] = variables.back();
        variables.pop_back();
    }
    void statement(std::size_t max_variables) {
        const std::size_t choice = below(10);
        if (variables.size() < max_variables && (choice < 3 || variables.size() < max_variables / 2)) {
            new_variable();
        } else if (choice < 4) {
            free_variable(below(variables.size()));
        } else if (choice == 4) {
            (void)expression(0);  // left for the statement's cleanup
        } else if (choice == 5) {
            str_desc* work = str_new(0, 0);  // the PRINT pattern: the work string lies below the temps
            result r = expression(0);
            ASSERT_TRUE(holds(str_assign(work, r.d), r.value));
            str_free(work);
        } else {
            assign(variables[below(variables.size())], expression(0));
        }
        temp_cleanup(mark, 0);
        ASSERT_EQ(temp_mark(), mark);
    }
    void check_everything() {
        for (variable& v : variables) {
            ASSERT_TRUE(holds(v.d, v.value));
            if (v.d->text != v.text_before) ++moved_by_compaction[v.kind], v.text_before = v.d->text;
            if (v.kind == segment) {
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
    void run(int steps, std::size_t max_variables) {
        for (int step = 0; step < steps; ++step) {
            ASSERT_NO_FATAL_FAILURE(statement(max_variables)) << "step " << step;
            ASSERT_NO_FATAL_FAILURE(check_everything()) << "step " << step;
        }
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
    ASSERT_NO_FATAL_FAILURE(run(20000, 60));
    ASSERT_NO_FATAL_FAILURE(run(30000, 250));
    prefer_long = true;
    ASSERT_NO_FATAL_FAILURE(run(4000, 40));
    EXPECT_GT(moved_by_compaction[heap], 0);
    EXPECT_GT(moved_by_compaction[segment], 0);
    EXPECT_GT(heap_capacity, heap_capacity_before);
    while (!variables.empty()) free_variable(below(variables.size()));
}

TEST_F(RandomStrings, TablesGrowPastTheirFirstSize) {
    const std::uint32_t list_capacity_before = heap_list.capacity;
    for (int i = 0; i < 70000; ++i) {  // a new descriptor block and a longer heap list
        variables.push_back({str_new(0, 0), "", heap, nullptr});
        assign(variables.back(), literal());
    }
    EXPECT_GT(heap_list.capacity, list_capacity_before);
    check_everything();
    std::vector<result> temps;  // a longer temp list
    for (int i = 0; i < 70000; ++i) temps.push_back(expression(3));
    for (const result& r : temps) ASSERT_TRUE(holds(r.d, r.value));
    temp_cleanup(mark, 0);
    while (!variables.empty()) {  // freed in random order: a longer free-descriptor stack
        free_variable(below(variables.size()));
        if (variables.size() % 5000 == 0) check_everything();
    }
    run(2000, 100);
}

}  // namespace
