// The run-time string: permanent strings, the statement bracket, assignment,
// derived strings, the data segment, variables and block guards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "runtime/errors/errors.h"
#include "runtime/strings/data_segment.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/string_heap.h"

namespace {

std::string text(const str_desc* s) { return std::string(reinterpret_cast<const char*>(s->text), s->len); }

str_desc* literal(const char* t) { return str_from_cstring(t); }

std::uint16_t get_16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

class Strings : public ::testing::Test {
  protected:
    void SetUp() override {
        strings_startup();
        mark = temp_mark();
    }
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

TEST_F(Strings, PrintBracketGivesTheHeapSpaceBack) {
    const std::size_t before = heap_used;
    str_desc* work = str_new(0, 0);
    EXPECT_EQ(heap_used, before + 32);
    const char prompt[] = " Eingabe der Wellenlaenge [nm]: ";
    str_desc* lit = str_from_literal(prompt, sizeof prompt - 1);
    EXPECT_EQ(temp_mark(), mark + 1);
    str_assign(work, lit);
    EXPECT_EQ(text(work), prompt);
    EXPECT_NE(work->text, reinterpret_cast<const std::uint8_t*>(prompt));  // literals are copied
    EXPECT_EQ(temp_mark(), mark);                                          // and their descriptor freed
    str_free(work);
    EXPECT_EQ(heap_used, before);
    EXPECT_EQ(temp_cleanup(mark, 42), 42);
}

TEST_F(Strings, TempResultIsTakenOverWithoutCopy) {
    str_desc* var = str_new(0, 0);
    str_assign(var, literal("old"));
    str_desc* result = str_concat(literal("new "), literal("value"));
    std::uint8_t* bytes = result->text;
    str_assign(var, result);
    EXPECT_EQ(var->text, bytes);
    EXPECT_EQ(text(var), "new value");
    EXPECT_EQ(temp_mark(), mark);
    EXPECT_EQ(heap_list.slots[var->list_index], var);
    str_free(var);
}

TEST_F(Strings, FixedLengthDestinationTruncatesAndPads) {
    char buffer[4];
    str_desc* fixed = str_fixed_view(buffer, 4, 0);
    str_assign(fixed, literal("abcdef"));
    EXPECT_EQ(text(fixed), "abcd");
    str_assign(fixed, literal("xy"));
    EXPECT_EQ(text(fixed), "xy  ");
    EXPECT_EQ(fixed->len, 4);
    str_free(fixed);
}

TEST_F(Strings, ConcatWithEmptyReturnsTheOtherOperand) {
    str_desc* var = str_new(0, 0);
    str_assign(var, literal("kept"));
    EXPECT_EQ(str_concat(var, literal("")), var);
    EXPECT_EQ(str_concat(permanent_empty_string, var), var);
    str_free(var);
}

TEST_F(Strings, FreeingATempBelowTheTopOnlyMarksItsSlot) {
    str_desc* lower = str_new(1, 1);
    str_desc* upper = str_new(1, 1);
    str_free(lower);
    EXPECT_EQ(temp_mark(), mark + 2);
    str_free(upper);
    EXPECT_EQ(temp_mark(), mark);
    EXPECT_EQ(temp_cleanup(temp_mark(), 7), 7);
    EXPECT_EQ(temp_cleanup(0, 0), 0);  // the sentinel survives a mark of 0
}

TEST_F(Strings, GrowthStaysInPlaceOnlyWhileTheFollowingBytesAreFree) {
    str_desc* first = str_new(0, 0);
    str_desc* second = str_new(0, 0);
    std::uint8_t* place = first->text;
    str_assign(first, literal(std::string(32, 'a').c_str()));  // the 32 spare bytes
    EXPECT_EQ(first->text, place);
    str_assign(first, literal(std::string(33, 'b').c_str()));  // would reach `second`
    EXPECT_NE(first->text, place);
    EXPECT_EQ(text(first), std::string(33, 'b'));
    EXPECT_EQ(first->list_index, heap_list.count - 1);
    // `first` is now the newest string and grows in place without limit.
    place = first->text;
    str_assign(first, literal(std::string(1000, 'c').c_str()));
    EXPECT_EQ(first->text, place);
    EXPECT_EQ(heap_used, static_cast<std::size_t>(first->text + 1000 - heap_base));
    // A grown string swallows a temp source that follows it.
    str_desc* var = str_new(0, 0);
    str_desc* temp = str_new(100, 1);
    std::memset(temp->text, 'd', 100);
    str_assign(var, str_left(temp, 99));
    EXPECT_EQ(text(var), std::string(99, 'd'));
    EXPECT_EQ(var->list_index, heap_list.count - 1);
    str_desc* next = str_new(5, 0);
    EXPECT_GE(next->text, var->text + 99);
    for (str_desc* s : {first, second, var, next}) str_free(s);
}

TEST_F(Strings, AssigningAStringToItselfKeepsIt) {
    str_desc* temp = str_concat(literal("ab"), literal("cd"));
    str_desc* var = str_new(0, 0);
    str_assign(var, temp);
    EXPECT_EQ(str_assign(var, var), var);
    EXPECT_EQ(str_assign(var, str_concat(var, literal(""))), var);
    EXPECT_EQ(text(var), "abcd");
    str_free(var);
}

TEST_F(Strings, DerivedStringsReuseWritableTemps) {
    str_desc* temp = str_concat(literal("Mixed "), literal("Case{z}@"));
    EXPECT_EQ(str_ucase(temp), temp);
    EXPECT_EQ(text(temp), "MIXED CASE{Z}@");
    EXPECT_EQ(str_lcase(temp), temp);
    EXPECT_EQ(text(temp), "mixed case{z}@");
    EXPECT_EQ(str_left(temp, 100), temp);
    EXPECT_EQ(text(str_right(str_left(temp, 10), 4)), "case");

    str_desc* lit = literal("Literal");
    str_desc* upper = str_ucase(lit);
    EXPECT_NE(upper, lit);
    EXPECT_EQ(text(upper), "LITERAL");
    EXPECT_EQ(text(str_left(literal("abc"), -5)), "");
    EXPECT_EQ(text(str_right(literal("abc"), 2)), "bc");
    str_desc* empty = literal("");
    EXPECT_EQ(str_lcase(empty), empty);

    EXPECT_EQ(text(str_chr(0)), std::string(1, '\0'));
    EXPECT_EQ(str_chr(255)->text[0], 255);
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_EQ(str_chr(256)->len, 0);
    EXPECT_EQ(pending_error.load(), 5);
}

TEST_F(Strings, SegmentStringsKeepTheirRecordsCurrent) {
    str_desc* var = str_new_in_segment(0, 0);
    ASSERT_NE(var->seg_record, nullptr);
    str_assign(var, literal("segment text"));
    EXPECT_TRUE(lies_in_segment(var->text));
    EXPECT_EQ(get_16(var->seg_record), 12);
    EXPECT_EQ(get_16(var->seg_record + 2), var->text - segment_base());
    str_desc* temp = str_new_in_segment(3, 1);
    EXPECT_EQ(temp->seg_record, nullptr);
    std::memcpy(temp->text, "xyz", 3);
    str_assign(var, temp);  // taken over
    EXPECT_EQ(get_16(var->seg_record), 3);
    EXPECT_EQ(get_16(var->seg_record + 2), var->text - segment_base());

    // A view into the segment gets a record; a view elsewhere does not.
    str_desc* inside = str_fixed_view(segment_base() + 16, 8, 0);
    EXPECT_EQ(get_16(inside->seg_record + 2), 16);
    char outside_buffer[8];
    EXPECT_EQ(str_fixed_view(outside_buffer, 8, 0)->seg_record, nullptr);
    str_free(inside);
    str_free(var);
}

TEST(StringsCritical, FullSegmentEndsTheProgramWithABox) {
    const std::string dir = ::testing::TempDir() + "strings_dialog";
    const std::string log = dir + "/argv";
    std::system(("mkdir -p " + dir).c_str());
    std::ofstream(dir + "/zenity") << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> " << log << "\nexit 0\n";
    std::system(("chmod +x " + dir + "/zenity; rm -f " + log).c_str());
    EXPECT_EXIT(
        {
            setenv("PATH", dir.c_str(), 1);
            strings_startup();
            str_new_in_segment(70000, 1);
        },
        ::testing::ExitedWithCode(0), "");
    std::ifstream recorded(log);
    std::string all((std::istreambuf_iterator<char>(recorded)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("--title=Critical Error #13"), std::string::npos) << all;
    EXPECT_NE(all.find("--text=Out of memory"), std::string::npos) << all;
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
    first->kind = 1;
    first->owned = std::malloc(16);
    block_guard_release(first);
    EXPECT_EQ(first->id, 0u);
    block_guard* reused = block_guard_new();
    EXPECT_EQ(reused, first);
    EXPECT_EQ(reused->id, 1073741825u);
    EXPECT_EQ(reused->owned, nullptr);
    block_guard_release(reused);
}

}  // namespace
