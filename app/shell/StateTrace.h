// A line for each change of what the player can see or do (level, status line, ship, shots,
// pause, dialogs, menu check mark, the top ten), written to standard error when the
// environment sets KX_TRACE=1. The end-to-end tests drive the real program with X input and
// read these lines to know what the window shows; players never see them.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace MyApp {

class FormMain;

class StateTrace {
  public:
    // A trace when KX_TRACE is "1", else none.
    static std::unique_ptr<StateTrace> FromEnvironment();

    // Looks at the form after a tick and writes what changed since the last look.
    void Sample(const FormMain& form);

  private:
    void Put(const std::string& key, const std::string& value);

    std::map<std::string, std::string> last_;
    long ticks_ = 0;
};

}  // namespace MyApp
