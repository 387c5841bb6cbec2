#pragma once

// Captions with markup for the image list box, laid out, drawn and hit-tested
// by Qt's rich-text engine. The markup and its translation are described in
// AdvSmoothImageListBoxMarkup.h; the engine only ever sees the translation,
// and a document here never loads a resource.

#include "controls/imagelist/AdvSmoothImageListBoxItems.h"
#include "controls/imagelist/AdvSmoothImageListBoxMarkup.h"
#include "platform/framework/Colors.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>

class QPainter;

namespace lumora {

// How a caption is drawn: font, text colour, anchor colour, shadow.
struct THTMLTextStyle {
    QFont font;
    TColor color = clBlack;
    TColor urlColor = clBlue;
    TColor shadowColor = clGray;
    int shadowOffset = 5;
};

// A caption laid out for one width (word wrap at that width; a width of 0
// or less lays the text out on as few lines as its breaks allow).
class THTMLTextLayout {
public:
    THTMLTextLayout(const QString& markup, const THTMLTextStyle& style, double width);
    ~THTMLTextLayout();
    THTMLTextLayout(const THTMLTextLayout&) = delete;
    THTMLTextLayout& operator=(const THTMLTextLayout&) = delete;

    // The size the text takes (its widest line, its height), shadow not included.
    QSizeF Size() const;
    // Draws the text with its top-left corner at `at`: the shadow first, then the text.
    void Paint(QPainter& painter, QPointF at) const;
    // The href of the anchor under `p` (relative to the text's top-left), if any.
    std::optional<QString> AnchorAt(QPointF p) const;

    // Resources the rich-text engine asked for; always answered with nothing.
    int ResourceRequests() const;

private:
    class Document;
    std::unique_ptr<Document> text_;
    std::unique_ptr<Document> shadow_;
    THTMLTextStyle style_;
};

// Laid-out captions kept between paints: a caption is laid out again only
// when its markup, style or width changed. Bounded; the oldest half is
// dropped when full.
class THTMLTextCache {
public:
    explicit THTMLTextCache(int capacity = 512) : capacity_(capacity) {}
    std::shared_ptr<const THTMLTextLayout> Get(const QString& markup, const THTMLTextStyle& style, double width);
    int Size() const { return int(entries_.size()); }
    int Layouts() const { return layouts_; } // layouts made so far
    void Clear() { entries_.clear(); order_.clear(); }

private:
    int capacity_;
    int layouts_ = 0;
    std::unordered_map<QString, std::shared_ptr<const THTMLTextLayout>> entries_;
    std::deque<QString> order_;
};

// ---------------------------------------------------------------- captions of the control

// The drawing style a caption object describes.
THTMLTextStyle StyleOf(const TAdvSmoothImageListBoxHTMLText& caption);

// The box of `size` inside `rect` by one of the nine locations, or at
// (Left, Top) from the rect's top-left corner for cpCustom.
QRectF PlaceCaption(const QRectF& rect, QSizeF size, TAdvSmoothImageListBoxLocation location, int left, int top);

// A caption laid out at the width of `rect` and placed in it.
struct TPlacedCaption {
    std::shared_ptr<const THTMLTextLayout> layout;
    QRectF rect; // where the text stands
    // The href of the anchor under a point in the same coordinates as `rect`.
    std::optional<QString> AnchorAt(QPointF p) const;
};
TPlacedCaption PlaceHTMLText(const QString& markup, const TAdvSmoothImageListBoxHTMLText& caption,
                             const QRectF& rect, THTMLTextCache* cache = nullptr);

} // namespace lumora
