// Numbers as PRINT shows them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <regex>
#include <string>

#include "runtime/strings/number_to_text.h"

namespace {

// Reads a conversion's temp string and frees it.
std::string taken(str_desc* s) {
    std::string t(reinterpret_cast<const char*>(s->text), s->len);
    str_free(s);
    return t;
}
std::string single(float v) { return taken(single_to_text(v)); }
std::string dbl(double v) { return taken(double_to_text(v)); }

long double value_of(std::string text) {
    for (char& c : text) c = c == 'D' ? 'E' : c;
    return std::strtold(text.c_str(), nullptr);
}
std::string e_format(double v, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "% .*E", digits - 1, v);
    return buffer;
}

// What any printed number must be, checked with printf and strtold rather
// than by laying the digits out again: the value rounded to `digits`
// significant digits (a double whose last digit is a 9 may instead show one
// digit fewer), without trailing zeros, and in plain notation exactly when
// that needs at most `digits` digits before and after the point.
void expect_printed_form(double v, const std::string& text, int digits, char letter) {
    static const std::regex plain(R"([ -]([1-9]\d*)?(?:\.(\d*[1-9]))?)");
    static const std::regex e_form(R"([ -][1-9](\.(\d*[1-9]))?[ED][+-](\d\d|[1-9]\d\d))");
    const std::string rounded = e_format(v, digits);
    const long double printed = value_of(text);
    if (rounded[digits + 1] == '9' && digits == 16 && printed != value_of(rounded))
        ASSERT_EQ(printed, value_of(e_format(v, digits - 1))) << text;
    else
        ASSERT_EQ(printed, value_of(rounded)) << text;
    if (printed == 0) {
        ASSERT_EQ(text, " 0");
        return;
    }
    ASSERT_EQ(text[0], v < 0 ? '-' : ' ') << text;
    std::smatch m;
    if (std::regex_match(text, m, plain)) {
        ASSERT_TRUE(m[1].length() + m[2].length() > 0) << text;
        ASSERT_LE(m[1].length(), digits) << text;
        ASSERT_LE(m[2].length(), digits) << text;
        return;
    }
    ASSERT_TRUE(std::regex_match(text, m, e_form)) << text;
    ASSERT_EQ(text[text.find_first_of("ED")], letter) << text;
    const int count = 1 + static_cast<int>(m[2].length());
    const int e = std::stoi(text.substr(text.find_first_of("ED") + 1));
    ASSERT_FALSE(e + 1 <= digits && count - e - 1 <= digits) << text << " would fit in plain notation";
}

TEST(NumberToText, PrintedForms) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, const char*> singles[] = {
        {0.17556f, " .17556"},     {550.0f, " 550"},         {-0.5f, "-.5"},
        {0.0f, " 0"},              {-0.0f, " 0"},            {9999999.0f, " 9999999"},
        {10000000.0f, " 1E+07"},   {1000000.0f, " 1000000"}, {1E-07f, " .0000001"},
        {1.5E-07f, " 1.5E-07"},    {1E-08f, " 1E-08"},       {0.012345678f, " 1.234568E-02"},
        {1.0f / 3.0f, " .3333333"}, {-1234.5f, "-1234.5"},   {3E+38f, " 3E+38"},
        {9999999.5f, " 1E+07"},    {1.4E-45f, " 1.401298E-45"}, {123456.7f, " 123456.7"},
        {inf, " INF"},             {-inf, "-INF"},           {nan, " NAN"}, {-nan, " NAN"},
    };
    for (const auto& [value, text] : singles) EXPECT_EQ(single(value), text) << value;
    const std::pair<double, const char*> doubles[] = {
        {0.1 + 0.2, " .3"},        {1.0 / 3.0, " .3333333333333333"}, {1E+15, " 1000000000000000"},
        {1E+16, " 1D+16"},         {1E+100, " 1D+100"},               {1.5E-300, " 1.5D-300"},
        {9.999999999999999E+20, " 1D+21"}, {0.7 + 0.1, " .8"},        {-0.0, " 0"},
        {-12.25, "-12.25"},        {1E-16, " .0000000000000001"},     {1E-17, " 1D-17"},
        {999999999999999.875, " 1000000000000000"},  // the units digit rounds up
        {1434317468172589.0, " 1434317468172589"},   // a sixteenth digit 9 shows in plain notation
        {-std::numeric_limits<double>::infinity(), "-INF"}, {std::numeric_limits<double>::quiet_NaN(), " NAN"},
    };
    for (const auto& [value, text] : doubles) EXPECT_EQ(dbl(value), text) << value;
    EXPECT_EQ(taken(float_to_text(0.5L)), " .5");
    EXPECT_EQ(taken(float_to_text(1E+400L)), " INF");  // beyond double
}

TEST(NumberToText, RandomValuesHaveThePrintedForm) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> plain_range(-8.0, 7.0);
    for (int i = 0; i < 100000; ++i) {
        std::uint32_t bits = static_cast<std::uint32_t>(random());
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (i % 2) f = static_cast<float>(std::pow(10.0, plain_range(random)));  // mostly plain notation
        if (std::isfinite(f)) {
            ASSERT_NO_FATAL_FAILURE(expect_printed_form(f, single(f), 7, 'E')) << bits;
        }

        std::uint64_t wide = random();
        double d;
        std::memcpy(&d, &wide, sizeof d);
        if (i % 3 == 1) d = std::pow(10.0, plain_range(random) * 2.3);
        if (i % 3 == 2) d = static_cast<double>(random() % 100000) / 1000.0 + 0.1 * (random() % 7);
        if (i % 5 == 0) d = 1E+15 * (1 + static_cast<double>(random() % 9000)) / 1000.0 + (random() % 8) / 8.0;
        if (std::isfinite(d)) {
            ASSERT_NO_FATAL_FAILURE(expect_printed_form(d, dbl(d), 16, 'D')) << wide;
        }
    }
}

TEST(IntegerToText, SignsAndExtremes) {
    const std::pair<str_desc*, const char*> cases[] = {
        {int32_to_text(5), " 5"},
        {int32_to_text(-5), "-5"},
        {uint32_to_text(5), " 5"},
        {int64_to_text(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        {uint64_to_text(std::numeric_limits<std::uint64_t>::max()), " 18446744073709551615"},
        {int32_to_text(std::numeric_limits<std::int32_t>::min()), "-2147483648"},
        {uint32_to_text(4294967295u), " 4294967295"},
        {int16_to_text(-32768), "-32768"},  {uint16_to_text(65535), " 65535"},
        {int8_to_text(-128), "-128"},       {uint8_to_text(255), " 255"},
    };
    for (const auto& [converted, text] : cases) EXPECT_EQ(taken(converted), text);
}

}  // namespace
