// The start of a program that another program may have chained to.
#pragma once

// A chaining program hands its shared (COMMON) variables over in a file and
// appends a tag and that file's name to the command line it starts the next
// program with. This takes the hand-over part off command_line, so that the
// program sees only its user's arguments. Returns true when it was there.
bool chain_handover_check();
