#include "link/PortFailure.h"

#include "app/Resources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX

QByteArray devicePath(const QString &device)
{
    // The serial port looks for a name that is no absolute path in /dev.
    return QFile::encodeName(device.startsWith(QLatin1Char('/')) ? device : "/dev/" + device);
}

// A file system object that is certainly no serial port: no character device, or one that is no
// terminal (/dev/null). False when it cannot be told (no access).
bool isNoSerialPort(const QByteArray &path, const struct stat &status)
{
    if (!S_ISCHR(status.st_mode))
        return true;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return !terminal;
}

QString userName(uid_t uid)
{
    if (const passwd *entry = ::getpwuid(uid))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    if (const group *entry = ::getgrgid(gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(gid);
}

// The groups of this session (what the kernel checks).
bool sessionHasGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(std::size_t(count), 0);
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[std::size_t(i)] == gid)
            return true;
    }
    return false;
}

// The groups the user belongs to by the system's group database (what the next login gets).
bool userDatabaseHasGroup(uid_t uid, gid_t gid)
{
    const passwd *entry = ::getpwuid(uid);
    if (!entry)
        return false;
    const QByteArray name(entry->pw_name);
    const gid_t primary = entry->pw_gid;
    if (primary == gid)
        return true;
    int count = 64;
    std::vector<gid_t> groups(std::size_t(count), 0);
    while (::getgrouplist(name.constData(), primary, groups.data(), &count) == -1) {
        if (count <= int(groups.size()))
            return false;
        groups.resize(std::size_t(count));
    }
    for (int i = 0; i < count; ++i) {
        if (groups[std::size_t(i)] == gid)
            return true;
    }
    return false;
}

// The programs that have the device open, as far as this user may see (Linux: /proc).
QStringList holdersOf(const QByteArray &path)
{
    QStringList holders;
#ifdef Q_OS_LINUX
    const QString device = QFileInfo(QFile::decodeName(path)).canonicalFilePath();
    if (device.isEmpty())
        return holders;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        pid.toLongLong(&numeric);
        if (!numeric)
            continue;
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFile::symLinkTarget(fds.filePath(fd)) != device)
                continue;
            QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
            const QString name = comm.open(QIODevice::ReadOnly)
                                     ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                     : QString();
            holders << LoadResString(4612).arg(name.isEmpty() ? QStringLiteral("?") : name, pid);
            break;
        }
    }
#else
    Q_UNUSED(path);
#endif
    return holders;
}

#endif // Q_OS_UNIX

QString presentPortsText(const QList<PortEntry> &ports)
{
    if (ports.isEmpty())
        return LoadResString(4604);
    QString text = LoadResString(4603);
    for (const PortEntry &port : ports)
        text += QStringLiteral("\n    ") + PortEntryText(port);
    return text;
}

QString environmentNote(int portNumber, const PortDevice &port)
{
    if (port.source != PortDevice::Source::Environment)
        return {};
    return QStringLiteral("\n") + LoadResString(4602).arg(QStringLiteral("COM%1").arg(portNumber),
                                                          PortVariable(portNumber));
}

} // namespace

PortFailure DiagnosePortFailure(const QString &device, bool lockOrPermission)
{
    PortFailure failure;
#ifdef Q_OS_UNIX
    const QByteArray path = devicePath(device);
    struct stat status;
    if (::stat(path.constData(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            failure.kind = PortFailure::Kind::Missing;
            failure.present = PresentPorts();
        }
        return failure;
    }
    if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        failure.kind = PortFailure::Kind::Permission;
        failure.group = groupName(status.st_gid);
        failure.owner = userName(status.st_uid);
        failure.user = userName(::geteuid());
        failure.groupMayUse = (status.st_mode & S_IRGRP) && (status.st_mode & S_IWGRP);
        failure.joinedNotActive =
            userDatabaseHasGroup(::geteuid(), status.st_gid) && !sessionHasGroup(status.st_gid);
        return failure;
    }
    if (isNoSerialPort(path, status)) {
        failure.kind = PortFailure::Kind::NotSerial;
        return failure;
    }
    if (lockOrPermission) {
        failure.kind = PortFailure::Kind::Busy;
        failure.holders = holdersOf(path);
    }
#else
    // Windows says "access denied" for a port that another program holds.
    bool exists = false;
    for (const PortEntry &port : PresentPorts())
        exists = exists || port.device.compare(device, Qt::CaseInsensitive) == 0;
    if (!exists) {
        failure.kind = PortFailure::Kind::Missing;
        failure.present = PresentPorts();
    } else if (lockOrPermission) {
        failure.kind = PortFailure::Kind::Busy;
    }
#endif
    return failure;
}

QString PortFailureAdvice(int portNumber, const PortDevice &port, const PortFailure &failure)
{
    const QString com = QStringLiteral("COM%1").arg(portNumber);
    const QString &device = port.device;
    switch (failure.kind) {
    case PortFailure::Kind::Unknown:
        return {};
    case PortFailure::Kind::Missing: {
        const bool adapterAway = port.adapter && port.adapter->hasIdentity() && !port.found;
        const QString what = adapterAway ? LoadResString(4601).arg(com, AdapterText(*port.adapter))
                                         : LoadResString(4600).arg(com, device);
        return what + environmentNote(portNumber, port) + QStringLiteral("\n\n") +
               presentPortsText(failure.present);
    }
    case PortFailure::Kind::NotSerial:
        return LoadResString(4605).arg(com, device) + environmentNote(portNumber, port);
    case PortFailure::Kind::Permission:
        if (failure.joinedNotActive)
            return LoadResString(4607).arg(com, device, failure.group, failure.user);
        if (!failure.groupMayUse)
            return LoadResString(4608).arg(com, device, failure.owner, failure.user);
        return LoadResString(4606).arg(com, device, failure.group, failure.user) +
               QStringLiteral("\n\n    sudo usermod -aG %1 %2").arg(failure.group, failure.user);
    case PortFailure::Kind::Busy:
        if (failure.holders.isEmpty())
            return LoadResString(4610).arg(com, device);
        return LoadResString(4609).arg(com, device, failure.holders.join(QStringLiteral(", ")));
    }
    return {};
}
