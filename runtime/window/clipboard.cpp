#include "runtime/window/clipboard.h"

#include <X11/Xatom.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/fonts/fonts.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/render/text_selection.h"
#include "runtime/render/window_mapping.h"
#include "runtime/screen/screen_image.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/key_events.h"
#include "runtime/window/selection_keeper.h"
#include "runtime/window/window.h"
#include "runtime/window/x_selection.h"

namespace {

constexpr std::int64_t paste_answer_ms = 1000;   // a silent owner is given up after this
constexpr std::int64_t drain_silence_ms = 10000;   // a superseded transfer: drained this long after a piece
constexpr long property_piece_longs = 16384;    // read pasted text 64 KiB at a time
// A paste fills 14 of the keyboard buffer's 15 places: a key typed meanwhile still finds one.
constexpr std::uint32_t paste_places = 14;

Display* display = nullptr;
Window glut_window = 0;
Window selection_window = 0;   // owns the selections and receives pasted text
selection_atoms atoms{};
// Each paste has a property of its own: deleting one is what an incremental
// owner waits for to send its next piece, and the transfer of an earlier
// paste may still be running. Its pieces are taken away until it ends or
// falls silent, and only then is its property used again.
constexpr int paste_property_count = 4;
Atom paste_properties[paste_property_count] = {};
std::int64_t draining_until[paste_property_count] = {};   // a superseded transfer's deadline
int paste_slot = 0;
Atom paste_property = None;   // the current paste's
Atom save_property = None;
Time last_event_time = CurrentTime;

text_selection selection;
std::string copied_text;   // UTF-8
unsigned owned = 0;        // selection bits
Time taken_time[3] = {};   // by selection bit: the server time we took it at

// The paste asked for and not yet answered (or, with INCR, not yet complete).
struct paste_request {
    bool active = false;
    bool incremental = false;   // INCR: the text comes in pieces
    bool draining = false;      // INCR pieces beyond what is typed: taken and thrown away
    Atom selection = None, target = None;
    Time time = CurrentTime;
    std::int64_t deadline = 0;
    paste_decoder decoder;
};
paste_request request;

std::vector<std::uint8_t> paste_keys;   // the paste being typed in
std::size_t paste_next = 0;

int save_answer = 0;   // the clipboard manager's answer to SAVE_TARGETS: 1 saved, -1 refused

// --- selecting -------------------------------------------------------------

// The text page on screen, or null.
const screen_image* text_page() {
    const screen_image* page = display_page;
    return page && page->compat_mode == 0 && page->cells && page->font < 49 ? page : nullptr;
}

std::int32_t cell_under_pointer(const screen_image* page, int x, int y, bool clamp) {
    return page ? cell_at_window_point(current_mapping, font_width[page->font], font_height[page->font], page->width,
                                       page->height, x, y, clamp)
                : -1;
}

void show_highlight() {
    selection_highlight.store(selection_highlight_word(selection));
    wake_signal_raise(screen_thread_wake);
}

// The selected cells become the text of PRIMARY and CLIPBOARD.
void copy_selection(Time time) {
    const screen_image* page = text_page();
    if (!page || page->width != selection.columns || page->height != selection.rows) return;
    copied_text = selection_text(page->cells, page->width, selection.first, selection.last);
    owned = selections_take(display, atoms, selection_window, selection_primary_bit | selection_clipboard_bit, time);
    taken_time[selection_primary_bit] = taken_time[selection_clipboard_bit] = time;
}

void button_event(const XButtonEvent& e, bool press) {
    last_event_time = e.time;
    if (e.button == Button2 && !press) clipboard_paste(false);
    if (e.button != Button1) return;
    const screen_image* page = text_page();
    if (press) {
        const bool word_or_row = selection_press(selection, page ? page->cells : nullptr, page ? page->width : 0,
                                                 page ? page->height : 0, cell_under_pointer(page, e.x, e.y, false),
                                                 static_cast<std::uint32_t>(e.time));
        show_highlight();
        if (word_or_row) copy_selection(e.time);
    } else if (selection_release(selection)) {
        copy_selection(e.time);
    }
}

void pointer_moved(const XMotionEvent& e) {
    last_event_time = e.time;
    if (!selection.dragging || !(e.state & Button1Mask)) return;
    selection_drag(selection, cell_under_pointer(text_page(), e.x, e.y, true));
    show_highlight();
}

void selection_lost(unsigned bit) {
    owned &= ~bit;
    if (bit == selection_primary_bit) {
        selection.first = 0;
        selection.last = -1;
        show_highlight();
    }
    if (owned == 0) copied_text.clear();
}

// --- pasting ---------------------------------------------------------------

void drop_paste() {
    paste_keys.clear();
    paste_next = 0;
    paste_in_progress.store(0);
}

bool type_next_key() {
    if (keyboard_buffer_stored.load() - keyboard_buffer_taken.load() >= paste_places) return false;
    if (!key_type_pasted(paste_keys[paste_next])) return false;
    ++paste_next;
    return true;
}

// Types the paste's keys while the keyboard buffer has room. With keys left
// it asks the program thread to wake it when it takes one.
void type_paste() {
    if (paste_next >= paste_keys.size()) return;
    if (stop_requested.load() != 0 || exit_in_progress.load() != 0 || paste_in_progress.load() == 2)
        return drop_paste();   // the program has ended, or END asked for the rest to go
    while (paste_next < paste_keys.size()) {
        if (type_next_key()) continue;
        paste_in_progress.store(1);
        std::atomic_thread_fence(std::memory_order_seq_cst);   // pairs with the taker's
        if (!type_next_key()) break;
    }
    const bool left = paste_next < paste_keys.size();
    if (paste_in_progress.exchange(left ? 1 : 0) == 2 || !left) drop_paste();
}

// A new paste replaces one still being typed.
void start_typing(std::vector<std::uint8_t> keys) {
    paste_keys = std::move(keys);
    paste_next = 0;
    paste_in_progress.store(0);
    type_paste();
}

void ask_owner(Atom target) {
    request.target = target;
    request.decoder = paste_decoder{};
    request.decoder.latin1 = target == XA_STRING;
    request.deadline = clock_ms() + paste_answer_ms;
    XDeleteProperty(display, selection_window, paste_property);
    XConvertSelection(display, request.selection, target, paste_property, selection_window, request.time);
}

// A property for a new paste; the one of a transfer still running is drained.
void next_paste_property() {
    const std::int64_t now = clock_ms();
    if (request.incremental) draining_until[paste_slot] = now + drain_silence_ms;
    for (int i = 1; i < paste_property_count; ++i) {
        paste_slot = (paste_slot + 1) % paste_property_count;
        if (draining_until[paste_slot] <= now) break;
    }
    draining_until[paste_slot] = 0;
    paste_property = paste_properties[paste_slot];
}

// A piece of a superseded transfer: taken away; an empty one ends it.
void drain_piece(int slot) {
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, selection_window, paste_properties[slot], 0, 0, False, AnyPropertyType, &type,
                       &format, &count, &after, &data);
    if (data) XFree(data);
    XDeleteProperty(display, selection_window, paste_properties[slot]);
    draining_until[slot] = after == 0 ? 0 : clock_ms() + drain_silence_ms;
}

