// Real key events through XTest: the X server delivers them to the focused
// window exactly as a keyboard would.
#pragma once
#include <X11/Xlib.h>

#include <initializer_list>
#include <string>

// Presses and releases a key (XK_Return...), holding the modifiers around it.
void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers = {});

// Types ASCII text, with Shift where a character needs it ("\n" is Enter,
// "\b" Backspace), pausing pause_ms after each key so that the program keeps
// up with its 15-key buffer.
void type_text(Display* display, const std::string& text, int pause_ms = 20);
