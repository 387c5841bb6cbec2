#pragma once

// Stand-in DDC/CI monitors for tests: one subfolder per monitor with its
// identity, luminance, maximum, per-call delay and failure switch.

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>

namespace lumora::testing {

class DdcStandInFolder {
public:
    QString Root() const { return dir_.path(); }

    void AddMonitor(const QString& id, const QString& model, const QString& serial, int brightness, int maximum,
                    int delayMs = 0, const QString& connector = QString()) const
    {
        QDir(Root()).mkpath(id);
        Write(id, "model", model.toUtf8() + '\n');
        Write(id, "serial", serial.toUtf8() + '\n');
        Write(id, "brightness", QByteArray::number(brightness) + '\n');
        Write(id, "max_brightness", QByteArray::number(maximum) + '\n');
        Write(id, "delay_ms", QByteArray::number(delayMs) + '\n');
        if (!connector.isEmpty())
            Write(id, "connector", connector.toUtf8() + '\n');
    }

    void SetDelay(const QString& id, int ms) const { Write(id, "delay_ms", QByteArray::number(ms) + '\n'); }
    void SetFailing(const QString& id, bool failing) const { Write(id, "fail", failing ? "1\n" : "0\n"); }

    // From now on, every value written to the monitor is listed in order.
    void ListWrites(const QString& id) const { Write(id, "writes", QByteArray()); }
    QList<int> Writes(const QString& id) const
    {
        QFile f(Root() + u'/' + id + QStringLiteral("/writes"));
        QList<int> values;
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    values << line.toInt();
        return values;
    }
    int Brightness(const QString& id) const
    {
        QFile f(Root() + u'/' + id + QStringLiteral("/brightness"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : -1;
    }

    void Write(const QString& id, const char* file, const QByteArray& content) const
    {
        QFile f(Root() + u'/' + id + u'/' + QLatin1String(file));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("cannot write stand-in monitor file");
        f.write(content);
    }

private:
    QTemporaryDir dir_;
};

} // namespace lumora::testing
