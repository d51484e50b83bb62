#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/input/input_targets.h"

namespace {

constexpr std::uint32_t int8u = 8 | input_type_unsigned, int16 = 16, int32 = 32, int64 = 64;
constexpr std::uint32_t int64u = 64 | input_type_unsigned, single = 32 | input_type_float;
constexpr std::uint32_t double_ = 64 | input_type_float, extended = 256 | input_type_float;

bool acceptable(std::uint32_t type, const std::string& text) {
    return input_number_acceptable(type, reinterpret_cast<const std::uint8_t*>(text.data()),
                                   static_cast<std::int32_t>(text.size()));
}

template <typename T>
T stored(std::uint32_t type, const std::string& text) {
    T value;
    std::memset(&value, 0x5A, sizeof value);
    input_number_store(type, reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::int32_t>(text.size()),
                       &value);
    return value;
}

struct rule { std::uint32_t type; const char* text; bool accepted; };

void check(const rule* rules, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(acceptable(rules[i].type, rules[i].text), rules[i].accepted)
            << "type " << std::hex << rules[i].type << " text \"" << rules[i].text << '"';
}

TEST(InputNumber, IntegersAcceptOnlyWhatCanStillFitTheirType) {
    const rule rules[] = {
        {int16, "", true},         {int16, "-", true},       {int16, "0", true},          {int16, "-0", true},
        {int16, "00", false},      {int16, "05", false},     {int16, "32767", true},      {int16, "32768", false},
        {int16, "-32768", true},   {int16, "-32769", false}, {int16, "1a", false},        {int16, "--1", false},
        {int16, "1-", false},      {int16, " 1", false},     {int16, "&", true},          {int16, "&H", true},
        {int16, "&hFFFF", true},   {int16, "&H10000", false}, {int16, "&O177777", true},  {int16, "&O200000", false},
        {int16, "&B1111111111111111", true}, {int16, "&B10000000000000000", false},        {int16, "&X1", false},
        {int16, "&B2", false},     {int16, "-&H1", false},
        {int8u, "255", true},      {int8u, "256", false},    {int8u, "-", false},         {int8u, "&HFF", true},
        {int32, "2147483647", true}, {int32, "2147483648", false}, {int32, "-2147483648", true},
        {int64, "9223372036854775807", true},   {int64, "9223372036854775808", false},
        {int64, "-9223372036854775808", true},  {int64, "-9223372036854775809", false},
        {int64u, "18446744073709551615", true}, {int64u, "18446744073709551616", false},
        {int64, "&HFFFFFFFFFFFFFFFF", true},    {int64, "&H1FFFFFFFFFFFFFFFF", false},
        {12, "1", false},   // not an integer size
    };
    check(rules, std::size(rules));
}

TEST(InputNumber, IntegersStoreTheirValueOrBitPattern) {
    EXPECT_EQ(stored<std::int16_t>(int16, "&HFFFF"), -1);
    EXPECT_EQ(stored<std::int16_t>(int16, "-32768"), -32768);
    EXPECT_EQ(stored<std::int16_t>(int16, "-"), 0);
    EXPECT_EQ(stored<std::int16_t>(int16, "&H"), 0);
    EXPECT_EQ(stored<std::uint8_t>(int8u, "200"), 200);
    EXPECT_EQ(stored<std::int32_t>(int32, "&O17"), 15);
    EXPECT_EQ(stored<std::int64_t>(int64, "-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(stored<std::uint64_t>(int64u, "18446744073709551615"), UINT64_MAX);
    // Only the target's own bytes are written.
    std::uint32_t word = 0xA5A5A5A5;
    input_number_store(16, reinterpret_cast<const std::uint8_t*>("7"), 1, &word);
    EXPECT_EQ(word, 0xA5A50007u);
}

TEST(InputNumber, FloatsKeepTheirSyntaxDigitsAndRange) {
    const rule rules[] = {
        {single, "", true},          {single, "-", true},           {single, ".", true},        {single, "-.5", true},
        {single, "0.5", true},       {single, "0", true},           {single, "00.5", false},    {single, "01", false},
        {single, "1.", true},        {single, "1.2.3", false},      {single, "1E", true},       {single, "1e-", true},
        {single, "1E+5", true},      {single, "1E5.", false},       {single, "E5", false},      {single, "1D5", false},
        {single, "12345678", true},  {single, "123456789", false},  {single, "0.00012345678", true},
        {single, "1.0000000", true}, {single, "1.00000000", false}, {single, "3.402823E38", true},
        {single, "3.4028236E38", false}, {single, "34E37", true},   {single, "4E38", false},    {single, "1E39", false},
        {single, "1.401298E-45", true},  {single, "1.4E-45", false}, {single, "1E-46", false}, {single, "0E-99", true},
        {single, "0.0E99999999999", true},
        {double_, "1D308", true},    {double_, "1.7976931D308", true}, {double_, "1.7976932D308", false},
        {double_, "1E309", false},   {double_, "4.940656D-324", true}, {double_, "4.9D-324", false},
        {double_, "1234567890123456", true},     {double_, "12345678901234567", false},
        {extended, "123456789012345678901234567890", true}, {extended, "1F", false},
        // Read through a double, the 80-bit target has double's range (once the first stored infinity).
        {extended, "4455D0445544456", false}, {extended, "1D-9999", false}, {extended, "1.7976931E308", true},
    };
    check(rules, std::size(rules));
}

TEST(InputNumber, FloatsStoreWhatScanfReads) {
    EXPECT_EQ(stored<float>(single, "1E"), 1.0f);
    EXPECT_EQ(stored<float>(single, "-"), 0.0f);
    EXPECT_EQ(stored<double>(double_, "-2.5d-1"), -0.25);
    // The 80-bit target gets the double value widened, in its ten bytes.
    long double wide = 0;
    input_number_store(extended, reinterpret_cast<const std::uint8_t*>("0.1"), 3, &wide);
    EXPECT_EQ(wide, static_cast<long double>(0.1));
}

}  // namespace
