#pragma once

// A stand-in backlight folder for tests: <root>/<name>/{brightness,
// max_brightness,type[,actual_brightness]} in a temporary folder.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace lumora::test {

class BacklightStandIn {
public:
    BacklightStandIn() { dir_.setAutoRemove(true); }

    QString Root() const { return dir_.path(); }
    QString DevicePath(const QString& name) const { return Root() + u'/' + name; }

    // Creates a device; `type` empty leaves the "type" file out.
    void AddDevice(const QString& name, const QString& type, const QByteArray& max, const QByteArray& brightness,
                   std::optional<QByteArray> actual = std::nullopt) const
    {
        QDir(Root()).mkpath(name);
        Write(name, "max_brightness", max);
        Write(name, "brightness", brightness);
        if (!type.isEmpty())
            Write(name, "type", type.toLatin1() + '\n');
        if (actual)
            Write(name, "actual_brightness", *actual);
    }

    void Write(const QString& name, const char* file, const QByteArray& content) const
    {
        QFile f(DevicePath(name) + u'/' + QLatin1String(file));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("cannot write stand-in file");
        f.write(content);
    }

    QByteArray Read(const QString& name, const char* file) const
    {
        QFile f(DevicePath(name) + u'/' + QLatin1String(file));
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll();
    }

private:
    QTemporaryDir dir_;
};

// A device "panel" (raw, 0..100, at 3) whose brightness file the test cannot
// write: read-only, and since the superuser writes read-only files, a test run
// as root acts as nobody from Unprivileged() until Restore() or the end.
class ReadOnlyPanel {
public:
    explicit ReadOnlyPanel(const BacklightStandIn& standIn) : brightness_(standIn.DevicePath("panel") + "/brightness")
    {
        standIn.AddDevice("panel", "raw", "100\n", "3\n");
        ::chmod(QFile::encodeName(brightness_).constData(), 0444);
        ::chmod(QFile::encodeName(standIn.Root()).constData(), 0755);
    }
    ~ReadOnlyPanel() { Restore(); }
    QString Brightness() const { return brightness_; }
    // False where the test cannot act as an unprivileged user.
    bool Unprivileged()
    {
        if (::geteuid() != 0)
            return true;
        dropped_ = ::seteuid(65534) == 0;
        return dropped_;
    }
    void Restore()
    {
        if (dropped_ && ::seteuid(0) == 0)
            dropped_ = false;
    }

private:
    QString brightness_;
    bool dropped_ = false;
};

} // namespace lumora::test
