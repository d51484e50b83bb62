// Numbers as PRINT shows them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "runtime/strings/number_to_text.h"

namespace {

std::string taken(str_desc* s) {   // a conversion's temp string, freed
    std::string t(reinterpret_cast<const char*>(s->text), s->len);
    str_free(s);
    return t;
}
long double value_of(std::string text) {
    for (char& c : text) c = c == 'D' ? 'E' : c;
    return std::strtold(text.c_str(), nullptr);
}
std::string e_format(double v, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "% .*E", digits - 1, v);
    return buffer;
}

// Checked with snprintf and strtold rather than by laying the digits out
// again: the value rounded to `digits` significant digits (a double whose
// sixteenth digit is a 9 may show fifteen), no zeros that carry nothing,
// and plain notation exactly when it needs at most `digits` digits before
// and after the point.
void expect_printed_form(double v, const std::string& text, int digits, char letter) {
    const long double printed = value_of(text);
    const std::string rounded = e_format(v, digits);
    const bool nine_dropped = digits == 16 && rounded[17] == '9' && printed == value_of(e_format(v, 15));
    ASSERT_TRUE(printed == value_of(rounded) || nine_dropped) << text;
    ASSERT_TRUE(printed != 0 || text == " 0") << text;
    if (printed == 0) return;
    const std::size_t at = text.find(letter), point = text.find('.');
    const std::string whole = text.substr(1, std::min(point, at) - 1);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1, at - point - 1);
    const std::string exponent = at == std::string::npos ? "+00" : text.substr(at + 1);
    const int e = at == std::string::npos ? static_cast<int>(whole.size()) - 1 : std::atoi(exponent.c_str());
    const int places = static_cast<int>(fraction.size()) - (at == std::string::npos ? 0 : e);
    ASSERT_TRUE(text[0] == (v < 0 ? '-' : ' ') &&
                (whole + fraction + exponent.substr(1)).find_first_not_of("0123456789") == std::string::npos) << text;
    ASSERT_TRUE(whole.find('0') != 0 && (fraction.empty() || fraction.back() != '0')) << text;
    ASSERT_EQ(at == std::string::npos, e < digits && places <= digits) << text << " plain notation?";
    ASSERT_TRUE(at == std::string::npos || whole.size() == 1) << text;
    ASSERT_TRUE((exponent[0] == '+' || exponent[0] == '-') && exponent.size() == (std::abs(e) > 99 ? 4u : 3u)) << text;
}

TEST(NumberToText, PrintedForms) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<str_desc*, const char*> cases[] = {
        {single_to_text(9999999.5f), " 1E+07"}, {single_to_text(1E-07f), " .0000001"}, {single_to_text(-0.0f), " 0"},
        {single_to_text(inf), " INF"}, {single_to_text(-inf), "-INF"}, {single_to_text(-nan), " NAN"},
        {double_to_text(9.999999999999999E+20), " 1D+21"},
        {double_to_text(999999999999999.875), " 1000000000000000"},  // the units digit rounds up
        {double_to_text(1434317468172589.0), " 1434317468172589"},   // a sixteenth digit 9 shows in plain notation
        {float_to_text(1E+400L), " INF"}, {int16_to_text(-32768), "-32768"}, {uint8_to_text(255), " 255"}};
    for (const auto& [converted, text] : cases) EXPECT_EQ(taken(converted), text);
}

TEST(NumberToText, RandomValuesHaveThePrintedForm) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> plain_range(-8.0, 7.0);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t bits = random();
        float f;
        double d;
        std::memcpy(&f, &bits, sizeof f);
        std::memcpy(&d, &bits, sizeof d);
        if (i % 2) f = static_cast<float>(std::pow(10.0, plain_range(random)));  // mostly plain notation
        if (i % 3 == 1) d = std::pow(10.0, plain_range(random) * 2.3);
        if (i % 3 == 2) d = static_cast<double>(random() % 100000) / 1000.0 + 0.1 * (random() % 7);
        if (i % 5 == 0) d = 1E+15 * (1 + static_cast<double>(random() % 9000)) / 1000.0 + (random() % 8) / 8.0;
        if (std::isfinite(f)) expect_printed_form(f, taken(single_to_text(f)), 7, 'E');
        if (std::isfinite(d)) expect_printed_form(d, taken(double_to_text(d)), 16, 'D');
        if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace
