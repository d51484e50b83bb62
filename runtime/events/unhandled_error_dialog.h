// The "Continue?" dialogue for an error that reached the event check.
#pragma once

// The program's file name (argv[0] after its last "/" or "\") with a
// terminating zero; rebuilt for every dialogue.
struct str_desc;
extern str_desc* program_name;

// Shows the "Continue?" dialogue for pending_error; returns only when the
// user continues.
void unhandled_error_dialog();
