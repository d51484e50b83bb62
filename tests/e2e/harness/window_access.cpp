#include "tests/e2e/harness/harness.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <thread>

bool wait_until(const std::function<bool()>& check, double timeout_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    for (;;) {
        if (check()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

Window window_find(Display* display, const std::string& title, double timeout_seconds) {
    Window found = 0;
    wait_until([&] {
        Window root, parent, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return false;
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(display, children[i], &name) && name && title == name) found = children[i];
            if (name) XFree(name);
        }
        if (children) XFree(children);
        return found != 0;
    }, timeout_seconds);
    return found;
}

window_geometry window_geometry_of(Display* display, Window window) {
    window_geometry geometry;
    XWindowAttributes a;
    if (XGetWindowAttributes(display, window, &a)) geometry = {a.x, a.y, a.width, a.height, a.map_state == IsViewable};
    return geometry;
}

void window_move_to_origin_and_focus(Display* display, Window window) {
    XMoveWindow(display, window, 0, 0);
    XRaiseWindow(display, window);
    XSync(display, False);
    wait_until([&] { return window_geometry_of(display, window).mapped; }, 5);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
}

void window_send_delete(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

std::vector<std::uint32_t> window_pixels(Display* display, Window window, int& width, int& height) {
    const window_geometry geometry = window_geometry_of(display, window);
    XImage* image = geometry.width > 0 ? XGetImage(display, window, 0, 0, geometry.width, geometry.height,
                                                   AllPlanes, ZPixmap) : nullptr;
    std::vector<std::uint32_t> pixels;
    width = image ? geometry.width : 0;
    height = image ? geometry.height : 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    if (image) XDestroyImage(image);
    return pixels;
}

void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers) {
    auto key = [&](KeySym k, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, k), down ? True : False, CurrentTime);
        XSync(display, False);
    };
    for (KeySym m : modifiers) key(m, true);
    key(keysym, true);
    key(keysym, false);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) key(*m, false);
}

void type_text(Display* display, const std::string& text, int pause_ms) {
    for (char c : text) {
        // Latin-1 keysyms are the character codes.
        tap_key(display, c == '\n' ? XK_Return : c == '\b' ? XK_BackSpace : static_cast<unsigned char>(c));
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
    }
}
