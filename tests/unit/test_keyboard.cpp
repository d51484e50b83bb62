// The keyboard stores as the window thread fills them and the program empties them.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <thread>

#include "runtime/core/emulated_memory.h"
#include "runtime/errors/errors.h"
#include "runtime/input/held_keys.h"
#include "runtime/input/key_hit_queue.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/input/scan_code_port.h"
#include "runtime/strings/str_desc.h"
#include "runtime/window/key_callbacks.h"
#include "runtime/window/key_events.h"

namespace {

std::string take_inkey() {
    str_desc* key = inkey();
    std::string text(reinterpret_cast<const char*>(key->text), static_cast<std::size_t>(key->len));
    str_free(key);
    return text;
}

std::string port_bytes() {
    std::uint8_t bytes[scan_code_port_size];
    return std::string(reinterpret_cast<const char*>(bytes), scan_code_port_read(bytes, scan_code_port_size));
}

// Presses and releases a key as freeglut reports it (a byte, or a special key as its negation).
void type_char(int key, int modifiers = 0) {
    for (int down : {1, 0})
        if (key < 0) key_special_event(-key, down);
        else key_char_event(key, down, modifiers);
}

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        held_keys_clear();
        keyboard_buffer_startup();
        key_clear(0, 0);
        keyboard_flags_update();
    }
};

// Each key's code, and the three flag bytes while its modifier is held.
TEST_F(Keyboard, CharactersAndModifiersTranslateAsOnThePcKeyboard) {
    // modifier_key: a GLUT special key held during the press; key: a byte or -GLUT special key.
    const struct { const char* what; int modifier_key, glut_modifiers, key; std::string expected; int flags; } cases[] = {
        {"a", 0, 0, 'a', "a", 0x100000},
        {"Shift+a", GLUT_KEY_SHIFT_L, GLUT_ACTIVE_SHIFT, 'A', "A", 0x100002},
        {"Ctrl+a", GLUT_KEY_CTRL_L, GLUT_ACTIVE_CTRL, 1, "\x01", 0x100104},
        {"Alt+a", GLUT_KEY_ALT_L, GLUT_ACTIVE_ALT, 'a', std::string("\0\x1e", 2), 0x100208},
        {"Ctrl+Enter", GLUT_KEY_CTRL_R, GLUT_ACTIVE_CTRL, 10, "\n", 0x110004},
        {"Shift+Tab", GLUT_KEY_SHIFT_R, GLUT_ACTIVE_SHIFT, 9, std::string("\0\x0f", 2), 0x100001},
        {"Ctrl+[", GLUT_KEY_CTRL_L, GLUT_ACTIVE_CTRL, 27, "\x1b", 0x100104},
        {"Ctrl+Insert", GLUT_KEY_CTRL_L, GLUT_ACTIVE_CTRL, -GLUT_KEY_INSERT, std::string("\0\x92", 2), 0x100104},
        {"Alt+Delete", GLUT_KEY_ALT_R, GLUT_ACTIVE_ALT, 127, std::string("\0\xa3", 2), 0x120008},
        {"F1", 0, 0, -GLUT_KEY_F1, std::string("\0;", 2), 0x100000},
        {"Delete", 0, 0, 127, std::string("\0S", 2), 0x100000},
        {"byte above 127", 0, 0, 0xE4, "\xe4", 0x100000},
    };
    for (const auto& c : cases) {
        if (c.modifier_key) key_special_event(c.modifier_key, 1);
        EXPECT_EQ(emulated_peek(0x417) | emulated_peek(0x418) << 8 | emulated_peek(0x496) << 16, c.flags) << c.what;
        type_char(c.key, c.glut_modifiers);
        if (c.modifier_key) key_special_event(c.modifier_key, 0);
        EXPECT_EQ(take_inkey(), c.expected) << c.what;
        EXPECT_EQ(take_inkey(), "") << c.what;
    }
}

TEST_F(Keyboard, BufferHoldsFifteenKeysAndWrapsAround) {
    for (int i = 0; i < 16; ++i) type_char('a' + i);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(take_inkey(), std::string(1, static_cast<char>('a' + i)));
    EXPECT_EQ(take_inkey(), "");
    type_char('x');
    type_char('y');
    EXPECT_EQ(take_inkey(), "x");   // from the end of the buffer and its start
    EXPECT_EQ(take_inkey(), "y");
}

TEST_F(Keyboard, RepeatsGiveOneMakeCodeButAnEntryEach) {
    for (int down : {1, 1, 1, 0}) key_char_event('q', down, 0);
    for (const char* entry : {"q", "q", "q", ""}) EXPECT_EQ(take_inkey(), entry);
    EXPECT_EQ(port_bytes(), "\x10\x90");
}

// KEY CLEAR alone empties the keyboard buffer, the key-hit queue and the
// scan-code port; with 1, 2 or 3 only that one; any other number is refused.
TEST_F(Keyboard, KeyClearEmptiesTheChosenStores) {
    for (auto [which, present, emptied] : {std::tuple{0, 0, "bqp"}, {1, 1, "b"}, {2, 1, "q"}, {3, 1, "p"},
                                            {0, 1, ""}, {4, 1, ""}}) {
        type_char('k');   // into all three
        key_clear(which, present);
        EXPECT_EQ(pending_error.exchange(0), *emptied ? 0 : 5) << which;
        std::string empty = take_inkey().empty() ? "b" : "";
        empty += key_hit() == 0 ? "q" : "";
        EXPECT_EQ(empty + (port_bytes().empty() ? "p" : ""), emptied) << which;
        key_clear(0, 0);
    }
}

// The key-hit queue keeps the newest 8,191 entries.
TEST_F(Keyboard, KeyHitQueueDropsItsOldestEntryWhenFull) {
    for (std::int32_t code = 1; code <= 8192; ++code) key_hit_queue_push(code);
    for (std::int32_t code = 2; code <= 8192; ++code) ASSERT_EQ(key_hit(), code);
    EXPECT_EQ(key_hit(), 0);
}

// A window thread stores 50,000 numbered keys while the program empties the
// buffer and clears it again and again: after a clear, only keys stored
// after it come out, in order.
TEST_F(Keyboard, KeyClearNeverLeavesKeysStoredBeforeIt) {
    std::atomic<std::uint32_t> last_stored{0};
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (std::uint32_t n = 1; !stop.load(); ++n) {
            while (!keyboard_buffer_store(n & 0xFF, (n >> 8) & 0xFF) && !stop.load()) {}
            last_stored.store(n);
        }
    });
    while (last_stored.load() == 0) std::this_thread::yield();
    bool stale = false;   // a key stored before a clear came out after it
    for (std::uint32_t round = 1, before_clear = 0; last_stored.load() < 50000 && !stale; ++round) {
        std::uint8_t character = 0, scan = 0;
        for (std::uint32_t previous = before_clear; !stale && keyboard_buffer_take(character, scan);) {
            // Numbers wrap at 16 bits; a fresh key lies a little ahead of the last one.
            const auto ahead = static_cast<std::uint16_t>((character | scan << 8) - previous);
            stale = ahead == 0 || ahead >= 0x8000;
            previous += ahead;
        }
        before_clear = last_stored.load();
        key_clear(1, 1);
        if (round % 1024 == 0) std::this_thread::yield();   // a writer sharing this core goes on
    }
    stop = true;
    writer.join();
    EXPECT_FALSE(stale);
}

}  // namespace
