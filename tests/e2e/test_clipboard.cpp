// Copy and paste in the calculator's window, with xclip as the other program: the
// selections hold the text, also after the end; the middle button and Shift+Insert type text in.
#include "tests/e2e/harness/e2e_test.h"   // first: the test framework before Xlib

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tests/unit/fake_dialog.h"   // process_ended

namespace {

const std::string prompt = " Eingabe der Wellenlaenge [nm]: ?";
const std::string x_and_y = "         x=  .3409378\n         y=  .6554428";   // after 555.5

class Clipboard : public e2e_test {
protected:
    std::vector<running_program> owners;   // xclip processes holding a selection

    void TearDown() override {
        for (running_program& owner : owners) program_wait(owner, 0);
        e2e_test::TearDown();
    }
    void start_calculator() {
        ASSERT_NO_FATAL_FAILURE(start(CALCULATOR_PATH, {}));
        window_move_to_origin_and_focus(server.connection, window);
        ASSERT_TRUE(row_shows(13, prompt)) << shown.dump();
    }
    // Another program takes the selection ("primary" or "clipboard") with text.
    void own(const std::string& selection, const std::string& text) {
        const std::string file = "/tmp/clip_" + std::to_string(getpid()) + "_" + selection;
        std::ofstream(file, std::ios::binary) << text;
        const Window before = owner_of(selection == "primary" ? "PRIMARY" : "CLIPBOARD");
        owners.push_back(program_start("/usr/bin/xclip", {"-i", "-quiet", "-selection", selection, file},
                                       {"DISPLAY=" + server.display}));
        ASSERT_TRUE(wait_until([&] {
            return owner_of(selection == "primary" ? "PRIMARY" : "CLIPBOARD") != before && read_selection(selection) == text;
        }, 30));
        std::remove(file.c_str());
    }
    std::string read_selection(const std::string& selection) const {
        const std::string command = "DISPLAY=" + server.display + " timeout 5 xclip -o -selection " + selection + " 2>/dev/null";
        std::string text;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char piece[4096];
            for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, pipe)) > 0;) text.append(piece, n);
            pclose(pipe);
        }
        return text;
    }
    bool both_hold(const std::string& text) const {
        return wait_until([&] { return read_selection("primary") == text && read_selection("clipboard") == text; }, 30);
    }
    void pointer(int x, int y) const { XTestFakeMotionEvent(server.connection, 0, x, y, CurrentTime); }
    void button(unsigned number, bool down) const {
        XTestFakeButtonEvent(server.connection, number, down, CurrentTime);
        XSync(server.connection, False);
    }
    void click(unsigned number, int times = 1) const {
        for (int i = 0; i < times; ++i) button(number, true), button(number, false);
    }
    // The bytes of a window's property (taken away when asked).
    std::string property(Window w, const char* name, bool take = false) const {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(server.connection, w, XInternAtom(server.connection, name, False), 0, 1000, take,
                           AnyPropertyType, &type, &format, &count, &after, &data);
        const std::size_t size = count * (format == 32 ? sizeof(long) : format / 8);   // Xlib's 32 bits are longs
        const std::string bytes = data ? std::string(reinterpret_cast<char*>(data), size) : "";
        if (data) XFree(data);
        return bytes;
    }
    void answer(const std::string& entry) {
        type_text(server.connection, entry);
        ASSERT_TRUE(row_shows(25, "Press any key to continue")) << shown.dump();
    }
    // A request whose requestor is gone, its window with it, before the answer comes.
    void request_and_vanish(const char* selection) const {
        Display* gone = XOpenDisplay(server.display.c_str());
        XConvertSelection(gone, XInternAtom(gone, selection, False), XA_STRING, XA_STRING,
                          XCreateSimpleWindow(gone, DefaultRootWindow(gone), 0, 0, 1, 1, 0, 0, 0), CurrentTime);
        XCloseDisplay(gone);
    }
    Window owner_of(const char* selection) const {
        return XGetSelectionOwner(server.connection, XInternAtom(server.connection, selection, False));
    }
};

