// Message boxes: the dialog program chosen, the argument vectors it gets, its
// answers, hostile text, the fallback without a program; the error messages,
// and the critical errors that show their box and end the process.
#include <gtest/gtest.h>

#include "fake_dialog.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/tinyfiledialogs.h"

namespace {

using arguments = std::vector<std::string>;

const std::string hostile_title = "\"; rm -rf ~; $(reboot)";
const std::string hostile_message = "<b>bold</b> & 'single' \"double\" `id` $HOME \\n\nsecond line\n-x";

// The one call the box made (a delayed fake records it as it ends: the box waited for it).
fake_dialog_call show_box(const fake_dialog& dialog, const char* type, int default_button = 1,
                          const std::string& title = hostile_title, const std::string& message = hostile_message) {
    dialog.forget_calls();
    tinyfd_messageBox(title.c_str(), message.c_str(), type, "error", default_button);
    const auto calls = dialog.calls();
    return calls.size() == 1 ? calls[0] : fake_dialog_call{};
}

TEST(MessageBox, EachProgramGetsTheTextLiterallyInItsOwnArguments) {
    fake_dialog zenity({"zenity"}, true);
    zenity.delay(0.05);
    const std::string title = "--title=" + hostile_title, text = "--text=" + hostile_message;
    EXPECT_EQ(show_box(zenity, "ok").arguments, (arguments{"--error", "--no-markup", title, text}));
    EXPECT_EQ(show_box(zenity, "yesno").arguments, (arguments{"--question", "--ok-label=Yes", "--cancel-label=No",
                                                              "--icon-name=dialog-error", "--no-markup", title, text}));
    EXPECT_TRUE(show_box(zenity, "yesno", 0).has("--default-cancel"));

    // kdialog's label would take markup: the text goes as rich text that
    // shows each character as written.
    fake_dialog kdialog({"kdialog"}, true);
    const std::string as_written =
        "<qt>&lt;b&gt;bold&lt;/b&gt; &amp; 'single' &quot;double&quot; `id` $HOME \\n<br>second line<br>-x</qt>";
    EXPECT_EQ(show_box(kdialog, "ok").arguments, (arguments{"--title", hostile_title, "--error", as_written}));
    EXPECT_EQ(show_box(kdialog, "yesno").arguments,
              (arguments{"--title", hostile_title, "--warningyesno", as_written}));

    fake_dialog xmessage({"xmessage"}, true);
    for (auto [type, buttons, default_button] : {std::tuple{"ok", "OK:0", "OK"}, {"yesno", "Yes:0,No:1", "Yes"}}) {
        const fake_dialog_call call = show_box(xmessage, type);
        EXPECT_EQ(call.arguments, (arguments{"-title", hostile_title, "-center", "-buttons", buttons, "-default",
                                             default_button, "-file", "-"}));
        EXPECT_EQ(call.input, hostile_message);
    }
}

// Zenity before kdialog before xmessage; exit status 0 is OK or Yes (1), any other No (0).
TEST(MessageBox, ProgramsInOrderOfPreferenceAndTheirAnswers) {
    const arguments preference = {"zenity", "kdialog", "xmessage"};
    for (std::size_t first = 0; first < preference.size(); ++first) {
        fake_dialog dialog(arguments(preference.begin() + first, preference.end()), true);
        EXPECT_EQ(show_box(dialog, "ok").program, preference[first]);
        for (auto [status, type, result] : {std::tuple{0, "ok", 1}, {0, "yesno", 1}, {1, "yesno", 0},
                                            {255, "yesno", 0}, {1, "ok", 0}}) {
            dialog.answer(status);
            EXPECT_EQ(tinyfd_messageBox("t", "m", type, "error", 1), result) << preference[first] << status << type;
        }
    }
}

TEST(MessageBox, WithoutAUsableProgramTheTextGoesToStandardError) {
    fake_dialog broken({}, true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(tinyfd_messageBox(hostile_title.c_str(), hostile_message.c_str(), "yesno", "error", 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), hostile_title + "\n" + hostile_message + "\n");

    // A zenity that cannot start is the same.
    std::ofstream(broken.directory + "/zenity") << "#!/nonexistent/interpreter\n";
    chmod((broken.directory + "/zenity").c_str(), 0755);
    testing::internal::CaptureStderr();
    EXPECT_EQ(tinyfd_messageBox("t", "m", "ok", "error", 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "t\nm\n");
}

TEST(ErrorTable, TheFirstErrorWinsAndNotPositiveIsIllegalFunctionCall) {
    for (unsigned gap : {15u, 77u, 316u, 4294967295u}) EXPECT_STREQ(error_message(gap), "Unprintable error") << gap;
    raise_error(0);   // not positive: Illegal function call
    raise_error(4);
    EXPECT_EQ(pending_error.exchange(0), 5);
    EXPECT_EQ(pending_event.exchange(0), 1);
}

TEST(ErrorTable, CriticalNumbersShowTheirBoxThenExitWithStatusZero) {
    fake_dialog dialog({"zenity"}, true);
    dialog.delay(0.05);   // the exit must wait for the box
    for (auto [number, title, message] : std::vector<std::tuple<std::int32_t, std::string, std::string>>{
             {257, "Critical Error #1", "Out of memory"}, {11, "Critical Error", "Division by zero"},
             {256, "Critical Error", "Out of stack space"},
             {270, "Critical Error", "_GL command called outside of SUB _GL's scope"},
             {502, "Critical Error #2", "Out of memory"}, {518, "Critical Error #18", "Out of memory"}}) {
        dialog.forget_calls();
        EXPECT_EXIT(raise_error(number), testing::ExitedWithCode(0), "") << number;
        EXPECT_EQ(dialog.calls().at(0).arguments, (arguments{"--error", "--no-markup", "--title=" + title,
                                                             "--text=" + message})) << number;
    }
    // Their neighbours are ordinary errors (300 to 315 are critical only in the dialogue).
    dialog.forget_calls();
    for (std::int32_t n : {255, 258, 269, 272, 300, 501, 519}) {
        raise_error(n);
        EXPECT_EQ(pending_error.exchange(0), n);
    }
    EXPECT_TRUE(dialog.calls().empty());
}

}  // namespace
