// The options that the programs answer before start-up. All options of
// their own begin with "--"; freeglut's (-display, -geometry and the
// others) begin with one dash and go on to start-up like every other argument.
#pragma once

// Looks at the arguments before anything is started. --help and --version
// print to standard output and end the process with status 0; an option
// beginning with "--" that is not known ends it with one line on standard
// error and status 2. A lone "--" ends the options: what follows is not
// looked at. Returns when start-up is to go on.
void command_line_options_handle(int argc, char** argv);

// A mode of the command line that the program offers instead of its dialogue
// (the calculator's --table and --plot), run by main before anything starts.
// Returns the exit status, or -1 when the arguments ask for none. The
// run-time's own definition is weak and asks for none: a program that has
// modes defines it.
int program_command_line_mode(int argc, char** argv);
