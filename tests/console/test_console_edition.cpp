// The terminal edition as its users run it: the real program with its
// standard input and output on pipes, and on a pseudo-terminal.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <utmp.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include "tests/program_runs.h"
#include "tests/unit/fake_dialog.h"

namespace {

using std::chrono::steady_clock;

const std::string heading =
    "          ***** Berechnung der Spektralwertanteile x,y *****\n"
    "\n"
    " Bemerkung: fuer Stellen des Spektralfarbenzuges koennen die Wellenlaengen\n"
    " direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit\n"
    " einem Minus einzugeben. Es wird dann die Schnittstelle auf der Purpur-\n"
    " geraden bestimmt.\n"
    " Die Purpurgeradeenden liegen bei den Gegenfarben von etwa 493.8 bis 569.6\n"
    " Wenn diese Grenzen nicht eingehalten werden, faellt der Schnittpunkt mit \n"
    " der Purpurgeraden ausserhalb des Spektralfarbenzuges.\n"
    " Die Berechnungsgrenzen sind 360 nm bis 700 nm.\n"
    "\n"
    "\n"
    " Eingabe der Wellenlaenge [nm]: ? ";

// What follows the entry's line: the purple point when one is given, then the spectral point.
std::string results(const std::string& nm, const std::string& x, const std::string& y, const std::string& purple_x = "",
                    const std::string& purple_y = "") {
    const std::string purple = purple_x.empty() ? "" : "\n\n         fuer Purpurpunkt:\n\n         x=  " + purple_x +
                                                           "\n         y=  " + purple_y + "\n";
    return purple + "\n\n         fuer  " + nm + " nm :\n\n         x=  " + x + "\n         y=  " + y +
           "\n\n\nPress any key to continue\n";
}

std::string out_of_data(int line) {
    return "Unhandled Error #4 - spektralrechner-console\nLine: " + std::to_string(line) +
           " (in main module)\nOut of DATA\nContinue?";
}

// The whole standard output and error for one input: plain text, no escape
// sequence. The seventh digits show that each step of the computation ran in
// its own precision. Past the table, the error dialogue without a display
// writes to standard error and answers No, at the first READ that fails.
TEST(Piped, TheWholeDialogueForEachEntry) {
    const std::string long_line = "500" + std::string(99997, 'x');
    const struct { std::string input, echo, after_entry; int failing_line = 0; } cases[] = {
        {"500\n", "500", results("500", ".008168", ".538423")},
        {"555.5\n", "555.5", results("555.5", ".3409378", ".6554428")},
        {"555.55\n", "555.55", results("555.55", ".3412946", ".6551024")},   // fraction .5499, not .55
        {"678.2\n", "678.2", results("678.2", ".7331701", ".26683")},
        {"506.15\n", "506.15", results("506.15", "4.812956E-03", ".6789873")},
        {"100\n", "100", results("100", ".17556", ".005294")},   // below 360: the 360-nm point
        // Between 360 and 361 nm the row before the table is extrapolated.
        {"360.25\n", "360.25", results("360.25", ".175541", "5.291961E-03")},
        {"100.5\n", "100.5", results("100.5", ".1755219", "5.289937E-03")},
        {"700\n", "700", results("700", ".73469", ".26531")},
        {"703.99994\n", "703.99994", results("703.9999", ".73469", ".26531")},   // the largest SINGLE below 704
        {"704\n", "704", "", 54},
        {"705.5\n", "705.5", "", 49},
        {"706\n", "706", "", 44},
        {"707\n", "707", "", 38},
        {"-500\n", "-500", results("500", ".008168", ".538423", ".5657461", ".1867449")},
        // The two ends of the purple line.
        {"-493.8\n", "-493.8", results("493.8", "2.833021E-02", ".3830119", ".7389116", ".2672732")},
        {"-569.6\n", "-569.6", results("569.6", ".4412536", ".557498", ".1753595", "5.200766E-03")},
        {"\n", "", results("0", ".17556", ".005294")},
        // The editor's rules: a comma in a single-string entry is dropped,
        // Backspace takes back, Enter ends the entry, the rest of the input stays unread.
        {"5,x\b00\r7\n1\n", "500", results("500", ".008168", ".538423")},
        {"555.5", "555.5", results("555.5", ".3409378", ".6554428")},   // the input ends within the line
        {"", "", results("0", ".17556", ".005294")},
        {long_line + "\n", long_line, results("500", ".008168", ".538423")},
        // A NUL byte is kept in the entry; PRINT and VAL both stop at it.
        {std::string("500\0" "9\n", 6), "500", results("500", ".008168", ".538423")},
        {"500\xff\xc3\n", "500\xff\xc3", results("500", ".008168", ".538423")},
    };
    for (const auto& c : cases) {
        const run_result r = run_piped(CONSOLE_PATH, c.input);
        EXPECT_EQ(r.out, heading + c.echo + "\n" + c.after_entry) << c.input;
        EXPECT_EQ(r.err, c.failing_line ? out_of_data(c.failing_line) + "\n" : "") << c.input;
        EXPECT_EQ(r.status, 0) << c.input;
    }
}

// Both editions answer --help and --version without a display and without
// reading their input, and refuse an unknown option with status 2.
TEST(Piped, HelpVersionAndUnknownOptions) {
    for (const char* path : {CONSOLE_PATH, WINDOW_PATH}) {
        const std::string name = std::strrchr(path, '/') + 1;
        // More input than a pipe holds: the program ends before it could all be written.
        std::string entries;
        while (entries.size() < (1u << 20)) entries += "555.5\n";
        const run_result help = run_piped(path, entries, {"DISPLAY"}, {"-display", ":0", "--help", "--frob"});
        EXPECT_EQ(help.out.substr(0, help.out.find('\n')), "Usage: spektralrechner [-display NAME]") << path;
        EXPECT_NE(help.out.find("SPEKTRALRECHNER_ZOOM"), std::string::npos) << path;
        EXPECT_EQ(std::make_tuple(help.err, help.status), std::make_tuple("", 0)) << path;
        const run_result version = run_piped(path, "", {"DISPLAY"}, {"--version"});
        EXPECT_EQ(std::make_tuple(version.out, version.err, version.status),
                  std::make_tuple("spektralrechner 1.0.0\n", "", 0)) << path;
        const run_result unknown = run_piped(path, "", {"DISPLAY"}, {"--zoom=2", "--help"});
        EXPECT_EQ(std::make_tuple(unknown.out, unknown.err, unknown.status),
                  std::make_tuple("", name + ": unknown option --zoom=2 (try --help)\n", 2)) << path;
    }
}

// With a display the dialogue is the desktop's box; answered Yes, every
// later READ fails on its own line, those of the skipping loop at each pass.
// A dialog program that prints more than a pipe holds is answered as any other.
TEST(Piped, WithADisplayTheErrorDialogueIsTheDesktopsBox) {
    fake_dialog dialog;
    dialog.print(std::string(1 << 17, 'x'));
    const run_result r = run_piped(CONSOLE_PATH, "708\n", {"DISPLAY=:99"});
    EXPECT_EQ(r.out, heading + "708\n" + results("708", "0", "0"));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    std::string dialogues;
    for (const fake_dialog_call& call : dialog.calls()) {
        const std::string text = call.option("title") + "\n" + call.option("text");
        const std::size_t line_at = text.find("Line: ") + 6;
        EXPECT_EQ(text, out_of_data(std::stoi(text.substr(line_at))));
        dialogues += text.substr(line_at, text.find(' ', line_at) - line_at) + " ";
    }
    EXPECT_EQ(dialogues, "38 39 40 41 38 39 40 41 44 45 46 47 49 50 51 52 54 55 56 57 ");
    // A dialog program that cannot reach the display gives no answer: the dialogue goes on standard error.
    dialog.answer(1);
    EXPECT_EQ(run_piped(CONSOLE_PATH, "800\n", {"DISPLAY=:4711"}).err, out_of_data(38) + "\n");
    // A reachable Wayland display confirms zenity's No, but not xmessage's, which needs X.
    const int compositor = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/wayland-fake", dialog.directory.c_str());
    ASSERT_EQ(bind(compositor, reinterpret_cast<sockaddr*>(&address), sizeof address) | listen(compositor, 8), 0);
    const std::vector<std::string> wayland = {"DISPLAY", "WAYLAND_DISPLAY=wayland-fake",
                                              "XDG_RUNTIME_DIR=" + dialog.directory};
    EXPECT_EQ(run_piped(CONSOLE_PATH, "800\n", wayland).err, "");
    fake_dialog xmessage({"xmessage"}, true);
    xmessage.answer(1);
    EXPECT_EQ(run_piped(CONSOLE_PATH, "800\n", wayland).err, out_of_data(38) + "\n");
    close(compositor);
}

// The program on a pseudo-terminal that the test keeps open to read its modes.
struct terminal_run {
    int master = -1, slave = -1;
    pid_t pid = -1;
    std::string output;
    termios before{};

