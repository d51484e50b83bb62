// The calculator's start: a command line that a chained program handed over.
#include <gtest/gtest.h>

#include "calculator/chain_handover.h"
#include "runtime/process/startup.h"
#include "runtime/strings/str_desc.h"

namespace {

// Sets the command line, runs the check and returns the line after it.
std::string checked(const std::string& line, bool expected_handover) {
    command_line = str_new(0, 0);
    str_assign(command_line, str_from_literal(line.data(), static_cast<std::int32_t>(line.size())));
    EXPECT_EQ(chain_handover_check(), expected_handover) << line;
    return std::string(reinterpret_cast<const char*>(command_line->text), command_line->len);
}

TEST(ChainHandover, TheHandedOverPartLeavesTheCommandLineAndANormalStartChangesNothing) {
    strings_startup();
    EXPECT_EQ(checked("a b (unique-tag:=/@*$+-)chain01.tmp", true), "a b");
    EXPECT_EQ(checked("x(unique-tag:=/@*$+-)chain01.tmp", true), "x");
    for (const char* line : {"", "a b", "(unique-tag:=/@*$+-)chain01.tmp", "a (unique-tag:=/@*$+-)chain01.txt",
                             "a (unique-tag:=/@*$+-)chair01.tmp", "a (unique-tag:=/@*$+-)chain001.tmp"})
        EXPECT_EQ(checked(line, false), line);
    command_line = nullptr;
    EXPECT_FALSE(chain_handover_check());
}

}  // namespace
