// VAL: which typed texts are numbers, and their exact values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "runtime/errors/errors.h"
#include "runtime/input/text_to_number.h"

namespace {

long double val(const std::string& text) {  // an exact-size copy, not zero-terminated: over-reads are caught
    auto bytes = std::make_unique<std::uint8_t[]>(text.size());
    std::memcpy(bytes.get(), text.data(), text.size());
    str_desc s{};
    s.text = bytes.get(), s.len = static_cast<std::int32_t>(text.size());
    return text_to_number(&s);
}

long double c_library(const std::string& text) { return std::strtold(text.c_str(), nullptr); }

class TextToNumber : public ::testing::Test {
    void SetUp() override { pending_error = 0; }
    void TearDown() override { pending_error = 0; }
};

// Where reading stops, based constants and the limits; plain decimals are
// left to the comparison with the C library below.
TEST_F(TextToNumber, EdgeCasesAndBoundaries) {
    const std::pair<std::string, long double> cases[] = {
        {"1,5", 1},      {"5-3", 5},          {"--5", 0},        {"", 0},          {"   ", 0},
        {"-", 0},        {".", 0},            {"E5", 0},         {"1E", 1},        {"1E+", 1},
        {"1E5E3", 1E5},  {"1.2.3", c_library("1.2")},            {"5.", 5},        {"-0", 0},
        {"&", 0},        {"&H", 0},           {"&H10", 16},      {"&o17", 15},     {"&B101", 5},
        {"&H1G", 1},     {"&HaA", 170},       {"-&H10", 0},      {"&X10", 0},      {"&H 10", 0},
        {"&HFFFF", 65535},
        {"&HFFFFFFFFFFFFFFFF", -1}, {"&H00000000000000000001", 1}, {"&O1777777777777777777777", -1},
        {"&b" + std::string(64, '1'), -1},
        // Exponents: leading zeros do not count, reading stops after 18 digits.
        {"1E000000000000000002", 100}, {"1E123456789012345678", HUGE_VALL}, {"1E-123456789012345678", 0},
        {"5E1234567890123456789", HUGE_VALL}, {"-1E5000", -HUGE_VALL},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(val(text), value) << '"' << text << '"';
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_FALSE(std::signbit(val("-0")));
    EXPECT_GT(val("0." + std::string(4000, '0') + "1"), 0);
    for (const std::string& text : {"&H" + std::string(17, 'F'), "&O2" + std::string(21, '0'),
                                   "&B1" + std::string(64, '0')}) {  // overlong base constants overflow
        pending_error = 0;
        EXPECT_EQ(val(text), 0) << text;
        EXPECT_EQ(pending_error.load(), 6) << text;
    }
}

TEST_F(TextToNumber, LongTextsKeepTheFirst256Digits) {
    const std::string digits = "31415926535897932384626433832795028841971693993751";
    std::string many;
    while (many.size() < 1000) many += digits;
    const std::string first = many.substr(0, 256), e_form = first.substr(0, 1) + "." + first.substr(1);
    EXPECT_EQ(val(many), c_library(e_form + "E999"));
    EXPECT_EQ(val("0." + many), c_library("0." + first));
    EXPECT_EQ(val(many.substr(0, 300) + "." + many), c_library(e_form + "E299"));
    EXPECT_EQ(val("1" + std::string(299, '0')), c_library("1E299"));
    EXPECT_EQ(val(std::string(100000, '0') + "7"), 7);
}

// Random decimals, with blanks anywhere (VAL skips them) and any of the four
// exponent letters, against strtold of the same text written plainly.
TEST_F(TextToNumber, AgreesWithTheCLibraryOnRandomDecimals) {
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i) {
        std::string plain = random() % 2 ? "-" : "";
        const int integer_length = random() % 25, fraction_length = random() % 25;
        for (int k = 0; k < integer_length; ++k) plain += static_cast<char>('0' + random() % 10);
        if (fraction_length) plain += '.';
        for (int k = 0; k < fraction_length; ++k) plain += static_cast<char>('0' + random() % 10);
        if (random() % 2) plain += "E" + std::to_string(static_cast<int>(random() % 800) - 400);
        std::string typed;
        for (char c : plain) {
            if (random() % 8 == 0) typed += random() % 2 ? ' ' : '\t';
            typed += c == 'E' ? "EeDd"[random() % 4] : c;
        }
        ASSERT_EQ(val(typed), integer_length + fraction_length ? c_library(plain) : 0) << '"' << typed << '"';
    }
}

// Bytes biased toward the characters that steer the reading: the conversion
// returns, stays inside the text, and raises no error but Overflow.
TEST_F(TextToNumber, ArbitraryBytesAreHarmless) {
    static const char steering[] = "0123456789+-.eEdD&hHoObB \tfF9";
    std::mt19937 random(11);
    for (int i = 0; i < 100000; ++i) {
        std::string text(random() % (i % 100 == 0 ? 2000 : 40), '\0');
        for (char& c : text)
            c = random() % 4 ? steering[random() % (sizeof steering - 1)] : static_cast<char>(random());
        (void)val(text);
        ASSERT_TRUE(pending_error.load() == 0 || pending_error.load() == 6) << text;
        pending_error = 0;
    }
}

}  // namespace
