#include "runtime/window/window_zoom.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// The monitors (XRandR 1.5 and later), the pointer and the work area of the
// current desktop, when a window manager publishes one.
void read_room(Display* display) {
    const Window root = DefaultRootWindow(display);
    std::vector<zoom_monitor> monitors;
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (XRRQueryExtension(display, &event_base, &error_base) && XRRQueryVersion(display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* listed = XRRGetMonitors(display, root, True, &count);
        for (int i = 0; listed && i < count; ++i)
            monitors.push_back({listed[i].x, listed[i].y, listed[i].width, listed[i].height, listed[i].primary != 0});
        if (listed) XRRFreeMonitors(listed);
    }
    Window root_return = 0, child = 0;
    int px = -1, py = -1, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(display, root, &root_return, &child, &px, &py, &wx, &wy, &mask);
    long desktop = 0;
    if (root_cardinals(display, "_NET_CURRENT_DESKTOP", &desktop, 1) != 1 || desktop < 0 || desktop > 63) desktop = 0;
    long areas[64 * 4];
    const int read = root_cardinals(display, "_NET_WORKAREA", areas, 64 * 4);
    const long* area = read < 4 ? nullptr : read >= (desktop + 1) * 4 ? areas + desktop * 4 : areas;
    zoom_room_on(monitors.data(), static_cast<int>(monitors.size()), px, py, area,
                 DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display)));
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

void zoom_room_on(const zoom_monitor* monitors, int count, std::int32_t px, std::int32_t py, const long* area,
                  std::int32_t screen_width, std::int32_t screen_height) {
    auto holds_pointer = [&](const zoom_monitor& m) {
        return px >= m.x && px < m.x + m.width && py >= m.y && py < m.y + m.height;
    };
    const zoom_monitor* found = nullptr;
    for (int i = 0; i < count && !found; ++i)
        if (holds_pointer(monitors[i])) found = &monitors[i];
    for (int i = 0; i < count && !found; ++i)
        if (monitors[i].primary) found = &monitors[i];
    const zoom_monitor screen{0, 0, screen_width, screen_height, true};
    const zoom_monitor chosen = found ? *found : count > 0 ? monitors[0] : screen;
    zoom_room_width = chosen.width;
    zoom_room_height = chosen.height;
    if (!area || area[2] <= 0 || area[3] <= 0) return;
    const long width = std::min<long>(chosen.x + chosen.width, area[0] + area[2]) - std::max<long>(chosen.x, area[0]);
    const long height = std::min<long>(chosen.y + chosen.height, area[1] + area[3]) - std::max<long>(chosen.y, area[1]);
    if (width <= 0 || height <= 0) return;
    zoom_room_width = static_cast<std::int32_t>(width);
    zoom_room_height = static_cast<std::int32_t>(height);
}

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
