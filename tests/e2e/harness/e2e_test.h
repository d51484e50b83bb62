#pragma once
#include <gtest/gtest.h>   // before Xlib, whose None macro it would trip over

#include "tests/e2e/harness/harness.h"

// A test with its own X server and one program on it, killed at the end if still running.
class e2e_test : public ::testing::Test {
protected:
    x_server server;
    std::string server_screen = "1024x768x24";   // a fixture may set another size in its constructor
    running_program program;
    Window window = 0;

    void SetUp() override;
    void TearDown() override;
    // Starts the program on the server and waits for its window titled title.
    void start(const std::string& path, const std::vector<std::string>& arguments,
               const std::string& title = "Untitled", const std::string& directory = "");
    // Waits for the end: status 0, within a second when quick.
    void expect_status_zero(bool quick);

    // Wait up to 30 s until the screen of a whole picture holds check,
    // shows a row's text, or each given row its text; that screen stays in shown.
    text_screen shown;
    bool screen_shows(const std::function<bool(const text_screen&)>& check) {
        return ::screen_shows(server.connection, window, shown, check, 30);
    }
    bool row_shows(int row, const std::string& text) {
        return screen_shows([&](const text_screen& s) { return s.row_text(row) == text; });
    }
    bool rows_show(const std::vector<std::pair<int, std::string>>& rows) {
        return screen_shows([&](const text_screen& s) {
            for (const auto& [row, text] : rows)
                if (s.row_text(row) != text) return false;
            return true;
        });
    }
};
