#pragma once

// The pieces of the freedesktop.org association look-up that do not need xdg-mime.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace docrun {

// The program of the Exec key of a desktop entry's [Desktop Entry] group: its first word, with
// the entry's escapes and quoting undone. Empty when there is no such key or it names nothing.
std::optional<std::string> DesktopEntryProgram(std::string_view desktopEntry);

// Where desktop entries are searched, most important first: the "applications" folder of
// XDG_DATA_HOME and of each XDG_DATA_DIRS entry (with their defaults when unset or empty).
// home is the user's home folder, used for the default of XDG_DATA_HOME.
std::vector<std::string> ApplicationFolders(const char *dataHome, const char *dataDirs,
                                            const char *home);

// The file of a desktop entry id in the given folders. An id "vendor-app.desktop" may also live as
// "vendor/app.desktop".
std::optional<std::string> FindDesktopEntry(std::string_view id,
                                            const std::vector<std::string> &folders);

// The full path of a program: as it is when it is an absolute path, otherwise the first
// executable file of that name in the absolute folders of pathList (":"-separated). Empty when
// there is no such executable file.
std::optional<std::string> ResolveProgram(std::string_view program, std::string_view pathList);

} // namespace docrun
