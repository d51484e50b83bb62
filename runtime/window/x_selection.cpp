#include "runtime/window/x_selection.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/render/text_selection.h"

selection_atoms selection_atoms_intern(Display* display) {
    static const char* const names[] = {"PRIMARY",   "CLIPBOARD", "TARGETS",           "UTF8_STRING",
                                        "text/plain;charset=utf-8", "STRING", "TEXT", "MULTIPLE",
                                        "INCR",      "CLIPBOARD_MANAGER", "SAVE_TARGETS", "_NET_WM_PID",
                                        "TIMESTAMP", "ATOM_PAIR"};
    Atom atoms[14];
    XInternAtoms(display, const_cast<char**>(names), 14, False, atoms);
    return {atoms[0], atoms[1], atoms[2],  atoms[3],  atoms[4],  atoms[5],  atoms[6],
            atoms[7], atoms[8], atoms[9], atoms[10], atoms[11], atoms[12], atoms[13]};
}

unsigned selections_take(Display* display, const selection_atoms& atoms, Window window, unsigned bits, Time time) {
    unsigned taken = 0;
    for (const unsigned bit : {selection_primary_bit, selection_clipboard_bit}) {
        if (!(bits & bit)) continue;
        XSetSelectionOwner(display, selection_of_bit(atoms, bit), window, time);
        if (XGetSelectionOwner(display, selection_of_bit(atoms, bit)) == window) taken |= bit;
    }
    return taken;
}

bool selection_clear_holds(Display* display, const XSelectionClearEvent& clear, Time taken) {
    // Server times are 32-bit milliseconds that wrap around.
    const auto age = static_cast<std::int32_t>(static_cast<std::uint32_t>(clear.time - taken));
    if (age != 0) return age > 0;
    return XGetSelectionOwner(display, clear.selection) != clear.window;
}

namespace {

// Every character of the text is in Latin-1: no '?' stands in for one.
bool is_latin1(const std::string& utf8) {
    const std::string latin1 = utf8_to_latin1(utf8);
    return std::count(latin1.begin(), latin1.end(), '?') == std::count(utf8.begin(), utf8.end(), '?');
}

// Writes the answer into the requestor's property; false for a target we do not give.
bool put_target(Display* display, const selection_atoms& atoms, const XSelectionRequestEvent& request,
                Atom target, Atom property, const std::string& text, Time taken) {
    if (target == atoms.targets) {
        const Atom offered[] = {atoms.targets,         atoms.multiple, atoms.timestamp, atoms.utf8_string,
                                atoms.text_plain_utf8, atoms.string,   atoms.text};
        XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), 7);
        return true;
    }
    if (target == atoms.timestamp) {
        const long time = static_cast<long>(taken);
        XChangeProperty(display, request.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return true;
    }
    Atom type;
    std::string data;
    if (target == atoms.utf8_string || target == atoms.text_plain_utf8) {
        type = target;
        data = text;
    } else if (target == atoms.string || (target == atoms.text && is_latin1(text))) {
        type = XA_STRING;
        data = utf8_to_latin1(text);
    } else if (target == atoms.text) {
        type = atoms.utf8_string;
        data = text;
    } else {
        return false;
    }
    XChangeProperty(display, request.requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    return true;
}

// MULTIPLE: the requestor's property holds (target, property) pairs.
bool put_multiple(Display* display, const selection_atoms& atoms, const XSelectionRequestEvent& request,
                  const std::string& text, Time taken) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (request.property == None ||
        XGetWindowProperty(display, request.requestor, request.property, 0, 1 << 16, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success)
        return false;
    std::vector<Atom> pairs;
    const Atom* listed = reinterpret_cast<const Atom*>(data);   // Xlib hands 32-bit items over as longs
    if (data && format == 32) pairs.assign(listed, listed + count / 2 * 2);
    if (data) XFree(data);
    if (pairs.empty()) return false;
    for (std::size_t i = 0; i < pairs.size(); i += 2)
        if (pairs[i] == atoms.multiple || pairs[i + 1] == None ||
            !put_target(display, atoms, request, pairs[i], pairs[i + 1], text, taken))
            pairs[i + 1] = None;
    XChangeProperty(display, request.requestor, request.property, atoms.atom_pair, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(pairs.data()), static_cast<int>(pairs.size()));
    return true;
}

}  // namespace

void selection_answer(Display* display, const selection_atoms& atoms, const XSelectionRequestEvent& request,
                      const std::string& text, bool owned, Time taken) {
    // A requestor that names no property is an old client: the target names it.
    const Atom property = request.property != None ? request.property : request.target;
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    const bool answered = owned && (request.target == atoms.multiple
                                        ? put_multiple(display, atoms, request, text, taken)
                                        : put_target(display, atoms, request, request.target, property, text, taken));
    reply.xselection.property = answered ? property : None;
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
}
