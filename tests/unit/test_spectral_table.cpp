// The embedded DATA text and reading all of it with READ, as the calculator does.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calculator/spectral_table.h"
#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"

namespace {

// The published table's items as written, row by row, with the last row six times in all.
std::vector<std::string> published_items() {
    std::ifstream csv(std::string(TEST_SOURCE_DIR) + "/data/cie1931_2deg_chromaticity_360_700.csv");
    std::vector<std::string> items, row;
    std::string line, field;
    std::getline(csv, line);  // header
    while (std::getline(csv, line)) {
        std::istringstream fields(line);
        for (row.clear(); std::getline(fields, field, ',');) row.push_back(field);
        items.insert(items.end(), row.begin(), row.end());
    }
    for (int i = 1; i < 6; ++i) items.insert(items.end(), row.begin(), row.end());
    return items;
}

long double read_single() {
    return read_data_number(spectral_table_text, &data_read_offset, spectral_table_length, type_code_single);
}

}  // namespace

TEST(SpectralTable, ReadingTheDataGivesThePublishedValuesThenOutOfData) {
    const std::vector<std::string> items = published_items();
    ASSERT_EQ(items.size(), 346u * 4);
    std::string text;
    for (const std::string& item : items) text += item + ",";
    ASSERT_EQ(std::string(spectral_table_text, spectral_table_length), text);

    pending_error = 0;
    data_restore();
    for (const std::string& item : items) {
        double nearest = -1;  // by another conversion than READ's
        std::from_chars(item.data(), item.data() + item.size(), nearest);
        ASSERT_EQ(read_single(), nearest) << item;
    }
    ASSERT_EQ(pending_error.load(), 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(read_single(), 0);
        EXPECT_EQ(pending_error.exchange(0), 4);
        EXPECT_EQ(data_read_offset, spectral_table_length);
    }
    data_restore();
    EXPECT_EQ(read_single(), 360);
}
