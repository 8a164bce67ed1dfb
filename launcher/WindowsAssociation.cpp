#include "launcher/Association.h"

#include <windows.h>

#include <shellapi.h>

namespace docrun {

std::optional<std::string> FindAssociatedApplication(const std::string &document)
{
    // The shell writes up to MAX_PATH characters; longer answers are refused later.
    char result[MAX_PATH + 1] = {};
    const HINSTANCE status = FindExecutableA(document.c_str(), "", result);
    // Values up to 32 are error codes; the buffer then holds nothing to rely on.
    if (reinterpret_cast<INT_PTR>(status) <= 32 || result[0] == '\0')
        return std::nullopt;
    result[MAX_PATH] = '\0';
    return std::string(result);
}

} // namespace docrun
