// Requests to the window thread.
//
// freeglut, X11 and OpenGL are used from the window thread only. Other
// threads post a glut_message to message_queue, which wakes the window
// thread; it drains the queue in its idle work and runs each message's
// execute. A poster that needs a result, or must not go on before the
// message has run, constructs the message with wait = 1 on its own stack
// and waits on its completion.
#pragma once
#include <atomic>
#include <cstdint>
#include <pthread.h>

// Signalled by the window thread when it has finished a waiting message.
struct completion {
    std::int32_t done;   // guarded by lock
    pthread_mutex_t* lock;
    pthread_cond_t* signal;
};

void completion_signal(completion* c);
void completion_wait(completion* c);

class glut_message {
public:
    explicit glut_message(std::int32_t wait);
    virtual ~glut_message();   // waits for the completion, if any, then frees it
    virtual void execute() = 0;

    ::completion* completion;   // null when nobody waits

    glut_message(const glut_message&) = delete;
    glut_message& operator=(const glut_message&) = delete;
};

// Nobody waits for its completion: its poster waits for the end of the process.
class glut_message_exit_program : public glut_message {
public:
    explicit glut_message_exit_program(std::int32_t exit_code) : glut_message(0), status(exit_code) {}
    void execute() override;
    std::int32_t status;
};

class glut_message_set_window_title : public glut_message {
public:
    explicit glut_message_set_window_title(const char* text);   // keeps its own copy
    ~glut_message_set_window_title() override;
    void execute() override;
    char* title;
};

class glut_message_hide_window : public glut_message {
public:
    glut_message_hide_window() : glut_message(0) {}
    void execute() override;
};

class glut_message_show_window : public glut_message {
public:
    glut_message_show_window() : glut_message(0) {}
    void execute() override;
};

class glut_message_position_window : public glut_message {
public:
    glut_message_position_window(std::int32_t left, std::int32_t top) : glut_message(0), x(left), y(top) {}
    void execute() override;
    std::int32_t x, y;
};

class glut_message_iconify_window : public glut_message {
public:
    glut_message_iconify_window() : glut_message(0) {}
    void execute() override;
};

class glut_message_get : public glut_message {
public:
    explicit glut_message_get(std::int32_t what) : glut_message(1), query(what) {}
    void execute() override;
    std::int32_t query;
    std::int32_t result = 0;
};

class glut_message_warp_pointer : public glut_message {
public:
    glut_message_warp_pointer(std::int32_t left, std::int32_t top) : glut_message(0), x(left), y(top) {}
    void execute() override;
    std::int32_t x, y;
};

class glut_message_set_cursor : public glut_message {
public:
    explicit glut_message_set_cursor(std::int32_t shape) : glut_message(0), cursor(shape) {}
    void execute() override;
    std::int32_t cursor;   // a GLUT cursor constant; 101 (GLUT_CURSOR_NONE) hides it
};

// The queue's lock also guards the cached window metrics.
extern pthread_mutex_t* message_queue_lock;

// Queues the message and returns 1; without a window finishes it at once and
// returns 0 (a waiting poster does not block, a heap message is deleted).
std::int32_t post_glut_message(glut_message* message);
// Signals a waiting message's completion, or deletes a message nobody waits for.
void finish_glut_message(glut_message* message);
// Window thread: refreshes the cached window metrics and runs every queued message.
void drain_glut_messages();
// True when a message is queued.
bool glut_messages_waiting();
// The event loop saw the window move, map or change its frame: the next
// drain refreshes the cached metrics.
void window_metrics_changed();
// Set by the event loop: posts made on the window thread itself run at once,
// since the drain that would finish them runs on that same thread.
void glut_message_set_window_thread();

// The posting operations, one per message class.
void window_set_cursor(std::int32_t cursor);
void window_warp_pointer(std::int32_t x, std::int32_t y);
// GLUT_WINDOW_X/Y and the border and header sizes come from the cache and
// never wait; other queries wait for the window thread. 0 without a window.
std::int32_t window_get(std::int32_t query);
// Minimising and moving raise error 5 without a window.
void window_iconify();
void window_position(std::int32_t x, std::int32_t y);
// Hiding posts only while the window is shown; both keep window_hidden.
void window_show();
void window_hide();
void window_set_title(const char* title);
// The window's way to end the process (runtime_exit calls it once start-up
// has handed it down): with a window the window thread runs exit (the caller
// waits for the end of the process); should it not begin within a second,
// the caller ends the process without running the exit handlers. On the
// window thread exit runs here. Returns only while there is no window.
void exit_through_window(std::int32_t status);
// Run by the window thread's exit before the exit handlers; set when the
// window's event loop starts (the clipboard's hand-over), so that a program
// without a window never reaches that code.
extern void (*window_exit_hand_over)();
// In the sanitizer build, the leak check of an exit on the window thread,
// run before the exit handlers: freeglut's closes the display, which unloads
// the GL driver, and the blocks the driver still holds would then be
// reported as leaks, with no library left to name them by. Elsewhere nothing.
void exit_leak_check();
