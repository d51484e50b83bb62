// READ of single items: what the scanner accepts, the conversion, the range
// of each target type, and where the read position stands afterwards.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"

namespace {

constexpr std::uint32_t type_double = 0x20000040, type_single = type_code_single;
constexpr std::uint32_t type_byte = 0x08, type_integer = 0x10, type_long = 0x20, type_integer64 = 0x40;
constexpr std::uint32_t type_unsigned_byte = 0x10000008, type_unsigned_integer = 0x10000010;
constexpr std::uint32_t type_unsigned_integer64 = 0x10000040;

// One READ of `item` followed by ",9,": the value it yields, or the error it
// records (the value then 0 and the position left at the item).
struct item_case {
    std::string item;
    long double value;
    std::int32_t error = 0;
    std::uint32_t type = type_double;
};
item_case fails(const std::string& item, std::int32_t error, std::uint32_t type = type_double) {
    return {item, 0, error, type};
}

void check(const std::vector<item_case>& cases) {
    for (const item_case& c : cases) {
        const std::string text = c.item + ",9,";
        pending_error = 0;
        std::int64_t offset = 0;
        const long double value =
            read_data_number(text.data(), &offset, static_cast<std::int64_t>(text.size()), c.type);
        EXPECT_EQ(pending_error.exchange(0), c.error) << c.item;
        EXPECT_EQ(value, c.value) << c.item;
        EXPECT_EQ(offset, c.error ? 0 : static_cast<std::int64_t>(c.item.size()) + 1) << c.item;
    }
}

}  // namespace

TEST(ReadData, DecimalItems) {
    const std::string digits256(256, '7');
    check({{"360", 360}, {"0.005294", 0.005294}, {"-0.000", 0}, {"", 0}, {"00012.50", 12.5}, {"-.5", -0.5},
           {"+5", 5}, {"1e", 1}, {"1.5E+", 1.5}, {"1d2", 100}, {"25e-0001", 2.5}, {"12%", 12}, {"7!", 7},
           {"%", 0}, {"0e999999999999999999", 0},
           // The result is the double widened, not the nearest extended value.
           {"0.1", static_cast<long double>(0.1)},
           // Digits past the seventeenth are dropped, not rounded: 1 + 2^-53 and a
           // little more would round up to the next double.
           {"1.00000000000000011102230246251566", 1.0L}, {digits256 + "E-255", 7.7777777777777777},
           fails(digits256 + "7", 6), fails("0." + digits256 + "7", 6),
           {std::string(1000, '0') + "5", 5},  // leading zeros are not digits
           {"0." + std::string(299, '0') + "5", 5E-300}, {"0." + std::string(330, '0') + "5", 0},
           {"1e000000000000000000000000002", 100}, {"1E100", 1E100}, {"1e-999999999999999999", 0},
           fails("1e1000000000000000000", 6)});  // a nineteenth exponent digit
}

TEST(ReadData, MalformedItemsAreSyntaxErrors) {
    for (const char* item : {"1.2.3", "12%3", "1-2", "--1", "+-1", " 1", "1 ", "1e2e3", "1e2.5", "1.e.", "x",
                             "\"1\"", "12%.", "1e+-2", "&", "&,", "&X1", "&1", "&HG", "&O8", "&B2", "&H1%1", "&H-1"})
        check({fails(item, 2)});
    // The end of the text right after "&" (no comma follows).
    std::int64_t offset = 0;
    pending_error = 0;
    read_data_number("&", &offset, 1, type_double);
    EXPECT_EQ(pending_error.exchange(0), 2);
}

TEST(ReadData, DoubleAndSingleRange) {
    check({{"1.7976931348623157E308", DBL_MAX}, {"17976931348623157999E289", DBL_MAX}, {"1.797E308", 1.797E308},
           fails("1.7976931348623158E308", 6), fails("-1.7976931348623158E308", 6), fails("1E309", 6),
           {"4.9E-324", 4.9E-324}, {"1E-325", 0},
           {"3.4028234659999999E+38", 3.4028234659999999E+38, 0, type_single},
           // The double nearest 3.402823466E+38 lies just above the extended limit.
           fails("3.402823466E+38", 6, type_single), fails("1E39", 6, type_single), fails("-1E39", 6, type_single),
           {"1E39", 1E39}});
}

