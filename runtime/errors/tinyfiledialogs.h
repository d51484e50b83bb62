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
