#include "launcher/XdgAssociation.h"

#include "launcher/Association.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace docrun {

namespace {

bool IsExecutableFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

bool IsReadableFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

bool IsDirectory(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Undoes the escapes of a desktop entry's string value.
std::string Unescape(std::string_view value)
{
    constexpr std::string_view escaped = "sntr\\", meant = " \n\t\r\\";
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::size_t which =
            value[i] == '\\' && i + 1 < value.size() ? escaped.find(value[i + 1]) : escaped.npos;
        if (which != escaped.npos) {
            out += meant[which];
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::optional<std::string> FindIn(const std::string &folder, std::string_view id)
{
    const std::string file = folder + '/' + std::string(id);
    if (IsReadableFile(file))
        return file;
    for (std::size_t dash = id.find('-'); dash != std::string_view::npos;
         dash = id.find('-', dash + 1)) {
        const std::string_view part = id.substr(0, dash);
        if (part.empty() || part == "." || part == "..")
            continue; // stay inside the applications folder
        const std::string sub = folder + '/' + std::string(part);
        if (IsDirectory(sub)) {
            if (std::optional<std::string> found = FindIn(sub, id.substr(dash + 1)))
                return found;
        }
    }
    return std::nullopt;
}

// Runs a program found through PATH with the given arguments, never through a shell, and returns
// the first line of its standard output; empty when it cannot be run, fails or prints nothing.
std::optional<std::string> FirstLineOf(const char *program,
                                       std::initializer_list<const char *> args)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program));
    for (const char *arg : args)
        argv.push_back(const_cast<char *>(arg));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return std::nullopt;
    }

    // Read to the end so the child never blocks on a full pipe, but keep only a sensible amount.
    std::string output;
    char buffer[512];
    for (;;) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got > 0) {
            if (output.size() < 4096)
                output.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(fds[0]);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;

    const std::string_view line = Trim(std::string_view(output).substr(0, output.find('\n')));
    if (line.empty())
        return std::nullopt;
    return std::string(line);
}

} // namespace

std::optional<std::string> DesktopEntryProgram(std::string_view desktopEntry)
{
    bool inMainGroup = false;
    std::size_t pos = 0;
    while (pos < desktopEntry.size()) {
        std::size_t end = desktopEntry.find('\n', pos);
        if (end == std::string_view::npos)
            end = desktopEntry.size();
        const std::string_view line = Trim(desktopEntry.substr(pos, end - pos));
        pos = end + 1;

        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos ||
            Trim(line.substr(0, equals)) != "Exec")
            continue;

        const std::string value = Unescape(Trim(line.substr(equals + 1)));
        std::string program;
        if (!value.empty() && value.front() == '"') {
            std::size_t i = 1;
            for (; i < value.size() && value[i] != '"'; ++i) {
                if (value[i] == '\\' && i + 1 < value.size() &&
                    std::string_view("\"`$\\").find(value[i + 1]) != std::string_view::npos)
                    ++i;
                program += value[i];
            }
            if (i == value.size())
                return std::nullopt; // no closing quote
        } else {
            program = value.substr(0, value.find(' '));
        }
        if (program.empty())
            return std::nullopt;
        return program;
    }
    return std::nullopt;
}

std::vector<std::string> ApplicationFolders(const char *dataHome, const char *dataDirs,
                                            const char *home)
{
    std::vector<std::string> folders;
    if (dataHome != nullptr && *dataHome != '\0')
        folders.push_back(std::string(dataHome) + "/applications");
    else if (home != nullptr && *home != '\0')
        folders.push_back(std::string(home) + "/.local/share/applications");

    const std::string_view dirs =
        dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    std::size_t pos = 0;
    while (pos <= dirs.size()) {
        std::size_t end = dirs.find(':', pos);
        if (end == std::string_view::npos)
            end = dirs.size();
        if (end > pos)
            folders.push_back(std::string(dirs.substr(pos, end - pos)) + "/applications");
        pos = end + 1;
    }
    return folders;
}

std::optional<std::string> FindDesktopEntry(std::string_view id,
                                            const std::vector<std::string> &folders)
{
    if (id.empty() || id.find('/') != std::string_view::npos)
        return std::nullopt;
    for (const std::string &folder : folders) {
        if (std::optional<std::string> found = FindIn(folder, id))
            return found;
    }
    return std::nullopt;
}

std::optional<std::string> ResolveProgram(std::string_view program, std::string_view pathList)
{
    if (program.empty())
        return std::nullopt;
    if (program.find('/') != std::string_view::npos) {
        const std::string path(program);
        if (program.front() == '/' && IsExecutableFile(path))
            return path;
        return std::nullopt;
    }
    std::size_t pos = 0;
    while (pos <= pathList.size()) {
        std::size_t end = pathList.find(':', pos);
        if (end == std::string_view::npos)
            end = pathList.size();
        const std::string_view folder = pathList.substr(pos, end - pos);
        pos = end + 1;
        // A relative entry would make the result depend on the current folder.
        if (folder.empty() || folder.front() != '/')
            continue;
        std::string path(folder);
        if (path.back() != '/')
            path += '/';
        path += program;
        if (IsExecutableFile(path))
            return path;
    }
    return std::nullopt;
}

std::optional<std::string> FindAssociatedApplication(const std::string &document)
{
    std::optional<std::string> type =
        FirstLineOf("xdg-mime", {"query", "filetype", document.c_str()});
    if (!type)
        return std::nullopt;
    // Some desktops add parameters ("text/plain; charset=us-ascii").
    type = std::string(Trim(std::string_view(*type).substr(0, type->find(';'))));
    if (type->empty() || type->find('/') == std::string::npos ||
        type->find(' ') != std::string::npos)
        return std::nullopt;

    const std::optional<std::string> id =
        FirstLineOf("xdg-mime", {"query", "default", type->c_str()});
    if (!id || id->size() <= 8 || id->compare(id->size() - 8, 8, ".desktop") != 0)
        return std::nullopt;

    const std::optional<std::string> entryFile = FindDesktopEntry(
        *id, ApplicationFolders(std::getenv("XDG_DATA_HOME"), std::getenv("XDG_DATA_DIRS"),
                                std::getenv("HOME")));
    if (!entryFile)
        return std::nullopt;

    std::string text;
    if (FILE *file = std::fopen(entryFile->c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < (1u << 20))
            text.append(buffer, got);
        std::fclose(file);
    } else {
        return std::nullopt;
    }

    const std::optional<std::string> program = DesktopEntryProgram(text);
    if (!program)
        return std::nullopt;
    const char *path = std::getenv("PATH");
    return ResolveProgram(*program, path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

} // namespace docrun
