#pragma once

#include "platform/gdiplus/GdiplusTypes.h"

#include <QFont>
#include <QString>

namespace lumora::gdiplus {

// The family every unknown font name falls back to.
inline constexpr const char* kFallbackFamily = "Arial";

// A font family looked up by name. An unknown name reports
// FontFamilyNotFound and stands for "Arial", so drawing goes on in Arial.
class FontFamily {
public:
    FontFamily();
    explicit FontFamily(const QString& name);

    Status GetLastStatus() const { return status_; }
    bool IsAvailable() const { return status_ == Ok; }
    // The family actually used ("Arial" for an unknown name).
    QString GetFamilyName() const { return name_; }

    // True when the font database knows the family (case-insensitive);
    // "Arial" always counts, the system maps it to a metric-compatible face.
    static bool IsKnownFamily(const QString& name);

private:
    QString name_;
    Status status_ = Ok;
};

// A font of a family, an em size in a unit, and style bits (bold 1, italic 2,
// underline 4, strike-out 8).
class Font {
public:
    Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);
    Font(const QString& familyName, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);

    // Status of the family lookup (FontFamilyNotFound when Arial stood in).
    Status GetLastStatus() const { return status_; }
    QString GetFamilyName() const { return family_; }
    REAL GetSize() const { return size_; }
    INT GetStyle() const { return style_; }
    Unit GetUnit() const { return unit_; }

    // The em size in pixels on a surface of `dpi` pixels per inch.
    REAL GetEmPixels(REAL dpi) const;
    // A Qt font of the same em size in pixels on a device of `deviceDpi`.
    QFont ToQFont(REAL dpi, REAL deviceDpi) const;

private:
    QString family_;
    REAL size_;
    INT style_;
    Unit unit_;
    Status status_ = Ok;
};

// Makes the Tahoma shipped under `folder` (tahoma.ttf, tahomabd.ttf) known to
// the font database, when present. Returns how many of the files are
// registered (again calls register nothing twice).
int RegisterBundledFonts(const QString& folder = QStringLiteral("/usr/share/wine/fonts"));

} // namespace lumora::gdiplus
