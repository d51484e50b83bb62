#include "tests/e2e/harness/key_typing.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

namespace {

void key_event(Display* display, KeySym keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0) return;
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

}  // namespace

void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers) {
    for (KeySym m : modifiers) key_event(display, m, true);
    key_event(display, keysym, true);
    key_event(display, keysym, false);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) key_event(display, *m, false);
}

void type_text(Display* display, const std::string& text, int pause_ms) {
    for (char c : text) {
        // Latin-1 keysyms are the character codes.
        const KeySym keysym = c == '\n' ? XK_Return : c == '\b' ? XK_BackSpace : static_cast<unsigned char>(c);
        const KeyCode code = XKeysymToKeycode(display, keysym);
        // A character on the second level of its key needs Shift.
        if (code != 0 && XkbKeycodeToKeysym(display, code, 0, 0) != keysym) tap_key(display, keysym, {XK_Shift_L});
        else tap_key(display, keysym);
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
    }
}
