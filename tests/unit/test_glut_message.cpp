#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <atomic>
#include <cstdarg>
#include <thread>
#include <vector>

#include "runtime/core/glut_message.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"

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
    void TearDown() override { window_created = 0; }
};

TEST_F(MessageQueue, MessagesRunInTheOrderPostedAndHeapMessagesAreDeleted) {
    std::thread poster([] {
        for (int n = 1; n <= 5; ++n) EXPECT_EQ(post_glut_message(new recording_message(n, 0)), 1);
    });
    poster.join();
    EXPECT_TRUE(executed.empty());   // nothing runs before the window thread drains
    drain_glut_messages();
    EXPECT_EQ(executed, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(destroyed.load(), 5);
    drain_glut_messages();
    EXPECT_EQ(executed.size(), 5u);
}

TEST_F(MessageQueue, AWaitingPosterBlocksUntilTheDrainFinishesItsMessage) {
    std::atomic<bool> returned{false};
    std::thread poster([&] {
        recording_message message(7, 1);
        post_glut_message(&message);
        completion_wait(message.completion);
        returned = true;
    });
    sleep_ms(50);
    EXPECT_FALSE(returned.load());
    drain_glut_messages();
    poster.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(executed, std::vector<int>{7});
    EXPECT_EQ(destroyed.load(), 1);   // by its poster, once
}

TEST_F(MessageQueue, WithoutAWindowMessagesFinishAtOnceUnrun) {
    window_created = 0;
    EXPECT_EQ(post_glut_message(new recording_message(1, 0)), 0);
    EXPECT_EQ(destroyed.load(), 1);
    {
        recording_message waiting(2, 1);
        EXPECT_EQ(post_glut_message(&waiting), 0);
        completion_wait(waiting.completion);   // returns at once
    }
    window_set_title("no window");    // deleted at once, its title copy freed
    window_set_cursor(101);
    EXPECT_EQ(window_get(200), 0);     // a waiting query answers 0
    drain_glut_messages();
    EXPECT_TRUE(executed.empty());
}

TEST_F(MessageQueue, CachedWindowMetricsAnswerWhileTheWindowThreadIsBusy) {
    drain_glut_messages();
    std::atomic<int> answers{0};
    std::thread poster([&] {
        for (int query : {100, 101, 506, 507}) {
            window_get(query);
            ++answers;
        }
        window_get(200);   // must wait for a drain
        ++answers;
    });
    sleep_ms(100);   // nobody drains meanwhile
    EXPECT_EQ(answers.load(), 4);
    drain_glut_messages();
    poster.join();
    EXPECT_EQ(answers.load(), 5);
}

TEST_F(MessageQueue, PostsMadeOnTheWindowThreadRunAtOnce) {
    glut_message_set_window_thread();
    recording_message waiting(3, 1);
    EXPECT_EQ(post_glut_message(&waiting), 1);
    completion_wait(waiting.completion);   // would never return if it had been queued
    EXPECT_EQ(executed, std::vector<int>{3});
}

}  // namespace
