// The freeglut key callbacks: freeglut's key bytes and special keys become
// key codes.
#include "runtime/window/key_callbacks.h"
#include "runtime/window/key_events.h"

#include <GL/freeglut.h>

#include "runtime/input/key_codes.h"
#include "runtime/window/clipboard.h"

void keyboard_callback(unsigned char key, int, int) { key_char_event(key, 1, glutGetModifiers()); }
void keyboard_up_callback(unsigned char key, int, int) { key_char_event(key, 0, glutGetModifiers()); }

namespace {
bool insert_pasted = false;   // the Insert key held down pasted: its release is not a key either
}

// Shift+Insert pastes the clipboard and is no key for the program.
void special_callback(int key, int, int) {
    if (key == GLUT_KEY_INSERT && glutGetModifiers() == GLUT_ACTIVE_SHIFT) {
        insert_pasted = true;
        clipboard_paste(true);
        return;
    }
    key_special_event(key, 1);
}

void special_up_callback(int key, int, int) {
    if (key == GLUT_KEY_INSERT && insert_pasted) {
        insert_pasted = false;
        return;
    }
    key_special_event(key, 0);
}

void key_char_event(int key, int down, int modifiers) {
    // With Ctrl held freeglut delivers control characters; the key code is the
    // letter itself, and the Ctrl column of the translation makes the control code.
    if (modifiers & GLUT_ACTIVE_CTRL) {
        if (key == 10) key = 13;
        else if (key >= 1 && key <= 26) key += (modifiers & GLUT_ACTIVE_SHIFT) ? 64 : 96;
    }
    if (key == 127) key = key_delete;
    if (down) key_down(key);
    else key_up(key);
}

namespace {

std::int32_t special_key_code(int key) {
    if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F10) return key_f1 + (key - GLUT_KEY_F1) * 0x100;
    switch (key) {
        case GLUT_KEY_F11: return key_f11;
        case GLUT_KEY_F12: return key_f12;
        case GLUT_KEY_LEFT: return key_arrow_left;
        case GLUT_KEY_UP: return key_arrow_up;
        case GLUT_KEY_RIGHT: return key_arrow_right;
        case GLUT_KEY_DOWN: return key_arrow_down;
        case GLUT_KEY_PAGE_UP: return key_page_up;
        case GLUT_KEY_PAGE_DOWN: return key_page_down;
        case GLUT_KEY_HOME: return key_home;
        case GLUT_KEY_END: return key_end;
        case GLUT_KEY_INSERT: return key_insert;
        case GLUT_KEY_SHIFT_L: return key_left_shift;
        case GLUT_KEY_SHIFT_R: return key_right_shift;
        case GLUT_KEY_CTRL_L: return key_left_ctrl;
        case GLUT_KEY_CTRL_R: return key_right_ctrl;
        case GLUT_KEY_ALT_L: return key_left_alt;
        case GLUT_KEY_ALT_R: return key_right_alt;
        default: return 0;
    }
}

}  // namespace

void key_special_event(int key, int down) {
    const std::int32_t code = special_key_code(key);
    if (code == 0) return;
    if (down) key_down(code);
    else key_up(code);
}
