#pragma once

// A stand-in backlight folder for tests: <root>/<name>/{brightness,
// max_brightness,type[,actual_brightness]} in a temporary folder.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <optional>

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

} // namespace lumora::test
