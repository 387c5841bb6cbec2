#include "platform/gdiplus/TextLayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLine>

#include <algorithm>
#include <limits>
#include <vector>

namespace lumora::gdiplus {

QString StripHotkeyPrefix(const QString& text, int* underlineIndex)
{
    QString out;
    out.reserve(text.size());
    int underline = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && underline < 0)
                underline = int(out.size());
        } else if (text[i] == u'&') {
            continue;  // a lone trailing "&" marks nothing
        }
        out.append(text[i]);
    }
    if (underlineIndex)
        *underlineIndex = underline;
    return out;
}

PlacedText PlaceText(const QString& text, const QFont& font, QPaintDevice* device, REAL emPixels,
                     const RectF& layoutRect, const StringFormat& format)
{
    PlacedText out;
    if (text.isEmpty()) {
        out.layout = std::make_unique<QTextLayout>(QString(), font, device);
        out.box = RectF(layoutRect.X, layoutRect.Y, 0, 0);
        return out;
    }
    QString shown = text;
    int underline = -1;
    if (format.GetHotkeyPrefix() != HotkeyPrefixNone)
        shown = StripHotkeyPrefix(text, &underline);
    if (format.GetHotkeyPrefix() != HotkeyPrefixShow)
        underline = -1;
    shown.replace(u'\n', QChar::LineSeparator);
    shown.remove(u'\r');

    const qreal padding = format.IsTypographic() ? 0.0 : emPixels / 6.0;
    const bool hasWidth = layoutRect.Width > 0;
    const bool hasHeight = layoutRect.Height > 0;
    const qreal innerWidth = hasWidth ? std::max<qreal>(0.0, layoutRect.Width - 2 * padding) : 0.0;
    const bool wrap = hasWidth && !format.NoWrap();

    out.layout = std::make_unique<QTextLayout>(shown, font, device);
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    out.layout->setTextOption(option);
    if (underline >= 0) {
        QTextLayout::FormatRange range;
        range.start = underline;
        range.length = 1;
        range.format.setFontUnderline(true);
        out.layout->setFormats({range});
    }

    const QFontMetricsF metrics(font, device);
    const qreal lineSpacing = metrics.lineSpacing();
    std::vector<QTextLine> lines;
    qreal textWidth = 0;
    out.layout->beginLayout();
    for (QTextLine line = out.layout->createLine(); line.isValid(); line = out.layout->createLine()) {
        line.setLineWidth(wrap ? innerWidth : std::numeric_limits<qreal>::max() / 4);
        lines.push_back(line);
        textWidth = std::max(textWidth, line.naturalTextWidth());
    }
    out.layout->endLayout();
    const qreal textHeight = lines.size() * lineSpacing;

    // Vertical placement of the block.
    const StringAlignment vAlign = format.GetLineAlignment();
    qreal top = layoutRect.Y;
    if (hasHeight) {
        if (vAlign == StringAlignmentCenter)
            top += (layoutRect.Height - textHeight) / 2;
        else if (vAlign == StringAlignmentFar)
            top += layoutRect.Height - textHeight;
    } else if (vAlign == StringAlignmentCenter) {
        top -= textHeight / 2;
    } else if (vAlign == StringAlignmentFar) {
        top -= textHeight;
    }

    // Horizontal placement of each line.
    const StringAlignment hAlign = format.GetAlignment();
    qreal left = std::numeric_limits<qreal>::max();
    qreal right = std::numeric_limits<qreal>::lowest();
    for (size_t i = 0; i < lines.size(); ++i) {
        const qreal w = lines[i].naturalTextWidth();
        qreal x = 0;
        if (hasWidth) {
            const qreal start = layoutRect.X + padding;
            x = hAlign == StringAlignmentNear ? start
                : hAlign == StringAlignmentCenter ? start + (innerWidth - w) / 2
                                                   : start + innerWidth - w;
        } else {
            x = hAlign == StringAlignmentNear ? layoutRect.X + padding
                : hAlign == StringAlignmentCenter ? layoutRect.X - w / 2
                                                   : layoutRect.X - padding - w;
        }
        lines[i].setPosition(QPointF(x, top + qreal(i) * lineSpacing));
        left = std::min(left, x - padding);
        right = std::max(right, x + w + padding);
    }
    if (lines.empty()) {
        left = right = layoutRect.X;
    }

    RectF box(REAL(left), REAL(top), REAL(right - left), REAL(textHeight));
    if (textWidth <= 0 && !lines.empty())
        box.Width = 0;
    if (hasWidth) {
        // The box never leaves the layout rect sideways.
        const REAL l = std::max(box.X, layoutRect.X);
        const REAL r = std::min(box.GetRight(), layoutRect.GetRight());
        box.X = l;
        box.Width = std::max(0.0f, r - l);
    }
    if (hasHeight && box.Height > layoutRect.Height)
        box.Height = layoutRect.Height;
    out.box = box;
    return out;
}

} // namespace lumora::gdiplus
