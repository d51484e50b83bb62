#include "runtime/terminal/console_stdin.h"

#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "runtime/terminal/console_terminal.h"

namespace {

unsigned char buffer[65536];
ssize_t buffered = 0;
ssize_t next = 0;
bool ended = false;
bool after_carriage_return = false;   // the last line ended with "\r"
bool waiting_for_key = false;         // the key mode began for END's wait

// read, riding out interruptions and a standard input that was left
// non-blocking by whoever started the process.
ssize_t read_some(unsigned char* into, std::size_t size) {
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, into, size);
        if (got >= 0) return got;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        pollfd readable{STDIN_FILENO, POLLIN, 0};
        if (poll(&readable, 1, -1) < 0 && errno != EINTR) return -1;
    }
}

int next_byte() {
    if (next == buffered) {
        if (ended) return -1;
        const ssize_t got = read_some(buffer, sizeof buffer);
        if (got <= 0) {
            ended = true;
            return -1;
        }
        buffered = got;
        next = 0;
    }
    return buffer[next++];
}

}  // namespace

// A carriage return ends its line at once (on a terminal without the
// translation to a line feed, the next key may be a while coming); a line
// feed right after it belongs to the same line end.
int console_read_byte() {
    int c = next_byte();
    if (after_carriage_return && c == '\n') c = next_byte();
    after_carriage_return = c == '\r';
    return after_carriage_return ? '\n' : c;
}

bool console_input_ended() { return ended; }

void console_key_wait_begin() {
    waiting_for_key = false;
    if (ended || !isatty(STDIN_FILENO)) return;
    // Keys typed before END do not count.
    next = buffered = 0;
    tcflush(STDIN_FILENO, TCIFLUSH);
    waiting_for_key = console_key_mode_begin();
}

void console_wait_for_key() {
    if (!waiting_for_key) return;
    waiting_for_key = false;
    // One key may arrive as several bytes (an arrow key, a UTF-8 character):
    // one read takes them all, and anything left is dropped, so that none of
    // it reaches whatever reads the terminal after this program.
    unsigned char key[64];
    if (read_some(key, sizeof key) <= 0) ended = true;
    tcflush(STDIN_FILENO, TCIFLUSH);
    console_key_mode_end();
}