void request_paste(Atom which, Time time) {
    if (!display) return;
    next_paste_property();
    request.active = request.incremental = request.draining = false;
    if (owned & selection_bit_of(atoms, which)) {   // our own text: no need to ask the server
        paste_decoder decoder;
        paste_decode(decoder, reinterpret_cast<const std::uint8_t*>(copied_text.data()), copied_text.size());
        start_typing(std::move(decoder.keys));
        return;
    }
    request.active = true;
    request.selection = which;
    request.time = time;
    ask_owner(atoms.utf8_string);
}

void request_done() {
    request.active = false;
    request.draining = request.incremental;   // the owner may still send pieces: take them away
    start_typing(std::move(request.decoder.keys));
}

// Reads the paste property in pieces into the decoder and deletes it.
// Returns the property's type (None when there is none); length gets its size in bytes.
Atom read_paste_property(std::size_t& length) {
    Atom type = None;
    length = 0;
    for (long offset = 0;;) {
        Atom piece_type;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, selection_window, paste_property, offset, property_piece_longs, False,
                               AnyPropertyType, &piece_type, &format, &count, &after, &data) != Success)
            break;
        type = piece_type;
        if (format == 8 && piece_type != atoms.incr && !request.draining) paste_decode(request.decoder, data, count);
        length += count;
        offset += static_cast<long>(count / 4);
        if (data) XFree(data);
        if (after == 0 || format != 8 || request.decoder.keys.size() >= paste_key_limit) break;
    }
    XDeleteProperty(display, selection_window, paste_property);   // INCR: asks for the next piece
    return type;
}

