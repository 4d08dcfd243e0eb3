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

TEST(PendingResultTest, NoFormForZeroScoreAndTheOpenFormKeepsItsResult) {
    PendingResult pending;
    EXPECT_FALSE(pending.Capture(0, 3));
    EXPECT_FALSE(pending.Capture(-5, 3));
    EXPECT_FALSE(pending.Waiting());
    pending.Capture(700, 3);
    EXPECT_FALSE(pending.Capture(0, 1));  // a lost game with no points leaves the form alone
    EXPECT_EQ(pending.Take()->score, 700);
}

}  // namespace
}  // namespace MyApp
