// A fake desktop dialog program for tests of message boxes: a "zenity"
// script first on PATH that keeps the arguments of every call and answers
// with the exit status the test chose (0 Yes/OK, 1 No).
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

struct fake_dialog_call {
    std::vector<std::string> arguments;

    // The value of the "--name=" argument, or "" when it is missing.
    std::string option(const std::string& name) const {
        const std::string prefix = "--" + name + "=";
        for (const std::string& a : arguments)
            if (a.rfind(prefix, 0) == 0) return a.substr(prefix.size());
        return {};
    }
    bool has(const std::string& flag) const {
        for (const std::string& a : arguments)
            if (a == flag) return true;
        return false;
    }
};

struct fake_dialog {
    std::string directory;
    pid_t owner = getpid();  // a forked child must not remove the directory

    // Installs the script in a fresh directory and puts it first on PATH.
    fake_dialog() {
        char pattern[] = "/tmp/fake_dialog_XXXXXX";
        directory = mkdtemp(pattern);
        const std::string script = directory + "/zenity";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "d=\"$(dirname \"$0\")\"\n"
                                 "n=$(ls \"$d\" | grep -c '^call_')\n"
                                 "printf '%s\\0' \"$@\" > \"$d/call_$n\"\n"
                                 "exit $(cat \"$d/answer\")\n";
        chmod(script.c_str(), 0755);
        answer(0);
        const char* path = std::getenv("PATH");
        setenv("PATH", (directory + ":" + (path ? path : "")).c_str(), 1);
    }

    ~fake_dialog() {
        if (getpid() == owner) std::filesystem::remove_all(directory);
    }
    fake_dialog(const fake_dialog&) = delete;
    fake_dialog& operator=(const fake_dialog&) = delete;

    void answer(int exit_status) const { std::ofstream(directory + "/answer") << exit_status << "\n"; }

    // Every call so far, oldest first.
    std::vector<fake_dialog_call> calls() const {
        std::vector<fake_dialog_call> found;
        for (int n = 0;; ++n) {
            std::ifstream in(directory + "/call_" + std::to_string(n), std::ios::binary);
            if (!in) return found;
            fake_dialog_call call;
            for (std::string argument; std::getline(in, argument, '\0');) call.arguments.push_back(argument);
            found.push_back(call);
        }
    }

    void forget_calls() const {
        for (int n = 0; std::remove((directory + "/call_" + std::to_string(n)).c_str()) == 0; ++n) {
        }
    }
};
