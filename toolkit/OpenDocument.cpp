#include "toolkit/OpenDocument.h"

#include "platform/shell.h"

namespace TekuUtility {

bool OpenDocument(const std::string& text) {
    return platform::OpenWithDesktop(text);
}

}  // namespace TekuUtility
