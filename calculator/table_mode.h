// --table: the answers as CSV for scripts.
#pragma once

// The arguments after --table: none (the entries come from standard input,
// one a line) or FROM TO STEP. Returns the exit status: 0, 1 when an entry
// had no answer (its row is empty, standard error names it), 2 for arguments
// or input that give no table.
int table_mode(const char* program, int argc, char** argv);
