// The module that draws is looked for beside the program (the build folder)
// and where the package installs it, relative to the program, so that the
// files of the package work wherever they are unpacked.
#include "calculator/plot_mode.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "calculator/command_line_modes.h"
#include "calculator/diagram/diagram.h"
#include "calculator/entry_lines.h"

namespace {

bool ends_with(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
    return true;
}

std::string program_folder() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) return ".";
    const std::string file(path.data(), static_cast<std::size_t>(n));
    return file.substr(0, file.rfind('/'));
}

diagram_write_function open_diagram_module(std::string& problem) {
    const std::string folder = program_folder();
    for (const std::string& path : {folder + "/" DIAGRAM_MODULE_NAME, folder + "/" DIAGRAM_MODULE_FROM_BINDIR}) {
        if (access(path.c_str(), F_OK) != 0) continue;
        void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module) {
            problem = dlerror();
            return nullptr;
        }
        if (auto draw = reinterpret_cast<diagram_write_function>(dlsym(module, "diagram_write"))) return draw;
        problem = path + ": no diagram_write";
        return nullptr;
    }
    problem = "the drawing module " DIAGRAM_MODULE_NAME " is not installed beside the program";
    return nullptr;
}

// "555.5: x = .3409378, y = .6554428". Bytes of the entry beyond printable
// ASCII (cairo draws only valid UTF-8) show as "?".
std::string point_label(std::string name, float x, float y) {
    for (char& c : name)
        if (c < ' ' || c > '~') c = '?';
    return name + ": x = " + printed_number(x) + ", y = " + printed_number(y);
}

}  // namespace

// For the leak check of a sanitizer build: fontconfig (cairo's way to a font
// by its name, when the font files are missing) leaves blocks of its own
// unreachable at the end.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

int plot_mode(const char* program, int argc, char** argv) {
    if (argc < 1) {
        std::fprintf(stderr, "%s: --plot needs a FILE (.svg, .png or .pdf) and the entries\n", program);
        return 2;
    }
    const std::string path = argv[0];
    diagram_request request{};
    if (ends_with(path, ".png")) request.format = diagram_format::png;
    else if (ends_with(path, ".svg")) request.format = diagram_format::svg;
    else if (ends_with(path, ".pdf")) request.format = diagram_format::pdf;
    else {
        std::fprintf(stderr, "%s: --plot %s: the file's name must end in .svg, .png or .pdf\n", program, path.c_str());
        return 2;
    }
    std::vector<std::string> entries;
    for (int i = 1; i < argc; ++i) {
        entries.emplace_back();
        if (!entry_from_line(argv[i], entries.back())) {
            std::fprintf(stderr, "%s: entry %d is longer than an entry may be (1 MiB)\n", program, i);
            return 2;
        }
    }
    if (argc == 1 && !entries_from_input(program, entries)) return 2;

    entry_answers_start();
    std::vector<diagram_point> locus;
    for (int nm = 360; nm <= 700; ++nm) {
        const entry_answer answer = answer_entry(std::to_string(nm));
        locus.push_back({answer.x, answer.y, nullptr});
    }
    // The purple line's ends: where the purple construction meets it from the locus' two ends.
    for (int end = 0; end < 2; ++end) {
        const entry_answer answer = answer_entry(end == 0 ? "-360" : "-700");
        request.purple_ends[end] = {answer.purple_x, answer.purple_y, nullptr};
    }
    int status = 0;
    std::deque<std::string> labels;   // the points' labels, kept in place
    std::vector<diagram_entry> points;
    for (const std::string& entry : entries) {
        const entry_answer answer = answer_entry(entry);
        if (answer.error != 0) {
            report_entry_error(program, entry, answer);
            status = 1;
            continue;
        }
        diagram_entry point{};
        const std::string& spectral_name = answer.purple ? printed_number(answer.wavelength) : entry;
        point.spectral = {answer.x, answer.y, labels.emplace_back(point_label(spectral_name, answer.x, answer.y)).c_str()};
        point.purple = answer.purple;
        if (answer.purple)
            point.purple_point = {answer.purple_x, answer.purple_y,
                                  labels.emplace_back(point_label(entry, answer.purple_x, answer.purple_y)).c_str()};
        points.push_back(point);
    }
    request.locus = locus.data();
    request.locus_count = locus.size();
    request.entries = points.data();
    request.entry_count = points.size();
    request.path = path.c_str();

    std::string problem;
    const diagram_write_function draw = open_diagram_module(problem);
    char reason[512] = "";
    if (!draw || draw(&request, reason, sizeof reason) != 0) {
        std::fprintf(stderr, "%s: %s: %s\n", program, path.c_str(), draw ? reason : problem.c_str());
        return 1;
    }
    return status;
}
