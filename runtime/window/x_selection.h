// Owning the X selections PRIMARY and CLIPBOARD with a text, and answering
// other programs' requests for it: shared by the window thread and the
// process that keeps the text after the program has ended.
#pragma once
#include <X11/Xlib.h>

#include <string>

struct selection_atoms {
    Atom primary, clipboard, targets, utf8_string, text_plain_utf8, string, text;
    Atom multiple, incr, clipboard_manager, save_targets, net_wm_pid, timestamp, atom_pair;
};
selection_atoms selection_atoms_intern(Display* display);

// Bits of the selections owned.
inline constexpr unsigned selection_primary_bit = 1;
inline constexpr unsigned selection_clipboard_bit = 2;
inline Atom selection_of_bit(const selection_atoms& atoms, unsigned bit) {
    return bit == selection_primary_bit ? atoms.primary : atoms.clipboard;
}
inline unsigned selection_bit_of(const selection_atoms& atoms, Atom selection) {
    return selection == atoms.primary ? selection_primary_bit : selection == atoms.clipboard ? selection_clipboard_bit : 0;
}

// Makes window the owner of the selections in bits from time on; returns the
// bits it got.
unsigned selections_take(Display* display, const selection_atoms& atoms, Window window, unsigned bits, Time time);

// Whether a SelectionClear for a selection we took at time taken (a server
// time) still holds. One older than that comes from another client's take
// that ours overtook: we own the selection again. At the very same time the
// server's owner decides.
bool selection_clear_holds(Display* display, const XSelectionClearEvent& clear, Time taken);

// Answers a request when owned says the selection is ours: the text (UTF-8)
// for UTF8_STRING, text/plain;charset=utf-8, STRING (Latin-1) and TEXT, the
// time we took it (taken) for TIMESTAMP, the list of these for TARGETS, and
// for MULTIPLE each pair of the requestor's ATOM_PAIR list converted as if
// asked alone (a refused pair's property becomes None); else a refusal
// (property None). A requestor window that is gone only causes an X error,
// which the caller's handler ignores.
void selection_answer(Display* display, const selection_atoms& atoms, const XSelectionRequestEvent& request,
                      const std::string& text, bool owned, Time taken);

