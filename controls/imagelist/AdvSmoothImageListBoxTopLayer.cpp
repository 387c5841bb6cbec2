#include "controls/imagelist/AdvSmoothImageListBoxTopLayer.h"

#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"
#include "platform/gdiplus/Graphics.h"

#include <QPainter>

namespace lumora {

// ---------------------------------------------------------------- item

TAdvSmoothImageListBoxTopLayerItem::TAdvSmoothImageListBoxTopLayerItem(TAdvSmoothImageListBoxTopLayerItems* owner)
    : Owner_(owner)
{
    Fill_.OnChange = [this](TObject*) { Changed(); };
    HTMLText_.SetLocation(cpCenterCenter);
    HTMLText_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothImageListBoxTopLayerItem::Changed()
{
    if (Owner_)
        Owner_->Changed();
}

QRectF TAdvSmoothImageListBoxTopLayerItem::Bounds(const QRectF& itemArea) const
{
    return TopLayerBounds(Align_, QRectF(Left_, Top_, Width_, Height_), itemArea);
}

// ---------------------------------------------------------------- collection

TAdvSmoothImageListBoxTopLayerItem* TAdvSmoothImageListBoxTopLayerItems::Add()
{
    Items_.push_back(std::make_unique<TAdvSmoothImageListBoxTopLayerItem>(this));
    Changed();
    return Items_.back().get();
}

void TAdvSmoothImageListBoxTopLayerItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    Items_.erase(Items_.begin() + index);
    Changed();
}

void TAdvSmoothImageListBoxTopLayerItems::Clear()
{
    if (Items_.empty())
        return;
    Items_.clear();
    Changed();
}

void TAdvSmoothImageListBoxTopLayerItems::Changed()
{
    Fire(OnChange, this);
}

// ---------------------------------------------------------------- geometry and painting

QRectF TopLayerBounds(TAdvSmoothImageListBoxTopLayerAlign align, const QRectF& custom, const QRectF& a)
{
    switch (align) {
    case tlNone: return custom;
    case tlTop: return QRectF(a.left(), a.top(), a.width(), custom.height());
    case tlBottom: return QRectF(a.left(), a.bottom() - custom.height(), a.width(), custom.height());
    case tlLeft: return QRectF(a.left(), a.top(), custom.width(), a.height());
    case tlRight: return QRectF(a.right() - custom.width(), a.top(), custom.width(), a.height());
    case tlClient: return a;
    case tlCenter:
        return QRectF(a.center().x() - custom.width() / 2, a.center().y() - custom.height() / 2, custom.width(),
                      custom.height());
    }
    return custom;
}

void PaintTopLayer(gdiplus::Graphics& g, const TAdvSmoothImageListBoxTopLayerItems& items, const QRectF& itemArea)
{
    QPainter& painter = *g.Painter();
    for (int k = 0; k < items.Count(); ++k) {
        TAdvSmoothImageListBoxTopLayerItem& item = *items[k];
        if (!item.Visible() || item.Opacity() == 0)
            continue;
        const QRectF r = item.Bounds(itemArea);
        if (r.isEmpty())
            continue;
        painter.save();
        painter.setOpacity(item.Opacity() / 255.0);
        // 1. the fill
        g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
        item.Fill().Fill(&g, gdiplus::RectF::FromQRectF(r));
        // 2. the caption, clipped to the box
        if (!item.HTMLText().Text().isEmpty()) {
            const TPlacedCaption caption = PlaceHTMLText(item.HTMLText().Text(), item.HTMLText(), r);
            painter.setClipRect(r, Qt::IntersectClip);
            caption.layout->Paint(painter, caption.rect.topLeft());
        }
        painter.restore();
    }
}

} // namespace lumora
