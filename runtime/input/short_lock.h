// A lock around a few instructions' worth of work that two threads share
// (a ring index step, a list change). Waiters yield instead of sleeping.
#pragma once
#include <atomic>
#include <thread>

inline void short_lock_take(std::atomic_flag& lock) {
    while (lock.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
}

inline void short_lock_release(std::atomic_flag& lock) { lock.clear(std::memory_order_release); }
