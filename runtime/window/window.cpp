#include "runtime/window/window.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"
#include "runtime/input/keyboard.h"
#include "runtime/window/clipboard.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/glut_message.h"
#include "runtime/window/key_callbacks.h"
#include "runtime/window/key_events.h"
#include "runtime/window/presentation.h"
#include "runtime/window/window_policy.h"
#include "runtime/window/window_zoom.h"

std::atomic<std::int32_t> window_created{0};
std::int32_t fbo_supported = 0;
std::atomic<std::int32_t> window_hidden{0};
std::atomic<std::int32_t> pointer_in_window{0};
std::atomic<std::int32_t> window_pause_request{0};
std::atomic<std::int32_t> window_paused{0};
Display* x_event_display = nullptr;
Window x_event_window = 0;

namespace {

Display* glut_display = nullptr;   // freeglut's connection and window
Window glut_window = 0;
bool full_screen = false;
std::int32_t hinted_width = 640, hinted_height = 400;   // the frame of the size hints
int place_x = 0, place_y = 0;   // before full screen: where the window's frame (a manager's or its own) stood

void ignore_glut_report(const char*, va_list) {}

// Xlib's default error handler prints the error and ends the process. A
// protocol error here is never ours to end on: freeglut's window-position
// query, for one, translates coordinates through whichever top-level window
// covers the window's corner, and that window may belong to another program
// and vanish between two requests.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The X server is gone (killed, or the connection lost): Xlib's own handler
// reports it and ends the process with status 1, after the leak check that
// every exit on the window thread runs first.
XIOErrorHandler xlib_connection_lost = nullptr;
int connection_lost(Display* display) {
    exit_leak_check();
    return xlib_connection_lost(display);
}

// Mouse input belongs to the mouse statements, which this system does not
// have; the callbacks are registered so that every input has a receiver.
void mouse_callback(int, int, int, int) {}
void motion_callback(int, int) {}
void mouse_wheel_callback(int, int, int, int) {}

const char* program_file_name(const char* path) {
    if (!path) return "program";
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// The display that freeglut will open: the value of the last "-display"
// argument (freeglut reads the whole vector, and takes the argument after
// "-display" and "-geometry" as theirs), else $DISPLAY; null when neither is
// given. missing_name: a "-display" or "-geometry" ends the vector, which
// freeglut, with its errors silenced, would not survive.
const char* display_name_from(int argc, char** argv, const char*& missing_name) {
    const char* name = std::getenv("DISPLAY");
    missing_name = nullptr;
    for (int i = 1; i < argc; ++i) {
        const bool display = argv[i] && std::strcmp(argv[i], "-display") == 0;
        if (!display && !(argv[i] && std::strcmp(argv[i], "-geometry") == 0)) continue;
        if (++i >= argc) missing_name = argv[i - 1];
        else if (display) name = argv[i];
    }
    return name;
}

// The file name of this program's terminal edition when it lies beside the
// executable (the executable's name with "-console" appended), else null.
const char* terminal_edition_name() {
    static char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - sizeof "-console");
    if (length <= 0) return nullptr;
    std::memcpy(path + length, "-console", sizeof "-console");
    return access(path, X_OK) == 0 ? program_file_name(path) : nullptr;
}

// Opens a first connection to the display, or ends the process with one
// clear line: freeglut, with its errors silenced, would crash without a
// display. An X server may refuse a connection made right after another
// client closed one, so a refusal is retried a few times (without a display
// name there is nothing to retry). The connection is kept open until
// freeglut has opened its own, which then never follows a close.
Display* require_display(int argc, char** argv) {
    const char* missing_name = nullptr;
    const char* name = display_name_from(argc, argv, missing_name);
    if (missing_name) {
        std::fprintf(stderr, "%s: %s needs a value\n", program_file_name(argc > 0 ? argv[0] : nullptr), missing_name);
        std::exit(1);
    }
    for (int attempt = 0; attempt < 5 && name && *name; ++attempt) {
        if (Display* display = XOpenDisplay(name)) return display;
        sleep_ms(10);
    }
    const char* program = program_file_name(argc > 0 ? argv[0] : nullptr);
    if (!name || !*name)
        std::fprintf(stderr, "%s: cannot open the X display: DISPLAY is not set", program);
    else
        std::fprintf(stderr, "%s: cannot open the X display \"%s\"", program, name);
    if (const char* terminal_edition = terminal_edition_name())
        std::fprintf(stderr, "; the terminal edition %s needs none", terminal_edition);
    std::fputc('\n', stderr);
    std::exit(1);
}

// freeglut's "-indirect" asks for an indirect GL context, which many X
// servers refuse (and then the first GL request ends the process with an X
// error that says nothing to a user): whether the display gives one, tried
// on the first connection before freeglut starts.
int x_error_seen = 0;
int note_x_error(Display*, XErrorEvent*) {
    x_error_seen = 1;
    return 0;
}
bool indirect_context_possible(Display* display) {
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 1, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual) return true;   // no GL at all: the display-mode check ends the process
    x_error_seen = 0;
    const XErrorHandler previous = XSetErrorHandler(note_x_error);
    const GLXContext context = glXCreateContext(display, visual, nullptr, False);
    XSync(display, False);
    const bool possible = context && x_error_seen == 0 && !glXIsDirect(display, context) && x_error_seen == 0;
    if (context) glXDestroyContext(display, context);
    XSync(display, False);
    XSetErrorHandler(previous);
    XFree(visual);
    return possible;
}

