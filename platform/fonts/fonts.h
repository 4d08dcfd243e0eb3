// Font files for the face names the program asks for, found through fontconfig.
#pragma once

#include <string>

namespace platform {

// The path of a font file for a face name as Windows programs name them ("Arial", "Tahoma",
// "Lucida Console", ...), in the given style; empty when no font at all can be found.
// Results are cached per (face, bold, italic).
std::string FindFontFile(const std::string& face, bool bold, bool italic);

}  // namespace platform
