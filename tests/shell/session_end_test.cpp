// A termination signal ends the session in good order: the result waiting for its name is
// registered under the name typed so far, no exit question is asked, the program exits 0.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/session_end.h"
#include "tests/shell/ShellFixture.h"
#include "toolkit/Controls.h"
#include "toolkit/FormNamePlayer.h"

namespace shell_test {
namespace {

namespace hl = platform::headless;

class SessionEndTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        platform::InstallSessionEndSignals();
    }
    void TearDown() override {
        platform::RestoreDefaultSignals();
        platform::ClearSessionEndRequest();
        ShellTest::TearDown();
    }
};

TEST_F(SessionEndTest, SignalRegistersThePendingResultUnderTheTypedName) {
    MyApp::FormMain& form = OpenMainForm();
    EndGame(1234, 3);
    ASSERT_NE(form.nameForm, nullptr);
    form.nameForm->nameBox->SetText("BO");  // typed, not confirmed
    ::raise(SIGTERM);                       // handled: the test goes on
    hl::RunFor(100);
    EXPECT_TRUE(hl::QuitPosted());
    EXPECT_EQ(form.nameForm, nullptr);
    EXPECT_EQ(ScoreFile(), "00001234 BO           Livello 3\r\n");
    CloseMainForm();
    EXPECT_EQ(BoxesWithCaption(L"Uscita"), 0);
    EXPECT_EQ(ScoreFile(), "00001234 BO           Livello 3\r\n");  // registered once
}

#ifdef KX_PROGRAM_PATH
#if defined(KX_ASAN)
constexpr double kStartSeconds = 5, kAllowedSeconds = 3;  // a slower start, the leak check
#else
constexpr double kStartSeconds = 1.5, kAllowedSeconds = 1;
#endif

TEST_F(SessionEndTest, ProgramExitsZeroWithinASecondOfSigterm) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("KX_HEADLESS", "1", 1);
        ::execl(KX_PROGRAM_PATH, "kryxspace", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(kStartSeconds));
    ::kill(child, SIGTERM);
    const auto sent = std::chrono::steady_clock::now();
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() - sent < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    ASSERT_EQ(done, child) << "still running " << seconds << " s after SIGTERM";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_LT(seconds, kAllowedSeconds);
}
#endif

}  // namespace
}  // namespace shell_test