void require_indirect_context_when_asked(Display* display, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!argv[i] || std::strcmp(argv[i], "-indirect") != 0) continue;
        if (indirect_context_possible(display)) return;
        std::fprintf(stderr, "%s: the X display gives no indirect GL context (-indirect)\n",
                     program_file_name(argv[0]));
        std::exit(1);
    }
}

}  // namespace

void window_init(int argc, char** argv) {
    Display* first_connection = require_display(argc, argv);
    // The window opens at the zoom times the text screen's 640 x 400 frame.
    const std::int32_t zoom = zoom_choose(first_connection, program_file_name(argc > 0 ? argv[0] : nullptr), 640, 400);
    window_width = previous_window_width = 640 * zoom;
    window_height = previous_window_height = 400 * zoom;
    reported_window_width.store(window_width);
    reported_window_height.store(window_height);
    glutInitWarningFunc(ignore_glut_report);
    glutInitErrorFunc(ignore_glut_report);

    // Mesa's software renderer hands every draw to worker threads and waits
    // for them. A presentation draws a few cells, which the window thread
    // draws sooner itself than the hand-over takes (an enlarged one is a
    // draw, an unenlarged one a plain copy): unless the user set a number,
    // the renderer works without threads here. It reads the setting when
    // GLX first meets the display; programs started later do not inherit it.
    const bool renderer_threads_set = std::getenv("LP_NUM_THREADS") != nullptr;
    if (!renderer_threads_set) setenv("LP_NUM_THREADS", "0", 0);

    // freeglut removes its own options from the vector it is given: hand it a
    // copy, so that argument_vector keeps every argument. The copy lives as
    // long as the process, as the vector it copies does.
    static int glut_argc = argc;
    static char** const glut_argv = new char*[static_cast<std::size_t>(argc) + 1];
    for (int i = 0; i <= argc; ++i) glut_argv[i] = argv[i];
    require_indirect_context_when_asked(first_connection, argc, argv);
    glutInit(&glut_argc, glut_argv);
    XCloseDisplay(first_connection);

    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(window_width, window_height);
    if (glutGet(GLUT_DISPLAY_MODE_POSSIBLE) == 0) std::exit(1);
    glutCreateWindow("Untitled");
    glut_display = glXGetCurrentDisplay();
    glut_window = glXGetCurrentDrawable();

    const GLenum glew_status = glewInit();
    if (glew_status != GLEW_OK)
        alert_box("%s", reinterpret_cast<const char*>(glewGetErrorString(glew_status)));
    if (glewIsSupported("GL_EXT_framebuffer_object")) fbo_supported = 1;
    if (!renderer_threads_set) unsetenv("LP_NUM_THREADS");
    XSetErrorHandler(ignore_x_error);
    xlib_connection_lost = XSetIOErrorHandler(connection_lost);

    glutDisplayFunc(display_callback);
    glutKeyboardFunc(keyboard_callback);
    glutKeyboardUpFunc(keyboard_up_callback);
    glutSpecialFunc(special_callback);
    glutSpecialUpFunc(special_up_callback);
    glutMouseFunc(mouse_callback);
    glutMotionFunc(motion_callback);
    glutPassiveMotionFunc(motion_callback);
    glutMouseWheelFunc(mouse_wheel_callback);
    glutReshapeFunc(reshape_callback);

    event_loop_take_over(glut_display, glut_window);
    glut_message_set_window_thread();
}

