// --plot: the chromaticity diagram with the entries' points, into a file.
#pragma once

// The arguments after --plot: FILE and the entries (none: standard input's
// lines). Returns the exit status: 0; 1 when an entry had no answer (its
// point is left out) or the file could not be written; 2 for a FILE that is
// not .svg, .png or .pdf, or input that gives no entries.
int plot_mode(const char* program, int argc, char** argv);
