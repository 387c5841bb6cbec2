#include "platform/framework/Font.h"

#include "platform/framework/SysUtils.h"

#include <atomic>
#include <cstdlib>

namespace lumora {

namespace {

std::atomic<int> defaultPixelsPerInch{96};

constexpr int kDefaultPoints = 8;

} // namespace

int TFont::DefaultPixelsPerInch() { return defaultPixelsPerInch.load(); }

void TFont::SetDefaultPixelsPerInch(int ppi)
{
    if (ppi > 0)
        defaultPixelsPerInch.store(ppi);
}

TFont::TFont() : TFont(DefaultPixelsPerInch()) {}

TFont::TFont(int pixelsPerInch) : pixelsPerInch_(pixelsPerInch > 0 ? pixelsPerInch : 96)
{
    height_ = -MulDiv(kDefaultPoints, pixelsPerInch_, 72);
}

// Copies carry the values, never the owner's change handler.
TFont::TFont(const TFont& other)
    : TPersistent(), name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_),
      pixelsPerInch_(other.pixelsPerInch_)
{
}

TFont& TFont::operator=(const TFont& other)
{
    Assign(other);
    return *this;
}

void TFont::Assign(const TPersistent& source)
{
    const auto* font = dynamic_cast<const TFont*>(&source);
    if (font == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (font == this)
        return;
    // The height is taken at this font's resolution so the point size is
    // kept when the two resolutions differ.
    const int height =
        font->pixelsPerInch_ == pixelsPerInch_ ? font->height_ : MulDiv(font->height_, pixelsPerInch_, font->pixelsPerInch_);
    if (name_ == font->name_ && height_ == height && style_ == font->style_ && color_ == font->color_)
        return;
    name_ = font->name_;
    height_ = height;
    style_ = font->style_;
    color_ = font->color_;
    Changed();
}

void TFont::SetName(const QString& name)
{
    if (name_ == name)
        return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height)
{
    if (height_ == height)
        return;
    height_ = height;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetStyle(TFontStyles style)
{
    if (style_ == style)
        return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color)
{
    if (color_ == color)
        return;
    color_ = color;
    Changed();
}

void TFont::SetPixelsPerInch(int ppi)
{
    if (ppi <= 0 || ppi == pixelsPerInch_)
        return;
    pixelsPerInch_ = ppi;
    Changed();
}

void TFont::ScaleBy(int numerator, int denominator)
{
    if (denominator == 0 || numerator == denominator)
        return;
    SetHeight(MulDiv(height_, numerator, denominator));
}

QFont TFont::ToQFont() const
{
    QFont font(name_);
    // A positive height includes the internal leading, which Qt cannot ask
    // for; the character height is the closest it offers.
    font.setPixelSize(std::max(1, std::abs(height_)));
    font.setBold(HasStyle(fsBold));
    font.setItalic(HasStyle(fsItalic));
    font.setUnderline(HasStyle(fsUnderline));
    font.setStrikeOut(HasStyle(fsStrikeOut));
    return font;
}

TFontDescription TFont::Description() const
{
    return TFontDescription{name_, double(Size()), style_};
}

bool operator==(const TFont& a, const TFont& b)
{
    return a.name_ == b.name_ && a.height_ == b.height_ && a.style_ == b.style_ && a.color_ == b.color_ &&
           a.pixelsPerInch_ == b.pixelsPerInch_;
}

} // namespace lumora
