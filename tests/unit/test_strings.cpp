// The run-time strings: long random sequences of the string statements the
// calculator uses (and CHR$) checked against std::string (texts, list order,
// temps, reuse of writable temps), then what the texts alone do not show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <tuple>

#include "runtime/errors/errors.h"
#include "runtime/strings/data_segment.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/string_heap.h"

namespace {

// A critical error exits with status 0, which would pass for success.
bool finished = false;
struct exit_watch : ::testing::Environment {
    void SetUp() override {
        std::atexit([] {
            if (!finished) std::_Exit(1);
        });
    }
    void TearDown() override { finished = true; }
};
[[maybe_unused]] ::testing::Environment* const watch = ::testing::AddGlobalTestEnvironment(new exit_watch);

enum area { heap, segment, fixed };
struct result { str_desc* d; std::string value; bool writable_temp = false; };
struct variable { str_desc* d; std::string value; area kind; };

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

class RandomStrings : public ::testing::Test {
  protected:
    void SetUp() override {
        strings_startup();
        mark = temp_mark();
        for (int i = 0; i < 48; ++i) literals.push_back(random_text(i % 8 == 0 ? 250000 : 80));   // every eighth long
        literals.push_back("");
    }
    std::size_t below(std::size_t n) { return random() % n; }
    std::string random_text(std::size_t max_length) {
        std::string text(below(max_length + 1), ' ');
        for (char& c : text) c = static_cast<char>(below(4) ? 'A' + below(58) : below(256));
        return text;
    }
    // A random expression: its result (a temp, a literal or a variable) and its model.
    result expression(int depth) {
        const std::size_t choice = below(depth > 2 ? 5 : 8);
        if (choice == 2 && !variables.empty()) {
            const variable& v = variables[below(variables.size())];
            return {v.d, v.value};
        }
        if (choice < 3) {
            const std::string& text = literals[below(literals.size())];
            return {str_from_literal(text.data(), static_cast<std::int32_t>(text.size())), text};
        }
        if (choice == 4) {
            const int code = static_cast<int>(below(256));
            return {str_chr(code), std::string(1, static_cast<char>(code)), true};
        }
        if (choice == 3 || choice == 5) {
            const std::string text = random_text(choice == 3 ? 300 : 40);
            const auto size = static_cast<std::uint32_t>(text.size());
            str_desc* d = choice == 3 ? str_new(size, 1) : str_new_in_segment(size, 1);
            std::memcpy(d->text, text.data(), size);
            return {d, text, choice == 3};
        }
        const result a = expression(depth + 1);
        const auto n = static_cast<std::int32_t>(below(a.value.size() + 5)) - 2;
        const std::size_t kept = std::clamp<std::int32_t>(n, 0, a.value.size());
        if (choice == 6) {
            const result b = expression(depth + 1);
            result r = {str_concat(a.d, b.d), a.value + b.value, true};
            EXPECT_TRUE(!b.value.empty() || r.d == a.d);
            if (a.value.empty() || b.value.empty()) r.writable_temp = (b.value.empty() ? a : b).writable_temp;
            return r;
        }
        result r = {str_left(a.d, n), a.value.substr(0, kept)};
        EXPECT_TRUE(!a.writable_temp || r.d == a.d);
        r.writable_temp = r.d == a.d ? a.writable_temp : r.d->is_temp;
        return r;
    }
    void assign(variable& v, result r) {
        ASSERT_TRUE(holds(r.d, r.value));
        if (v.kind == segment && r.value.size() > 500) r = {str_left(r.d, 500), r.value.substr(0, 500)};  // 64 KiB
        str_assign(v.d, r.d);
        v.value = v.kind == fixed ? (r.value + std::string(v.d->len, ' ')).substr(0, v.d->len) : r.value;
    }
    void new_variable() {
        const std::size_t choice = below(10);
        int in_segment = 0;
        for (const variable& v : variables) in_segment += v.kind == segment;
        if (choice == 0 && segment_variables_made++ < 2000 && in_segment < 40) {
            variables.push_back({str_new_in_segment(0, 0), "", segment});
        } else if (choice == 1 && fixed_buffers.size() < 200) {
            std::string& buffer = fixed_buffers.emplace_back(1 + below(30), '\0');
            variables.push_back({str_fixed_view(buffer.data(), std::int32_t(buffer.size()), 0), buffer, fixed});
        } else {
            variables.push_back({str_new(0, 0), "", heap});
        }
        assign(variables.back(), expression(0));
    }
    void statement(std::size_t max_variables) {
        const std::size_t choice = below(10);
        if (variables.size() < max_variables && (choice < 3 || variables.size() < max_variables / 2)) {
            new_variable();
        } else if (choice < 4) {
            const std::size_t i = below(variables.size());
            str_free(variables[i].d);
            variables[i] = variables.back();
            variables.pop_back();
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
            if (v.kind == segment) {
                ASSERT_EQ(get_16(v.d->seg_record), v.value.size());
                ASSERT_EQ(get_16(v.d->seg_record + 2), v.d->text - segment_base());
            }
        }
        ASSERT_TRUE(holds(permanent_space_string, " "));
        check_list(heap_list, heap_base, heap_base + heap_used);
        check_list(segment_list, segment_base() + segment_text_start, segment_base() + seg_used);
        ASSERT_TRUE(seg_used <= seg_top && heap_used <= heap_capacity);
    }
    void run(int steps, std::size_t max_variables) {
        for (int step = 0; step < steps; ++step) {
            ASSERT_NO_FATAL_FAILURE(statement(max_variables)) << "step " << step;
            ASSERT_NO_FATAL_FAILURE(check_everything()) << "step " << step;
        }
    }