void window_size_hints_set(std::int32_t frame_width, std::int32_t frame_height) {
    hinted_width = frame_width;
    hinted_height = frame_height;
    XSizeHints* hints = glut_display ? XAllocSizeHints() : nullptr;
    if (!hints) return;
    long supplied = 0;
    XGetWMNormalHints(glut_display, glut_window, hints, &supplied);   // freeglut's position and size stay
    hints->flags |= PMinSize | PResizeInc | PBaseSize | PAspect;
    if (full_screen) hints->flags &= ~(PMinSize | PResizeInc | PAspect);
    hints->min_width = hints->width_inc = hints->min_aspect.x = hints->max_aspect.x = frame_width;
    hints->min_height = hints->height_inc = hints->min_aspect.y = hints->max_aspect.y = frame_height;
    hints->base_width = hints->base_height = 0;
    XSetWMNormalHints(glut_display, glut_window, hints);
    XFree(hints);
}

void window_fullscreen_begin() {
    // The outermost window below the root: a window manager's frame, or ours.
    Window outer = glut_window, root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    while (XQueryTree(glut_display, outer, &root, &parent, &children, &count) && parent && parent != root) {
        if (children) XFree(children);
        children = nullptr;
        outer = parent;
    }
    if (children) XFree(children);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(glut_display, outer, &attributes)) place_x = attributes.x, place_y = attributes.y;
    full_screen = true;
    window_size_hints_set(hinted_width, hinted_height);
    // Without a manager's frame, freeglut's full screen would move the window
    // from the origin by as much as it stands away from it.
    if (outer == glut_window) XMoveWindow(glut_display, glut_window, 0, 0);
}

void window_fullscreen_end() {
    full_screen = false;
    window_size_hints_set(hinted_width, hinted_height);
    XMoveWindow(glut_display, glut_window, place_x, place_y);   // a manager places its frame there
}

void x_event_hook(XEvent* event, Display* display, x_event_phase phase) {
    if (phase == before_freeglut) {
        if (!x_event_display) {
            x_event_display = display;
            x_event_window = event->xany.window;
        }
        clipboard_event(*event);
        return;
    }
    if (event->type == EnterNotify) {
        pointer_in_window.store(-1);
    } else if (event->type == Expose) {
        presentation_exposed();
    } else if (event->type == LeaveNotify) {
        // A modifier held while the pointer leaves would stay down: its
        // release goes to another window.
        pointer_in_window.store(0);
        key_release_held_modifiers();
    }
}

void window_event(window_event_code code) {
    if (code != close_button_clicked) return;
    close_request.fetch_or(1);
    wake_signal_raise(screen_thread_wake);
}

bool window_work_waiting() {
    return window_pass_requested.load() || window_pause_request.load() != 0 || glut_messages_waiting() ||
           presentation_news();
}

void window_idle_work() {
    window_pass_requested.store(false);
    drain_glut_messages();
    if (window_pause_request.load() != 0) {
        window_paused.store(1);
        window_pause_request.store(0);
        wake_signal_raise(program_thread_wake);
        // The program thread makes X calls until it resumes, or until it has
        // parked (the exit began before it saw the pause), whatever the exit.
        wait_on(window_thread_wake, [] { return window_paused.load() == 0 || (stopped_threads.load() & 1) != 0; },
                no_deadline, exit_watch::ignored);
    }
    if (presentation_due()) glutPostRedisplay();
}

void window_pause() {
    if (window_created.load() != 1) return;   // no window thread to wait for
    window_pause_request.store(1);
    wake_signal_raise(window_thread_wake);
    if (wait_on(program_thread_wake, [] { return window_paused.load() != 0; }) == wait_end::exit)
        park_program_thread();
}

void window_resume() {
    window_paused.store(0);
    wake_signal_raise(window_thread_wake);
}
