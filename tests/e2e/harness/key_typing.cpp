#include "tests/e2e/harness/key_typing.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace {

// The keysym of a character: Latin-1 keysyms are the character codes.
KeySym keysym_of(char c) {
    switch (c) {
        case '\n': return XK_Return;
        case '\b': return XK_BackSpace;
        case '\t': return XK_Tab;
        case '\x1b': return XK_Escape;
        default: return static_cast<unsigned char>(c);
    }
}

}  // namespace

void key_event(Display* display, KeySym keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0) return;
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers) {
    for (KeySym m : modifiers) key_event(display, m, true);
    key_event(display, keysym, true);
    key_event(display, keysym, false);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) key_event(display, *m, false);
}

void type_text(Display* display, const std::string& text, int pause_ms) {
    for (char c : text) {
        const KeySym keysym = keysym_of(c);
        const KeyCode code = XKeysymToKeycode(display, keysym);
        // A character on the second level of its key needs Shift.
        const bool shifted = code != 0 && XkbKeycodeToKeysym(display, code, 0, 0) != keysym;
        if (shifted) tap_key(display, keysym, {XK_Shift_L});
        else tap_key(display, keysym);
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
    }
}
