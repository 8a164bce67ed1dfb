#include "launcher/Launch.h"

#include "launcher/ShortPath.h"

namespace docrun {

namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool HasUnsafeWordStart(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((i == 0 || IsWhiteSpace(text[i - 1])) &&
            UnsafeWordStart.find(text[i]) != std::string_view::npos)
            return true;
    }
    return false;
}

bool IsSafe(std::string_view text, const Dialect &dialect)
{
    return text.find_first_of(dialect.unsafe) == std::string_view::npos &&
           !HasUnsafeWordStart(text);
}

bool IsAcceptableDocument(std::string_view document, const Dialect &dialect)
{
    return !document.empty() && document.size() <= MaxDocumentLength && IsSafe(document, dialect);
}

} // namespace

std::optional<std::string> CommandLine(std::string_view application, std::string_view document,
                                       const Dialect &dialect)
{
    if (!IsAcceptableDocument(document, dialect))
        return std::nullopt;
    if (application.empty() || application.size() > MaxApplicationLength ||
        !IsSafe(application, dialect))
        return std::nullopt;

    std::optional<std::string> command = ShortPath(application, dialect.separator);
    if (!command)
        return std::nullopt;
    *command += ' ';
    *command += document;
    // Shortening removes spaces but not tabs: a folder "a\t .b" becomes "a\t~1.b", a new word.
    if (command->size() > MaxCommandLength || HasUnsafeWordStart(*command))
        return std::nullopt;
    return command;
}

namespace {

int LaunchOrThrow(const char *document, const Dialect &dialect, const FindApplication &find,
                  const RunCommand &run)
{
    if (document == nullptr)
        return -1;
    // Measure no further than the limit: the caller's text may be of any length.
    std::size_t length = 0;
    while (length <= MaxDocumentLength && document[length] != '\0')
        ++length;
    const std::string_view text(document, length);
    if (!IsAcceptableDocument(text, dialect))
        return -1;

    const std::optional<std::string> application = find(std::string(text));
    if (!application)
        return -1;
    const std::optional<std::string> command = CommandLine(*application, text, dialect);
    if (!command)
        return -1;
    return run(command->c_str());
}

} // namespace

int Launch(const char *document, const Dialect &dialect, const FindApplication &find,
           const RunCommand &run) noexcept
{
    // The look-up and the run may throw anything (a failed allocation, an empty function, whatever
    // a platform call lets through); none of it may reach a caller across a C interface.
    try {
        return LaunchOrThrow(document, dialect, find, run);
    } catch (...) {
        return -1;
    }
}

} // namespace docrun
