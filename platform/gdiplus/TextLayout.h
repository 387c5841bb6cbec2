#pragma once

// Text placement with GDI+ rules, shared by MeasureString and DrawString:
// 1/6 em of padding on both sides (unless typographic), lines one font line
// spacing apart, horizontal and line alignment inside the layout rect or
// around the origin when the rect has no width or height, "&" treatment by
// the hot-key prefix mode.

#include "platform/gdiplus/GdiplusTypes.h"
#include "platform/gdiplus/StringFormat.h"

#include <QFont>
#include <QTextLayout>

#include <memory>

class QPaintDevice;

namespace lumora::gdiplus {

struct PlacedText {
    std::unique_ptr<QTextLayout> layout;  // lines positioned in world coordinates
    RectF box;                            // what MeasureString reports
};

// Removes hot-key "&" markers: "&&" stays one "&"; with `underlineIndex` set
// to the index in the result of the letter after the first single "&", or -1.
QString StripHotkeyPrefix(const QString& text, int* underlineIndex);

PlacedText PlaceText(const QString& text, const QFont& font, QPaintDevice* device, REAL emPixels,
                     const RectF& layoutRect, const StringFormat& format);

} // namespace lumora::gdiplus
