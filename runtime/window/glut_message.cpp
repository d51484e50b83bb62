#include "runtime/window/glut_message.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <unistd.h>

#include "runtime/core/threads.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/window/window.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

pthread_mutex_t* message_queue_lock = mutex_new();

namespace {

// Never destroyed: exit may run on another thread (a critical error) while
// the window thread drains, so the queue must outlive the exit handlers.
// Under message_queue_lock: any thread posts, the window thread drains.
std::deque<glut_message*>& message_queue = *new std::deque<glut_message*>;

// GLUT_WINDOW_X, GLUT_WINDOW_Y, GLUT_WINDOW_BORDER_WIDTH, GLUT_WINDOW_HEADER_HEIGHT.
constexpr std::int32_t cached_queries[4] = {100, 101, 506, 507};
std::int32_t cached_window_metrics[4];   // under message_queue_lock: the drain writes, window_get reads

// Asking freeglut for the four values costs four round trips to the X
// server. They can only change when the window moves, is mapped or gets a
// new frame, which the event loop reports; a drain refreshes them then.
std::atomic<bool> metrics_stale{true};

// Written once by the window thread before it sets window_thread_known; read by any poster after that.
pthread_t window_thread;
std::atomic<bool> window_thread_known{false};

// Set (and raised) when the window thread begins to end the process; the
// thread that handed it the exit waits for it.
std::atomic<bool> window_thread_exiting{false};
wake_signal exit_handover{{0}, {0}, {-1}};
// How long another thread waits for the window thread to begin the exit.
constexpr std::int64_t exit_handover_ms = 1000;

bool on_window_thread() { return window_thread_known.load() && pthread_equal(pthread_self(), window_thread); }

// The end of the process on the window thread: the clipboard's text handed
// over to whoever keeps it, then the leak check.
[[noreturn]] void exit_on_window_thread(std::int32_t status) {
    window_thread_exiting.store(true);
    wake_signal_raise(exit_handover);
    if (window_exit_hand_over) window_exit_hand_over();
    exit_leak_check();
    std::exit(status);
}

// A waiting post: the message lives on the poster's stack.
template <typename Message>
void post_and_wait(Message& message) {
    post_glut_message(&message);
    completion_wait(message.completion);
}

}  // namespace

void completion_signal(completion* c) {
    mutex_lock(c->lock);
    c->done = 1;
    cond_broadcast(c->signal);
    mutex_unlock(c->lock);
}

void completion_wait(completion* c) {
    mutex_lock(c->lock);
    while (c->done == 0) cond_wait(c->signal, c->lock);
    mutex_unlock(c->lock);
}

glut_message::glut_message(std::int32_t wait) : completion(nullptr) {
    if (wait != 1) return;
    completion = static_cast<::completion*>(std::malloc(sizeof(::completion)));
    if (!completion) raise_error(257);   // critical (out of memory): ends the process
    completion->done = 0;
    completion->lock = mutex_new();
    completion->signal = cond_new();
}

glut_message::~glut_message() {
    if (!completion) return;
    completion_wait(completion);
    mutex_free(completion->lock);
    cond_free(completion->signal);
    std::free(completion);
}

void glut_message_exit_program::execute() { exit_on_window_thread(status); }

glut_message_set_window_title::glut_message_set_window_title(const char* text)
    : glut_message(0), title(strdup(text ? text : "")) {}

glut_message_set_window_title::~glut_message_set_window_title() { std::free(title); }

void glut_message_set_window_title::execute() {
    if (title) glutSetWindowTitle(title);
}

void glut_message_hide_window::execute() { glutHideWindow(); }
void glut_message_show_window::execute() { glutShowWindow(); }
void glut_message_position_window::execute() { glutPositionWindow(x, y); }
void glut_message_iconify_window::execute() { glutIconifyWindow(); }
void glut_message_get::execute() { result = glutGet(static_cast<GLenum>(query)); }
void glut_message_warp_pointer::execute() { glutWarpPointer(x, y); }
void glut_message_set_cursor::execute() { glutSetCursor(cursor); }

