// Shared set-up for the toolkit tests: a clean window system and clean routing state for
// every test, and a log the handler functions write to.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/headless.h"
#include "platform/win/win32.h"
#include "toolkit/GUIElement.h"
#include "toolkit/ResetForTests.h"
#include "toolkit/WindowProcedure.h"

namespace toolkit_test {

// Handlers are plain functions, so they record into this process-wide log.
inline std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

class ToolkitTest : public ::testing::Test {
  protected:
    // In the constructor and destructor, so that a derived fixture's members go first.
    ToolkitTest() { Reset(); }
    ~ToolkitTest() override { Reset(); }

    static void Reset() {
        platform::headless::Install();
        platform::headless::Reset();  // also releases the keys and the foreground window
        TekuUtility::ResetForTests();
        Log().clear();
    }

    static platform::LRESULT Send(TekuUtility::GUIElement& element, platform::UINT message,
                                  platform::WPARAM wParam = 0, platform::LPARAM lParam = 0) {
        return platform::SendMessageW(element.handle, message, wParam, lParam);
    }
};

}  // namespace toolkit_test
