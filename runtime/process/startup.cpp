// The state that start-up sets, and what it computes from the process's
// arguments and directories.
#include "runtime/process/startup.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <libgen.h>
#include <unistd.h>

#include "runtime/errors/errors.h"

str_desc* startup_directory = nullptr;
str_desc* command_line = nullptr;
std::int32_t console_option = 0;

char* working_directory_text() {
    for (std::size_t size = 512;; size += 512) {
        char* buffer = static_cast<char*>(std::malloc(size));
        if (!buffer) {
            raise_error(7);
            return nullptr;
        }
        if (getcwd(buffer, size)) return buffer;
        if (errno != ERANGE) {
            // Deleted, or a parent not readable: the program was started
            // nowhere it could name, which is no error of the program's.
            buffer[0] = '\0';
            return buffer;
        }
        std::free(buffer);
    }
}

char* command_line_text(int argc, char** argv) {
    std::size_t length = 0;
    for (int i = 1; i < argc; ++i) length += std::strlen(argv[i]) + 1;
    char* text = static_cast<char*>(std::malloc(length + 1));
    if (!text) return nullptr;
    char* end = text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) *end++ = ' ';
        const std::size_t n = std::strlen(argv[i]);
        std::memcpy(end, argv[i], n);
        end += n;
    }
    *end = '\0';
    return text;
}

bool change_to_executable_directory() {
    // Not cleared: a fresh block costs nothing until written, and readlink
    // writes only the name (without its end, which is put here).
    constexpr std::size_t limit = 65535;
    char* path = static_cast<char*>(std::malloc(limit + 1));
    if (!path) return false;
    const ssize_t length = readlink("/proc/self/exe", path, limit);
    if (length > 0) path[length] = '\0';
    const bool changed = length > 0 && chdir(dirname(path)) == 0;
    std::free(path);
    return changed;
}
