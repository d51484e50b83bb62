// Thread and lock wrappers: the only use the run-time makes of POSIX threads.
#pragma once
#include <pthread.h>

struct thread_handle {
    pthread_t thread;
};

using thread_entry = void (*)(void* argument);

// Starts entry(argument) on a new thread with default attributes; the thread
// is never joined. Returns the (zeroed, then filled) handle, or null with
// errno telling why.
thread_handle* thread_start(thread_entry entry, void* argument);

// Names the calling thread (at most 15 characters), as tools such as top
// show it; the main thread keeps the process's name.
void thread_name_set(const char* name);

pthread_mutex_t* mutex_new();
void mutex_free(pthread_mutex_t* mutex);
void mutex_lock(pthread_mutex_t* mutex);
void mutex_unlock(pthread_mutex_t* mutex);

pthread_cond_t* cond_new();
void cond_free(pthread_cond_t* cond);
void cond_wait(pthread_cond_t* cond, pthread_mutex_t* mutex);
void cond_broadcast(pthread_cond_t* cond);
