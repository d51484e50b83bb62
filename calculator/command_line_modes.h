// The calculator's modes of the command line, beside its dialogue: --table
// and --plot. Messages go to standard error after the program's name.
#pragma once
#include <string>
#include <vector>

#include "calculator/entry_answers.h"

// The entries of a mode: the texts of FROM, FROM +- STEP, ... for --table,
// the arguments for --plot, or standard input's lines. False after a line
// on standard error: no entries (exit status 2).
bool entries_from_input(const char* program, std::vector<std::string>& entries);

// One line on standard error for an entry without an answer.
void report_entry_error(const char* program, const std::string& entry, const entry_answer& answer);

// The entry as a CSV field, quoted when it holds a comma, a quote or a line end.
std::string csv_field(const std::string& text);

// The mode the arguments ask for, run by main before anything starts:
// returns its exit status, or -1 when they ask for none (the dialogue runs).
int program_command_line_mode(int argc, char** argv);