void finish_glut_message(glut_message* message) {
    if (message->completion)
        completion_signal(message->completion);
    else
        delete message;
}

std::int32_t post_glut_message(glut_message* message) {
    if (window_created.load() != 1) {
        finish_glut_message(message);
        return 0;
    }
    if (on_window_thread()) {   // a waiting post here would never be drained
        message->execute();
        finish_glut_message(message);
        return 1;
    }
    mutex_lock(message_queue_lock);
    message_queue.push_back(message);
    mutex_unlock(message_queue_lock);
    wake_signal_raise(window_thread_wake);
    return 1;
}

void glut_message_set_window_thread() {
    window_thread = pthread_self();
    window_thread_known.store(true);
}

void window_metrics_changed() { metrics_stale.store(true); }

void drain_glut_messages() {
    mutex_lock(message_queue_lock);
    if (metrics_stale.exchange(false))
        for (int i = 0; i < 4; ++i) cached_window_metrics[i] = glutGet(static_cast<GLenum>(cached_queries[i]));
    while (!message_queue.empty()) {
        glut_message* message = message_queue.front();
        message_queue.pop_front();
        message->execute();
        finish_glut_message(message);
    }
    mutex_unlock(message_queue_lock);
}

bool glut_messages_waiting() {
    mutex_lock(message_queue_lock);
    const bool waiting = !message_queue.empty();
    mutex_unlock(message_queue_lock);
    return waiting;
}

void window_set_cursor(std::int32_t cursor) { post_glut_message(new glut_message_set_cursor(cursor)); }

void window_warp_pointer(std::int32_t x, std::int32_t y) { post_glut_message(new glut_message_warp_pointer(x, y)); }

std::int32_t window_get(std::int32_t query) {
    for (int i = 0; i < 4; ++i) {
        if (query == cached_queries[i]) {
            mutex_lock(message_queue_lock);
            const std::int32_t value = cached_window_metrics[i];
            mutex_unlock(message_queue_lock);
            return value;
        }
    }
    glut_message_get message(query);
    post_and_wait(message);
    return message.result;
}

void window_iconify() {
    if (window_created.load() != 1) {
        raise_error(5);
        return;
    }
    post_glut_message(new glut_message_iconify_window);
}

void window_position(std::int32_t x, std::int32_t y) {
    if (window_created.load() != 1) {
        raise_error(5);
        return;
    }
    post_glut_message(new glut_message_position_window(x, y));
}

void window_show() {
    window_hidden.store(0);
    post_glut_message(new glut_message_show_window);
}

void window_hide() {
    if (window_hidden.load() != 0) return;
    post_glut_message(new glut_message_hide_window);
    window_hidden.store(1);
}

void window_set_title(const char* title) { post_glut_message(new glut_message_set_window_title(title)); }

// exit runs the exit handlers, and freeglut's destroys the window, its GL
// context and the display connection: on any thread but the window thread
// that would happen while the window thread may be inside a GL or freeglut
// call. So the window thread ends the process, between two of its calls.
void exit_leak_check() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_do_leak_check();
#endif
}

void (*window_exit_hand_over)() = nullptr;

void exit_through_window(std::int32_t status) {
    if (window_created.load() != 1) return;
    if (on_window_thread()) exit_on_window_thread(status);
    glut_message_exit_program message(status);   // lives on: this thread never returns
    post_glut_message(&message);
    if (wait_on(exit_handover, [] { return window_thread_exiting.load(); }, clock_ms() + exit_handover_ms,
                exit_watch::ignored) == wait_end::condition)
        for (;;) pause();   // the process is ending

    // The window thread does not come to its messages: end the process here
    // without the exit handlers, which would tear down the GL state under it.
    std::fflush(nullptr);
    std::_Exit(status);
}
