// Fuzzes the short path rules, the limits and the refusals, and the desktop entry parser.
// Input: one flags byte (bit 0: Windows paths and cmd, else POSIX; bit 1: also parse the rest as a
// desktop entry), then the application path, a zero byte, and the document path.

#include "launcher/Launch.h"
#include "launcher/ShortPath.h"
#include "launcher/XdgAssociation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace docrun;

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find(separator, pos)) != std::string_view::npos;
         pos = end + 1)
        parts.push_back(text.substr(pos, end - pos));
    parts.push_back(text.substr(pos));
    return parts;
}

void CheckFolderName(std::string_view name)
{
    const std::string result = ShortFolderName(name);
    if (name.find(' ') == std::string_view::npos) {
        Check(result == name);
        return;
    }
    Check(result.find(' ') == std::string::npos);
    Check(result.size() <= 6 + 2 + 4);
    Check(result.find("~1") != std::string::npos);
}

// Rebuilds the short path by splitting instead of walking, and compares.
void CheckShortPath(std::string_view application, char separator)
{
    const std::optional<std::string> result = ShortPath(application, separator);
    const std::vector<std::string_view> parts = Split(application, separator);
    if (parts.size() == 1) {
        Check(result && *result == application);
        return;
    }
    std::string expected(parts.front());
    bool fits = true;
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        CheckFolderName(parts[i]);
        fits = fits && parts[i].size() <= MaxFolderNameLength;
        expected += separator;
        expected += ShortFolderName(parts[i]);
    }
    expected += separator;
    expected += parts.back();
    fits = fits && expected.size() <= MaxShortPathLength;
    Check(result.has_value() == fits);
    if (result)
        Check(*result == expected);
}

// A shell comment or home folder: '#' or '~' at the start or right after white space.
bool StartsAWordWithHashOrTilde(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool wordStart =
            i == 0 || std::string_view(" \t\n\v\f\r").find(text[i - 1]) != std::string_view::npos;
        if (wordStart && (text[i] == '#' || text[i] == '~'))
            return true;
    }
    return false;
}

bool Plain(std::string_view text, const Dialect &dialect)
{
    return text.find_first_of(dialect.unsafe) == std::string_view::npos &&
           !StartsAWordWithHashOrTilde(text);
}

void CheckLaunch(const std::string &application, const std::string &document,
                 const Dialect &dialect)
{
    std::vector<std::string> looked, ran;
    const int result = Launch(
        document.c_str(), dialect,
        [&](const std::string &doc) -> std::optional<std::string> {
            looked.push_back(doc);
            if (application.empty())
                return std::nullopt;
            return application;
        },
        [&](const char *command) {
            ran.emplace_back(command);
            return 42;
        });

    const bool documentOk =
        !document.empty() && document.size() <= MaxDocumentLength && Plain(document, dialect);
    Check(looked.size() == (documentOk ? 1u : 0u));
    if (documentOk)
        Check(looked.front() == document);

    const std::optional<std::string> shortPath = ShortPath(application, dialect.separator);
    const bool applicationOk = !application.empty() && application.size() <= MaxApplicationLength &&
                               Plain(application, dialect) && shortPath.has_value();
    const bool runs = documentOk && applicationOk &&
                      shortPath->size() + 1 + document.size() <= MaxCommandLength &&
                      !StartsAWordWithHashOrTilde(*shortPath + " " + document);
    Check(ran.size() == (runs ? 1u : 0u));
    Check(result == (runs ? 42 : -1));
    if (runs) {
        Check(ran.front() == *shortPath + " " + document);
        Check(ran.front().size() <= MaxCommandLength);
        Check(ran.front().find_first_of(dialect.unsafe) == std::string::npos);
        Check(!StartsAWordWithHashOrTilde(ran.front()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Dialect &dialect = (data[0] & 1) ? WindowsDialect : PosixDialect;
    const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);

    const std::size_t zero = rest.find('\0');
    const std::string_view application = rest.substr(0, zero);
    std::string_view document;
    if (zero != std::string_view::npos) {
        document = rest.substr(zero + 1);
        document = document.substr(0, document.find('\0'));
    }

    CheckShortPath(application, dialect.separator);
    CheckLaunch(std::string(application), std::string(document), dialect);
    if (data[0] & 2)
        (void)DesktopEntryProgram(rest);
    return 0;
}
