#include "tests/e2e/harness/harness.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <thread>
#include <utility>

bool wait_until(const std::function<bool()>& check, double timeout_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    for (; !check(); std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        if (std::chrono::steady_clock::now() >= deadline) return false;
    return true;
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
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return {};
    return {a.x, a.y, a.width, a.height, a.map_state == IsViewable};
}

void window_move_to_origin_and_focus(Display* display, Window window) {
    XMoveWindow(display, window, 0, 0);
    XRaiseWindow(display, window);
    XSync(display, False);
    wait_until([&] { return window_geometry_of(display, window).mapped; }, 30);
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

window_picture window_read(Display* display, Window window) {
    const window_geometry geometry = window_geometry_of(display, window);
    XImage* image = geometry.width > 0 ? XGetImage(display, window, 0, 0, geometry.width, geometry.height,
                                                   AllPlanes, ZPixmap) : nullptr;
    window_picture picture;
    if (!image) return picture;
    picture = {{}, geometry.width, geometry.height};
    picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return picture;
}

bool window_shows(Display* display, Window window, window_picture& picture,
                  const std::function<bool(const window_picture&)>& check, double timeout_seconds) {
    window_picture earlier;
    picture = {};
    return wait_until([&] {
        std::swap(earlier, picture);
        picture = window_read(display, window);
        const bool whole = !picture.pixels.empty() && picture.width == earlier.width &&
                           picture.height == earlier.height && picture.pixels == earlier.pixels;
        return whole && check(picture);
    }, timeout_seconds);
}

void tap_key(Display* display, KeySym keysym, std::initializer_list<KeySym> modifiers) {
    auto key = [&](KeySym k, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, k), down, CurrentTime);
        XSync(display, False);
    };
    for (KeySym m : modifiers) key(m, true);
    key(keysym, true);
    key(keysym, false);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) key(*m, false);
}

void type_text(Display* display, const std::string& text) {
    // Latin-1 keysyms are the character codes.
    for (char c : text)
        tap_key(display, c == '\n' ? XK_Return : c == '\b' ? XK_BackSpace : static_cast<unsigned char>(c));
}
