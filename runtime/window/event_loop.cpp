// The window thread's event loop.
//
// The run-time needs two things that freeglut's own loop does not give: a
// call of x_event_hook before and after freeglut handles each X event, and
// a close request (WM_DELETE_WINDOW) that leaves the window open instead of
// destroying it. So the loop is driven here, and it decides
// which events freeglut ever sees:
//
// 1. Xlib turns each event read from the connection into an XEvent with the
//    converter registered for its code. The loop registers its own converter
//    for every code: it runs the original one and moves the result into
//    pending_events instead of Xlib's queue. This holds whichever call reads
//    the connection (the loop's, freeglut's, GLX's), so an event that arrives
//    while another is being dispatched is caught as well.
// 2. For each pending event in turn: x_event_hook before freeglut; a close
//    request is kept here (window_event); any other event is put back into Xlib's
//    queue, where it is then the only event, and glutMainLoopEvent dispatches
//    exactly that one; then x_event_hook after freeglut.
// 3. After the events, a blink flip that is due is rendered here (the
//    screen thread renders everything else, and the flip then needs no
//    second thread woken), then the window thread's idle work runs (the
//    messages, the pause handshake, the request for a redisplay), and
//    glutMainLoopEvent carries out the redisplay it asks for at once.
// 4. Then the loop rests, without a time-out, until the X connection has
//    something to read, an event has already been read with a reply,
//    another thread wakes it for work (a frame ready, a message posted, room
//    for a paste), the next blink flip is due, or a paste whose owner does
//    not answer is to be given up.
//
// freeglut selects XInput2 pointer events on its window, and Xlib queues
// those (event cookies) without a converter call; the loop selects them off,
// so the server sends the core pointer events, which freeglut handles just
// the same. Anything that still reaches Xlib's own queue (an extension that
// registered its converter later, which the loop then chains to) is taken
// out at the start of the next pass and goes through the same steps.
//
// A close request therefore never reaches freeglut. Code on the window
// thread must not wait for a particular event with XIfEvent or the like:
// events reach it through x_event_hook.
#include "runtime/window/event_loop.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XInput2.h>
#include <GL/freeglut.h>
#include <algorithm>
#include <deque>

#include "runtime/core/wake_signal.h"
#include "runtime/render/software_frame.h"
#include "runtime/window/clipboard.h"
#include "runtime/window/glut_message.h"
#include "runtime/window/window.h"

// Xlib's hook for extensions (declared in its internal header, which also
// defines min and max as macros).
using wire_to_event_converter = Bool (*)(Display*, XEvent*, xEvent*);
extern "C" wire_to_event_converter XESetWireToEvent(Display*, int, wire_to_event_converter);

namespace {

constexpr int first_event_code = 2;   // KeyPress; 0 and 1 are errors and replies
constexpr int event_code_count = 128;

Display* display = nullptr;
Window window = 0;
Atom wm_protocols = None;
Atom wm_delete_window = None;
wire_to_event_converter original_converters[event_code_count];
std::deque<XEvent> pending_events;

Bool divert_event(Display* connection, XEvent* event, xEvent* wire) {
    const int code = wire->u.u.type & 0x7F;
    if (original_converters[code](connection, event, wire)) pending_events.push_back(*event);
    return False;   // Xlib keeps nothing in its own queue
}

void register_diverting_converters() {
    for (int code = first_event_code; code < event_code_count; ++code) {
        const wire_to_event_converter previous = XESetWireToEvent(display, code, divert_event);
        if (previous != divert_event) original_converters[code] = previous;
    }
}

void collect_events_from_xlib_queue() {
    while (XEventsQueued(display, QueuedAlready) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        XGetEventData(display, &event.xcookie);   // a cookie keeps its data when put back
        pending_events.push_back(event);
    }
}

void select_core_pointer_events() {
    unsigned char no_events[XIMaskLen(XI_LASTEVENT)] = {};
    XIEventMask mask{XIAllMasterDevices, sizeof no_events, no_events};
    XISelectEvents(display, window, &mask, 1);
}

bool may_change_window_metrics(const XEvent& event) {
    switch (event.type) {
        case ConfigureNotify:
        case ReparentNotify:
        case MapNotify:
        case PropertyNotify:
            return true;
        default:
            return false;
    }
}

bool is_close_request(const XEvent& event) {
    return event.type == ClientMessage && event.xclient.message_type == wm_protocols &&
           static_cast<Atom>(event.xclient.data.l[0]) == wm_delete_window;
}

}  // namespace

bool event_loop_events_waiting() {
    XFlush(display);
    // A reply read off the connection may have come with events behind it,
    // which wait inside Xlib unconverted: reading what is there converts
    // them (into pending_events) without blocking.
    XEventsQueued(display, QueuedAfterReading);
    return !pending_events.empty() || XEventsQueued(display, QueuedAlready) > 0;
}

void event_loop_take_over(Display* connection, Window glut_window) {
    display = connection;
    window = glut_window;
    wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    select_core_pointer_events();
    register_diverting_converters();
    wake_signal_make_descriptor(window_thread_wake);
    clipboard_init(display, window);
    window_exit_hand_over = clipboard_hand_over_at_exit;
    blink_passes_on_window_thread.store(true);
}

void event_loop_serve_until(bool (*done)(), std::int64_t deadline) {
    if (!display) return;
    const auto served = [done] {
        XPending(display);
        collect_events_from_xlib_queue();
        while (!pending_events.empty()) {
            XEvent event = pending_events.front();
            pending_events.pop_front();
            x_event_hook(&event, display, before_freeglut);
            XFreeEventData(display, &event.xcookie);
        }
        XFlush(display);
        return done();
    };
    wait_on(window_thread_wake, served, deadline, exit_watch::ignored, ConnectionNumber(display));
}

void window_event_loop() {
    for (;;) {
        XPending(display);   // sends what is buffered and reads what has arrived
        register_diverting_converters();
        collect_events_from_xlib_queue();

        for (std::size_t count = pending_events.size(); count > 0 && !pending_events.empty(); --count) {
            XEvent event = pending_events.front();
            pending_events.pop_front();
            x_event_hook(&event, display, before_freeglut);
            if (is_close_request(event)) {
                if (event.xclient.window == window) window_event(close_button_clicked);
            } else {
                XPutBackEvent(display, &event);   // a cookie's data goes back as a copy
                glutMainLoopEvent();
            }
            x_event_hook(&event, display, after_freeglut);
            if (may_change_window_metrics(event)) window_metrics_changed();
            XFreeEventData(display, &event.xcookie);   // the data taken from Xlib's queue
        }
        blink_pass_when_due();
        window_idle_work();
        clipboard_service();
        glutMainLoopEvent();   // the redisplay, timers and deferred window work
        const std::int64_t clipboard_limit = clipboard_wait_limit_ms();   // a paste that may be given up
        const std::int64_t deadline =
            std::min(blink_flip_deadline(), clipboard_limit >= 0 ? clock_ms() + clipboard_limit : no_deadline);
        wait_on(window_thread_wake, [] { return event_loop_events_waiting() || window_work_waiting(); }, deadline,
                exit_watch::ignored, ConnectionNumber(display));
    }
}
