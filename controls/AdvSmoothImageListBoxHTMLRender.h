#pragma once

// Captions with simple markup for the image list box, laid out and drawn by
// Qt's rich-text engine.
//
// The caption markup is translated into a small, closed subset of Qt's rich
// text by a pure function; everything outside the subset is escaped, so no
// markup of the caption ever reaches the engine unchecked. Understood:
//
//   <b> <i> <u> <s>                 bold, italic, underline, strike-out
//   <font color="..." size=".." face="..">   colour (#rrggbb, #rgb, a colour
//                                   name such as "red" or "clRed"), HTML size
//                                   1..7 or +n/-n, font family
//   <br>                            line break
//   <a href="...">anchor</a>        drawn in the caption's URLColor, underlined;
//                                   a click reports the href
//   <shad>text</shad>               text with a shadow in ShadowColor, moved
//                                   by ShadowOffset to the right and down
//   &amp; &lt; &gt; &nbsp; &quot; &#n; &#xh;   entities
//
// Unknown tags are dropped and their content kept; closing tags without an
// opener are ignored; tags left open are closed at the end. Nothing is ever
// loaded: images and other resources are neither translated nor fetched.

#include "controls/AdvSmoothImageListBoxItems.h"
#include "platform/framework/Colors.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <deque>
#include <memory>
#include <unordered_map>
#include <optional>

class QPainter;

namespace lumora {

// Which rendering of the caption a translation is for. The shadow pass keeps
// the exact layout of the text pass but shows only the <shad> parts, in the
// shadow colour; the caller draws it first, moved by the shadow offset.
enum THTMLPass { hpText, hpShadow };

// Translates caption markup into the rich text QTextDocument is given.
QString TranslateMarkup(const QString& markup, THTMLPass pass, TColor urlColor, TColor shadowColor);

// True when the markup holds a <shad> part (only then a shadow pass is drawn).
bool HasShadow(const QString& markup);

// Escapes text so it shows literally inside markup.
QString EscapeMarkup(const QString& text);

// The values a caption template may name. Placeholders, replaced in
// DefaultHTMLText.Text when an item's own caption is empty:
//   <#CAPTION>   the item's caption text (markup, inserted as it is)
//   <#FILENAME>  the file's name (shown literally)
//   <#FILESIZE>  the file's size in bytes
//   <#FILEDATE>  the file's modification time, in the locale's short format
//   <#HINT>      the item's hint (shown literally)
// Unknown placeholders stay as they are.
struct TCaptionFields {
    QString caption;
    QString fileName;
    qint64 fileSize = 0;
    QDateTime fileDate;
    QString hint;
};
QString FillTemplate(const QString& templ, const TCaptionFields& fields);

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