    terminal_run(const std::vector<std::string>& environment, tcflag_t local_modes) {
        winsize size{25, 80, 0, 0};
        if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) return;
        tcgetattr(slave, &before);
        before.c_lflag |= local_modes;
        tcsetattr(slave, TCSANOW, &before);
        pid = fork();
        if (pid == 0) {
            close(master);
            login_tty(dup(slave));
            exec_program(CONSOLE_PATH, environment);
        }
    }
    ~terminal_run() {
        if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
        close(master);
        close(slave);
    }
    // Collects the output until the condition holds (false after 20 s).
    template <typename Condition>
    bool until(Condition holds) {
        for (auto deadline = steady_clock::now() + std::chrono::seconds(20); steady_clock::now() < deadline;) {
            if (holds()) return true;
            pollfd readable{master, POLLIN, 0};
            char buffer[4096];
            ssize_t n;
            if (poll(&readable, 1, 10) > 0 && (n = read(master, buffer, sizeof buffer)) > 0) output.append(buffer, n);
        }
        return false;
    }
    bool in_key_mode() {
        termios now{};
        return until([&] { return tcgetattr(slave, &now) == 0 && !(now.c_lflag & ICANON); });
    }
    run_result ended() {
        int status = -1;   // not ended: no exit status, signal 127
        until([&] { return waitpid(pid, &status, WNOHANG) == pid; });
        until([&, quiet = 0]() mutable { return ++quiet > 5; });   // what it wrote last
        pid = -1;
        return ended_with(status, output);
    }
    bool modes_as_before() const {   // both zeroed before they were read: their padding agrees too
        termios after{};
        return tcgetattr(slave, &after) == 0 && std::memcmp(&after, &before, sizeof after) == 0;
    }
};

