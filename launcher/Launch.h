#pragma once

// Opening a document: the command line made of the associated application's short path and the
// document path, the checks that keep it within its limits and free of interpreter syntax, and the
// run. The look-up and the run are passed in, so the whole sequence runs without a desktop.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace docrun {

inline constexpr std::size_t MaxDocumentLength = 63;
inline constexpr std::size_t MaxApplicationLength = 255;
inline constexpr std::size_t MaxCommandLength = 255;

// What differs between the platforms' paths and command interpreters.
struct Dialect
{
    char separator;
    // Characters the command interpreter would read as anything but part of a word. Spaces are not
    // among them: they split the command line into words, and that is accepted.
    std::string_view unsafe;
};

// Backslash-separated paths and cmd, which also ends a command at a line break.
inline constexpr Dialect WindowsDialect{'\\', "&|<>^\"%\r\n"};
// Slash-separated paths and the POSIX shell.
inline constexpr Dialect PosixDialect{'/', ";&|$`()<>\"'\\\n*?["};

// Characters that must not begin a word (at the start of a path or after white space): a shell
// would read a comment or a home folder there. Refused on every platform, so that a document or
// application path is accepted or refused alike wherever the library runs.
inline constexpr std::string_view UnsafeWordStart = "#~";

#ifdef _WIN32
inline constexpr const Dialect &NativeDialect = WindowsDialect;
#else
inline constexpr const Dialect &NativeDialect = PosixDialect;
#endif

// The command line "short path" + " " + document, or empty when the document or the application
// path is too long, holds an unsafe character or a word starting with one of UnsafeWordStart, a
// folder name or the short path is too long, or the command line would be longer than
// MaxCommandLength or have such a word itself.
std::optional<std::string> CommandLine(std::string_view application, std::string_view document,
                                       const Dialect &dialect);

// Full path of the application associated with a document; empty when there is none.
using FindApplication = std::function<std::optional<std::string>(const std::string &document)>;
// Runs a command line through the command interpreter and returns what the interpreter call
// returned.
using RunCommand = std::function<int(const char *command)>;

// Looks up the application for the document, builds the command line and runs it. Returns what
// run returned, or -1 without running anything when there is no document, no application or no
// acceptable command line. A refused document is not even looked up. Whatever the look-up or the
// run throws ends in -1 as well.
int Launch(const char *document, const Dialect &dialect, const FindApplication &find,
           const RunCommand &run) noexcept;

} // namespace docrun
