// --table and --plot as scripts use them: the real programs, with standard
// input, output and error in files; the table checked against the dialogue's
// own output and arithmetic, the picture by its pixels, labels and files.
#include <gtest/gtest.h>

#include <cairo-svg.h>
#include <cairo.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "calculator/chromaticity.h"
#include "calculator/diagram/diagram.h"
#include "calculator/entry_answers.h"
#include "runtime/strings/text_to_number.h"
#include "tests/program_runs.h"

// This test draws glyphs with cairo too (see calculator/plot_mode.cpp).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

namespace {

namespace fs = std::filesystem;

const fs::path scratch = fs::temp_directory_path() / ("test_modes." + std::to_string(getpid()));
const struct scratch_folder { scratch_folder() { fs::create_directories(scratch); } ~scratch_folder() { fs::remove_all(scratch); } } scratch_folder;

run_result run(const char* path, const std::vector<std::string>& arguments, const std::string& input = "",
               rlim_t file_limit = 0) {
    return run_piped(path, input, {"DISPLAY"}, arguments, file_limit);
}

std::vector<std::vector<std::string>> csv_rows(const std::string& text) {   // unquoted fields only
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        rows.emplace_back();
        std::istringstream fields(line + ",");
        for (std::string field; std::getline(fields, field, ',');) rows.back().push_back(field);
    }
    return rows;
}

// A CSV number in the dialogue's form: "0.3409378" -> ".3409378".
std::string dialogue_form(std::string number) {
    const std::size_t zero = number.rfind("0.", 1);
    if (zero != std::string::npos && (zero == 0 || number[0] == '-')) number.erase(zero, 1);
    return number;
}

// What the dialogue prints after "fuer", "x=" and "y=" (the purple point first) for one entry.
std::vector<std::string> dialogue_numbers(const std::string& entry) {
    std::istringstream lines(run(CONSOLE_PATH, {}, entry + "\n").out);
    std::vector<std::string> numbers;
    for (std::string line, word; std::getline(lines, line);)
        if (std::istringstream words(line); (words >> word) && (word == "x=" || word == "y=" || word == "fuer") &&
                                            (words >> word) && word != "Purpurpunkt:")
            numbers.push_back(word);
    return numbers;
}

const std::string header = "entry,wavelength_nm,x,y,purple_x,purple_y\n";

// The three ways of giving entries, with the three line ends; each row is
// what the dialogue prints for its entry. Ranges are formed without drift.
TEST(Table, RowsAreTheDialoguesAnswers) {
    const run_result range = run(CONSOLE_PATH, {"--table", "450", "650", "50"});
    const run_result input = run(WINDOW_PATH, {"--table"}, "555.5\r\n-500\r5.555E2\n555.5nm\n\"5,55\"\n5\"5\n5,x\b00");
    EXPECT_EQ(range.status + input.status, 0) << range.err << input.err;
    EXPECT_EQ(input.out.substr(0, header.size()), header);
    const auto rows = csv_rows(range.out);
    ASSERT_EQ(rows.size(), 6u) << range.out;
    for (const auto& table : {csv_rows(range.out), csv_rows(input.out)})
        for (std::size_t i = 1; i < table.size(); ++i) {
            if (table[i][0][0] == '"') continue;   // quoted: below
            std::vector<std::string> shown;
            for (int column : {4, 5, 1, 2, 3})
                if (!table[i][column].empty()) shown.push_back(dialogue_form(table[i][column]));
            EXPECT_EQ(shown, dialogue_numbers(table[i][0])) << table[i][0];
        }
    // As INPUT takes them: a quoted comma stays, the quote is doubled in CSV; the editor's comma and Backspace.
    EXPECT_NE(input.out.find("\n\"5,55\",5,0.17556,0.005294,,\n\"5\"\"5\",5,0.17556,0.005294,,\n500,500,"), std::string::npos)
        << input.out;

    const run_result fine = run(CONSOLE_PATH, {"--table", "360", "700", "0.01"});
    EXPECT_EQ(std::count(fine.out.begin(), fine.out.end(), '\n'), 34002);
    EXPECT_EQ(fine.out.substr(fine.out.rfind("\n700,")), "\n700,700,0.73469,0.26531,,\n");
    const auto purple = csv_rows(run(CONSOLE_PATH, {"--table", "-569.6", "-493.8", "0.1"}).out);
    EXPECT_EQ(purple.size(), 760u);
    EXPECT_EQ(purple[1][0] + " " + purple[2][0] + " " + purple.back()[0], "-569.6 -569.5 -493.8");
    const auto down = csv_rows(run(CONSOLE_PATH, {"--table", "700", "690", "2.5e0"}).out);
    EXPECT_EQ(down.back()[0], "690");
    EXPECT_EQ(down.size(), 6u);
}

