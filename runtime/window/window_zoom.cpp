#include "runtime/window/window_zoom.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

std::int32_t window_zoom = 1;
std::int32_t zoom_room_width = 0, zoom_room_height = 0;

namespace {

// The cardinals of a property of the root window (at most count of them);
// how many were read.
int root_cardinals(Display* display, const char* name, long* values, int count) {
    const Atom property = XInternAtom(display, name, True);
    if (property == None) return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    int read = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1024, False, XA_CARDINAL, &type,
                           &format, &items, &remaining, &data) == Success &&
        type == XA_CARDINAL && format == 32 && data) {
        read = static_cast<int>(std::min<unsigned long>(items, static_cast<unsigned long>(count)));
        std::copy_n(reinterpret_cast<const long*>(data), read, values);
    }
    if (data) XFree(data);
    return read;
}

// The work area of the current desktop when a window manager publishes one, else the screen.
void read_room(Display* display) {
    zoom_room_width = DisplayWidth(display, DefaultScreen(display));
    zoom_room_height = DisplayHeight(display, DefaultScreen(display));
    long desktop = 0;
    if (root_cardinals(display, "_NET_CURRENT_DESKTOP", &desktop, 1) != 1 || desktop < 0 || desktop > 63) desktop = 0;
    long areas[64 * 4];
    const int read = root_cardinals(display, "_NET_WORKAREA", areas, 64 * 4);
    if (read < 4) return;
    const long* area = read >= (desktop + 1) * 4 ? areas + desktop * 4 : areas;
    if (area[2] > 0 && area[3] > 0) {
        zoom_room_width = static_cast<std::int32_t>(std::min<long>(area[2], zoom_room_width));
        zoom_room_height = static_cast<std::int32_t>(std::min<long>(area[3], zoom_room_height));
    }
}

// What the variable's text asks for: 0 when unset, -1 when unusable.
std::int32_t zoom_from_variable(const char* text) {
    if (!text) return 0;
    if (*text < '0' || *text > '9') return -1;   // empty, a sign, blanks
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > largest_zoom) return -1;
    return static_cast<std::int32_t>(value);
}

std::int32_t zoom_from_resources(const char* resources) {
    if (!resources) return 0;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) return 0;
    char* type = nullptr;
    XrmValue value{0, nullptr};
    std::string dpi_text;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi_text.assign(value.addr, strnlen(value.addr, value.size));
    XrmDestroyDatabase(database);

    char* end = nullptr;
    const double dpi = std::strtod(dpi_text.c_str(), &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (dpi_text.empty() || *end != '\0' || !std::isfinite(dpi) || dpi <= 0) return 0;
    const double steps = std::floor(dpi / 96.0 + 0.5);
    return static_cast<std::int32_t>(std::clamp(steps, 1.0, static_cast<double>(largest_zoom)));
}

}  // namespace

std::int32_t zoom_chosen(const char* variable, const char* resources, std::int32_t frame_width,
                         std::int32_t frame_height, bool& variable_unusable) {
    std::int32_t zoom = zoom_from_variable(variable);
    variable_unusable = zoom < 0;
    if (zoom <= 0) zoom = zoom_from_resources(resources);
    return zoom_fitting(std::max(zoom, 1), frame_width, frame_height);
}

std::int32_t zoom_fitting(std::int32_t zoom, std::int32_t frame_width, std::int32_t frame_height) {
    if (zoom_room_width > 0 && zoom_room_height > 0 && frame_width > 0 && frame_height > 0)
        zoom = std::min({zoom, zoom_room_width / frame_width, zoom_room_height / frame_height});
    return std::max(zoom, 1);
}

std::int32_t zoom_settled(std::int32_t width, std::int32_t height, std::int32_t frame_width,
                          std::int32_t frame_height) {
    if (frame_width <= 0 || frame_height <= 0) return 1;
    const double ratio = std::min(static_cast<double>(width) / frame_width, static_cast<double>(height) / frame_height);
    const double nearest = std::clamp(std::floor(ratio + 0.5), 1.0, static_cast<double>(largest_zoom));
    return zoom_fitting(static_cast<std::int32_t>(nearest), frame_width, frame_height);
}

std::int32_t zoom_choose(Display* display, const char* program, std::int32_t frame_width, std::int32_t frame_height) {
    read_room(display);
    const char* variable = std::getenv(zoom_variable);
    bool variable_unusable = false;
    window_zoom = zoom_chosen(variable, XResourceManagerString(display), frame_width, frame_height, variable_unusable);
    if (variable_unusable)
        std::fprintf(stderr, "%s: %s=\"%s\" is not a whole number from 1 to %d; ignored\n", program, zoom_variable,
                     variable, largest_zoom);
    return window_zoom;
}
