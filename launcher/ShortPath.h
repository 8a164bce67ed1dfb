#pragma once

// Rewrites an application path so that no folder name in it holds a space, by rule alone: the file
// system is never asked which short name a folder really has. Pure functions, no I/O.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace docrun {

// Longest folder name (a component between two separators) the rewrite accepts.
inline constexpr std::size_t MaxFolderNameLength = 63;
// Longest rewritten path.
inline constexpr std::size_t MaxShortPathLength = 255;

// The name a folder gets in the short path. A name without a space is returned as it is, whatever
// its length and dots. Otherwise every space is removed, and of what is left the part before the
// first dot (at most 6 characters) is followed by "~1" and by at most 4 characters from that dot.
std::string ShortFolderName(std::string_view name);

// The application path with each folder name replaced by its ShortFolderName. The first component
// (the drive, or what comes before the first separator) and the last one (the file name) stay as
// they are, and so does every separator. A path without a separator is returned unchanged.
// Empty when a folder name is longer than MaxFolderNameLength or the result longer than
// MaxShortPathLength.
std::optional<std::string> ShortPath(std::string_view application, char separator);

} // namespace docrun
