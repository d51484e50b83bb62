// The entries of --table and --plot on standard input, one a line, each
// taken as the dialogue's INPUT into entry$ takes a line.
#pragma once
#include <string>
#include <vector>

// The most entries (and table rows) one run takes.
inline constexpr std::size_t most_entries = 1000000;

// Reads standard input to its end. False, with the reason in `problem`, when
// a line is longer than INPUT keeps or there are more than most_entries lines.
bool read_entry_lines(std::vector<std::string>& entries, std::string& problem);

// The text INPUT stores in a string variable for the bytes of one line: a
// comma is dropped, a line that begins with a double quote holds what lies
// between it and the next one (where a comma is kept and nothing after the
// closing quote counts), Backspace takes back, Tab gives spaces up to the
// next multiple of 8, the bell and a few more control keys do nothing. False
// when the line holds more than INPUT keeps (a megabyte).
bool entry_from_line(const std::string& line, std::string& entry);
