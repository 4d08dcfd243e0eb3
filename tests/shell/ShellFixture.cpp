#include "tests/shell/ShellFixture.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "game/Random.h"
#include "game/ResetForTests.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "toolkit/FormNamePlayer.h"
#include "toolkit/ResetForTests.h"
#include "toolkit/WindowProcedure.h"

namespace shell_test {

fs::path SourceData() {
    const char* source = std::getenv("KX_SOURCE_DIR");
    return fs::path(source != nullptr ? source : ".") / "data";
}

void ShellTest::SetUp() {
    platform::headless::Install();
    platform::headless::Reset();  // also releases the keys and the foreground window
    platform::headless::UseFakeClock(&clock_.clock());
    TekuUtility::ResetForTests();
    MyApp::ResetGameForTests();
    MyApp::ResetTickStateForTesting();
    MyApp::SeedRandomForTesting(20211);

    static int serial = 0;
    root_ = fs::temp_directory_path() /
            ("kx-shell-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(root_);
    fs::create_directories(root_ / "xdg");
    fs::create_directories(root_ / "run" / "cwd");
    fs::create_directory_symlink(SourceData(), root_ / "run" / "data");
    ::setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
    oldDirectory_ = fs::current_path();
    fs::current_path(root_ / "run" / "cwd");

    platform::SetDesktopLauncher([this](const std::string& address) {
        opened_.push_back(address);
        return true;
    });
}

void ShellTest::TearDown() {
    CloseMainForm();
    platform::headless::Reset();
    platform::headless::UseFakeClock(nullptr);
    platform::SetDesktopLauncher({});
    TekuUtility::ResetForTests();
    fs::current_path(oldDirectory_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

MyApp::FormMain& ShellTest::OpenMainForm(const std::string& dataFolder) {
    form_ =
        new MyApp::FormMain(platform::GetModuleHandleW(nullptr), dataFolder, MyApp::kWindowTitle);
    platform::SetForegroundWindowHandle(form_->handle);
    return *form_;
}

void ShellTest::CloseMainForm() {
    delete form_;
    form_ = nullptr;
}

bool ShellTest::StartLevelOne() {
    platform::headless::RunFor(1600);
    Hold('G');
    return RunUntil([this] { return form_->fields.levelRunning; }, 6000);
}

void ShellTest::Hold(int virtualKey, int ms) {
    platform::headless::KeyDown(virtualKey);
    platform::headless::RunFor(ms);
    platform::headless::KeyUp(virtualKey);
}

bool ShellTest::RunUntil(const std::function<bool()>& predicate, int maxMs) {
    for (int waited = 0; waited < maxMs; waited += 30) {
        platform::headless::RunFor(30);
        if (predicate()) {
            return true;
        }
    }
    return false;
}

void ShellTest::Choose(TekuUtility::GUIElement* item) {
    platform::SendMessageW(form_->handle, platform::WM_COMMAND, platform::MAKEWPARAM(item->id, 0),
                           0);
}

int ShellTest::BoxesWithCaption(const std::wstring& caption) {
    const auto& log = platform::headless::MessageBoxLog();
    return static_cast<int>(std::count_if(log.begin(), log.end(),
                                          [&](const auto& box) { return box.caption == caption; }));
}

std::string ShellTest::ScoreFile() const {
    std::ifstream in(root_ / "xdg" / "KryxSpace" / "Score" / "Classifica.txt", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace shell_test
