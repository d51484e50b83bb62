// The calculator's dialogue: the program that both editions run.
#pragma once

// The program's main routine, run on the program thread.
void program_main();
