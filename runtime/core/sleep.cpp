#include "runtime/core/sleep.h"

#include <ctime>
#include <sys/time.h>

void sleep_ms(std::uint32_t ms) {
    timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}

std::int64_t clock_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::uint64_t time_of_day_ms() {
    timeval now{};
    gettimeofday(&now, nullptr);
    const time_t seconds = now.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    return (static_cast<std::uint64_t>(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec) * 1000 +
           static_cast<std::uint64_t>(now.tv_usec / 1000);
}
