// The detached start of a real program behind opening addresses with the desktop: its
// arguments are passed as they are, never through a shell.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/shell.h"

namespace {

namespace fs = std::filesystem;

TEST(OpenDocumentTest, SpawnReportsWhetherTheProgramCouldStart) {
    EXPECT_TRUE(platform::SpawnDetached("true", {}));
    EXPECT_FALSE(platform::SpawnDetached("kx-no-such-program-anywhere", {}));
    EXPECT_FALSE(platform::SpawnDetached("/nonexistent/folder/program", {}));
    EXPECT_FALSE(platform::SpawnDetached("", {}));
}

TEST(OpenDocumentTest, ArgumentsReachTheProgramUnchangedWithoutAShell) {
    const fs::path folder = fs::temp_directory_path() / ("kx_spawn_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // A shell would split this at the blank and run the part after the semicolon.
    const fs::path target = folder / "a b;touch c";
    ASSERT_TRUE(platform::SpawnDetached("touch", {target.string()}));
    for (int i = 0; i < 500 && !fs::exists(target); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(fs::exists(target));
    EXPECT_FALSE(fs::exists(folder / "a"));
    EXPECT_FALSE(fs::exists("c"));
    fs::remove_all(folder);
}

}  // namespace
