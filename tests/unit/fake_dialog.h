// Fake desktop dialog programs: scripts named zenity, kdialog or xmessage
// first on PATH that keep the arguments (and standard input) of every call
// and answer with the exit status the test chose (0 Yes/OK, 1 No). They need
// nothing else on PATH. A delayed fake waits in a sleep of its own and notes both ids.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

// Ended: no such process, or one waiting to be reaped.
inline bool process_ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string id, name, state;
    return !(stat >> id >> name >> state) || state == "Z";
}

struct fake_dialog_call {
    std::string program;   // "zenity", "kdialog" or "xmessage"
    std::vector<std::string> arguments;
    std::string input;     // what it read from its standard input (xmessage only)

    // The value of the "--name=" argument, or "" when it is missing.
    std::string option(const std::string& name) const {
        for (const std::string& a : arguments)
            if (a.rfind("--" + name + "=", 0) == 0) return a.substr(name.size() + 3);
        return {};
    }
    bool has(const std::string& flag) const {
        for (const std::string& a : arguments)
            if (a == flag) return true;
        return false;
    }
};

struct fake_dialog {
    std::string directory, saved_path;
    pid_t owner = getpid();   // a forked child must not remove the directory

    // Installs the programs in a fresh directory first on PATH; with only = true PATH holds nothing else.
    explicit fake_dialog(const std::vector<std::string>& programs = {"zenity"}, bool only = false) {
        char pattern[] = "/tmp/fake_dialog_XXXXXX";
        directory = mkdtemp(pattern);
        for (const std::string& program : programs) install(program);
        answer(0);
        const char* path = std::getenv("PATH");
        saved_path = path ? path : "";
        setenv("PATH", only ? directory.c_str() : (directory + ":" + saved_path).c_str(), 1);
    }
    ~fake_dialog() {
        if (getpid() != owner) return;
        setenv("PATH", saved_path.c_str(), 1);
        std::filesystem::remove_all(directory);
    }
    fake_dialog(const fake_dialog&) = delete;
    fake_dialog& operator=(const fake_dialog&) = delete;

    // The call is recorded after the delay: a record proves the caller waited for the end.
    void install(const std::string& program) const {
        const std::string script = directory + "/" + program;
        std::ofstream(script) << "#!/bin/sh\n"
                                 "d=${0%/*}\n"
                                 "[ -e \"$d/ignore_term\" ] && trap '' TERM\n"
                                 "[ -e \"$d/delay\" ] && { read s < \"$d/delay\"; /bin/sleep \"$s\" &\n"
                                 "  echo $$ $! >> \"$d/waiting\"; wait $!; }\n"
                                 "n=0; while [ -e \"$d/call_$n\" ]; do n=$((n+1)); done\n"
                                 "[ \"${0##*/}\" = xmessage ] && /bin/cat > \"$d/input_$n\"\n"
                                 "printf '%s\\0' \"${0##*/}\" \"$@\" > \"$d/call_$n\"\n"
                                 "[ -e \"$d/print\" ] && /bin/cat \"$d/print\"\n"
                                 "[ -e \"$d/warn\" ] && /bin/cat \"$d/warn\" >&2\n"
                                 "f=$d/answer; [ -e \"$f$n\" ] && f=$f$n; read a < \"$f\"; exit $a\n";
        chmod(script.c_str(), 0755);
    }

    // The answer of every call, or of call n (counted from 0) alone.
    void answer(int exit_status, int n = -1) const {
        std::ofstream(directory + "/answer" + (n < 0 ? "" : std::to_string(n))) << exit_status << "\n";
    }
    void print(const std::string& text) const { std::ofstream(directory + "/print") << text; }
    void warn(const std::string& text) const { std::ofstream(directory + "/warn") << text; }   // on standard error
    void delay(double seconds) const { std::ofstream(directory + "/delay") << seconds << "\n"; }
    void ignore_term() const { std::ofstream(directory + "/ignore_term"); }   // then only SIGKILL ends a fake

    // The ids of the delayed fakes and their sleeps so far, and whether all have ended.
    std::vector<pid_t> waiting() const {
        std::ifstream in(directory + "/waiting");
        return std::vector<pid_t>(std::istream_iterator<pid_t>(in), {});
    }
    bool none_waiting() const {
        for (pid_t id : waiting())
            if (!process_ended(id)) return false;
        return true;
    }

    // Every call so far, oldest first.
    std::vector<fake_dialog_call> calls() const {
        std::vector<fake_dialog_call> found;
        for (int n = 0;; ++n) {
            std::ifstream in(directory + "/call_" + std::to_string(n), std::ios::binary);
            std::ifstream input(directory + "/input_" + std::to_string(n), std::ios::binary);
            if (!in) return found;
            fake_dialog_call& call = found.emplace_back();
            std::getline(in, call.program, '\0');
            for (std::string argument; std::getline(in, argument, '\0');) call.arguments.push_back(argument);
            call.input.assign(std::istreambuf_iterator<char>(input), {});
        }
    }
    void forget_calls() const {
        for (int n = 0; std::remove((directory + "/call_" + std::to_string(n)).c_str()) == 0; ++n)
            std::remove((directory + "/input_" + std::to_string(n)).c_str());
    }
};