// Arguments and input that give no table: one line on standard error, status 2, nothing on standard output.
TEST(Table, BadRangesAndLinesGiveNoRows) {
    const std::vector<std::vector<std::string>> arguments = {
        {"--table", "360", "700"}, {"--table", "x", "700", "1"}, {"--table", "360", "700", "0"},
        {"--table", "360", "700", "-1"}, {"--table", "0", "1000000", "1"}, {"--table", "1e99", "1", "1"},
        {"--plot", "diagram.gif", "500"}, {"--plot"}};
    for (const auto& a : arguments) {
        const run_result r = run(CONSOLE_PATH, a);
        EXPECT_EQ(std::make_tuple(r.out, r.status, std::count(r.err.begin(), r.err.end(), '\n')),
                  std::make_tuple("", 2, 1)) << a.back() << r.err;
    }
    // A line longer than INPUT keeps (a megabyte).
    const std::string long_line = "500" + std::string(1 << 20, '0');
    for (const std::vector<std::string>& a : {std::vector<std::string>{"--table"}, {"--plot", (scratch / "l.png").string()}}) {
        const run_result r = run(CONSOLE_PATH, a, "450\n" + long_line + "\n500\n");
        EXPECT_EQ(std::make_tuple(r.out, r.status, r.err.find("line 2 ") != std::string::npos), std::make_tuple("", 2, true));
    }
    EXPECT_FALSE(fs::exists(scratch / "l.png"));
}

// Past the table the dialogue reports an error: the row stays empty, standard
// error names the entry, the error and the dialogue's line; status 1.
TEST(Table, EntriesWithoutAnAnswer) {
    const run_result r = run(CONSOLE_PATH, {"--table"}, "704\n500\n707\n&H1FFFFFFFFFFFFFFFFF\n");
    EXPECT_EQ(r.out, header + "704,,,,,\n500,500,0.008168,0.538423,,\n707,,,,,\n&H1FFFFFFFFFFFFFFFFF,,,,,\n");
    EXPECT_EQ(r.err,
              "spektralrechner-console: entry 704: Out of DATA (error 4 in line 54)\n"
              "spektralrechner-console: entry 707: Out of DATA (error 4 in line 38)\n"
              "spektralrechner-console: entry &H1FFFFFFFFFFFFFFFFF: Overflow (error 6 in line 22)\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(run(CONSOLE_PATH, {}, "&H1FFFFFFFFFFFFFFFFF\n").err.find("Line: 22 (in main module)\nOverflow"),
              std::string::npos);
}

// A reader that stops early ends the program as a closed pipe ends any writer, without a word.
TEST(Table, AClosedPipeEndsItQuietly) {
    const std::string whole = run(CONSOLE_PATH, {"--table", "360", "700", "0.01"}).out;
    const std::string script = "'" CONSOLE_PATH "' --table 360 700 0.01 2>'" + (scratch / "errors").string() +
                               "' | head -3; echo \"${PIPESTATUS[0]}\"";
    const run_result r = run("/bin/bash", {"-c", script});
    std::size_t third_line = 0;
    for (int i = 0; i < 3; ++i) third_line = whole.find('\n', third_line) + 1;
    EXPECT_EQ(r.out, whole.substr(0, third_line) + std::to_string(128 + SIGPIPE) + "\n");
    EXPECT_EQ(file_text(scratch / "errors"), "");
}

