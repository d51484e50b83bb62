#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "calculator/chromaticity.h"
#include "fake_dialog.h"
#include "runtime/core/program_end.h"
#include "runtime/core/startup.h"
#include "runtime/errors/event_check.h"
#include "runtime/strings/number_to_text.h"

namespace {

using namespace std::chrono_literals;
fake_dialog dialog;

char program_path[] = "/usr/bin/spektralrechner";
char* program_argv[] = {program_path, nullptr};

// The number as PRINT shows it.
std::string printed(float value) {
    str_desc* text = single_to_text(value);
    std::string result(reinterpret_cast<const char*>(text->text), static_cast<std::size_t>(text->len));
    str_free(text);
    return result;
}

// Runs the computation for an entry on a thread that has run the program
// thread's prologue, with fresh variables.
single_variables compute(float entry) {
    std::optional<single_variables> v;
    std::thread program([&] {
        program_thread_prologue();
        v.emplace(create_single_variables());
        v->wavelength = entry;
        compute_chromaticity(*v);
    });
    program.join();
    return *v;
}

std::vector<std::uint32_t> dialogue_lines() {
    std::vector<std::uint32_t> lines;
    for (const fake_dialog_call& call : dialog.calls()) {
        const std::string text = call.option("text");
        lines.push_back(static_cast<std::uint32_t>(std::stoul(text.substr(text.find(' ') + 1))));
    }
    return lines;
}

class Chromaticity : public ::testing::Test {
protected:
    void SetUp() override {
        argument_count = 1;
        argument_vector = program_argv;
        dialog.forget_calls();
        dialog.answer(0);
        pending_error = 0;
        pending_event = 0;
    }
};

struct spectral_case { float entry; const char *x, *y; };

}  // namespace

TEST_F(Chromaticity, SpectralPointsAsPrinted) {
    const spectral_case cases[] = {
        {500, " .008168", " .538423"},
        {555.5, " .3409378", " .6554428"},
        {360, " .17556", " .005294"},
        {100, " .17556", " .005294"},  // whole entries below 360 give the 360 nm point
        {0, " .17556", " .005294"},
        // Between 360 and 361 nm the row before the table is extrapolated
        // linearly in single precision (as 0 it gave x .1864992 for 360.5).
        {360.25, " .175541", " 5.291961E-03"},
        {360.5, " .1755219", " 5.289937E-03"},
        {360.75, " .1755026", " 5.287945E-03"},
        {100.5, " .1755219", " 5.289937E-03"},  // fractional entries below 360 likewise
        {700, " .73469", " .26531"},
        {701.5, " .73469", " .26531"},
        {703.99994f, " .73469", " .26531"},  // the largest SINGLE below 704
        {555.55f, " .3412946", " .6551024"},
        // Entries whose seventh digit shows the precision of each step.
        {678.2f, " .7331701", " .26683"},
        {506.15f, " 4.812956E-03", " .6789873"},
    };
    for (const spectral_case& c : cases) {
        const single_variables v = compute(c.entry);
        EXPECT_EQ(printed(v.x), c.x) << c.entry;
        EXPECT_EQ(printed(v.y), c.y) << c.entry;
        EXPECT_EQ(v.purple, 0.0f) << c.entry;
    }
    EXPECT_EQ(compute(555.55f).fraction, 0.5499f);  // truncated after single arithmetic, not 0.55
    EXPECT_TRUE(dialog.calls().empty());
    EXPECT_EQ(pending_error.load(), 0);
}

TEST_F(Chromaticity, PurplePointsAsPrinted) {
    const single_variables v = compute(-500);
    EXPECT_EQ(v.purple, 1.0f);
    EXPECT_EQ(printed(v.wavelength), " 500");
    EXPECT_EQ(printed(v.x), " .008168");
    EXPECT_EQ(printed(v.y), " .538423");
    // -500, then the two ends of the purple line.
    const spectral_case cases[] = {
        {-500, " .5657461", " .1867449"}, {-493.8f, " .7389116", " .2672732"}, {-569.6f, " .1753595", " 5.200766E-03"}};
    for (const spectral_case& c : cases) {
        const single_variables p = compute(c.entry);
        EXPECT_EQ(printed(p.purple_x), c.x) << c.entry;
        EXPECT_EQ(printed(p.purple_y), c.y) << c.entry;
    }
}

TEST_F(Chromaticity, ParallelLinesDivideByZeroWithoutATrap) {
    std::thread program([] {
        program_thread_prologue();
        single_variables v = create_single_variables();
        v.x = 0.1f;  // the line through E and this point has the purple line's slope
        v.y = 0.224824756f;
        compute_purple_point(v);
        EXPECT_EQ(v.m, v.mp);
        EXPECT_TRUE(std::isinf(v.purple_x));
        for (float result : {v.purple_x, v.purple_y}) {
            const std::string text = printed(result);
            EXPECT_FALSE(text.empty());
            EXPECT_LE(text.size(), 16u);
        }
    });
    program.join();
    EXPECT_EQ(pending_error.load(), 0);
}

TEST_F(Chromaticity, ReadingPastTheTableAsksAtEachFailingRead) {
    using lines_t = std::vector<std::uint32_t>;
    const struct { float entry; lines_t lines; } cases[] = {
        {704, {54, 55, 56, 57}},
        {705.5f, {49, 50, 51, 52, 54, 55, 56, 57}},
        {706, {44, 45, 46, 47, 49, 50, 51, 52, 54, 55, 56, 57}},
        {707, {38, 39, 40, 41, 44, 45, 46, 47, 49, 50, 51, 52, 54, 55, 56, 57}}};
    for (const auto& c : cases) {
        dialog.forget_calls();
        const single_variables v = compute(c.entry);
        EXPECT_EQ(dialogue_lines(), c.lines) << c.entry;
        EXPECT_EQ(pending_error.load(), 0);
        EXPECT_FALSE(printed(v.x).empty());
    }
    const fake_dialog_call first = dialog.calls().front();
    EXPECT_EQ(first.option("title"), "Unhandled Error #4 - spektralrechner");
    EXPECT_EQ(first.option("text"), "Line: 38 (in main module)\nOut of DATA\nContinue?");

    // Every pass of the loop past the table fails on its own four lines.
    dialog.forget_calls();
    compute(708);
    const lines_t lines = dialogue_lines();
    ASSERT_EQ(lines.size(), 2u * 4 + 12);
    EXPECT_EQ(lines_t(lines.begin(), lines.begin() + 8), (lines_t{38, 39, 40, 41, 38, 39, 40, 41}));
}

// "No" parks the program thread for good: this runs last.
TEST_F(Chromaticity, NoStopsAtTheFailingRead) {
    dialog.answer(1);
    static single_variables* v = nullptr;
    std::thread([] {
        program_thread_prologue();
        static single_variables kept = create_single_variables();
        v = &kept;
        kept.wavelength = 704;
        compute_chromaticity(kept);
    }).detach();
    for (int i = 0; i < 200 && (stopped_threads.load() & 1) == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(stopped_threads.load() & 1, 1u);
    EXPECT_EQ(stop_requested.load(), 1);
    ASSERT_EQ(dialog.calls().size(), 1u);
    EXPECT_EQ(dialog.calls()[0].option("title"), "Unhandled Error #4 - spektralrechner");
    EXPECT_EQ(dialog.calls()[0].option("text"), "Line: 54 (in main module)\nOut of DATA\nContinue?");
    EXPECT_NE(v->y1, 0.0f);  // line 51 ran
    EXPECT_EQ(v->x, 0.0f);   // line 73 did not
}
