// The screen thread's loop.
#pragma once

// The screen thread (argument unused): renders the display page when it
// changes, when the blink flips and on request, and starts the end of the
// process when the program or the close button asks for it.
void screen_thread(void*);
