#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>

namespace lumora {

// ---------------------------------------------------------------- layout

// A rich-text document that never loads anything: images, style sheets and
// any other resource named by the text are answered with nothing.
class THTMLTextLayout::Document : public QTextDocument {
public:
    int requests = 0;

protected:
    QVariant loadResource(int, const QUrl&) override
    {
        ++requests;
        return {};
    }
};

THTMLTextLayout::THTMLTextLayout(const QString& markup, const THTMLTextStyle& style, double width)
    : style_(style)
{
    const auto make = [&](THTMLPass pass) {
        auto doc = std::make_unique<Document>();
        doc->setUndoRedoEnabled(false);
        doc->setDocumentMargin(0);
        doc->setDefaultFont(style.font);
        QTextOption option = doc->defaultTextOption();
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        doc->setDefaultTextOption(option);
        doc->setHtml(TranslateMarkup(markup, pass, style.urlColor, style.shadowColor));
        doc->setTextWidth(width > 0 ? width : -1);
        return doc;
    };
    text_ = make(hpText);
    if (HasShadow(markup))
        shadow_ = make(hpShadow);
}

THTMLTextLayout::~THTMLTextLayout() = default;

QSizeF THTMLTextLayout::Size() const
{
    return QSizeF(text_->idealWidth(), text_->size().height());
}

void THTMLTextLayout::Paint(QPainter& painter, QPointF at) const
{
    const auto draw = [&](const Document& doc, QPointF origin, const QColor& color) {
        painter.save();
        painter.translate(origin);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, color);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    };
    if (shadow_)
        draw(*shadow_, at + QPointF(style_.shadowOffset, style_.shadowOffset), Qt::transparent);
    const TColor c = ColorToRGB(style_.color);
    draw(*text_, at, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
}

std::optional<QString> THTMLTextLayout::AnchorAt(QPointF p) const
{
    const QString href = text_->documentLayout()->anchorAt(p);
    if (href.isEmpty())
        return std::nullopt;
    return href;
}

int THTMLTextLayout::ResourceRequests() const
{
    return text_->requests + (shadow_ ? shadow_->requests : 0);
}

// ---------------------------------------------------------------- cache

std::shared_ptr<const THTMLTextLayout> THTMLTextCache::Get(const QString& markup, const THTMLTextStyle& style,
                                                           double width)
{
    const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                            .arg(style.font.key())
                            .arg(style.color)
                            .arg(style.urlColor)
                            .arg(style.shadowColor)
                            .arg(style.shadowOffset)
                            .arg(width)
                            .arg(markup);
    if (const auto it = entries_.find(key); it != entries_.end())
        return it->second;
    if (int(entries_.size()) >= capacity_) {
        while (int(order_.size()) > capacity_ / 2) {
            entries_.erase(order_.front());
            order_.pop_front();
        }
    }
    auto layout = std::make_shared<const THTMLTextLayout>(markup, style, width);
    ++layouts_;
    entries_.emplace(key, layout);
    order_.push_back(key);
    return layout;
}

// ---------------------------------------------------------------- captions of the control

THTMLTextStyle StyleOf(const TAdvSmoothImageListBoxHTMLText& caption)
{
    const TFontDescription d = caption.Font().Description();
    QFont font(d.Family);
    // Points, not pixels: the engine scales <font size> relative to the point size.
    font.setPointSizeF(d.SizeInPoints > 0 ? d.SizeInPoints : 8);
    font.setBold((d.Style & fsBold) != 0);
    font.setItalic((d.Style & fsItalic) != 0);
    font.setUnderline((d.Style & fsUnderline) != 0);
    font.setStrikeOut((d.Style & fsStrikeOut) != 0);
    return {font, caption.Font().Color(), caption.URLColor(), caption.ShadowColor(), caption.ShadowOffset()};
}

QRectF PlaceCaption(const QRectF& rect, QSizeF size, TAdvSmoothImageListBoxLocation location, int left, int top)
{
    if (location == cpCustom)
        return QRectF(rect.topLeft() + QPointF(left, top), size);
    return PlaceIn(rect, size, location);
}

std::optional<QString> TPlacedCaption::AnchorAt(QPointF p) const
{
    if (!layout || !rect.contains(p))
        return std::nullopt;
    return layout->AnchorAt(p - rect.topLeft());
}

TPlacedCaption PlaceHTMLText(const QString& markup, const TAdvSmoothImageListBoxHTMLText& caption,
                             const QRectF& rect, THTMLTextCache* cache)
{
    TPlacedCaption placed;
    const THTMLTextStyle style = StyleOf(caption);
    placed.layout = cache ? cache->Get(markup, style, rect.width())
                          : std::make_shared<const THTMLTextLayout>(markup, style, rect.width());
    placed.rect = PlaceCaption(rect, placed.layout->Size(), caption.Location(), caption.Left(), caption.Top());
    return placed;
}

} // namespace lumora
