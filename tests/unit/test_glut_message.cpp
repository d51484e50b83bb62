// The message queue to the window thread. There is no window: the tests
// drain the queue themselves, as the window thread would.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <atomic>
#include <cstdarg>
#include <vector>

#include "runtime/errors/errors.h"
#include "runtime/process/startup.h"
#include "runtime/window/glut_message.h"
#include "runtime/window/window.h"

namespace {

std::vector<int> executed;
std::atomic<int> destroyed{0};

// A message that records its number when it runs and counts its destruction.
class recording_message : public glut_message {
public:
    recording_message(int n, std::int32_t wait) : glut_message(wait), number(n) {}
    ~recording_message() override { ++destroyed; }
    void execute() override { executed.push_back(number); }
    int number;
};

class MessageQueue : public ::testing::Test {
protected:
    void SetUp() override {
        // The drain asks freeglut for the window metrics; with no window and
        // freeglut's reports silenced the answers are 0.
        glutInitErrorFunc([](const char*, va_list) {});
        glutInitWarningFunc([](const char*, va_list) {});
        executed.clear();
        destroyed = 0;
        window_created = 1;
    }
};

TEST_F(MessageQueue, WithoutAWindowMessagesFinishAtOnceUnrun) {
    window_created = 0;
    EXPECT_EQ(post_glut_message(new recording_message(1, 0)), 0);
    EXPECT_EQ(destroyed.load(), 1);
    {
        recording_message waiting(2, 1);
        EXPECT_EQ(post_glut_message(&waiting), 0);
        completion_wait(waiting.completion);   // returns at once
    }
    EXPECT_EQ(window_get(200), 0);     // a waiting query answers 0
    pending_error = 0;
    window_iconify();
    EXPECT_EQ(pending_error.exchange(0), 5);
    window_position(10, 20);
    EXPECT_EQ(pending_error.exchange(0), 5);
    window_hide();
    EXPECT_EQ(window_hidden.exchange(0), 1);
    drain_glut_messages();
    EXPECT_TRUE(executed.empty());
}

TEST_F(MessageQueue, PostsMadeOnTheWindowThreadRunAtOnce) {
    glut_message_set_window_thread();
    recording_message waiting(3, 1);
    EXPECT_EQ(post_glut_message(&waiting), 1);
    completion_wait(waiting.completion);   // would never return if it had been queued
    EXPECT_EQ(executed, std::vector<int>{3});
}

}  // namespace
