// The embedded DATA text and reading all of it with READ, as the calculator does.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calculator/spectral_table.h"
#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"

namespace {

const std::string table(spectral_table_text, spectral_table_length);

std::string sha256_of(const std::string& bytes) {
    const std::string path = std::string(TEST_BINARY_DIR) + "/spectral_table.bin";
    std::ofstream(path, std::ios::binary) << bytes;
    std::FILE* pipe = popen(("sha256sum " + path).c_str(), "r");
    char hex[65] = {};
    if (!pipe || std::fscanf(pipe, "%64s", hex) != 1) hex[0] = '\0';
    if (pipe) pclose(pipe);
    return hex;
}

float read_single() {
    return static_cast<float>(read_data_number(spectral_table_text, &data_read_offset, spectral_table_length,
                                               type_code_single));
}

// The published rows: wavelength, x, y, z as text.
std::vector<std::array<std::string, 4>> csv_rows() {
    std::ifstream csv(std::string(TEST_SOURCE_DIR) + "/data/cie1931_2deg_chromaticity_360_700.csv");
    std::vector<std::array<std::string, 4>> rows;
    std::string line;
    std::getline(csv, line);  // header
    while (std::getline(csv, line)) {
        std::array<std::string, 4> row;
        std::istringstream fields(line);
        for (std::string& field : row) std::getline(fields, field, ',');
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(SpectralTable, TextIsThePublishedTableWithTheLastRowSixTimes) {
    EXPECT_EQ(table.size(), 10726u);
    EXPECT_EQ(std::count(table.begin(), table.end(), ','), 1384);
    EXPECT_EQ(table.find_first_not_of("0123456789.,"), std::string::npos);
    EXPECT_EQ(sha256_of(table), "63bad2b44081c54d403290d3573a1f4ae84bed8c6872d4dfa2d5d856cde2bc2d");
    EXPECT_EQ(table.rfind("360,0.175560,0.005294,0.819146,", 0), 0u);
    EXPECT_NE(table.find("500,0.008168,0.538423,0.453409,"), std::string::npos);
    EXPECT_NE(table.find("555,0.337363,0.658848,0.003788,"), std::string::npos);
    std::string tail = "699,0.734690,0.265310,0.000000,";
    for (int i = 0; i < 6; ++i) tail += "700,0.734690,0.265310,0.000000,";
    EXPECT_EQ(table.substr(table.size() - tail.size()), tail);
}

TEST(SpectralTable, ReadingEveryItemInOrderGivesThePublishedValuesThenOutOfData) {
    const auto rows = csv_rows();
    ASSERT_EQ(rows.size(), 341u);
    pending_error = 0;
    data_restore();
    for (std::size_t row = 0; row < 346; ++row) {
        const auto& expected = rows[std::min<std::size_t>(row, 340)];
        for (int item = 0; item < 4; ++item) {
            // Decimal text to double, then to single: as the CSV value rounds the same way.
            const float want = static_cast<float>(std::strtod(expected[item].c_str(), nullptr));
            ASSERT_EQ(read_single(), want) << "row " << row << " item " << item;
        }
    }
    ASSERT_EQ(pending_error.load(), 0);
    EXPECT_EQ(data_read_offset, spectral_table_length);

    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(read_single(), 0.0f);
        EXPECT_EQ(pending_error.exchange(0), 4);
        EXPECT_EQ(data_read_offset, spectral_table_length);
    }
    data_restore();
    EXPECT_EQ(read_single(), 360.0f);
    EXPECT_EQ(read_single(), 0.175560f);
}
