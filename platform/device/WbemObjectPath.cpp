#include "platform/device/WbemObjectPath.h"

#include "platform/device/WbemError.h"

namespace lumora {

namespace {

[[noreturn]] void Invalid() { throw EWbemError(wbemErrInvalidObjectPath); }

bool IsNameChar(QChar c, bool first)
{
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
    return letter || (!first && c >= u'0' && c <= u'9');
}

QString TakeName(const QString& s, qsizetype& pos)
{
    const qsizetype start = pos;
    while (pos < s.size() && IsNameChar(s[pos], pos == start))
        ++pos;
    if (pos == start)
        Invalid();
    return s.mid(start, pos - start);
}

WbemObjectPath Parse(const QString& path)
{
    WbemObjectPath result;
    qsizetype pos = 0;
    result.ClassName = TakeName(path, pos);
    if (pos == path.size())
        return result;
    if (path[pos++] != u'.')
        Invalid();
    result.KeyName = TakeName(path, pos);
    if (pos >= path.size() || path[pos++] != u'=' || pos >= path.size())
        Invalid();

    QString value;
    const QChar quote = path[pos];
    if (quote == u'\'') {
        const qsizetype close = path.indexOf(u'\'', pos + 1);
        if (close < 0)
            Invalid();
        value = path.mid(pos + 1, close - pos - 1);
        pos = close + 1;
    } else if (quote == u'"') {
        ++pos;
        while (true) {
            if (pos >= path.size())
                Invalid();
            QChar c = path[pos++];
            if (c == u'"')
                break;
            if (c == u'\\') {
                if (pos >= path.size())
                    Invalid();
                c = path[pos++];
            }
            value += c;
        }
    } else {
        const qsizetype start = pos;
        if (path[pos] == u'-')
            ++pos;
        while (pos < path.size() && path[pos] >= u'0' && path[pos] <= u'9')
            ++pos;
        value = path.mid(start, pos - start);
        if (value.isEmpty() || value == u"-")
            Invalid();
    }
    if (pos != path.size())
        Invalid();
    result.KeyValue = value;
    return result;
}

} // namespace

WbemObjectPath ParseObjectPath(const QString& path)
{
    // A moving control addresses the same instance at every step, twice per
    // step (the object, then its method): the last path parsed is kept.
    thread_local QString lastPath;
    thread_local WbemObjectPath lastParsed;
    if (!lastPath.isNull() && path == lastPath)
        return lastParsed;
    WbemObjectPath parsed = Parse(path);
    lastParsed = parsed;
    lastPath = path;
    return parsed;
}

} // namespace lumora
