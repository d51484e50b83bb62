// Copy and paste in the window (window thread).
//
// The left button selects text on the screen (drag; double click a word,
// triple click a row); the selected text then belongs to PRIMARY and
// CLIPBOARD, and the program answers other programs' requests for it. The
// middle button pastes PRIMARY, Shift+Insert pastes CLIPBOARD: the text is
// typed into the keyboard buffer as it has room. At the end of the process
// the copied text is handed to a clipboard manager or to a small process of
// ours that keeps serving it.
#pragma once
#include <X11/Xlib.h>

#include <cstdint>

// Once the window exists: the selection's own window and the atoms.
void clipboard_init(Display* display, Window glut_window);
// Every X event, before freeglut sees it: mouse buttons and motion over the
// window, and the selection traffic.
void clipboard_event(const XEvent& event);
// Asks for the text of CLIPBOARD (clipboard) or PRIMARY, to type it in.
void clipboard_paste(bool clipboard);
// Every pass of the event loop: types in what the keyboard buffer has room
// for and gives up a paste whose owner has not answered in time.
void clipboard_service();
// Milliseconds until clipboard_service has something to give up; -1 none.
std::int64_t clipboard_wait_limit_ms();

// At exit: hands CLIPBOARD to a clipboard manager that confirms the save
// within a second, and leaves a process of ours serving the text for the
// selections we still own (PRIMARY, and CLIPBOARD unless a manager has it);
// the hand-over and the keeper's start wait at most a second each.
void clipboard_hand_over_at_exit();

