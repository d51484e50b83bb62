#include "runtime/core/threads.h"

#include <cerrno>
#include <cstdlib>
#include <new>
#include <unistd.h>

namespace {

struct start_record {
    thread_entry entry;
    void* argument;
};

void* thread_trampoline(void* raw) {
    auto* record = static_cast<start_record*>(raw);
    thread_entry entry = record->entry;
    void* argument = record->argument;
    delete record;
    entry(argument);
    return nullptr;
}

}  // namespace

thread_handle* thread_start(thread_entry entry, void* argument) {
    auto* handle = static_cast<thread_handle*>(std::calloc(1, sizeof(thread_handle)));
    auto* record = new (std::nothrow) start_record{entry, argument};
    if (!handle || !record) {
        std::free(handle);
        delete record;
        return nullptr;
    }
    if (const int failure = pthread_create(&handle->thread, nullptr, thread_trampoline, record); failure != 0) {
        std::free(handle);
        delete record;
        errno = failure;
        return nullptr;
    }
    pthread_detach(handle->thread);
    return handle;
}

void thread_name_set(const char* name) {
    if (gettid() != getpid()) pthread_setname_np(pthread_self(), name);   // the main thread names the process
}

pthread_mutex_t* mutex_new() {
    auto* mutex = static_cast<pthread_mutex_t*>(std::malloc(sizeof(pthread_mutex_t)));
    if (mutex) pthread_mutex_init(mutex, nullptr);
    return mutex;
}

void mutex_free(pthread_mutex_t* mutex) {
    if (!mutex) return;
    pthread_mutex_destroy(mutex);
    std::free(mutex);
}

void mutex_lock(pthread_mutex_t* mutex) { pthread_mutex_lock(mutex); }
void mutex_unlock(pthread_mutex_t* mutex) { pthread_mutex_unlock(mutex); }

pthread_cond_t* cond_new() {
    auto* cond = static_cast<pthread_cond_t*>(std::malloc(sizeof(pthread_cond_t)));
    if (cond) pthread_cond_init(cond, nullptr);
    return cond;
}

void cond_free(pthread_cond_t* cond) {
    if (!cond) return;
    pthread_cond_destroy(cond);
    std::free(cond);
}

void cond_wait(pthread_cond_t* cond, pthread_mutex_t* mutex) { pthread_cond_wait(cond, mutex); }
void cond_broadcast(pthread_cond_t* cond) { pthread_cond_broadcast(cond); }