void selection_answered(const XSelectionEvent& e) {
    if (e.selection == atoms.clipboard_manager && e.target == atoms.save_targets) {
        save_answer = e.property != None ? 1 : -1;
        return;
    }
    if (!request.active || request.incremental || e.selection != request.selection || e.time != request.time ||
        e.target != request.target)
        return;
    if (e.property == None) {   // refused: the older form, else nothing
        if (request.target == atoms.utf8_string) ask_owner(XA_STRING);
        else request.active = false;
        return;
    }
    std::size_t length;
    if (read_paste_property(length) == atoms.incr) {
        request.incremental = true;
        request.deadline = clock_ms() + paste_answer_ms;
    } else {
        request_done();
    }
}

// The next piece of an INCR transfer; an empty piece ends it.
void piece_arrived() {
    if (!request.incremental || (!request.active && !request.draining)) return;
    std::size_t length;
    read_paste_property(length);
    request.deadline = clock_ms() + paste_answer_ms;
    if (length == 0) {
        request.incremental = request.draining = false;
        if (request.active) request_done();
    } else if (request.active && request.decoder.keys.size() >= paste_key_limit) {
        request_done();
    }
}

}  // namespace

void clipboard_init(Display* connection, Window window) {
    display = connection;
    glut_window = window;
    atoms = selection_atoms_intern(display);
    for (int i = 0; i < paste_property_count; ++i)
        paste_properties[i] = XInternAtom(display, ("RUNTIME_PASTE" + std::to_string(i)).c_str(), False);
    paste_property = paste_properties[0];
    save_property = XInternAtom(display, "RUNTIME_SAVE_TARGETS", False);
    selection_window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, selection_window, PropertyChangeMask);
}

void clipboard_event(const XEvent& e) {
    switch (e.type) {
        case ButtonPress:
        case ButtonRelease:
            if (e.xbutton.window == glut_window) button_event(e.xbutton, e.type == ButtonPress);
            break;
        case MotionNotify:
            if (e.xmotion.window == glut_window) pointer_moved(e.xmotion);
            break;
        case KeyPress:
            last_event_time = e.xkey.time;
            break;
        case SelectionRequest:
            if (const unsigned bit = selection_bit_of(atoms, e.xselectionrequest.selection);
                e.xselectionrequest.owner == selection_window)
                selection_answer(display, atoms, e.xselectionrequest, copied_text, (owned & bit) != 0, taken_time[bit]);
            break;
        case SelectionClear:
            if (const unsigned bit = selection_bit_of(atoms, e.xselectionclear.selection);
                e.xselectionclear.window == selection_window && bit &&
                selection_clear_holds(display, e.xselectionclear, taken_time[bit]))
                selection_lost(bit);
            break;
        case SelectionNotify:
            if (e.xselection.requestor == selection_window) selection_answered(e.xselection);
            break;
        case PropertyNotify:
            if (e.xproperty.window != selection_window || e.xproperty.state != PropertyNewValue) break;
            for (int i = 0; i < paste_property_count; ++i)
                if (e.xproperty.atom == paste_properties[i] && draining_until[i] > clock_ms()) drain_piece(i);
                else if (e.xproperty.atom == paste_properties[i] && i == paste_slot) piece_arrived();
            break;
        default:
            break;
    }
}

void clipboard_paste(bool clipboard) { request_paste(clipboard ? atoms.clipboard : atoms.primary, last_event_time); }

void clipboard_service() {
    if ((request.active || request.draining) && clock_ms() >= request.deadline) {   // given up silently
        if (request.incremental) draining_until[paste_slot] = clock_ms() + drain_silence_ms;
        request.active = request.incremental = request.draining = false;
    }
    type_paste();
}

std::int64_t clipboard_wait_limit_ms() {
    if (!request.active && !request.draining) return -1;
    const std::int64_t left = request.deadline - clock_ms();
    return left > 0 ? left : 0;
}

void clipboard_hand_over_at_exit() {
    if (!display || !owned) return;
    unsigned kept = owned;
    if ((owned & selection_clipboard_bit) && XGetSelectionOwner(display, atoms.clipboard_manager) != None) {
        const Atom saved[] = {atoms.utf8_string, atoms.text_plain_utf8, atoms.string};
        XChangeProperty(display, selection_window, save_property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(saved), 3);
        save_answer = 0;
        XConvertSelection(display, atoms.clipboard_manager, atoms.save_targets, save_property, selection_window,
                          last_event_time);
        event_loop_serve_until([] { return save_answer != 0; }, clock_ms() + 1000);
        if (save_answer > 0) kept &= ~selection_clipboard_bit;   // the manager's now
    }
    kept &= owned;   // less what others took meanwhile
    if (kept) selection_keeper_start(display, kept, copied_text, clock_ms() + 1000);
}
