// The data-file integrity check: every data file the game loads is compared, by its
// 16-byte XOR fold, with the built-in table; the first mismatch of a run is reported once
// and makes the game close at the next tick.
#pragma once

#include <string>
#include <string_view>

#include "platform/wintypes.h"

namespace MyApp {

// The 16-byte XOR fold of the file as 32 upper-case hexadecimal digits: byte k is the XOR of
// every byte whose offset is k modulo 16. A file that cannot be opened folds to all zeros.
std::string XorFoldChecksum(std::string_view path);

// The file name the table is searched for: what follows the last backslash or forward
// slash, else the last colon, else the whole path.
std::string DataFileName(std::string_view path);

// The table's checksum for the name, empty when the name is in no row.
std::string ExpectedChecksum(std::string_view name);

// Checks one data file. On a mismatch, unless closeRequested is already set, shows the
// error box over owner and sets closeRequested.
void CheckDataFile(bool& closeRequested, platform::HWND owner, const std::string& path);

}  // namespace MyApp