// Every entry of the 0.01-nm grid: the table's rows, whose READs come from
// the table read once, equal the dialogue's statements READing row by row.
TEST(Table, TheGridEqualsTheDialoguesArithmetic) {
    entry_answers_start();
    single_variables v = create_single_variables();
    std::size_t compared = 0;
    for (const auto& range : {std::vector<std::string>{"360", "703.99"}, {"-493.8", "-569.6"}}) {
        const auto rows = csv_rows(run(CONSOLE_PATH, {"--table", range[0], range[1], "0.01"}).out);
        for (std::size_t i = 1; i < rows.size(); ++i, ++compared) {
            str_desc entry{};
            entry.text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(rows[i][0].data()));
            entry.len = static_cast<std::int32_t>(rows[i][0].size());
            v.wavelength = static_cast<float>(text_to_number(&entry));
            compute_chromaticity(v);
            std::string expected = printed_number(v.wavelength) + " " + printed_number(v.x) + " " + printed_number(v.y);
            if (v.purple == 1) expected += " " + printed_number(v.purple_x) + " " + printed_number(v.purple_y);
            std::string got;
            for (std::size_t column = 1; column < rows[i].size(); ++column)
                if (!rows[i][column].empty()) got += (column > 1 ? " " : "") + dialogue_form(rows[i][column]);
            ASSERT_EQ(got, expected) << rows[i][0];
        }
    }
    EXPECT_EQ(compared, 34400u + 7581u);
}

struct png_image {
    cairo_surface_t* surface;
    explicit png_image(const fs::path& path) : surface(cairo_image_surface_create_from_png(path.c_str())) {}
    ~png_image() { cairo_surface_destroy(surface); }
    int width() const { return cairo_image_surface_get_width(surface); }
    int height() const { return cairo_image_surface_get_height(surface); }
    // Red, green and blue of the pixel at (x, y).
    std::array<int, 3> at(double x, double y) const {
        const auto* row = cairo_image_surface_get_data(surface) + static_cast<int>(y) * cairo_image_surface_get_stride(surface);
        const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[static_cast<int>(x)];
        return {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
    }
    bool dark(double x, double y) const { const auto c = at(x, y); return c[0] + c[1] + c[2] < 150; }
    // A line drawn through (x, y), however its edges are smoothed: a dark pixel among the nine around.
    bool line_at(double x, double y) const {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dark(x + dx, y + dy)) return true;
        return false;
    }
};

// Where the table puts (the printed) x and y of an entry in the picture.
std::array<double, 4> pixels_of(const std::string& entry) {
    const auto row = csv_rows(run(CONSOLE_PATH, {"--table"}, entry + "\n").out).at(1);
    std::array<double, 4> p{};
    for (int i = 0; i < 4; ++i)
        p[i] = row[2 + i].empty() ? -1 : i % 2 ? diagram_layout::pixel_y(std::stod(row[2 + i])) : diagram_layout::pixel_x(std::stod(row[2 + i]));
    return p;
}

// The PNG: each entry's dot where its printed x and y lie, dark with a light
// ring; the locus through the table's rows; E; the dashed line from the
// 500-nm point through E to the purple point. Arguments and standard input
// give the same picture.
TEST(Plot, PixelsWhereTheyMustBe) {
    const fs::path png = scratch / "diagram.png";
    const run_result r = run(WINDOW_PATH, {"--plot", png.string(), "555.5", "-500", "450"});
    ASSERT_EQ(r.status, 0) << r.err;
    png_image image(png);
    ASSERT_EQ(std::make_tuple(image.width(), image.height()), std::make_tuple(diagram_layout::width, diagram_layout::height));
    for (const std::string entry : {"555.5", "-500", "450"}) {
        const auto p = pixels_of(entry);
        for (int point = 0; point < (p[2] < 0 ? 1 : 2); ++point) {
            const double x = p[2 * point], y = p[2 * point + 1];
            EXPECT_TRUE(image.dark(x, y) && !image.dark(x + 6, y) && !image.dark(x, y - 6)) << entry << " " << point;
        }
    }
    for (const std::string nm : {"380", "520", "600", "700"}) {
        const auto p = pixels_of(nm);
        EXPECT_TRUE(image.line_at(p[0], p[1])) << nm;
    }
    const double e = diagram_layout::pixel_x(1 / 3.0), f = diagram_layout::pixel_y(1 / 3.0);
    EXPECT_TRUE(image.dark(e, f));
    const auto p = pixels_of("-500");
    int dark_on_line = 0, dark_across = 0;
    for (int i = 1; i < 100; ++i) {
        const double t = i / 100.0;
        dark_on_line += image.line_at(p[2] + t * (p[0] - p[2]), p[3] + t * (p[1] - p[3]));
        dark_across += image.line_at(e + (t - 0.5) * (p[1] - p[3]) / 2, f - (t - 0.5) * (p[0] - p[2]) / 2);
    }
    EXPECT_GT(dark_on_line, 40);   // dashed: not all the way
    EXPECT_LT(dark_on_line, 92);
    EXPECT_LT(dark_across, 15);
    ASSERT_EQ(run(CONSOLE_PATH, {"--plot", (scratch / "piped.png").string()}, "555.5\n-500\r\n450").status, 0);
    EXPECT_EQ(file_text(scratch / "piped.png"), file_text(png));
}

