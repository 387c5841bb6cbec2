#include "platform/device/AccessAdvice.h"

#include "platform/device/BacklightProvider.h"
#include "platform/device/MonitorSetProvider.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>


namespace lumora {

namespace {

QString Plural(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// Whether the user is a member of the group by the group database: the
// process itself only counts as one from its next login on.
bool ListedInGroup(const struct group& g)
{
    const struct passwd* user = ::getpwuid(::getuid());
    if (user == nullptr)
        return false;
    if (user->pw_gid == g.gr_gid)
        return true;
    for (char** member = g.gr_mem; member != nullptr && *member != nullptr; ++member)
        if (std::strcmp(*member, user->pw_name) == 0)
            return true;
    return false;
}

} // namespace

QString NotSupportedText(const TAccessFacts& f)
{
    QStringList tried;
    tried << QStringLiteral("- the backlight in %1: %2")
                 .arg(f.BacklightRoot, f.BacklightDevices == 0 ? QStringLiteral("no device there")
                                                              : QStringLiteral("no device that could be used"));
    tried << QStringLiteral("- the desktop's brightness service (KDE Plasma, GNOME): none answered");

    QStringList todo;
    if (f.DdcTried) {
        QString ddc;
        if (!f.I2cDevices) {
            ddc = QStringLiteral("no I2C devices (/dev/i2c-*)");
            todo << QStringLiteral("- load the i2c-dev module: sudo modprobe i2c-dev (to load it at every start: "
                                   "echo i2c-dev | sudo tee /etc/modules-load.d/i2c-dev.conf)");
        } else if (!f.I2cAccess) {
            ddc = QStringLiteral("no permission to open the I2C devices (/dev/i2c-*)");
            const QString group = f.I2cGroup.isEmpty() ? QStringLiteral("i2c") : f.I2cGroup;
            if (f.InI2cGroup)
                todo << QStringLiteral("- your user is in the %1 group, which counts from the next login on: log out "
                                       "and in again")
                            .arg(group);
            else
                todo << QStringLiteral("- add your user to the %1 group: sudo usermod -aG %1 $USER, then log out and in again")
                            .arg(group);
        } else if (f.DdcMonitors == 0 || f.DdcSilent == f.DdcMonitors) {
            ddc = f.DdcMonitors == 0 ? QStringLiteral("no monitor answered")
                                     : Plural(f.DdcMonitors, "monitor was found but did not answer",
                                              "monitors were found but did not answer");
            todo << QStringLiteral("- switch DDC/CI on in the monitor's menu (and connect it directly: some docks and "
                                   "adapters do not pass DDC/CI on)");
        } else {
            ddc = QStringLiteral("no monitor with a brightness range");
        }
        tried << QStringLiteral("- DDC/CI over I2C: %1").arg(ddc);
    }

    QString text = QStringLiteral("Not supported\n\nNo monitor whose brightness this program can set was found.\n\nTried:\n") +
                   tried.join(u'\n');
    if (!todo.isEmpty())
        text += QStringLiteral("\n\nWhat you can do:\n") + todo.join(u'\n');
    return text;
}

TAccessFacts LookAtAccess(const WbemProvider* brightness, const QString& devRoot)
{
    TAccessFacts f;
    const auto* backlight = dynamic_cast<const BacklightProvider*>(brightness);
    f.BacklightRoot = backlight != nullptr ? backlight->Options().Root : kDefaultBacklightRoot;
    // A device is a folder (in sysfs a link to one) with a maximum to read.
    const QDir root(f.BacklightRoot);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System))
        if (QFileInfo::exists(root.filePath(name + QStringLiteral("/max_brightness"))))
            ++f.BacklightDevices;

    const QStringList nodes = QDir(devRoot).entryList({QStringLiteral("i2c-*")}, QDir::System | QDir::Files);
    f.I2cDevices = !nodes.isEmpty();
    for (const QString& node : nodes) {
        const QByteArray path = QFile::encodeName(devRoot + u'/' + node);
        // Opened without blocking and closed at once: only whether it may be
        // opened counts.
        const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0) {
            ::close(fd);
            f.I2cAccess = true;
        }
        struct stat st {};
        if (f.I2cGroup.isEmpty() && ::stat(path.constData(), &st) == 0 && st.st_gid != 0) {
            if (const struct group* g = ::getgrgid(st.st_gid)) {
                f.I2cGroup = QString::fromLocal8Bit(g->gr_name);
                f.InI2cGroup = ListedInGroup(*g);
            }
        }
    }

    const auto* set = dynamic_cast<const MonitorSetProvider*>(brightness);
    f.DdcTried = set != nullptr;
    if (!set)
        return f;
    for (const MonitorInfo& m : set->Monitors()) {
        if (m.Panel)
            continue;
        ++f.DdcMonitors;
        if (!m.Answering)
            ++f.DdcSilent;
    }

    return f;
}

} // namespace lumora
