// Standard input of the terminal edition: the bytes INPUT reads, the key END
// waits for, and the answers the terminal dialogue reads.
#pragma once

// The next byte of standard input, or -1 at the end of input. Every line
// end, "\n", "\r\n" or a lone "\r", reads as one "\n". Once the end has
// been seen it stays: on a terminal, Ctrl+D ends the input for good. A read
// error counts as the end.
int console_read_byte();

// True once the end of input has been seen.
bool console_input_ended();

// END's wait, begun before its prompt shows: on a terminal whose input has
// not ended, discards what was typed before and switches to key mode, so that
// a key typed once the prompt is visible is neither echoed nor dropped. The
// wait then reads one key (the terminal's modes are put back afterwards);
// without a begun key mode it returns at once.
void console_key_wait_begin();
void console_wait_for_key();
