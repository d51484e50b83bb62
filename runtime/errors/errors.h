// Run-time error numbers, the pending error and the message boxes.
//
// A failing statement records its error with raise_error and returns; the
// event check after the statement reports it. Critical numbers end the
// process at once after their box.
#pragma once
#include <atomic>
#include <cstdint>

// The recorded error number; 0 = none. Statements do nothing while it is set.
// Any thread may record one (raise_error: the first wins, by compare-exchange);
// the program thread reports and clears it.
extern std::atomic<std::int32_t> pending_error;

// Set by any thread that needs the program thread to run the event check.
extern std::atomic<std::int32_t> pending_event;

// Records error n (first error wins; n <= 0 counts as 5) and sets the
// pending-event flag. For a critical number: shows its box, then ends the
// process with status 0 (runtime_exit, from whichever thread raised it).
void raise_error(std::int32_t n);

// The message text of error n ("Unprintable error" when it has none).
const char* error_message(std::uint32_t n);

// Set by the terminal edition at start-up (runtime/terminal/terminal_dialog.h):
// its boxes by its own rule. Null: every box is the desktop's.
extern std::int32_t (*terminal_message_box)(const char* title, const char* message, const char* dialog_type);

// Shows a message box with the error icon and default button 1; returns
// tinyfd_messageBox's result (1 OK/Yes, 0 No or not shown).
std::int32_t error_box(const char* message, const char* title, const char* dialog_type);

// The run-time's own failure reports: a box titled "Alert" with the text
// formatted printf-style. Returns 1 when a box was shown, else 0.
std::int32_t alert_box(const char* format, ...) __attribute__((format(printf, 1, 2)));
