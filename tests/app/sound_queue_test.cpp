// The sound queue against a recording output and a fake clock.
#include "services/SoundQueue.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/sound.h"

namespace MyApp {
namespace {

class RecordingOutput : public platform::SoundOutput {
  public:
    std::vector<std::string> events;
    void Play(int id, bool loop) override {
        events.push_back((loop ? "loop " : "play ") + std::to_string(id));
    }
    void Stop() override { events.push_back("stop"); }
};

class SoundQueueTest : public ::testing::Test {
  protected:
    platform::ScopedFakeClock clock;
    RecordingOutput out;
    SoundQueueTest() { platform::SetSoundOutput(&out); }
    ~SoundQueueTest() override { platform::SetSoundOutput(nullptr); }
    // Services the queue every 30 ms for the given time.
    void RunFor(SoundQueue& q, int ms) {
        for (int t = 0; t < ms; t += 30) {
            clock.AdvanceMs(30);
            q.Service();
        }
    }
};

TEST_F(SoundQueueTest, SixPushesDropTheOldestAndPlayAt400MsSpacing) {
    SoundQueue q;
    for (int id : {1, 2, 3, 4, 5, 6}) {
        q.Push(id);
    }
    EXPECT_EQ(q.pending, (std::deque<std::int32_t>{2, 3, 4, 5, 6}));
    RunFor(q, 390);
    EXPECT_TRUE(out.events.empty());  // nothing within 400 ms of construction
    RunFor(q, 30);
    EXPECT_EQ(out.events, std::vector<std::string>{"play 2"});
    RunFor(q, 2100);
    EXPECT_EQ(out.events,
              (std::vector<std::string>{"play 2", "play 3", "play 4", "play 5", "play 6"}));
}

// The loop starts once, a one-shot interrupts it and it comes back; loop 0 stops for good.
TEST_F(SoundQueueTest, LoopRestartsAfterAOneShotAndStopsAtOnceOnZero) {
    SoundQueue q;
    q.SetLoop(1026);
    EXPECT_EQ(out.events, std::vector<std::string>{"stop"});
    RunFor(q, 3000);
    EXPECT_EQ(out.events, (std::vector<std::string>{"stop", "loop 1026"}));
    q.Push(1024);
    RunFor(q, 840);
    EXPECT_EQ(out.events,
              (std::vector<std::string>{"stop", "loop 1026", "stop", "play 1024", "loop 1026"}));
    q.SetLoop(0);
    EXPECT_EQ(out.events.back(), "stop");
    const auto n = out.events.size();
    RunFor(q, 2000);
    EXPECT_EQ(out.events.size(), n);
}

TEST_F(SoundQueueTest, SilenceKeepsOnlyTheNewestWhichPlaysNext) {
    SoundQueue q;
    q.SetLoop(1026);
    for (int id : {1, 2, 3}) {
        q.Push(id);
    }
    q.Silence();
    EXPECT_EQ(q.loopSound, 0);
    EXPECT_EQ(q.pending, std::deque<std::int32_t>{3});
    out.events.clear();
    RunFor(q, 420);
    EXPECT_EQ(out.events, std::vector<std::string>{"play 3"});
    RunFor(q, 2000);
    EXPECT_EQ(out.events.size(), 1u);  // no loop between levels
}

}  // namespace
}  // namespace MyApp
