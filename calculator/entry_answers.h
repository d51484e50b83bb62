// Entries answered as the dialogue answers them, without the dialogue: for
// the table (--table) and the picture (--plot). VAL, lines 26 to 33 and 59 to
// 110 run the program's own statements; lines 35 to 57, which READ the rows
// before the entry's row one by one, take the rows from the table READ once
// at the start instead (the same items, the same READ), and name the line of
// the READ that would have failed past the table.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct entry_answer {
    std::int32_t error = 0;          // the run-time error the dialogue would report; 0: answered
    std::uint32_t error_line = 0;    // the BASIC line it would name
    bool purple = false;             // a negative entry: purple_x, purple_y hold its purple point
    float wavelength = 0, x = 0, y = 0, purple_x = 0, purple_y = 0;
};

// Sets up what the answers need, once before the first: the x87 unit as on
// the program thread (lines 84 and 85 compute in its 64-bit precision), the
// variables, and the table's rows.
void entry_answers_start();

// The answer to one entry as INPUT stored it in entry$.
entry_answer answer_entry(std::string_view entry);

// A SINGLE as PRINT shows it, without the leading blank of a positive number:
// ".3409378", "7.655531E-03", "-.5".
std::string printed_number(float value);
