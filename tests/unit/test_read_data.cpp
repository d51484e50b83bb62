// READ of single items: what the scanner accepts, the conversion, the range
// of each target type, and where the read position stands afterwards.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <string>

#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"

namespace {

constexpr std::uint32_t type_double = 0x20000040;
constexpr std::uint32_t type_byte = 0x08;
constexpr std::uint32_t type_integer = 0x10;
constexpr std::uint32_t type_long = 0x20;
constexpr std::uint32_t type_integer64 = 0x40;
constexpr std::uint32_t type_unsigned_byte = 0x10000008;
constexpr std::uint32_t type_unsigned_integer = 0x10000010;
constexpr std::uint32_t type_unsigned_integer64 = 0x10000040;

struct read_result {
    long double value;
    std::int32_t error;
    std::int64_t offset;
};

// READs the first item of `text` (no terminating zero is passed along).
read_result read_item(const std::string& text, std::uint32_t type_code = type_double) {
    pending_error = 0;
    std::int64_t offset = 0;
    const long double value = read_data_number(text.data(), &offset, static_cast<std::int64_t>(text.size()), type_code);
    return {value, pending_error.exchange(0), offset};
}

void expect_value(const std::string& item, long double want, std::uint32_t type_code = type_double) {
    const read_result got = read_item(item + ",9,", type_code);
    EXPECT_EQ(got.error, 0) << item;
    EXPECT_EQ(got.value, want) << item;
    EXPECT_EQ(got.offset, static_cast<std::int64_t>(item.size()) + 1) << item;
}

// A failed READ yields 0 and leaves the position at the item, so the next READ meets it again.
void expect_error(const std::string& item, std::int32_t error, std::uint32_t type_code = type_double) {
    const read_result got = read_item(item + ",9,", type_code);
    EXPECT_EQ(got.error, error) << item;
    EXPECT_EQ(got.value, 0) << item;
    EXPECT_EQ(got.offset, 0) << item;
}

}  // namespace

TEST(ReadData, DecimalItems) {
    expect_value("360", 360);
    expect_value("0.005294", 0.005294);
    expect_value("0.000000", 0);
    expect_value("-0.000", 0);
    expect_value("", 0);
    expect_value("00012.50", 12.5);
    expect_value("-.5", -0.5);
    expect_value("+5", 5);
    expect_value("1e", 1);
    expect_value("1.5E+", 1.5);
    expect_value("1d2", 100);
    expect_value("25e-0001", 2.5);
    expect_value("12%", 12);
    expect_value("7!", 7);
    expect_value("3#", 3);
    expect_value("%", 0);
    expect_value("0e999999999999999999", 0);
    // The result is the double widened, not the nearest extended value.
    expect_value("0.1", static_cast<long double>(0.1));
    // Digits past the seventeenth are dropped, not rounded: 1 + 2^-53 and a
    // little more would round up to the next double.
    expect_value("1.00000000000000011102230246251566", 1.0L);
}

TEST(ReadData, MalformedItemsAreSyntaxErrors) {
    for (const char* item : {"1.2.3", "12%3", "1-2", "--1", "+-1", " 1", "1 ", "1e2e3", "1e2.5", "1.e.", "x",
                             "\"1\"", "12%.", "1e+-2", "&", "&,", "&X1", "&1", "&HG", "&O8", "&B2", "&H1%1", "&H-1"})
        expect_error(item, 2);
    // The end of the text right after "&" (no comma follows).
    EXPECT_EQ(read_item("&").error, 2);
}

TEST(ReadData, DigitLimits) {
    const std::string digits256(256, '7');
    expect_value(digits256 + "E-255", std::strtod("7.7777777777777777", nullptr));
    expect_error(digits256 + "7", 6);
    expect_error("0." + digits256 + "7", 6);
    expect_value(std::string(1000, '0') + "5", 5);  // leading zeros are not digits
    expect_value("0." + std::string(299, '0') + "5", 5E-300);
    expect_value("0." + std::string(330, '0') + "5", 0);
    expect_value("1e000000000000000000000000002", 100);
    expect_value("1e-999999999999999999", 0);
    expect_error("1e1000000000000000000", 6);  // a nineteenth exponent digit
}

