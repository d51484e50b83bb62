// The freeglut key callbacks (window thread): freeglut's key bytes and
// special keys become key codes (runtime/window/key_events.h).
#pragma once

void keyboard_callback(unsigned char key, int x, int y);
void keyboard_up_callback(unsigned char key, int x, int y);
void special_callback(int key, int x, int y);
void special_up_callback(int key, int x, int y);

// A character key from freeglut; modifiers as glutGetModifiers reports them
// (GLUT_ACTIVE_SHIFT, GLUT_ACTIVE_CTRL, GLUT_ACTIVE_ALT), read by the callback.
void key_char_event(int key, int down, int modifiers);
// A special key from freeglut (GLUT_KEY_...); keys without a code are ignored.
void key_special_event(int key, int down);
