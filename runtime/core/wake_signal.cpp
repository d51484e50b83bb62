#include "runtime/core/wake_signal.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <linux/futex.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "runtime/core/sleep.h"

wake_signal program_thread_wake{{0}, {0}, {-1}};
wake_signal screen_thread_wake{{0}, {0}, {-1}};
wake_signal window_thread_wake{{0}, {0}, {-1}};
wake_signal timer_thread_wake{{0}, {0}, {-1}};
std::atomic<bool> window_pass_requested{false};

namespace {

std::uint32_t* futex_word(wake_signal& signal) { return reinterpret_cast<std::uint32_t*>(&signal.generation); }

// One blocking step: on the futex word, or in poll on the signal's
// descriptor and also_readable; without an end when left_ns < 0. Returns
// early on a raise, a readable descriptor or a signal handler.
void block(wake_signal& signal, std::uint32_t seen, std::int64_t left_ns, int also_readable) {
    const int descriptor = signal.descriptor.load();
    if (descriptor < 0 && also_readable < 0) {
        const timespec wait{static_cast<time_t>(left_ns / 1000000000), static_cast<long>(left_ns % 1000000000)};
        syscall(SYS_futex, futex_word(signal), FUTEX_WAIT_PRIVATE, seen, left_ns < 0 ? nullptr : &wait, nullptr, 0);
        return;
    }
    pollfd descriptors[2];
    nfds_t count = 0;
    if (descriptor >= 0) descriptors[count++] = {descriptor, POLLIN, 0};
    if (also_readable >= 0) descriptors[count++] = {also_readable, POLLIN, 0};
    const std::int64_t ms = left_ns < 0 ? -1 : (left_ns + 999999) / 1000000;
    poll(descriptors, count, static_cast<int>(ms < INT_MAX ? ms : INT_MAX));
    if (descriptor >= 0 && (descriptors[0].revents & POLLIN)) {
        eventfd_t value;
        eventfd_read(descriptor, &value);   // non-blocking: made with EFD_NONBLOCK
    }
}

}  // namespace

bool wake_signal_wait(wake_signal& signal, std::uint32_t seen, std::int64_t deadline, int also_readable) {
    signal.waiters.fetch_add(1);   // before the test below: a raiser after it sees the waiter
    const bool raised = signal.generation.load() != seen;
    if (!raised) {
        // The manual test clock moves only when the test advances it: a
        // wait with a deadline then looks at it every real millisecond.
        std::int64_t left_ns = -1;
        if (deadline != no_deadline) {
            const std::int64_t left_ms = deadline - clock_ms();
            left_ns = left_ms <= 0 ? 0 : manual_clock_active() ? 1000000 : left_ms * 1000000;
        }
        if (left_ns != 0) block(signal, seen, left_ns, also_readable);
    }
    signal.waiters.fetch_sub(1);
    return signal.generation.load() != seen;
}
void wake_signal_raise(wake_signal& signal) {
    signal.generation.fetch_add(1);
    if (signal.waiters.load() == 0) return;
    const int descriptor = signal.descriptor.load();
    if (descriptor >= 0)
        eventfd_write(descriptor, 1);
    else
        syscall(SYS_futex, futex_word(signal), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

bool wake_signal_make_descriptor(wake_signal& signal) {
    if (signal.descriptor.load() >= 0) return true;
    const int descriptor = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (descriptor < 0) return false;
    signal.descriptor.store(descriptor);
    return true;
}

void window_thread_request_pass() {
    window_pass_requested.store(true);
    wake_signal_raise(window_thread_wake);
}