// A drag over the x and y rows selects them (shown inverted on screen) into
// both selections, a double click the number; a click takes the highlight
// away. After the end our keeper serves the text until others own both.
// Requestors that vanish before their answer change nothing.
TEST_F(Clipboard, CopiesTheAnswerAndKeepsItAfterTheEnd) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    ASSERT_NO_FATAL_FAILURE(answer("555.5\n"));
    pointer(3, 17 * 16 + 4);
    button(1, true);
    pointer(300, 17 * 16 + 9);
    pointer(637, 18 * 16 + 9);
    button(1, false);
    EXPECT_TRUE(both_hold(x_and_y)) << read_selection("primary");
    // White on blue shows blue on white, the untouched cells' grey becomes the background.
    EXPECT_TRUE(screen_shows([&](const text_screen& s) {
        return s.at(18, 10).foreground == 0x0000AA && s.at(18, 10).background == 0xFFFFFF &&
               s.at(19, 80).background == 0xAAAAAA && s.row_text(19) == "         y=  .6554428" &&
               s.at(17, 10).background == 0x0000AA;
    })) << shown.dump();

    pointer(14 * 8 + 3, 17 * 16 + 8);
    click(1, 2);
    request_and_vanish("PRIMARY");
    EXPECT_TRUE(both_hold(".3409378"));
    pointer(300, 100);
    click(1);
    EXPECT_TRUE(screen_shows([&](const text_screen& s) { return s.at(18, 15).background == 0x0000AA; }));
    EXPECT_EQ(read_selection("clipboard"), ".3409378");

    tap_key(server.connection, XK_space);
    expect_status_zero(false);   // the hand-over may take its second on a busy machine
    request_and_vanish("CLIPBOARD");
    EXPECT_TRUE(both_hold(".3409378"));
    const std::string pid = property(owner_of("PRIMARY"), "_NET_WM_PID");
    ASSERT_EQ(pid.size(), sizeof(long));
    const pid_t keeper_pid = static_cast<pid_t>(*reinterpret_cast<const long*>(pid.data()));
    EXPECT_FALSE(process_ended(keeper_pid));
    std::string name, arguments;   // as ps, top and pgrep know it
    std::getline(std::ifstream("/proc/" + std::to_string(keeper_pid) + "/comm"), name);
    std::getline(std::ifstream("/proc/" + std::to_string(keeper_pid) + "/cmdline"), arguments, '\0');
    EXPECT_EQ(name + "|" + arguments, "spektralrechner|spektralrechner (selection keeper)");
    own("primary", "other");
    EXPECT_FALSE(process_ended(keeper_pid));
    own("clipboard", "other");
    EXPECT_TRUE(wait_until([&] { return process_ended(keeper_pid); }, 30));
}

// Another client takes PRIMARY, at a time no later than our new selection's,
// just before our take reaches the server: its SelectionClear reaches us
// after we own PRIMARY again, and we still serve the text.
TEST_F(Clipboard, AStaleSelectionClearKeepsTheText) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    ASSERT_NO_FATAL_FAILURE(answer("555.5\n"));
    pointer(3, 17 * 16 + 4);
    button(1, true);
    pointer(637, 18 * 16 + 9);
    button(1, false);
    ASSERT_TRUE(both_hold(x_and_y));
    Display* x = server.connection;
    const Window other = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(x, other, PropertyChangeMask);
    XGrabServer(x);   // the calculator's requests wait until ours are done
    XChangeProperty(x, other, XA_WM_NAME, XA_STRING, 8, PropModeReplace, nullptr, 0);
    XEvent event;
    XWindowEvent(x, other, PropertyChangeMask, &event);   // the server's time now
    pointer(14 * 8 + 3, 17 * 16 + 8);
    click(1, 2);
    XSetSelectionOwner(x, XA_PRIMARY, other, event.xproperty.time);
    XUngrabServer(x);
    XSync(x, False);
    EXPECT_TRUE(wait_until([&] { return owner_of("PRIMARY") != other; }, 30));
    EXPECT_TRUE(both_hold(".3409378"));
}

