// The waiting primitive: a raise that comes between taking the generation
// and waiting is not lost; waits end at their time-out on the clock they run
// on; many waiters and raisers on several threads lose no wake-up.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"

namespace {

using namespace std::chrono_literals;

// How a wait on a thread of its own ended: "hung" when not within 5 s
// (stopping the test clock then ends it; a wait on the real clock runs out).
std::string outcome(std::future<bool>& wait) {
    if (wait.wait_for(5s) == std::future_status::ready) return wait.get() ? "raised" : "not raised";
    manual_clock_stop();
    wait.wait();
    return "hung";
}

class WakeSignal : public ::testing::Test {
protected:
    void TearDown() override { manual_clock_stop(); }
    wake_signal signal{{0}, {0}, {-1}};
    std::future<bool> wait_async(std::uint32_t seen, std::uint32_t timeout_ms) {
        return std::async(std::launch::async, [=, this] { return wake_signal_wait(signal, seen, timeout_ms); });
    }
};

TEST_F(WakeSignal, ARaiseBeforeTheWaitEndsItAtOnce) {
    manual_clock_start(0, 0);   // stands still: nothing but the raise can end the wait
    for (bool with_descriptor : {false, true}) {
        if (with_descriptor) {
            ASSERT_TRUE(wake_signal_make_descriptor(signal));
        }
        const std::uint32_t seen = wake_signal_seen(signal);
        wake_signal_raise(signal);   // between the test of the condition and the wait
        std::future<bool> wait = wait_async(seen, 60000);
        EXPECT_EQ(outcome(wait), "raised") << "descriptor " << with_descriptor;
    }
    EXPECT_EQ(clock_ms(), 0);
}

TEST_F(WakeSignal, WaitsEndAtTheirTimeOut) {
    manual_clock_start(0, 0);
    std::future<bool> wait = wait_async(wake_signal_seen(signal), 100);
    // Its deadline is taken once it counts as a waiter.
    for (int ms = 0; ms < 5000 && signal.waiters.load() == 0; ++ms) std::this_thread::sleep_for(1ms);
    manual_clock_advance(99);
    EXPECT_EQ(wait.wait_for(20ms), std::future_status::timeout);
    manual_clock_advance(1);
    EXPECT_EQ(outcome(wait), "not raised");

    manual_clock_stop();   // the real clock: at least the time-out passes
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(wake_signal_wait(signal, wake_signal_seen(signal), 30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

// Raisers count up and raise, pausing so that the waiters get to block;
// waiters wait until the count is complete. A lost wake-up leaves a waiter
// in its wait until the 5 s time-out.
TEST_F(WakeSignal, ManyWaitersAndRaisersLoseNoWakeUp) {
    constexpr int threads = 4, raises = 200;
    std::atomic<int> count{0}, time_outs{0};
    std::vector<std::thread> all;
    for (int i = 0; i < threads; ++i)
        all.emplace_back([&] {
            for (;;) {
                const std::uint32_t seen = wake_signal_seen(signal);
                if (count.load() == threads * raises) return;
                const auto start = std::chrono::steady_clock::now();
                wake_signal_wait(signal, seen, 5000);
                if (std::chrono::steady_clock::now() - start >= 4s) ++time_outs;
            }
        });
    for (int i = 0; i < threads; ++i)
        all.emplace_back([&] {
            for (int n = 0; n < raises; ++n) {
                ++count;
                wake_signal_raise(signal);
                std::this_thread::sleep_for(50us);
            }
        });
    for (std::thread& t : all) t.join();
    EXPECT_EQ(time_outs.load(), 0);
    EXPECT_EQ(signal.waiters.load(), 0);
}

}  // namespace