// cairo writes text as glyph outlines: each outline that DejaVu Sans gives a
// character, at any size the diagram uses, names the character.
std::map<std::string, char> glyph_characters() {
    std::map<std::string, char> characters;
    std::string svg;
    for (int size = 10; size <= 32; ++size)
        for (const auto weight : {CAIRO_FONT_WEIGHT_NORMAL, CAIRO_FONT_WEIGHT_BOLD})
            for (char c = '!'; c <= '~'; ++c) {
                svg.clear();
                cairo_surface_t* surface = cairo_svg_surface_create_for_stream(
                    [](void* to, const unsigned char* data, unsigned n) {
                        static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(data), n);
                        return CAIRO_STATUS_SUCCESS;
                    }, &svg, 100, 100);
                cairo_t* cr = cairo_create(surface);
                cairo_scale(cr, diagram_layout::vector_scale, diagram_layout::vector_scale);
                cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, weight);
                cairo_set_font_size(cr, size);
                cairo_move_to(cr, 10, 50);
                cairo_show_text(cr, std::string(1, c).c_str());
                cairo_destroy(cr);
                cairo_surface_destroy(surface);
                const std::size_t path = svg.find(" d=\"", svg.find("id=\"glyph0-1\""));
                if (path != std::string::npos) characters[svg.substr(path + 4, svg.find('"', path + 4) - path - 4)] = c;
            }
    return characters;
}