// The test's window owns both selections and sends each text in pieces
// (INCR). A paste of PRIMARY stalls after its first piece; during a paste of
// CLIPBOARD its next piece comes, for the property it saw deleted: not typed.
TEST_F(Clipboard, ANewPasteTypesNothingOfAnIncrementalOneBefore) {
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    Display* x = server.connection;
    const Window owner = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
    for (const char* name : {"PRIMARY", "CLIPBOARD"}) XSetSelectionOwner(x, XInternAtom(x, name, False), owner, 0);
    XEvent e;
    XSelectionRequestEvent primary, clipboard;
    auto deleted = [&](Atom property) {   // by the calculator, having read it
        return wait_until([&] { return XCheckTypedEvent(x, PropertyNotify, &e) && e.xproperty.atom == property &&
                                       e.xproperty.state == PropertyDelete; }, 30);
    };
    auto piece = [&](const XSelectionRequestEvent& r, const char* text) {
        XChangeProperty(x, r.requestor, r.property, XInternAtom(x, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
        return deleted(r.property);
    };
    auto begin = [&](XSelectionRequestEvent& r) {   // the answer: INCR
        if (!wait_until([&] { return XCheckTypedEvent(x, SelectionRequest, &e); }, 30)) return false;
        r = e.xselectionrequest;
        XSelectInput(x, r.requestor, PropertyChangeMask);
        const long size = 2;
        XChangeProperty(x, r.requestor, r.property, XInternAtom(x, "INCR", False), 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
        e.xselection = {SelectionNotify, 0, True, x, r.requestor, r.selection, r.target, r.property, r.time};
        XSendEvent(x, r.requestor, False, NoEventMask, &e);
        return deleted(r.property);
    };
    pointer(300, 100);
    click(2);
    ASSERT_TRUE(begin(primary) && piece(primary, "1"));
    tap_key(x, XK_Insert, {XK_Shift_L});
    ASSERT_TRUE(begin(clipboard) && piece(primary, "2") && piece(clipboard, "5") && piece(clipboard, ""));
    EXPECT_TRUE(row_shows(13, prompt + " 5")) << shown.dump();
}

// At the end the calculator asks a clipboard manager (a fake one here, which
// fetches through MULTIPLE and hands the text on to xclip) to save the copy:
// a manager that confirms takes CLIPBOARD; one that refuses or stalls leaves
// it to our keeper, as does none. The keeper keeps PRIMARY in every case,
// and CLIPBOARD only while it is still ours.
TEST_F(Clipboard, HandsTheCopyToAClipboardManagerAndKeepsTheRest) {
    Display* x = server.connection;
    auto atom = [&](const char* name) { return XInternAtom(x, name, False); };
    auto longs = [&](Window w, const char* name) {
        const std::string bytes = property(w, name);
        return std::vector<long>(reinterpret_cast<const long*>(bytes.data()),
                                 reinterpret_cast<const long*>(bytes.data() + bytes.size()));
    };
    for (const std::string manager_does : {"save", "refuse", "stall", "not run (CLIPBOARD taken)"}) {
        ASSERT_NO_FATAL_FAILURE(start_calculator());
        ASSERT_NO_FATAL_FAILURE(answer("555.5\n"));
        pointer(14 * 8 + 3, 17 * 16 + 8);
        click(1, 2);
        ASSERT_TRUE(both_hold(".3409378"));
        const Window manager = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 1, 1, 0, 0, 0);
        const bool runs = manager_does[0] != 'n';
        XSetSelectionOwner(x, atom("CLIPBOARD_MANAGER"), runs ? manager : None, CurrentTime);
        if (!runs) {
            ASSERT_NO_FATAL_FAILURE(own("clipboard", "other"));
        }
        tap_key(x, XK_space);
        XEvent event;
        if (runs) {
            ASSERT_TRUE(wait_until([&] { return XCheckTypedEvent(x, SelectionRequest, &event) &&
                                                event.xselectionrequest.target == atom("SAVE_TARGETS"); }, 30));
            const XSelectionRequestEvent save = event.xselectionrequest;
            const Atom pairs[] = {atom("UTF8_STRING"), atom("SAVED"), atom("PIXMAP"), atom("P2"),
                                  atom("TIMESTAMP"), atom("STAMP"), atom("TARGETS"), atom("LIST")};
            XChangeProperty(x, manager, atom("PAIRS"), atom("ATOM_PAIR"), 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(pairs), 8);
            XConvertSelection(x, atom("CLIPBOARD"), atom("MULTIPLE"), atom("PAIRS"), manager, CurrentTime);
            XSync(x, False);
            ASSERT_TRUE(wait_until([&] { return XCheckTypedWindowEvent(x, manager, SelectionNotify, &event); }, 30));
            EXPECT_EQ(event.xselection.property, atom("PAIRS"));
            std::vector<long> answered(pairs, pairs + 8);
            answered[3] = None;   // PIXMAP: refused
            EXPECT_EQ(longs(manager, "PAIRS"), answered);
            const std::vector<long> stamp = longs(manager, "STAMP"), offered = longs(manager, "LIST");
            EXPECT_TRUE(stamp.size() == 1 && stamp[0] != 0);
            EXPECT_EQ(std::count(offered.begin(), offered.end(), long(atom("MULTIPLE"))) +
                          std::count(offered.begin(), offered.end(), long(atom("TIMESTAMP"))), 2);
            const std::string text = property(manager, "SAVED", true);
            event.xselection = {SelectionNotify, 0, True, x, save.requestor, save.selection, save.target,
                                manager_does == "save" ? save.property : None, save.time};
            if (manager_does != "stall") XSendEvent(x, save.requestor, False, NoEventMask, &event);
            XSync(x, False);
            if (manager_does == "save") {
                ASSERT_NO_FATAL_FAILURE(own("clipboard", text));
            }
        }
        expect_status_zero(false);
        EXPECT_EQ(read_selection("primary"), ".3409378") << manager_does;
        EXPECT_EQ(read_selection("clipboard"), runs ? ".3409378" : "other") << manager_does;
    }
}

// The middle button pastes PRIMARY, Shift+Insert CLIPBOARD, as if typed. Of
// 100,000 characters the first 4,096 are typed (the last of them an x), as
// the keyboard buffer takes them; keys typed meanwhile are not lost. The
// program ends at once on the close button, having taken neither selection.
TEST_F(Clipboard, PastesWithTheMiddleButtonAndShiftInsert) {
    std::string text(100000, '7');
    text[4095] = 'x';
    ASSERT_NO_FATAL_FAILURE(own("primary", text));
    ASSERT_NO_FATAL_FAILURE(own("clipboard", "55"));
    const Window primary = owner_of("PRIMARY"), clipboard = owner_of("CLIPBOARD");
    ASSERT_NO_FATAL_FAILURE(start_calculator());
    pointer(300, 100);
    click(2);
    // The prompt's 34 characters and 4,096 typed: 51 rows and 50 on the last,
    // the one above the bottom row.
    auto last_rows_are = [&](const std::string& last) {
        return screen_shows([&](const text_screen& s) {
            return s.row_text(24).substr(0, last.size() + 1) == last && s.row_text(23) == std::string(80, '7');
        });
    };
    ASSERT_TRUE(last_rows_are(std::string(49, '7') + "x")) << shown.dump();
    type_text(server.connection, "\b\b");
    EXPECT_TRUE(last_rows_are(std::string(48, '7'))) << shown.dump();
    tap_key(server.connection, XK_Insert, {XK_Shift_L});
    EXPECT_TRUE(last_rows_are(std::string(48, '7') + "55")) << shown.dump();
    window_send_delete(server.connection, window);
    expect_status_zero(true);
    EXPECT_EQ(std::make_pair(owner_of("PRIMARY"), owner_of("CLIPBOARD")), std::make_pair(primary, clipboard));
}

}  // namespace
