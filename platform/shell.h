// Opening documents and addresses with the desktop's own handler (a web page in the browser,
// a mailto: address in the mail program). Tests replace the launcher so nothing really opens.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Starts whatever opens the address; true when it could be started.
using DesktopLauncher = std::function<bool(const std::string& address)>;

// Hands the address to the current launcher: by default `xdg-open` with the address as its
// one argument, started without a shell, detached, not waited for.
bool OpenWithDesktop(const std::string& address);

// Installs a launcher and returns the previous one; an empty function restores the real one.
DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher);

// Starts `program` (looked up in PATH when it has no slash) with the arguments, without a
// shell, in a session of its own and reparented away from this process, so nothing waits for
// it and it leaves no zombie. True when the program was found and started.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace platform