// The SVG, read with an XML parser: each run of glyphs decoded to its text
// (blanks and letters beyond ASCII left out) holds the labels. The locus's
// names stand outside it, away from E; a label with room right of its point
// stands there.
TEST(Plot, TheSvgHoldsTheLabels) {
    const fs::path svg = scratch / "diagram.svg";
    ASSERT_EQ(run(CONSOLE_PATH, {"--plot", svg.string(), "555.5", "-500"}).status, 0);
    xmlDocPtr document = xmlReadFile(svg.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
    ASSERT_NE(document, nullptr);
    const std::map<std::string, char> characters = glyph_characters();
    std::map<std::string, std::string> outlines;   // glyph id -> outline
    std::vector<std::string> texts;
    std::map<std::string, std::array<double, 2>> places;   // the middle of the baseline, in the PNG's pixels
    const auto attribute = [](xmlNodePtr node, const char* name) {
        xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
        std::string text = value ? reinterpret_cast<const char*>(value) : "";
        xmlFree(value);
        return text;
    };
    const std::function<void(xmlNodePtr)> walk = [&](xmlNodePtr node) {
        for (; node; node = node->next) {
            const std::string name = node->name ? reinterpret_cast<const char*>(node->name) : "";
            if (name == "symbol" && node->children) {
                for (xmlNodePtr child = node->children; child; child = child->next)
                    if (child->type == XML_ELEMENT_NODE) outlines[attribute(node, "id")] = attribute(child, "d");
            } else if (name == "g") {
                std::string text;
                std::array<double, 4> ends{};   // the first and the last glyph's place
                for (xmlNodePtr use = node->children; use; use = use->next)
                    if (const std::string glyph = attribute(use, "href"); glyph.rfind("#glyph", 0) == 0) {
                        const auto found = characters.find(outlines[glyph.substr(1)]);
                        ends[text.empty() ? 0 : 2] = std::stod(attribute(use, "x")) / diagram_layout::vector_scale;
                        ends[text.empty() ? 1 : 3] = std::stod(attribute(use, "y")) / diagram_layout::vector_scale;
                        if (found != characters.end()) text += found->second;
                    }
                if (!text.empty()) texts.push_back(text), places[text] = {(ends[0] + ends[2]) / 2, ends[1]};
            }
            walk(node->children);
        }
    };
    walk(xmlDocGetRootElement(document));
    xmlFreeDoc(document);
    for (const std::string label : {"NormfarbtafelCIE1931", "Spektralfarbenzug", "WeipunktE", "555.5:x=.3409378,y=.6554428",
                                    "-500:x=.5657461,y=.1867449", "500:x=.008168,y=.538423", "0.8", "0.9", "520", "700"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
    const double e[2] = {diagram_layout::pixel_x(1 / 3.0), diagram_layout::pixel_y(1 / 3.0)};
    for (const std::string nm : {"520", "600", "620", "700"}) {
        const auto point = pixels_of(nm);
        EXPECT_GT(std::hypot(places[nm][0] - e[0], places[nm][1] - e[1]), std::hypot(point[0] - e[0], point[1] - e[1])) << nm;
    }
    EXPECT_GT(places["555.5:x=.3409378,y=.6554428"][0], pixels_of("555.5")[0]);
    EXPECT_GT(places["WeipunktE"][0], e[0]);
}

// The PDF, rendered by poppler at 96 dpi, is the PNG within some levels per 40-pixel block
// (the colours' smoothing and the clip's edge differ).
TEST(Plot, ThePdfLooksLikeThePng) {
    ASSERT_EQ(run(CONSOLE_PATH, {"--plot", (scratch / "d.pdf").string(), "600", "-520"}).status, 0);
    ASSERT_EQ(run(CONSOLE_PATH, {"--plot", (scratch / "d.png").string(), "600", "-520"}).status, 0);
    ASSERT_EQ(run("/usr/bin/pdftoppm", {"-r", "96", "-png", "-singlefile", (scratch / "d.pdf").string(),
                                        (scratch / "from_pdf").string()}).status, 0);
    png_image drawn(scratch / "d.png"), rendered(scratch / "from_pdf.png");
    ASSERT_EQ(std::make_tuple(rendered.width(), rendered.height()), std::make_tuple(drawn.width(), drawn.height()));
    double largest = 0;
    for (int by = 0; by + 40 <= drawn.height(); by += 40)
        for (int bx = 0; bx + 40 <= drawn.width(); bx += 40) {
            double difference[3] = {0, 0, 0};
            for (int y = by; y < by + 40; ++y)
                for (int x = bx; x < bx + 40; ++x)
                    for (int c = 0; c < 3; ++c) difference[c] += (drawn.at(x, y)[c] - rendered.at(x, y)[c]) / 1600.0;
            for (double d : difference) largest = std::max(largest, std::abs(d));
        }
    EXPECT_LT(largest, 24);   // a missing layer differs by a hundred and more
}

// A file that cannot be written whole (here: beyond the size the process may
// write, and a folder of that name) leaves the old file as it was and no
// other file beside it: one line on standard error, status 1.
TEST(Plot, AFailedWriteLeavesTheOldFile) {
    const fs::path folder = scratch / "failed";
    fs::create_directories(folder / "taken.svg");
    std::ofstream(folder / "old.png") << "old";
    const run_result full = run(CONSOLE_PATH, {"--plot", (folder / "old.png").string(), "500"}, "", 4096);
    const run_result taken = run(CONSOLE_PATH, {"--plot", (folder / "taken.svg").string(), "500"});
    for (const run_result& r : {full, taken})
        EXPECT_EQ(std::make_tuple(r.status, std::count(r.err.begin(), r.err.end(), '\n')), std::make_tuple(1, 1)) << r.err;
    EXPECT_EQ(file_text(folder / "old.png"), "old");
    EXPECT_TRUE(fs::is_directory(folder / "taken.svg"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

}  // namespace
