#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/input/input_targets.h"

namespace {

constexpr std::uint32_t int8u = 8 | input_type_unsigned, int16 = 16, int32 = 32, int64 = 64;
constexpr std::uint32_t int64u = 64 | input_type_unsigned, single = 32 | input_type_float;
constexpr std::uint32_t double_ = 64 | input_type_float, extended = 256 | input_type_float;

const std::uint8_t* bytes(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }
std::int32_t length(const std::string& text) { return static_cast<std::int32_t>(text.size()); }

template <typename T>
T stored(std::uint32_t type, const std::string& text) {
    T value;
    std::memset(&value, 0x5A, sizeof value);
    input_number_store(type, bytes(text), length(text), &value);
    return value;
}

// The pieces a target of the type accepts while they are typed, and those it refuses.
struct rules { std::uint32_t type; std::vector<std::string> accepted, refused; };

const rules all_rules[] = {
    {int16, {"", "-", "0", "-0", "32767", "-32768", "&", "&H", "&hFFFF", "&O177777", "&B1111111111111111"},
     {"00", "05", "32768", "-32769", "1a", "--1", "1-", " 1", "&H10000", "&O200000", "&B10000000000000000", "&X1",
      "&B2", "-&H1"}},
    {int8u, {"255", "&HFF"}, {"256", "-"}},
    {int32, {"2147483647", "-2147483648"}, {"2147483648"}},
    {int64, {"9223372036854775807", "-9223372036854775808", "&HFFFFFFFFFFFFFFFF"},
     {"9223372036854775808", "-9223372036854775809", "&H1FFFFFFFFFFFFFFFF"}},
    {int64u, {"18446744073709551615"}, {"18446744073709551616"}},
    {12, {}, {"1"}},   // not an integer size
    {single, {"", "-", ".", "-.5", "0.5", "0", "1.", "1E", "1e-", "1E+5", "12345678", "0.00012345678", "1.0000000",
              "3.402823E38", "34E37", "1.401298E-45", "0E-99", "0.0E99999999999"},
     {"00.5", "01", "1.2.3", "1E5.", "E5", "1D5", "123456789", "1.00000000", "3.4028236E38", "4E38", "1E39", "1.4E-45",
      "1E-46"}},
    {double_, {"1D308", "1.7976931D308", "4.940656D-324", "1234567890123456"},
     {"1.7976932D308", "1E309", "4.9D-324", "12345678901234567"}},
    // Read through a double, the 80-bit target has double's range.
    {extended, {"123456789012345678901234567890", "1.7976931E308"}, {"1F", "4455D0445544456", "1D-9999"}},
};

TEST(InputNumber, PiecesThatCanStillFitTheirType) {
    for (const rules& r : all_rules) {
        for (const std::string& text : r.accepted) {
            EXPECT_TRUE(input_number_acceptable(r.type, bytes(text), length(text))) << r.type << " " << text;
        }
        for (const std::string& text : r.refused) {
            EXPECT_FALSE(input_number_acceptable(r.type, bytes(text), length(text))) << r.type << " " << text;
        }
    }
}

TEST(InputNumber, IntegersStoreTheirValueOrBitPatternAndFloatsWhatScanfReads) {
    EXPECT_EQ(stored<std::int16_t>(int16, "&HFFFF"), -1);
    EXPECT_EQ(stored<std::int16_t>(int16, "-32768"), -32768);
    EXPECT_EQ(stored<std::int16_t>(int16, "-"), 0);
    EXPECT_EQ(stored<std::int16_t>(int16, "&H"), 0);
    EXPECT_EQ(stored<std::uint8_t>(int8u, "200"), 200);
    EXPECT_EQ(stored<std::int32_t>(int32, "&O17"), 15);
    EXPECT_EQ(stored<std::int64_t>(int64, "-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(stored<std::uint64_t>(int64u, "18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(stored<std::uint32_t>(int16, "7"), 0x5A5A0007u);   // only the target's own bytes are written
    EXPECT_EQ(stored<float>(single, "1E"), 1.0f);
    EXPECT_EQ(stored<float>(single, "-"), 0.0f);
    EXPECT_EQ(stored<double>(double_, "-2.5d-1"), -0.25);
    EXPECT_EQ(stored<long double>(extended, "0.1"), static_cast<long double>(0.1));   // the double widened
}

}  // namespace
