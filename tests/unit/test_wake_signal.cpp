// The waiting primitive, whose waits have no time-out: a wait ends on its
// condition, the exit or its deadline and nothing else; and thousands of
// keys, exits, closes and wake-ups of the window thread (whose signal has a
// descriptor), each arriving at a varied moment around the one at which a
// thread goes to sleep, always wake it (else the test's own deadline tells).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <unistd.h>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/core/window.h"
#include "runtime/input/keyboard_buffer.h"

namespace {

using namespace std::chrono_literals;

TEST(WakeSignal, AWaitEndsOnItsConditionTheExitOrItsDeadlineAndNothingElse) {
    wake_signal signal{{0}, {0}, {-1}};
    std::atomic<bool> flag{false};
    auto wait_async = [&](std::int64_t deadline, exit_watch watch) {
        return std::async(std::launch::async, [&, deadline, watch] {
            return wait_on(signal, [&] { return flag.load(); }, deadline, watch);
        });
    };
    auto asleep = [&](std::future<wait_end>& wait) {
        for (int ms = 0; ms < 5000 && signal.waiters.load() == 0; ++ms) std::this_thread::sleep_for(1ms);
        return wait.wait_for(50ms) == std::future_status::timeout;
    };
    auto ended = [&](std::future<wait_end>& wait, bool raise) {
        if (raise) wake_signal_raise(signal);
        return wait.wait_for(5s) == std::future_status::ready ? wait.get() : wait_end::condition;
    };
    manual_clock_start(1000, 0);   // stands still unless the test moves it
    for (bool with_descriptor : {false, true}) {
        if (with_descriptor) {
            ASSERT_TRUE(wake_signal_make_descriptor(signal));
        }
        const std::uint32_t seen = wake_signal_seen(signal);
        wake_signal_raise(signal);   // between the test of a condition and the wait: not lost
        EXPECT_TRUE(wake_signal_wait(signal, seen, no_deadline)) << with_descriptor;
    }
    std::future<wait_end> wait = wait_async(no_deadline, exit_watch::ends_wait);
    manual_clock_advance(1000000);
    wake_signal_raise(signal);   // raised, but the condition does not hold
    EXPECT_TRUE(asleep(wait));
    flag = true;
    EXPECT_EQ(ended(wait, true), wait_end::condition);

    flag = false;
    exit_in_progress = 1;
    wait = wait_async(no_deadline, exit_watch::ends_wait);
    EXPECT_EQ(ended(wait, false), wait_end::exit);
    wait = wait_async(no_deadline, exit_watch::ignored);   // the waits of the threads that end the process
    EXPECT_TRUE(asleep(wait));
    flag = true;
    EXPECT_EQ(ended(wait, true), wait_end::condition);
    exit_in_progress = 0;

    flag = false;
    wait = wait_async(clock_ms() + 100, exit_watch::ends_wait);
    manual_clock_advance(99);
    EXPECT_TRUE(asleep(wait));
    manual_clock_advance(1);
    EXPECT_EQ(ended(wait, false), wait_end::deadline);
    manual_clock_stop();
}

// One kind of race: what arrives, what the sleeping thread waits for, and
// how the next round begins.
struct race {
    const char* name;
    wake_signal& signal;
    std::function<void()> arrive;
    std::function<bool()> arrived;
    std::function<void()> reset;
};

TEST(WakeRaces, WhatArrivesAsAThreadGoesToSleepAlwaysWakesIt) {
    wake_signal_make_descriptor(window_thread_wake);
    int never_readable[2];
    ASSERT_EQ(pipe(never_readable), 0);
    std::uint8_t character, scan_code;
    std::atomic<bool> window_request{false};
    const race races[] = {
        {"a key", program_thread_wake, [] { keyboard_buffer_store('k', 37); },
         [&] { return keyboard_buffer_take(character, scan_code); }, [] {}},
        {"the exit", program_thread_wake, [] { exit_in_progress = 1, wake_signal_raise(program_thread_wake); },
         [] { return false; }, [] { exit_in_progress = 0; }},
        {"a close", screen_thread_wake, [] { window_event(1); }, [] { return close_request.load() != 0; },
         [] { close_request = 0; }},
        {"a wake-up of the window thread", window_thread_wake,
         [&] { window_request = true, wake_signal_raise(window_thread_wake); }, [&] { return window_request.load(); },
         [&] { window_request = false; }},
    };
    keyboard_buffer_startup();
    for (int round = 0; round < 4000; ++round) {
        const race& r = races[round % 4];
        std::atomic<bool> going_to_sleep{false}, awake{false};
        std::thread sleeper([&] {
            going_to_sleep = true;
            const int also_readable = r.signal.descriptor.load() >= 0 ? never_readable[0] : -1;
            wait_on(r.signal, r.arrived, no_deadline, exit_watch::ends_wait, also_readable);
            awake = true;
        });
        while (!going_to_sleep) {
        }
        // 0 to 1 microsecond later: before, while or after it goes to sleep.
        for (const auto at = std::chrono::steady_clock::now() + round % 101 * 10ns; std::chrono::steady_clock::now() < at;) {
        }
        r.arrive();
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!awake && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        if (!awake) ADD_FAILURE() << r.name << " did not wake the thread in round " << round;
        for (; !awake; std::this_thread::sleep_for(1ms)) r.arrive();
        sleeper.join();
        r.reset();
        if (HasFailure()) break;
    }
}

}  // namespace
