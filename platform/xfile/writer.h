// Writes data objects as a .x text file ("xof 0302txt 0032"), checking each against its
// template so that what is written reads back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/xfile/templates.h"
#include "platform/xfile/xdata.h"

namespace platform::xfile {

// A data object of the registered template with every member at its default: numbers 0,
// strings empty, arrays sized by constant dimensions filled with defaults, arrays sized by
// another member empty. Fails when no template has the GUID.
XResult MakeDataObject(const TemplateRegistry& registry, const Guid& templateGuid,
                       std::string_view name, XDataObject* out);

// The header line and every object in text form. Fails, writing nothing, when an object does
// not match its template (wrong value kinds, an array whose length differs from its
// dimension member, a string holding a quote or a line break, a non-finite number).
XResult WriteXText(const std::vector<XDataObject>& objects, const TemplateRegistry& registry,
                   std::string* out);

// WriteXText into the file at path (a game path), replacing it.
XResult SaveXFile(std::string_view path, const std::vector<XDataObject>& objects,
                  const TemplateRegistry& registry);

}  // namespace platform::xfile
