// The program thread's first actions.
#pragma once

// Before the program's first statement: x87 control word 0x37F and the
// SIGFPE handler (error 11).
void program_thread_prologue();
