#include "platform/shell/Autostart.h"

#include "platform/framework/Exception.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace lumora {

namespace {

// String escapes of the desktop-entry key-file level.
QString EscapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u' ':
            // Leading blanks would be trimmed by readers.
            out += i == 0 ? QLatin1String("\\s") : QLatin1String(" ");
            break;
        default: out += c;
        }
    }
    return out;
}

QString UnescapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar e = value[++i];
        switch (e.unicode()) {
        case u's': out += u' '; break;
        case u'n': out += u'\n'; break;
        case u't': out += u'\t'; break;
        case u'r': out += u'\r'; break;
        case u'\\': out += u'\\'; break;
        default:
            out += u'\\';
            out += e;
        }
    }
    return out;
}

QString ConfigHome()
{
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        return QDir::homePath() + QStringLiteral("/.config");
    return base;
}

} // namespace

QString TAutostart::DefaultFolder() { return ConfigHome() + QStringLiteral("/autostart"); }

TAutostart::TAutostart(QString folder) : folder_(std::move(folder)) {}

QString TAutostart::EntryPath(const QString& valueName) const
{
    QString stem;
    bool pendingDash = false;
    for (QChar c : valueName.toLower()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
            if (pendingDash && !stem.isEmpty())
                stem += u'-';
            pendingDash = false;
            stem += c;
        } else {
            pendingDash = true;
        }
    }
    if (stem.isEmpty())
        stem = QStringLiteral("autostart");
    return folder_ + u'/' + stem + QStringLiteral(".desktop");
}

void TAutostart::WriteRunValue(const QString& valueName, const QString& data) const
{
    if (!QDir().mkpath(folder_))
        throw EInOutError(QStringLiteral("Cannot create the autostart folder '%1'").arg(folder_));
    const QString path = EntryPath(valueName);
    // TryExec names the program itself: once it is removed (the package
    // uninstalled, the build folder deleted) the session skips the entry
    // instead of trying to start a missing program at every login.
    const QString program = SplitExecLine(data).value(0);
    const QString tryExec =
        QDir::isAbsolutePath(program) ? QStringLiteral("TryExec=%1\n").arg(EscapeValue(program)) : QString();
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "%3"
                                        "Exec=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(EscapeValue(valueName), EscapeValue(data), tryExec);
    // Replaced atomically: a half-written entry would start nothing.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write the autostart entry '%1': %2").arg(path, file.errorString()));
}

bool TAutostart::RunValueExists(const QString& valueName) const { return QFile::exists(EntryPath(valueName)); }

void TAutostart::DeleteRunValue(const QString& valueName) const
{
    const QString path = EntryPath(valueName);
    QFile file(path);
    if (file.exists() && !file.remove())
        throw EInOutError(QStringLiteral("Cannot remove the autostart entry '%1': %2").arg(path, file.errorString()));
}

std::optional<QString> TAutostart::ReadRunValue(const QString& valueName) const
{
    QFile file(EntryPath(valueName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool inEntry = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.startsWith(QLatin1String("Exec")) && line.mid(4).trimmed().startsWith(u'='))
            return UnescapeValue(line.mid(line.indexOf(u'=') + 1).trimmed());
    }
    return QString();
}

QString ShortPath(const QString& path)
{
    QString out = QStringLiteral("\"");
    for (QChar c : path) {
        switch (c.unicode()) {
        case u'"':
        case u'`':
        case u'$':
        case u'\\':
            out += u'\\';
            out += c;
            break;
        case u'%':
            out += QLatin1String("%%");
            break;
        default:
            out += c;
        }
    }
    out += u'"';
    return out;
}

QStringList SplitExecLine(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == u'%' && i + 1 < exec.size()) {
            // %% is a percent sign; other field codes have nothing to expand
            // for an autostart entry.
            if (exec[++i] == u'%') {
                current += u'%';
                inArgument = true;
            }
            continue;
        }
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < exec.size() && QStringLiteral("\"`$\\").contains(exec[i + 1])) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inArgument = true;
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument)
                args.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.append(current);
    return args;
}

} // namespace lumora
