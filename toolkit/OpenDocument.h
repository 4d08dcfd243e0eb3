// Opens a web address or a mailto: address with the desktop's own handler.
#pragma once

#include <string>

namespace TekuUtility {

// True when the handler could be started; nothing else is reported.
bool OpenDocument(const std::string& text);

}  // namespace TekuUtility
