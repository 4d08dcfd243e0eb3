// Font files for the face names the program asks for, found through fontconfig.
#pragma once

#include <string>

namespace platform {

// The path of a font file for a face name as Windows programs name them ("Arial", "Tahoma",
// "Lucida Console", ...), in the given style; empty when no font at all can be found.
// Results are cached per (face, bold, italic).
std::string FindFontFile(const std::string& face, bool bold, bool italic);

// The factor along x by which text meant for `face` is drawn in the font FindFontFile gives,
// so that lines laid out for that face keep their length: 1 for faces found as they are.
double SubstituteWidthFactor(const std::string& face, bool bold);

}  // namespace platform
