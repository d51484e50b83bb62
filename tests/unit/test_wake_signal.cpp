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
#include <optional>
#include <thread>
#include <unistd.h>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/window/window.h"

namespace {

using namespace std::chrono_literals;
using clock = std::chrono::steady_clock;

TEST(WakeSignal, AWaitEndsOnItsConditionTheExitOrItsDeadlineAndNothingElse) {
    wake_signal signal{{0}, {0}, {-1}};
    std::atomic<bool> flag{false};
    manual_clock_start(1000, 0);   // stands still unless the test moves it
    const struct {
        std::int64_t deadline;   // after the start
        exit_watch watch;
        std::function<void()> then;   // done once the wait sleeps, followed by a raise
        std::optional<wait_end> end;  // none: it sleeps on
    } cases[] = {
        {no_deadline, exit_watch::ends_wait, [] { manual_clock_advance(1000000); }, {}},
        {no_deadline, exit_watch::ends_wait, [&] { flag = true; }, wait_end::condition},
        {no_deadline, exit_watch::ends_wait, [] { exit_in_progress = 1; }, wait_end::exit},
        {no_deadline, exit_watch::ignored, [] { exit_in_progress = 1; }, {}},   // the exit's own waits
        {100, exit_watch::ends_wait, [] { manual_clock_advance(99); }, {}},
        {100, exit_watch::ends_wait, [] { manual_clock_advance(100); }, wait_end::deadline},
    };
    for (const auto& c : cases) {
        const std::int64_t deadline = c.deadline == no_deadline ? no_deadline : clock_ms() + c.deadline;
        auto wait = std::async(std::launch::async,
                               [&] { return wait_on(signal, [&] { return flag.load(); }, deadline, c.watch); });
        for (int ms = 0; ms < 5000 && signal.waiters.load() == 0; ++ms) std::this_thread::sleep_for(1ms);
        c.then();
        wake_signal_raise(signal);
        const bool ended = wait.wait_for(c.end ? 5s : 50ms) == std::future_status::ready;
        flag = true;   // ends it in any case
        wake_signal_raise(signal);
        const wait_end end = wait.get();
        EXPECT_EQ(ended ? std::optional(end) : std::nullopt, c.end) << &c - cases;
        flag = false;
        exit_in_progress = 0;
    }
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
        {"a close", screen_thread_wake, [] { window_event(close_button_clicked); }, [] { return close_request.load() != 0; },
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
        for (const auto at = clock::now() + round % 101 * 10ns; clock::now() < at;) {
        }
        r.arrive();
        for (const auto deadline = clock::now() + 5s; !awake && clock::now() < deadline;) std::this_thread::yield();
        if (!awake) ADD_FAILURE() << r.name << " did not wake the thread in round " << round;
        for (; !awake; std::this_thread::sleep_for(1ms)) r.arrive();
        sleeper.join();
        r.reset();
        if (HasFailure()) break;
    }
}

}  // namespace
