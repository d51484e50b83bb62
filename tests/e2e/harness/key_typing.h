// Real key events for a program under test: XTest presses and releases keys
// in the X server, which delivers them to the focused window exactly as a
// keyboard would.
#pragma once
#include <X11/Xlib.h>

#include <initializer_list>
#include <string>

// Presses (down true) or releases a key by its keysym (XK_Return, XK_Shift_L...).
void key_event(Display* display, KeySym keysym, bool down);

// Presses and releases one key, holding the given modifier keysyms around it.
void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers = {});

// Types printable ASCII text, holding Shift where the character needs it;
// "\n" types Enter, "\b" Backspace, "\t" Tab, "\x1b" Escape. Waits pause_ms
// after each key, so that the program can keep up with its 15-key buffer.
void type_text(Display* display, const std::string& text, int pause_ms = 20);
