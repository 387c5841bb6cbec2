#include "platform/gdiplus/Font.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

namespace lumora::gdiplus {

namespace {

// Lower-case family names of the font database. Refreshed when a name is
// not found, since fonts may be registered after the first lookup.
class FamilyCache {
public:
    bool Contains(const QString& name)
    {
        const QString key = name.trimmed().toLower();
        QMutexLocker lock(&mutex_);
        if (names_.contains(key))
            return true;
        Refresh();
        return names_.contains(key);
    }
    void Invalidate()
    {
        QMutexLocker lock(&mutex_);
        names_.clear();
    }

private:
    void Refresh()
    {
        names_.clear();
        for (const QString& f : QFontDatabase::families())
            names_.insert(f.toLower());
    }
    QMutex mutex_;
    QSet<QString> names_;
};

FamilyCache& Families()
{
    static FamilyCache cache;
    return cache;
}

} // namespace

bool FontFamily::IsKnownFamily(const QString& name)
{
    if (name.trimmed().isEmpty())
        return false;
    if (name.trimmed().compare(QLatin1String(kFallbackFamily), Qt::CaseInsensitive) == 0)
        return true;
    return Families().Contains(name);
}

FontFamily::FontFamily() : name_(QString::fromLatin1(kFallbackFamily)), status_(FontFamilyNotFound) {}

FontFamily::FontFamily(const QString& name)
{
    if (IsKnownFamily(name)) {
        name_ = name.trimmed();
    } else {
        name_ = QString::fromLatin1(kFallbackFamily);
        status_ = FontFamilyNotFound;
    }
}

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit)
    : family_(family ? family->GetFamilyName() : QString::fromLatin1(kFallbackFamily)), size_(emSize), style_(style),
      unit_(unit)
{
    if (!family)
        status_ = InvalidParameter;
    else
        status_ = family->GetLastStatus();
}

Font::Font(const QString& familyName, REAL emSize, INT style, Unit unit)
    : Font(nullptr, emSize, style, unit)
{
    FontFamily family(familyName);
    family_ = family.GetFamilyName();
    status_ = family.GetLastStatus();
}

REAL Font::GetEmPixels(REAL dpi) const
{
    switch (unit_) {
    case UnitPoint:
        return size_ * dpi / 72.0f;
    case UnitInch:
        return size_ * dpi;
    case UnitDocument:
        return size_ * dpi / 300.0f;
    case UnitMillimeter:
        return size_ * dpi / 25.4f;
    case UnitWorld:
    case UnitDisplay:
    case UnitPixel:
        break;
    }
    return size_;
}

QFont Font::ToQFont(REAL dpi, REAL deviceDpi) const
{
    QFont f(family_);
    // Qt scales point sizes by the device's resolution; hand it the size
    // that gives the wanted pixels there.
    const REAL px = GetEmPixels(dpi);
    f.setPointSizeF(px > 0 ? px * 72.0 / (deviceDpi > 0 ? deviceDpi : 96.0) : 1.0);
    f.setBold((style_ & FontStyleBold) != 0);
    f.setItalic((style_ & FontStyleItalic) != 0);
    f.setUnderline((style_ & FontStyleUnderline) != 0);
    f.setStrikeOut((style_ & FontStyleStrikeout) != 0);
    return f;
}

int RegisterBundledFonts(const QString& folder)
{
    // A file registered twice would be listed twice by the font database.
    static QMutex mutex;
    static QSet<QString> done;
    QMutexLocker lock(&mutex);
    int registered = 0;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QFileInfo(QDir(folder).filePath(QString::fromLatin1(file))).absoluteFilePath();
        if (done.contains(path)) {
            ++registered;
            continue;
        }
        if (QFileInfo::exists(path) && QFontDatabase::addApplicationFont(path) >= 0) {
            done.insert(path);
            ++registered;
        }
    }
    if (registered > 0)
        Families().Invalidate();
    return registered;
}

} // namespace lumora::gdiplus
