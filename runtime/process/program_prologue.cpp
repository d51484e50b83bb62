// The first actions of the program thread: the x87 unit computes with a
// 64-bit mantissa, rounds to nearest and masks every floating-point
// exception, and a SIGFPE (an integer division by zero) becomes error 11.
#include "runtime/process/program_prologue.h"

#include <csignal>
#include <cstdint>

#include "runtime/errors/errors.h"

namespace {

void division_by_zero_signal(int) { raise_error(11); }  // critical: box, then exit

}  // namespace

void program_thread_prologue() {
#if defined(__x86_64__) || defined(__i386__)
    const std::uint16_t control_word = 0x37F;
    asm volatile("fldcw %0" : : "m"(control_word));
#endif
    struct sigaction action {};
    action.sa_handler = division_by_zero_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGFPE, &action, nullptr);
}
