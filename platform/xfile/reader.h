// Reads .x text files: the header, template definitions (added to the registry given) and
// data objects with their members typed by their templates. Binary, compressed or malformed
// input fails with a message naming the source and the line; the reader never allocates
// more values than the input's tokens can hold.
#pragma once

#include <string_view>

#include "platform/xfile/templates.h"
#include "platform/xfile/xdata.h"

namespace platform::xfile {

// Reads text (the whole content of a .x file) named sourceName in messages.
XResult ReadXText(std::string_view text, std::string_view sourceName, TemplateRegistry* registry,
                  XDocument* out);

// Reads the file at path (a game path; backslashes are turned into the OS separator).
XResult ReadXFile(std::string_view path, TemplateRegistry* registry, XDocument* out);

// Checks the 16-byte header "xof 03mmfmt 00ss": version 0302 or 0303, format "txt ".
// Binary ("bin ") and compressed ("tzip", "bzip") files are refused by name.
XResult CheckHeader(std::string_view text, std::string_view sourceName);

}  // namespace platform::xfile