TEST(ReadData, DoubleAndSingleRange) {
    expect_value("1.7976931348623157E308", DBL_MAX);
    expect_value("17976931348623157999E289", DBL_MAX);
    expect_value("1.797E308", 1.797E308);
    expect_error("1.7976931348623158E308", 6);
    expect_error("-1.7976931348623158E308", 6);
    expect_error("1E309", 6);
    expect_value("4.9E-324", 4.9E-324);
    expect_value("1E-325", 0);

    expect_value("3.4028234659999999E+38", 3.4028234659999999E+38, type_code_single);
    // The double nearest 3.402823466E+38 lies just above the extended limit.
    expect_error("3.402823466E+38", 6, type_code_single);
    expect_error("1E39", 6, type_code_single);
    expect_error("-1E39", 6, type_code_single);
    expect_value("1E39", 1E39, type_double);
}

TEST(ReadData, IntegerTargetRanges) {
    expect_value("32767", 32767, type_integer);
    expect_error("32768", 6, type_integer);
    expect_value("-32768", -32768, type_integer);
    expect_error("-32769", 6, type_integer);
    expect_value("32766.5", 32766, type_integer);  // ties to even
    expect_error("32767.5", 6, type_integer);
    expect_value("-2.5", -2, type_integer);
    expect_value("255", 255, type_unsigned_byte);
    expect_error("256", 6, type_unsigned_byte);
    expect_error("-1", 6, type_unsigned_byte);
    expect_value("-128", -128, type_byte);
    expect_value("2147483647", 2147483647, type_long);
    expect_error("2147483648", 6, type_long);
    expect_value("-9223372036854775808", -0x1p63L, type_integer64);
    expect_error("9223372036854775807", 6, type_integer64);  // 2^63 once it is a double
    expect_error("1E19", 6, type_unsigned_integer64);
}

TEST(ReadData, BasedItemsIntoSignedAndUnsignedTargets) {
    expect_value("&HFF", 255, type_double);
    expect_value("&hff&", 255, type_integer);
    expect_value("&o17", 15, type_integer);
    expect_value("&B101", 5, type_integer);
    expect_value("&H", 0, type_integer);
    expect_value("&HFFFF", -1, type_integer);
    expect_value("&HFFFF", 65535, type_unsigned_integer);
    expect_value("&H8000", -32768, type_integer);
    expect_value("&H7FFF", 32767, type_integer);
    expect_value("&O177777", -1, type_integer);
    expect_value("&B11111111", -1, type_byte);
    expect_error("&H10000", 6, type_integer);
    expect_error("&H10000", 6, type_unsigned_integer);
    expect_value("&HFFFFFFFFFFFFFFFF", -1, type_double);
    expect_value("&HFFFFFFFFFFFFFFFF", -1, type_integer64);
    expect_value("&HFFFFFFFFFFFFFFFF", 18446744073709551615.0L, type_unsigned_integer64);
    expect_error("&HFFFFFFFFFFFFFFFF", 6, type_long);  // -1 as a 64-bit pattern
    expect_error("&H00000000000000001", 6);            // seventeen digits as written
    expect_value("&O1777777777777777777777", -1, type_integer64);
    expect_error("&O2000000000000000000000", 6);
    expect_value("&B" + std::string(64, '1'), -1, type_integer64);
    expect_error("&B" + std::string(65, '1'), 6);
}

TEST(ReadData, PositionEndOfTextAndPendingError) {
    const std::string text = "1,1.2.3,5";
    std::int64_t offset = 0;
    const auto length = static_cast<std::int64_t>(text.size());
    pending_error = 0;
    EXPECT_EQ(read_data_number(text.data(), &offset, length, type_double), 1);
    EXPECT_EQ(offset, 2);
    for (int attempt = 0; attempt < 2; ++attempt) {  // the bad item stays in the way
        EXPECT_EQ(read_data_number(text.data(), &offset, length, type_double), 0);
        EXPECT_EQ(pending_error.exchange(0), 2);
        EXPECT_EQ(offset, 2);
    }
    offset = 8;  // the last item ends with the text, without a comma
    EXPECT_EQ(read_data_number(text.data(), &offset, length, type_double), 5);
    EXPECT_EQ(offset, 9);
    EXPECT_EQ(read_data_number(text.data(), &offset, length, type_double), 0);
    EXPECT_EQ(pending_error.load(), 4);
    EXPECT_EQ(offset, 9);

    // While an error is recorded nothing is read and the error stays the first one.
    offset = 0;
    EXPECT_EQ(read_data_number(text.data(), &offset, length, type_double), 0);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(pending_error.exchange(0), 4);
}