// Sessions on a terminal: each step waits until the output shows its text
// (and, when END waits for a key, until the terminal is in key mode), then
// types its keys. Each ends with the terminal's modes as before and, after the
// colours it started with (bright white), its own colours before the last line end.
TEST(OnATerminal, SessionsEndWithTheTerminalAsBefore) {
    const std::string prompt = " Eingabe der Wellenlaenge [nm]: ? ", key = "Press any key to continue";
    const std::string own_colours = "\x1b[39;49m";
    struct step { std::string shows, type; };
    const struct {
        std::vector<step> steps;
        int status, signal;
        std::string tail;
        std::string display = "DISPLAY";   // unset
        tcflag_t modes = 0;                // set on the terminal beside its own
    } sessions[] = {
        // The terminal's own Backspace; the terminal has shown the entry and its line end, the program adds neither.
        {{{prompt, "55\x7f" "0\r"}, {"? 55\b \b0\r\n\r\n\r\n         fuer  50 nm :", ""}, {key, "q"}}, 0, 0,
         key + own_colours + "\r\n"},
        {{{prompt, "12"}, {"? 12", "\x03"}}, -1, SIGINT, own_colours},   // Ctrl+C during INPUT
        {{{prompt, "500\r"}, {key, "\x03"}}, -1, SIGINT, key + own_colours},   // ... and while END waits
        // The error dialogue asks there; Yes goes on to the next READ, which fails too.
        {{{prompt, "800\r"},
          {"#4 - spektralrechner-console\r\nLine: 38 (in main module)\r\nOut of DATA\r\nContinue? [y/n] ", "maybe\r"},
          {"maybe\r\nContinue? [y/n] ", "Y\r"},
          {"Line: 39 (in main module)\r\nOut of DATA\r\nContinue? [y/n] ", "n\r"}},
         0, 0, "n\r\n" + own_colours},
        {{{prompt, "\x04"}, {"fuer  0 nm :", ""}}, 0, 0, key + own_colours + "\r\n"},   // Ctrl+D: the end of input
        // Ctrl+Z: the terminal's own colours while stopped, the program's again
        // after. (With no parent in its session, the program is not stopped.)
        {{{prompt, "\x1a"}, {own_colours + "\x1b[38;5;15m", "\r"}, {key, "q"}}, 0, 0, key + own_colours + "\r\n"},
        // With "stty tostop", desktop boxes whose dialog program writes to the
        // terminal (as toolkits warn on standard error) are answered all the same.
        {{{prompt, "708\r"}, {"a warning", ""}, {key, "q"}}, 0, 0, key + own_colours + "\r\n", "DISPLAY=:4711", TOSTOP},
    };
    fake_dialog dialog;
    dialog.warn("a warning\n");
    for (const auto& session : sessions) {
        terminal_run t({session.display, "TERM=xterm"}, session.modes);
        for (const step& s : session.steps) {
            ASSERT_TRUE(t.until([&] { return t.output.find(s.shows) != std::string::npos; })) << s.shows << t.output;
            if (s.shows == key) {
                ASSERT_TRUE(t.in_key_mode());
            }
            ASSERT_EQ(write(t.master, s.type.data(), s.type.size()), ssize_t(s.type.size()));
        }
        const run_result r = t.ended();
        EXPECT_EQ(r.status, session.status) << r.out;
        EXPECT_EQ(r.signal, session.signal) << r.out;
        EXPECT_EQ(r.out.find("\x1b[38;5;15m"), 0u) << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), session.tail.size())), session.tail) << r.out;
        EXPECT_TRUE(t.modes_as_before());
    }
}

// A key typed the moment "Press any key" shows ends the program, each time.
TEST(OnATerminal, AKeyTypedAsThePromptShowsIsTaken) {
    for (int run = 0; run < 100; ++run) {
        terminal_run t({"DISPLAY", "TERM=xterm"}, 0);
        ASSERT_TRUE(t.until([&] { return t.output.find("? ") != std::string::npos; })) << t.output;
        ASSERT_EQ(write(t.master, "500\r", 4), 4);
        ASSERT_TRUE(t.until([&] { return t.output.find("continue") != std::string::npos; })) << t.output;
        ASSERT_EQ(write(t.master, "q", 1), 1);
        const run_result r = t.ended();
        ASSERT_EQ(r.status, 0) << run << r.out;
        EXPECT_EQ(r.out.find("continueq"), std::string::npos) << r.out;   // not echoed
    }
}

}  // namespace
