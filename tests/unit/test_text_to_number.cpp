// Text to number: VAL of typed text, READ of DATA items, and the numeric
// pieces that INPUT accepts while they are typed and stores.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>

#include "runtime/errors/errors.h"
#include "runtime/input/input_targets.h"
#include "runtime/input/read_data.h"
#include "runtime/strings/text_to_number.h"

namespace {

long double val(const std::string& text) {  // an exact-size copy, not zero-terminated: over-reads are caught
    auto bytes = std::make_unique<std::uint8_t[]>(text.size());
    std::memcpy(bytes.get(), text.data(), text.size());
    str_desc s{};
    s.text = bytes.get();
    s.len = static_cast<std::int32_t>(text.size());
    return text_to_number(&s);
}
long double c_library(const std::string& text) { return std::strtold(text.c_str(), nullptr); }

// Where reading stops (blanks and tabs are skipped anywhere before it), based
// constants and the limits; plain decimals are left to the C library.
TEST(TextToNumber, EdgeCasesAndBoundaries) {
    const std::string pi = "31415926535897932384626433832795028841971693993751";
    std::string many;
    while (many.size() < 1000) many += pi;
    const std::string first = many.substr(0, 256), e_form = first.substr(0, 1) + "." + first.substr(1);
    const std::pair<std::string, long double> cases[] = {
        {"1,5", 1},     {"5-3", 5},     {"--5", 0},       {"", 0},        {" \t ", 0},     {"-", 0},
        {" - 1 2\t. 5 e\t- 1", -1.25L},     {"&H 10", 0},
        {".", 0},       {"E5", 0},      {"1E+", 1},       {"1E5E3", 1E5}, {"1.2.3", c_library("1.2")},
        {"&", 0},       {"&H", 0},      {"&H1G", 1},      {"&HaA", 170},  {"&o178", 15},   {"&B1012", 5},
        {"-&H10", 0},   {"&X10", 0},    {"&HFFFF", 65535},
        {"&HFFFFFFFFFFFFFFFF", -1},     {"&H00000000000000000001", 1},   {"&O1777777777777777777777", -1},
        {"&b" + std::string(64, '1'), -1},
        // Exponents: leading zeros do not count, reading stops after 18 digits.
        {"1E000000000000000002", 100},  {"1E123456789012345678", HUGE_VALL}, {"1E-123456789012345678", 0},
        {"5E1234567890123456789", HUGE_VALL}, {"-1E5000", -HUGE_VALL},
        // Beyond 256 digits further integer digits count, further fraction digits do not.
        {many, c_library(e_form + "E999")}, {"0." + many, c_library("0." + first)},
        {many.substr(0, 300) + "." + many, c_library(e_form + "E299")}, {std::string(1, '1').append(299, '0'), 1E299L},
        {std::string(100000, '0') + "7", 7},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(val(text), value) << '"' << text.substr(0, 40) << '"';
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_FALSE(std::signbit(val("-0")));
    EXPECT_GT(val("0." + std::string(4000, '0') + "1"), 0);
    for (const std::string& text : {"&H" + std::string(17, 'F'), "&O2" + std::string(21, '0'),
                                   "&B1" + std::string(64, '0')}) {  // overlong base constants overflow
        EXPECT_EQ(val(text), 0) << text;
        EXPECT_EQ(pending_error.exchange(0), 6) << text;
    }
}

// The calculator reads its table into SINGLE; an INTEGER target shows the integer ranges.
constexpr std::uint32_t type_double = 0x20000040, type_single = type_code_single, type_integer = 0x10;

// One READ of `item` followed by ",9,": the value, or the error (the value
// then 0 and the position left at the item).
struct item_case { std::string item; long double value; std::int32_t error = 0; std::uint32_t type = type_double; };
item_case fails(const std::string& item, std::int32_t error, std::uint32_t type = type_double) {
    return {item, 0, error, type};
}
void check(const std::vector<item_case>& cases) {
    for (const item_case& c : cases) {
        const std::string text = c.item + ",9,";
        std::int64_t offset = 0;
        pending_error = 0;
        const auto length = static_cast<std::int64_t>(text.size());
        const long double value = read_data_number(text.data(), &offset, length, c.type);
        EXPECT_EQ(std::tuple(value, pending_error.exchange(0), offset),
                  std::tuple(c.value, c.error, c.error ? 0 : static_cast<std::int64_t>(c.item.size()) + 1)) << c.item;
    }
}

TEST(ReadData, DecimalItems) {
    const std::string digits256(256, '7');
    check({{"-0.000", 0}, {"", 0}, {"00012.50", 12.5}, {"-.5", -0.5}, {"+5", 5}, {"1e", 1}, {"1.5E+", 1.5},
           {"1d2", 100}, {"25e-0001", 2.5}, {"12%", 12}, {"7!", 7}, {"%", 0}, {"0e999999999999999999", 0},
           {"0.1", static_cast<long double>(0.1)},  // the double widened, not the nearest extended value
           // Digits past the seventeenth are dropped, not rounded (this would round up).
           {"1.00000000000000011102230246251566", 1.0L}, {digits256 + "E-255", 7.7777777777777777},
           fails(digits256 + "7", 6), fails("0." + digits256 + "7", 6),
           {std::string(1000, '0') + "5", 5},  // leading zeros are not digits
           {"0." + std::string(299, '0') + "5", 5E-300}, {"0." + std::string(330, '0') + "5", 0},
           {"1e000000000000000000000000002", 100}, {"1e-999999999999999999", 0},
           fails("1e1000000000000000000", 6)});  // a nineteenth exponent digit
    for (const char* item : {"1.2.3", "12%3", "1-2", "--1", "+-1", " 1", "1 ", "1e2e3", "1e2.5", "1.e.", "x", "\"1\"",
                             "12%.", "1e+-2", "&", "&,", "&X1", "&1", "&HG", "&O8", "&B2", "&H1%1", "&H-1"})
        check({fails(item, 2)});
}

TEST(ReadData, TargetRangesAndBasedItems) {
    check({{"1.7976931348623157E308", DBL_MAX}, {"17976931348623157999E289", DBL_MAX}, {"1.797E308", 1.797E308},
           fails("1.7976931348623158E308", 6), fails("-1.7976931348623158E308", 6), fails("1E309", 6),
           {"4.9E-324", 4.9E-324}, {"1E-325", 0}, {"1E39", 1E39},
           {"3.4028234659999999E+38", 3.4028234659999999E+38, 0, type_single},
           fails("3.402823466E+38", 6, type_single),  // its double lies just above the limit
           fails("-1E39", 6, type_single),
           {"32767", 32767, 0, type_integer}, fails("32768", 6, type_integer), {"-32768", -32768, 0, type_integer},
           fails("-32769", 6, type_integer), {"32766.5", 32766, 0, type_integer},  // ties to even
           fails("32767.5", 6, type_integer), {"-2.5", -2, 0, type_integer},
           {"&HFF", 255}, {"&hff&", 255, 0, type_integer}, {"&o17", 15, 0, type_integer},
           {"&B101", 5, 0, type_integer}, {"&HaA", 170, 0, type_integer}, {"&H", 0, 0, type_integer},
           {"&HFFFF", -1, 0, type_integer}, {"&H8000", -32768, 0, type_integer}, fails("&H10000", 6, type_integer),
           {"&HFFFFFFFFFFFFFFFF", -1}, fails("&H00000000000000001", 6)});   // seventeen digits as written
}

// The last item ends with the text, then Out of DATA; while an error is
// recorded nothing is read.
TEST(ReadData, LastItemOutOfDataAndPendingError) {
    std::int64_t offset = 0;
    EXPECT_EQ(read_data_number("5", &offset, 1, type_double), 5);
    EXPECT_EQ(offset, 1);
    EXPECT_EQ(read_data_number("5", &offset, 1, type_double), 0);
    EXPECT_EQ(pending_error.exchange(0), 4);
    pending_error = 4;
    offset = 0;
    EXPECT_EQ(read_data_number("5", &offset, 1, type_double), 0);
    EXPECT_EQ(pending_error.exchange(0), 4);
    EXPECT_EQ(offset, 0);
    read_data_number("&", &offset, 1, type_double);  // the text ends right after "&"
    EXPECT_EQ(pending_error.exchange(0), 2);
}

// INPUT into numbers, which the calculator never does: one integer and one floating type.
constexpr std::uint32_t int16 = 16, single = 32 | input_type_float;

const std::uint8_t* bytes(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }
std::int32_t length(const std::string& text) { return static_cast<std::int32_t>(text.size()); }

TEST(InputNumber, PiecesThatCanStillFitTheirType) {
    const struct { std::uint32_t type; std::vector<std::string> accepted, refused; } all_rules[] = {
        {int16, {"", "-", "0", "-0", "32767", "-32768", "&", "&H", "&hFFFF", "&O177777", "&B1111111111111111"},
         {"00", "05", "32768", "-32769", "1a", "--1", "1-", " 1", "&H10000", "&O200000", "&B10000000000000000", "&X1",
          "&B2", "-&H1", "&H1Z"}},
        {single, {"", "-", ".", "-.5", "0.5", "0", "1.", "1E", "1e-", "1E+5", "12345678", "0.00012345678", "1.0000000",
                  "3.402823E38", "34E37", "1.401298E-45", "0E-99", "0.0E99999999999"},
         {"00.5", "01", "1.2.3", "1E5.", "E5", "1D5", "123456789", "1.00000000", "3.4028236E38", "4E38", "1E39",
          "1.4E-45", "1E-46"}},
    };
    for (const auto& r : all_rules)
        for (bool accepted : {true, false})
            for (const std::string& text : accepted ? r.accepted : r.refused)
                EXPECT_EQ(input_number_acceptable(r.type, bytes(text), length(text)), accepted) << r.type << text;
}

template <typename T>
T stored(std::uint32_t type, const std::string& text) {
    T value;
    std::memset(&value, 0x5A, sizeof value);
    input_number_store(type, bytes(text), length(text), &value);
    return value;
}

TEST(InputNumber, IntegersStoreTheirValueOrBitPatternAndFloatsWhatScanfReads) {
    EXPECT_EQ(std::tuple(stored<std::int16_t>(int16, "&HFFFF"), stored<std::int16_t>(int16, "-32768"),
                         stored<std::int16_t>(int16, "-"), stored<std::int16_t>(int16, "&H")),
              std::tuple(-1, -32768, 0, 0));
    EXPECT_EQ(stored<std::int16_t>(int16, "&O17"), 15);
    EXPECT_EQ(stored<std::uint32_t>(int16, "7"), 0x5A5A0007u);   // only the target's own bytes are written
    EXPECT_EQ(std::tuple(stored<float>(single, "1E"), stored<float>(single, "-"), stored<float>(single, "-2.5e-1")),
              std::tuple(1.0f, 0.0f, -0.25f));
}

}  // namespace