TEST(ReadData, IntegerTargetRanges) {
    check({{"32767", 32767, 0, type_integer}, fails("32768", 6, type_integer), {"-32768", -32768, 0, type_integer},
           fails("-32769", 6, type_integer), {"32766.5", 32766, 0, type_integer},  // ties to even
           fails("32767.5", 6, type_integer), {"-2.5", -2, 0, type_integer},
           {"255", 255, 0, type_unsigned_byte}, fails("256", 6, type_unsigned_byte), fails("-1", 6, type_unsigned_byte),
           {"-128", -128, 0, type_byte}, {"2147483647", 2147483647, 0, type_long}, fails("2147483648", 6, type_long),
           {"-9223372036854775808", -0x1p63L, 0, type_integer64},
           fails("9223372036854775807", 6, type_integer64),  // 2^63 once it is a double
           {"9223372036854775808", 0x1p63L, 0, type_unsigned_integer64}, fails("1E19", 6, type_unsigned_integer64)});
}

TEST(ReadData, BasedItemsIntoSignedAndUnsignedTargets) {
    check({{"&HFF", 255}, {"&hff&", 255, 0, type_integer}, {"&o17", 15, 0, type_integer},
           {"&B101", 5, 0, type_integer}, {"&HaA", 170, 0, type_integer}, {"&H", 0, 0, type_integer},
           {"&HFFFF", -1, 0, type_integer},
           {"&HFFFF", 65535, 0, type_unsigned_integer}, {"&H8000", -32768, 0, type_integer},
           {"&H7FFF", 32767, 0, type_integer}, {"&O177777", -1, 0, type_integer}, {"&B11111111", -1, 0, type_byte},
           fails("&H10000", 6, type_integer), fails("&H10000", 6, type_unsigned_integer),
           {"&HFFFFFFFFFFFFFFFF", -1}, {"&HFFFFFFFFFFFFFFFF", -1, 0, type_integer64},
           {"&HFFFFFFFFFFFFFFFF", 18446744073709551615.0L, 0, type_unsigned_integer64},
           fails("&HFFFFFFFFFFFFFFFF", 6, type_long),  // -1 as a 64-bit pattern
           fails("&H00000000000000001", 6),            // seventeen digits as written
           {"&O1777777777777777777777", -1, 0, type_integer64}, fails("&O2000000000000000000000", 6),
           {"&B" + std::string(64, '1'), -1, 0, type_integer64}, fails("&B" + std::string(65, '1'), 6)});
}

TEST(ReadData, PositionEndOfTextAndPendingError) {
    const std::string text = "1,1.2.3,5";
    std::int64_t offset = 0;
    const auto read = [&] { return read_data_number(text.data(), &offset, std::int64_t{9}, type_double); };
    pending_error = 0;
    EXPECT_EQ(read(), 1);
    EXPECT_EQ(offset, 2);
    for (int attempt = 0; attempt < 2; ++attempt) {  // the bad item stays in the way
        EXPECT_EQ(read(), 0);
        EXPECT_EQ(pending_error.exchange(0), 2);
        EXPECT_EQ(offset, 2);
    }
    offset = 8;  // the last item ends with the text, without a comma
    EXPECT_EQ(read(), 5);
    EXPECT_EQ(offset, 9);
    EXPECT_EQ(read(), 0);
    EXPECT_EQ(pending_error.load(), 4);
    EXPECT_EQ(offset, 9);
    // While an error is recorded nothing is read and the error stays the first one.
    offset = 0;
    EXPECT_EQ(read(), 0);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(pending_error.exchange(0), 4);
}
