// The run-time string where its texts alone do not show it (the texts are
// checked against a model in test_strings_random): the permanent strings,
// heap accounting, which operations take over or reuse a temp, the data
// segment's records, critical errors, the variable area and block guards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "fake_dialog.h"
#include "runtime/errors/errors.h"
#include "runtime/strings/data_segment.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/string_heap.h"

namespace {

std::string text(const str_desc* s) { return std::string(reinterpret_cast<const char*>(s->text), s->len); }
str_desc* literal(const char* t) { return str_from_cstring(t); }  // t must outlive the literal's use
std::uint16_t get_16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

class Strings : public ::testing::Test {
  protected:
    void SetUp() override { strings_startup(), mark = temp_mark(); }
    void TearDown() override {
        temp_cleanup(mark, 0);
        EXPECT_EQ(temp_mark(), mark);
        pending_error = 0;
    }
    std::uint32_t mark = 0;
};

TEST_F(Strings, StartUpPlacesThePermanentStrings) {
    EXPECT_EQ(permanent_empty_string->len, 0);
    EXPECT_EQ(text(permanent_space_string), " ");
    EXPECT_EQ(permanent_empty_string->seg_record_offset, 65524);
    EXPECT_EQ(permanent_space_string->seg_record_offset, 65520);
    EXPECT_EQ(get_16(permanent_space_string->seg_record), 1);
    EXPECT_EQ(get_16(permanent_space_string->seg_record + 2), 256);
    for (std::size_t i = 65528; i < 65536; ++i) EXPECT_EQ(segment_base()[i], 0);
    EXPECT_EQ(permanent_heap_string->len, 0);
    EXPECT_EQ(permanent_heap_string->in_segment, 0);
}

TEST_F(Strings, AssignmentCopiesLiteralsTakesOverTempsAndGivesTheHeapBack) {
    const std::size_t before = heap_used;
    str_desc* var = str_new(0, 0);
    EXPECT_EQ(heap_used, before + 32);
    const char prompt[] = " Eingabe der Wellenlaenge [nm]: ";
    str_assign(var, str_from_literal(prompt, sizeof prompt - 1));
    EXPECT_NE(var->text, reinterpret_cast<const std::uint8_t*>(prompt));
    str_desc* result = str_concat(literal("new "), literal("value"));
    std::uint8_t* bytes = result->text;
    EXPECT_EQ(str_assign(var, result), var);
    EXPECT_EQ(var->text, bytes);
    EXPECT_EQ(temp_mark(), mark);
    EXPECT_EQ(heap_list.slots[var->list_index], var);
    EXPECT_EQ(str_assign(var, var), var);
    EXPECT_EQ(str_assign(var, str_concat(var, literal(""))), var);
    EXPECT_EQ(text(var), "new value");
    str_free(var);
    EXPECT_EQ(heap_used, before);
    EXPECT_EQ(temp_cleanup(mark, 42), 42);
}

TEST_F(Strings, ConcatOfEmptyReturnsTheOtherAndOfATempWithItselfFreesItOnce) {
    str_desc* var = str_assign(str_new(0, 0), literal("kept"));
    EXPECT_EQ(str_concat(var, literal("")), var);
    EXPECT_EQ(str_concat(permanent_empty_string, var), var);
    temp_cleanup(mark, 0);
    str_desc* temp = str_concat(literal("ab"), literal("c"));
    str_free(str_concat(temp, temp));
    EXPECT_EQ(temp_mark(), mark);
    EXPECT_NE(str_new(0, 1), str_new(0, 1));  // the operand's descriptor went back to the pool once
    str_free(var);
}

TEST_F(Strings, FreeingATempBelowTheTopOnlyMarksItsSlot) {
    str_desc* lower = str_new(1, 1);
    str_desc* upper = str_new(1, 1);
    str_free(lower);
    EXPECT_EQ(temp_mark(), mark + 2);
    str_free(upper);
    EXPECT_EQ(temp_mark(), mark);
    EXPECT_EQ(temp_cleanup(0, 7), 7);  // the sentinel survives a mark of 0
    EXPECT_EQ(temp_mark(), 1u);
}

TEST_F(Strings, GrowthStaysInPlaceOnlyWhileTheFollowingBytesAreFree) {
    str_desc* first = str_new(0, 0);
    str_desc* second = str_new(0, 0);
    std::uint8_t* place = first->text;
    str_assign(first, literal(std::string(32, 'a').c_str()));  // the 32 spare bytes
    EXPECT_EQ(first->text, place);
    str_assign(first, literal(std::string(33, 'b').c_str()));  // would reach `second`
    EXPECT_NE(first->text, place);
    EXPECT_EQ(first->list_index, heap_list.count - 1);
    place = first->text;  // the newest string grows in place without limit
    str_assign(first, literal(std::string(1000, 'c').c_str()));
    EXPECT_EQ(first->text, place);
    EXPECT_EQ(heap_used, static_cast<std::size_t>(first->text + 1000 - heap_base));
    // A grown string swallows a temp source that follows it; freeing that
    // temp must not kill the slot it no longer holds.
    str_desc* var = str_new(0, 0);
    str_desc* temp = str_new(100, 1);
    std::memset(temp->text, 'd', 100);
    str_assign(var, str_left(temp, 99));
    EXPECT_EQ(var->list_index, heap_list.count - 1);
    EXPECT_GE(str_new(5, 1)->text, var->text + 99);
    for (str_desc* s : {first, second, var}) str_free(s);
}

TEST_F(Strings, DerivedStringsReuseWritableTempsAndChrChecksItsCode) {
    str_desc* temp = str_concat(literal("Mixed "), literal("Case"));
    for (str_desc* derived : {str_ucase(temp), str_lcase(temp), str_left(temp, 8), str_right(temp, 4)})
        EXPECT_EQ(derived, temp);
    EXPECT_EQ(text(temp), "d ca");
    str_desc* lit = literal("Literal");
    EXPECT_NE(str_ucase(lit), lit);
    EXPECT_EQ(text(lit), "Literal");
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_EQ(str_chr(256)->len, 0);
    EXPECT_EQ(pending_error.load(), 5);
}

TEST_F(Strings, ViewsIntoTheSegmentHaveARecord) {
    str_desc* inside = str_fixed_view(segment_base() + 16, 8, 0);
    EXPECT_EQ(get_16(inside->seg_record + 2), 16);
    char outside_buffer[8];
    EXPECT_EQ(str_fixed_view(outside_buffer, 8, 0)->seg_record, nullptr);
    EXPECT_EQ(str_new_in_segment(3, 1)->seg_record, nullptr);  // temps have none
    str_free(inside);
}

// A critical error shows its box and exits with status 0.
TEST(StringsCritical, OutOfMemoryEndsTheProgramWithABox) {
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { str_new_in_segment(70000, 1); }, "Critical Error #13"},
        {[] { str_new(0x80000000u, 1); }, "Critical Error #12"},
    };
    fake_dialog dialog;
    for (const auto& [make, title] : cases) {
        dialog.forget_calls();
        EXPECT_EXIT((strings_startup(), make()), ::testing::ExitedWithCode(0), "");
        ASSERT_EQ(dialog.calls().size(), 1u) << title;
        EXPECT_EQ(dialog.calls()[0].option("title"), title);
        EXPECT_EQ(dialog.calls()[0].option("text"), "Out of memory");
    }
}

TEST(VariableArea, RoundsToEightAndKeepsOldBlocks) {
    strings_startup();
    auto* a = static_cast<std::uint8_t*>(var_alloc(1));
    auto* b = static_cast<std::uint8_t*>(var_alloc(4));
    EXPECT_EQ(b - a, 8);
    *b = 99;
    var_area_reset(b);
    EXPECT_EQ(var_alloc(4), b);
    auto* big = static_cast<std::uint8_t*>(var_alloc(2000000));  // beyond the first block
    EXPECT_EQ(*b, 99);
    EXPECT_EQ(var_alloc(8), big + 2000000);
    var_area_reset(a);  // not in the current block: back to its start
    EXPECT_EQ(var_alloc(8), big);
}

TEST(BlockGuards, IdsCountUpAndReleaseClears) {
    block_guard* first = block_guard_new();
    EXPECT_EQ(first->id, 1073741824u);
    *first = {first->id, 1, std::malloc(16)};
    block_guard_release(first);
    EXPECT_EQ(first->id, 0u);
    EXPECT_EQ(block_guard_new(), first);
    EXPECT_EQ(first->id, 1073741825u);
    EXPECT_EQ(first->owned, nullptr);
    block_guard_release(first);
}

}  // namespace
