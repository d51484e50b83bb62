// INPUT on the console image: a line of standard input under the line
// editor's rules, for targets of every kind.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "runtime/console/console_image.h"
#include "runtime/input/input_line.h"
#include "runtime/input/input_targets.h"
#include "runtime/strings/str_desc.h"
#include "tests/unit/console_screen.h"

namespace {

enum kind { text, whole_line, int16, uint8, single, twice, fixed4 };

struct console_case {
    std::vector<kind> targets;
    std::string line;
    std::vector<std::string> values;
};

const console_case cases[] = {
    {{text, text}, "\"a\"b,\"x\",y", {"a", "x"}},   // after a closing quote only a comma; no third piece
    {{text, text}, "p,q\b\bx", {"px", ""}},          // Backspace takes back the comma and its piece
    {{text, text}, "a,bc\bd", {"a", "bd"}},
    {{text}, "\"a\"\bb\"", {"ab"}},                  // ... and a closing quote
    {{text}, "\"a,bc\b", {"a,b"}},                   // ... and inside quotes
    {{text}, "\"\bx,y", {"xy"}},                     // ... and an opening one
    {{text}, "ab\rcd", {"ab"}},                       // Enter: the rest of the line is not read
    {{text}, std::string("a\0b", 3), {std::string("a\0b", 3)}},
    {{whole_line}, "\"1,2\"3", {"\"1,2\"3"}},
    {{text}, "\b7\tZ", {"7       Z"}},
    {{int16, uint8, single, twice}, "-327689,2567,3.402823E389,1D3089", {"-32768", "25", "3.402823e+38", "1e+308"}},
    {{int16, uint8}, "12,3\b\b", {"12", "0"}},
    {{fixed4}, "abcde", {"abcd"}},
};

std::string value_of(kind k, void* target) {
    char number[64];
    switch (k) {
        case int16: return std::to_string(*static_cast<std::int16_t*>(target));
        case uint8: return std::to_string(*static_cast<std::uint8_t*>(target));
        case single: std::snprintf(number, sizeof number, "%.7g", *static_cast<float*>(target)); return number;
        case twice: std::snprintf(number, sizeof number, "%.16g", *static_cast<double*>(target)); return number;
        default: {
            const auto* s = static_cast<const str_desc*>(target);
            return std::string(reinterpret_cast<const char*>(s->text), s->len);
        }
    }
}

TEST(ConsoleInput, TheEditorsRulesOnALineOfStandardInput) {
    strings_startup();
    fresh_text_screen();
    console_image_create();
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    std::string all;
    for (const console_case& c : cases) all += c.line + "\n";
    ASSERT_EQ(write(input[1], all.data(), all.size()), static_cast<ssize_t>(all.size()));
    close(input[1]);
    dup2(input[0], STDIN_FILENO);

    std::int16_t small = 5;
    std::uint8_t byte = 5;
    float single_value = 5;
    double double_value = 5;
    char fixed_text[] = "....";
    void* const numbers[] = {&small, &byte, &single_value, &double_value};
    const std::uint32_t number_types[] = {16, 8 | input_type_unsigned, 32 | input_type_float, 64 | input_type_float};
    std::vector<std::vector<std::string>> found;
    ::testing::internal::CaptureStdout();   // the echo
    for (const console_case& c : cases) {
        std::vector<void*> targets;
        for (std::size_t i = 0; i < c.targets.size(); ++i) {
            const kind k = c.targets[i];
            void* target = k == fixed4      ? str_fixed_view(fixed_text, 4, 0)
                           : k >= int16 ? numbers[k - int16]
                                        : static_cast<void*>(str_new(0, 0));
            const std::uint32_t type = k >= int16 && k != fixed4 ? number_types[k - int16]
                                       : k == whole_line       ? input_type_string | input_type_line_input
                                                               : input_type_string;
            input_target_set(static_cast<std::int32_t>(i + 1), type, target);
            targets.push_back(target);
        }
        input_line(static_cast<std::int32_t>(targets.size()), 1);
        found.emplace_back();
        for (std::size_t i = 0; i < targets.size(); ++i) found.back().push_back(value_of(c.targets[i], targets[i]));
    }
    ::testing::internal::GetCapturedStdout();
    for (std::size_t n = 0; n < std::size(cases); ++n) EXPECT_EQ(found[n], cases[n].values) << cases[n].line;
}

}  // namespace
