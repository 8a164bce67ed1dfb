#pragma once

#include <optional>
#include <string>

namespace docrun {

// Full path of the application the desktop opens the document with; empty when there is none or
// the look-up fails. Windows asks the shell; elsewhere the freedesktop.org association is used.
std::optional<std::string> FindAssociatedApplication(const std::string &document);

} // namespace docrun
