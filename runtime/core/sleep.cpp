#include "runtime/core/sleep.h"

#include <atomic>
#include <ctime>
#include <sys/time.h>

namespace {

// The test clock: a test starts and stops it; every thread reads and
// advances it. Each value is one atomic word.
std::atomic<bool> manual_clock_running{false};
std::atomic<std::int64_t> manual_monotonic{0};
std::atomic<std::int64_t> manual_time_of_day{0};
std::atomic<std::uint32_t> manual_sleep_count{0};
std::atomic<std::uint64_t> manual_sleep_total{0};
std::atomic<std::uint32_t> manual_sleep_last{0};
std::atomic<std::uint64_t> manual_reads{0};

constexpr std::int64_t day_ms = 86400000;

}  // namespace

void sleep_ms(std::uint32_t ms) {
    if (manual_clock_running.load(std::memory_order_relaxed)) {
        manual_clock_advance(ms);
        ++manual_sleep_count;
        manual_sleep_total += ms;
        manual_sleep_last = ms;
        return;
    }
    timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}

std::int64_t clock_ms() {
    if (manual_clock_running.load(std::memory_order_relaxed)) {
        manual_reads.fetch_add(1);
        return manual_monotonic.load();
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::uint64_t time_of_day_ms() {
    if (manual_clock_running.load(std::memory_order_relaxed))
        return static_cast<std::uint64_t>(manual_time_of_day.load());
    timeval now{};
    gettimeofday(&now, nullptr);
    const time_t seconds = now.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    return (static_cast<std::uint64_t>(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec) * 1000 +
           static_cast<std::uint64_t>(now.tv_usec / 1000);
}

void manual_clock_start(std::int64_t monotonic_ms, std::uint64_t time_of_day) {
    manual_monotonic = monotonic_ms;
    manual_time_of_day = static_cast<std::int64_t>(time_of_day % day_ms);
    manual_clock_take_sleeps();
    manual_clock_running = true;
}

void manual_clock_stop() { manual_clock_running = false; }

bool manual_clock_active() { return manual_clock_running.load(std::memory_order_relaxed); }

void manual_clock_advance(std::int64_t ms) {
    manual_monotonic += ms;
    manual_time_of_day = ((manual_time_of_day.load() + ms) % day_ms + day_ms) % day_ms;
}

std::uint64_t manual_clock_reads() { return manual_reads.load(); }

manual_clock_sleeps manual_clock_take_sleeps() {
    return {manual_sleep_count.exchange(0), manual_sleep_total.exchange(0), manual_sleep_last.exchange(0)};
}
