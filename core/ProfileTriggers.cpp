#include "core/ProfileTriggers.h"

#include <QRegularExpression>

#include <cmath>

namespace lumora {

namespace {

// Light levels are kept to a hundredth of a lux, up to ten times direct
// sunlight; within that the written text reads back as the same number (a
// value in exponent form would not read back at all).
constexpr double kMaxLux = 1'000'000;

QString LuxNumber(double lux)
{
    QString text = QString::number(lux, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

std::optional<double> ParseLux(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > kMaxLux)
        return std::nullopt;
    return std::round(value * 100) / 100;
}

} // namespace

QString TriggerText(const TProfileTrigger& t)
{
    switch (t.Kind) {
    case TriggerKind::TimeOfDay:
        return QStringLiteral("%1:%2").arg(t.Minutes / 60, 2, 10, QChar(u'0')).arg(t.Minutes % 60, 2, 10, QChar(u'0'));
    case TriggerKind::Sunrise:
    case TriggerKind::Sunset: {
        const QString sun = t.Kind == TriggerKind::Sunrise ? QStringLiteral("sunrise") : QStringLiteral("sunset");
        if (t.Minutes == 0)
            return sun;
        return QStringLiteral("%1 %2 %3 min").arg(sun, t.Minutes < 0 ? QStringLiteral("-") : QStringLiteral("+")).arg(std::abs(t.Minutes));
    }
    case TriggerKind::OnBattery:
        return QStringLiteral("on battery");
    case TriggerKind::OnMains:
        return QStringLiteral("on mains");
    case TriggerKind::Light:
        if (t.LuxFrom && t.LuxBelow)
            return QStringLiteral("%1-%2 lx").arg(LuxNumber(*t.LuxFrom), LuxNumber(*t.LuxBelow));
        if (t.LuxBelow)
            return QStringLiteral("< %1 lx").arg(LuxNumber(*t.LuxBelow));
        return QStringLiteral("> %1 lx").arg(LuxNumber(t.LuxFrom.value_or(0)));
    }
    return {};
}

std::optional<TProfileTrigger> ParseTrigger(const QString& input)
{
    const QString text = input.simplified().toLower();
    TProfileTrigger t;

    static const QRegularExpression time(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    if (const auto m = time.match(text); m.hasMatch()) {
        const int h = m.captured(1).toInt();
        const int min = m.captured(2).toInt();
        if (h > 23 || min > 59)
            return std::nullopt;
        t.Kind = TriggerKind::TimeOfDay;
        t.Minutes = h * 60 + min;
        return t;
    }

    static const QRegularExpression sun(QStringLiteral("^(sunrise|sunset)(?: ?([+-]) ?(\\d{1,4}) ?(?:min)?)?$"));
    if (const auto m = sun.match(text); m.hasMatch()) {
        t.Kind = m.captured(1) == u"sunrise" ? TriggerKind::Sunrise : TriggerKind::Sunset;
        if (m.hasCaptured(2)) {
            const int offset = m.captured(3).toInt();
            if (offset > kMaxSunOffsetMinutes)
                return std::nullopt;
            t.Minutes = m.captured(2) == u"-" ? -offset : offset;
        }
        return t;
    }

    if (text == u"on battery") {
        t.Kind = TriggerKind::OnBattery;
        return t;
    }
    if (text == u"on mains") {
        t.Kind = TriggerKind::OnMains;
        return t;
    }

    static const QRegularExpression below(QStringLiteral("^< ?([0-9.]+) ?lx$"));
    static const QRegularExpression above(QStringLiteral("^> ?([0-9.]+) ?lx$"));
    static const QRegularExpression range(QStringLiteral("^([0-9.]+) ?- ?([0-9.]+) ?lx$"));
    t.Kind = TriggerKind::Light;
    if (const auto m = below.match(text); m.hasMatch()) {
        t.LuxBelow = ParseLux(m.captured(1));
        return t.LuxBelow && *t.LuxBelow > 0 ? std::optional(t) : std::nullopt;
    }
    if (const auto m = above.match(text); m.hasMatch()) {
        t.LuxFrom = ParseLux(m.captured(1));
        return t.LuxFrom ? std::optional(t) : std::nullopt;
    }
    if (const auto m = range.match(text); m.hasMatch()) {
        t.LuxFrom = ParseLux(m.captured(1));
        t.LuxBelow = ParseLux(m.captured(2));
        return t.LuxFrom && t.LuxBelow && *t.LuxFrom < *t.LuxBelow ? std::optional(t) : std::nullopt;
    }
    return std::nullopt;
}

QString TriggerListText(const std::vector<TProfileTrigger>& triggers)
{
    QStringList parts;
    for (const TProfileTrigger& t : triggers)
        parts << TriggerText(t);
    return parts.join(QStringLiteral("; "));
}

std::vector<TProfileTrigger> ParseTriggerList(const QString& text, QStringList* rejected)
{
    std::vector<TProfileTrigger> triggers;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        if (part.trimmed().isEmpty())
            continue;
        if (const auto t = ParseTrigger(part))
            triggers.push_back(*t);
        else if (rejected)
            *rejected << part.trimmed();
    }
    return triggers;
}

std::optional<QDateTime> TriggerTimeOn(const TProfileTrigger& t, const QDate& date, const TGeoLocation& location,
                                       const QTimeZone& zone)
{
    switch (t.Kind) {
    case TriggerKind::TimeOfDay: {
        // A time inside the hour summer time skips does not exist on that
        // day: the trigger fires at the first minute after the gap.
        const QTime time(t.Minutes / 60, t.Minutes % 60);
        for (int later = 0; later <= 3 * 60; later += 1) {
            const QTime shifted = time.addSecs(later * 60);
            if (shifted < time)
                break; // past midnight: no such day
            const QDateTime at(date, shifted, zone);
            if (at.isValid() && at.toTimeZone(zone).time() == shifted)
                return at.toUTC();
        }
        return std::nullopt;
    }
    case TriggerKind::Sunrise:
    case TriggerKind::Sunset: {
        const TSunDay day = SunTimesOn(date, location, zone);
        const std::optional<QDateTime>& sun = t.Kind == TriggerKind::Sunrise ? day.Sunrise : day.Sunset;
        if (!sun)
            return std::nullopt;
        return sun->addSecs(qint64(t.Minutes) * 60);
    }
    default:
        return std::nullopt;
    }
}

bool LuxInRange(const TProfileTrigger& t, double lux, double margin)
{
    if (t.Kind != TriggerKind::Light || !std::isfinite(lux))
        return false;
    if (t.LuxFrom && lux < *t.LuxFrom * (1 - margin))
        return false;
    if (t.LuxBelow && lux >= *t.LuxBelow * (1 + margin))
        return false;
    return true;
}

} // namespace lumora