    std::mt19937 random{1};
    std::uint32_t mark = 0;
    std::deque<std::string> literals, fixed_buffers;
    std::vector<variable> variables;
    int segment_variables_made = 0;
};

TEST_F(RandomStrings, StatementsMatchTheModel) {
    const std::size_t heap_capacity_before = heap_capacity;
    ASSERT_NO_FATAL_FAILURE(run(20000, 60));  // few strings, then many
    ASSERT_NO_FATAL_FAILURE(run(30000, 250));
    EXPECT_GT(heap_capacity, heap_capacity_before);
}

str_desc* literal(const char* t) { return str_from_cstring(t); }  // t must outlive the literal's use

TEST(Strings, PermanentStringsTempsAndHeapAccounting) {
    strings_startup();
    EXPECT_EQ(std::tuple(permanent_empty_string->seg_record_offset, permanent_space_string->seg_record_offset,
                         get_16(permanent_space_string->seg_record), get_16(permanent_space_string->seg_record + 2)),
              std::tuple(65524, 65520, 1, 256));
    const std::uint32_t mark = temp_mark();
    const std::size_t before = heap_used;
    str_desc* var = str_new(0, 0);
    EXPECT_EQ(heap_used, before + 32);  // room to grow in place
    const char prompt[] = " Eingabe der Wellenlaenge [nm]: ";
    str_assign(var, str_from_literal(prompt, sizeof prompt - 1));
    EXPECT_NE(var->text, reinterpret_cast<const std::uint8_t*>(prompt));  // a literal is copied
    str_desc* result = str_concat(literal("new "), literal("value"));
    std::uint8_t* bytes = result->text;
    EXPECT_EQ(str_assign(var, result), var);  // a temp is taken over
    EXPECT_EQ(var->text, bytes);
    EXPECT_EQ(temp_mark(), mark);
    str_desc* temp = str_concat(literal("ab"), literal("c"));
    str_free(str_concat(temp, temp));  // a temp joined with itself is freed once
    EXPECT_NE(str_new(0, 1), str_new(0, 1));
    EXPECT_EQ(temp_cleanup(0, 7), 7);  // the sentinel survives a mark of 0
    EXPECT_EQ(temp_mark(), 1u);
    str_free(var);
    EXPECT_EQ(heap_used, before);
    for (int code : {-1, 256}) {   // CHR$ of a code outside 0 to 255: error 5 and an empty string
        EXPECT_EQ(str_chr(code)->len, 0) << code;
        EXPECT_EQ(pending_error.exchange(0), 5) << code;
    }
}

}  // namespace
