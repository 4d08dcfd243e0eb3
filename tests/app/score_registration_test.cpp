// The registration text and the result a name form registers.
#include "services/ScoreRegistration.h"

#include <gtest/gtest.h>

namespace MyApp {
namespace {

TEST(RegistrationTextTest, NamePaddedToTwelveThenLevel) {
    EXPECT_EQ(RegistrationText("Anna", 2), "Anna         Livello 2");
    EXPECT_EQ(RegistrationText("ABCDEFGHIJ", 4), "ABCDEFGHIJ   Livello 4");
    EXPECT_EQ(RegistrationText("ABCDEFGHIJKLMN", 3), "ABCDEFGHIJKLMN Livello 3");
    EXPECT_EQ(RegistrationText("", 1), std::string(12, ' ') + " Livello 1");
}

TEST(PendingResultTest, RegistersTheGameThatOpenedTheForm) {
    PendingResult pending;
    std::int32_t score = 1230, level = 2;
    ASSERT_TRUE(pending.Capture(score, level));
    score = 40;  // a new game started with the joystick while the form is open
    level = 1;
    const std::optional<GameResult> taken = pending.Take();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->score, 1230);
    EXPECT_EQ(taken->level, 2);
    EXPECT_FALSE(pending.Take());  // a second close registers nothing
}

TEST(PendingResultTest, NoFormForZeroScoreAndTheOpenFormKeepsItsResult) {
    PendingResult pending;
    EXPECT_FALSE(pending.Capture(0, 3));
    EXPECT_FALSE(pending.Capture(-5, 3));
    EXPECT_FALSE(pending.Waiting());
    pending.Capture(700, 3);
    EXPECT_FALSE(pending.Capture(0, 1));  // a lost game with no points leaves the form alone
    EXPECT_EQ(pending.Take()->score, 700);
}

TEST(PendingResultTest, ReplacedFormRegistersItsOwnGameThenTheNewFormTheNext) {
    PendingResult pending;
    pending.Capture(100, 1);
    // The next game ends while the first form is open: deleting it takes the first result.
    const std::optional<GameResult> first = pending.Take();
    pending.Capture(250, 3);
    const std::optional<GameResult> second = pending.Take();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->score, 100);
    EXPECT_EQ(first->level, 1);
    EXPECT_EQ(second->score, 250);
    EXPECT_EQ(second->level, 3);
}

}  // namespace
}  // namespace MyApp
