#include "calculator/entry_answers.h"

#include <vector>

#include "calculator/chromaticity.h"
#include "calculator/single_variables.h"
#include "calculator/spectral_table.h"
#include "runtime/errors/errors.h"
#include "runtime/input/read_data.h"
#include "runtime/process/program_prologue.h"
#include "runtime/strings/number_to_text.h"
#include "runtime/strings/str_desc.h"
#include "runtime/strings/text_to_number.h"

namespace {

struct table_row {
    float wavelength, x, y, z;
};

std::vector<table_row> rows;   // every whole row of the DATA, in order
single_variables* variables = nullptr;

float read_item() {
    return static_cast<float>(
        read_data_number(spectral_table_text, &data_read_offset, spectral_table_length, type_code_single));
}

// The four READs of one row into their variables.
void read_row(std::size_t index, float& wavelength, float& x, float& y, float& z) {
    const table_row& row = rows[index];
    wavelength = row.wavelength;
    x = row.x;
    y = row.y;
    z = row.z;
}

// Lines 35 to 57 for the row that line 33 found: the skipping loop runs for
// counter = 1 to row and leaves the last row it read (row - 1) in x_prev,
// y_prev, z_prev; the next three READs take rows row to row + 2, or rows 0
// to 2 when the loop did not run. Returns the line of the first READ that
// finds no data left, or 0.
std::uint32_t take_rows(single_variables& v) {
    const double count = static_cast<double>(rows.size());
    std::size_t next = 0;
    if (v.row >= 1) {
        if (v.row > count) return 38;
        next = static_cast<std::size_t>(v.row);
        read_row(next - 1, v.table_wavelength, v.x_prev, v.y_prev, v.z_prev);
    }
    if (next >= rows.size()) return 44;
    read_row(next, v.table_wavelength, v.x0, v.y0, v.z0);
    if (next + 1 >= rows.size()) return 49;
    read_row(next + 1, v.table_wavelength, v.x1, v.y1, v.z1);
    if (next + 2 >= rows.size()) return 54;
    read_row(next + 2, v.table_wavelength, v.x2, v.y2, v.z2);
    return 0;
}

}  // namespace

void entry_answers_start() {
    program_thread_prologue();
    static single_variables v = create_single_variables();
    variables = &v;
    data_restore();
    for (;;) {
        table_row row{};
        row.wavelength = read_item();
        row.x = read_item();
        row.y = read_item();
        row.z = read_item();
        if (pending_error.load() != 0) break;   // Out of DATA: the table's end
        rows.push_back(row);
    }
    pending_error.store(0);
    pending_event.store(0);
}

entry_answer answer_entry(std::string_view entry) {
    single_variables& v = *variables;
    entry_answer answer;
    str_desc text{};   // a view of the entry, as INPUT's line is one
    text.text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(entry.data()));
    text.len = static_cast<std::int32_t>(entry.size());
    // 22  wavelength = VAL(entry$)
    v.wavelength = static_cast<float>(text_to_number(&text));
    if (const std::int32_t error = pending_error.exchange(0)) {
        pending_event.store(0);
        answer.error = error;
        answer.error_line = 22;
        return answer;
    }
    compute_table_position(v);
    if (const std::uint32_t line = take_rows(v)) {
        answer.error = 4;   // Out of DATA
        answer.error_line = line;
        return answer;
    }
    compute_from_rows(v);
    answer.purple = v.purple == 1;
    answer.wavelength = v.wavelength;
    answer.x = v.x;
    answer.y = v.y;
    answer.purple_x = v.purple_x;
    answer.purple_y = v.purple_y;
    return answer;
}

std::string printed_number(float value) {
    const std::uint32_t mark = temp_mark();
    const str_desc* printed = single_to_text(value);
    std::string text(reinterpret_cast<const char*>(printed->text), static_cast<std::size_t>(printed->len));
    temp_cleanup(mark, 0);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    return text;
}
