// A small message-box layer with the calling convention and results of the
// tinyfiledialogs library: the box is shown by the desktop's dialog program
// (zenity, else kdialog, else xmessage), started without a shell.
#pragma once

// aDialogType: "ok", "okcancel", "yesno" or "yesnocancel".
// aIconType: "info", "warning", "error" or "question".
// Returns 1 for OK/Yes, 0 for Cancel/No or when no box could be shown,
// 2 for No in "yesnocancel". Blocks until the box is closed.
int tinyfd_messageBox(char const* aTitle, char const* aMessage, char const* aDialogType,
                      char const* aIconType, int aDefaultButton);
// The same box, but -1 (and nothing written) when it could not be shown: no
// dialog program found, or the one found could not run or did not exit.
int desktop_message_box(char const* aTitle, char const* aMessage, char const* aDialogType,
                        char const* aIconType, int aDefaultButton);

// Whether the dialog program that desktop_message_box would start can show
// its box on an X display only (xmessage), not on a Wayland one.
bool desktop_dialog_needs_x();

// The process is ending: a box being shown ends as if closed (its dialog
// program and whatever that started get SIGTERM, then SIGKILL after a short
// grace) and returns 0, and every later box returns 0 without being shown.
// Safe to call from any thread.
void message_boxes_abandon();
