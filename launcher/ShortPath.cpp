#include "launcher/ShortPath.h"

namespace docrun {

std::string ShortFolderName(std::string_view name)
{
    if (name.find(' ') == std::string_view::npos)
        return std::string(name);

    std::string compact;
    for (char c : name) {
        if (c != ' ')
            compact += c;
    }

    const std::size_t dot = compact.find('.');
    if (dot == std::string::npos)
        return compact.substr(0, 6) + "~1";
    return compact.substr(0, dot < 6 ? dot : 6) + "~1" + compact.substr(dot, 4);
}

std::optional<std::string> ShortPath(std::string_view application, char separator)
{
    // Without a separator there is neither a folder nor a drive to keep apart from the file name;
    // the walk below would put a separator in front of it and change what it names.
    if (application.find(separator) == std::string_view::npos)
        return std::string(application);

    std::string result;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = application.find(separator, pos);
        if (end == std::string_view::npos)
            break; // the file name
        const std::string_view component = application.substr(pos, end - pos);
        if (pos == 0) {
            result = component;
        } else {
            if (component.size() > MaxFolderNameLength)
                return std::nullopt;
            result += separator;
            result += ShortFolderName(component);
        }
        if (result.size() > MaxShortPathLength)
            return std::nullopt;
        pos = end + 1;
    }
    result += separator;
    result += application.substr(pos);
    if (result.size() > MaxShortPathLength)
        return std::nullopt;
    return result;
}

} // namespace docrun
