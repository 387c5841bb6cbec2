#include "controls/imagelist/AdvSmoothImageListBoxZoom.h"

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/Image.h"

#include <QHideEvent>
#include <QKeyEvent>

#include <algorithm>
#include <cmath>

namespace lumora {

// ---------------------------------------------------------------- geometry

QRectF ZoomTargetRect(const QRectF& area, QSizeF picture, TAdvSmoothImageListBoxZoomMode mode)
{
    if (mode == zmFullScreen || !(picture.width() > 0 && picture.height() > 0) || area.isEmpty())
        return area;
    const double scale = std::min(area.width() / picture.width(), area.height() / picture.height());
    const QSizeF size(picture.width() * scale, picture.height() * scale);
    return QRectF(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                  size.width(), size.height());
}

TZoomStep ZoomStep(const QRectF& current, const QRectF& target, int animationFactor)
{
    const double edges[4][2] = {{current.left(), target.left()},
                                {current.top(), target.top()},
                                {current.right(), target.right()},
                                {current.bottom(), target.bottom()}};
    bool near = true;
    for (const auto& e : edges)
        near = near && std::fabs(e[1] - e[0]) <= 1;
    if (near)
        return {target, true};
    const double factor = std::max(animationFactor, 1);
    double moved[4];
    for (int k = 0; k < 4; ++k) {
        const double d = edges[k][1] - edges[k][0];
        const double step = std::fabs(d) <= 1 ? std::fabs(d) : std::max(std::fabs(d) / factor, 1.0);
        moved[k] = edges[k][0] + (d < 0 ? -step : step);
    }
    return {QRectF(QPointF(moved[0], moved[1]), QPointF(moved[2], moved[3])), false};
}

// ---------------------------------------------------------------- properties

void TAdvSmoothImageListBox::SetZoomMode(TAdvSmoothImageListBoxZoomMode v)
{
    if (v == ZoomMode_)
        return;
    ZoomMode_ = v;
    update();
}

void TAdvSmoothImageListBox::SetZoomOnTop(bool v)
{
    if (v == ZoomOnTop_)
        return;
    ZoomOnTop_ = v;
    SyncScrollBar();
    update();
}

// ---------------------------------------------------------------- zoom in and out

void TAdvSmoothImageListBox::InitZoom()
{
    ZoomTimer_.SetEnabled(false);
    ZoomTimer_.SetInterval(kZoomInterval);
    ZoomTimer_.OnTimer = [this](TObject*) { ZoomTick(); };
}

QRectF TAdvSmoothImageListBox::ZoomArea() const
{
    // On top of everything the zoomed item may cover the header and footer
    // too; otherwise it stays inside the item area between them.
    if (ZoomOnTop_) {
        const QRect r = ControlRectangle();
        return QRectF(r.x(), r.y(), r.width(), r.height());
    }
    return Layout_.itemArea;
}

QRectF TAdvSmoothImageListBox::ZoomHome() const
{
    const int k = EntryOf(Zoom_.item);
    if (k >= 0)
        return Layout_.entries[size_t(k)].rect;
    // Hidden since the zoom began: shrink towards the middle.
    return QRectF(ZoomArea().center(), QSizeF(0, 0));
}

QRectF TAdvSmoothImageListBox::ZoomRect() const
{
    switch (Zoom_.phase) {
    case zpNone: return {};
    case zpZoomedIn: return ZoomTargetRect(ZoomArea(), Zoom_.natural, ZoomMode_);
    default: return Zoom_.rect;
    }
}

void TAdvSmoothImageListBox::ZoomIn(int item)
{
    if (item < 0 || item >= Items_.Count() || Items_.UpdateCount() > 0)
        return;
    // Only an item that is shown zooms (not a splitter, not one in a folded group).
    if (EntryOf(item) < 0 || Items_[item]->Splitter())
        return;
    if (Zoom_.item == item && (Zoom_.phase == zpZoomingIn || Zoom_.phase == zpZoomedIn))
        return;
    if (Zoom_.item >= 0 && Zoom_.item != item)
        EndZoomAtOnce();
    if (Zoom_.item != item) {
        Zoom_.item = item;
        Zoom_.rect = ZoomHome();
        // The loader leaves the zoomed item alone; its small thumbnail stays
        // as it is for the way back.
        Shared_.zoomed.store(item);
        MakeZoomPicture();
        SyncScrollBar();
    }
    Zoom_.phase = zpZoomingIn;
    if (Hovered_ >= 0 && Hovered_ < Items_.Count())
        Fire(OnItemMouseLeave, this, Hovered_);
    Hovered_ = -1;
    Fire(OnItemZoomIn, this, item);
    ZoomTimer_.SetEnabled(true);
    update();
}

void TAdvSmoothImageListBox::ZoomOut()
{
    if (Zoom_.item < 0 || Zoom_.phase == zpZoomingOut)
        return;
    if (Zoom_.phase == zpZoomedIn)
        Zoom_.rect = ZoomRect();
    Zoom_.phase = zpZoomingOut;
    Fire(OnItemZoomOut, this, Zoom_.item);
    ZoomTimer_.SetEnabled(true);
    update();
}

void TAdvSmoothImageListBox::ZoomTick()
{
    if (Zoom_.item < 0) {
        ZoomTimer_.SetEnabled(false);
        return;
    }
    const QRectF target =
        Zoom_.phase == zpZoomingIn ? ZoomTargetRect(ZoomArea(), Zoom_.natural, ZoomMode_) : ZoomHome();
    const TZoomStep s = ZoomStep(Zoom_.rect, target, AnimationFactor_);
    Zoom_.rect = s.rect;
    update();
    if (!s.done)
        return;
    ZoomTimer_.SetEnabled(false);
    const int item = Zoom_.item;
    if (Zoom_.phase == zpZoomingIn) {
        Zoom_.phase = zpZoomedIn;
        Fire(OnItemZoomedIn, this, item);
    } else {
        Zoom_ = {};
        Shared_.zoomed.store(-1);
        SyncScrollBar();
        Fire(OnItemZoomedOut, this, item);
    }
}

void TAdvSmoothImageListBox::EndZoomAtOnce()
{
    if (Zoom_.item < 0)
        return;
    ZoomTimer_.SetEnabled(false);
    const int item = Zoom_.item;
    Zoom_ = {};
    Shared_.zoomed.store(-1);
    SyncScrollBar();
    update();
    Fire(OnItemZoomedOut, this, item);
}

void TAdvSmoothImageListBox::MakeZoomPicture()
{
    // The zoomed item is drawn from its picture at the natural size rather
    // than from the small thumbnail. It is made here, once per zoom, and
    // dropped again when the item has zoomed out. A picture larger than the
    // control is kept at the control's size: more pixels could never show.
    const TAdvSmoothImageListBoxItem& it = *Items_[Zoom_.item];
    TAdvGDIPPicture fromFile;
    const TAdvGDIPPicture* source = &it.Image();
    if (source->Empty() && !it.Location().isEmpty()) {
        fromFile.LoadFromFile(it.Location());
        source = &fromFile;
    }
    const gdiplus::Image* decoded = source->Empty() ? nullptr : source->Image();
    QImage picture = decoded ? decoded->ToQImage() : QImage();
    Zoom_.natural = picture.size();
    if (!picture.isNull() && (picture.width() > width() || picture.height() > height()))
        picture = picture.scaled(size().expandedTo(QSize(1, 1)), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Zoom_.picture = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TAdvSmoothImageListBox::hideEvent(QHideEvent* event)
{
    TCustomControl::hideEvent(event);
    // A list box that goes out of sight with an item zoomed (the picker's
    // pop-up closes on the Space that zoomed it) shows its items again when
    // it comes back, and no zoom animation runs unseen.
    EndZoomAtOnce();
}

bool TAdvSmoothImageListBox::ZoomKey(QKeyEvent* event)
{
    const int key = event->key();
    if (Zoom_.item >= 0) {
        // The zoomed picture covers the items: keys other than those that
        // zoom out would act on items the user cannot see.
        if (key == Qt::Key_Escape || key == Qt::Key_Space)
            ZoomOut();
        return true;
    }
    if (key == Qt::Key_Space && !MultiSelect_ && ZoomOnDblClick_ && Selected_ >= 0) {
        ZoomIn(Selected_);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- painting

void TAdvSmoothImageListBox::PaintZoomedItem(gdiplus::Graphics& g)
{
    if (Zoom_.item < 0 || Zoom_.item >= Items_.Count())
        return;
    const QRectF r = ZoomRect();
    if (r.isEmpty())
        return;
    const TAdvSmoothImageListBoxItem& item = *Items_[Zoom_.item];
    if (!ZoomOnTop_)
        g.SetClip(gdiplus::RectF::FromQRectF(Layout_.itemArea));

    // 1. the item's background, grown with it
    RenderItemBackgrounds();
    const bool selected = Zoom_.item == Selected_ || (MultiSelect_ && item.Selected());
    const size_t k = !item.Enabled() ? 2 : selected ? 1 : 0;
    const TGDIPFill& fill = k == 2 ? ItemAppearance_.DisabledFill()
                            : k == 1 ? ItemAppearance_.SelectedFill()
                                     : ItemAppearance_.Fill();
    g.SetSmoothingMode(fill.Rounding() > 0 ? gdiplus::SmoothingModeAntiAlias : gdiplus::SmoothingModeDefault);
    const gdiplus::Bitmap background(Backgrounds_[k]);
    g.DrawImage(&background, gdiplus::RectF::FromQRectF(r));

    // 2. the picture at its natural size, fitted into the grown image rectangle
    TItemPlacement placement = ItemAppearance_.Placement();
    placement.textVisible = false; // the caption is not drawn while zoomed
    const QRectF imageRect = ImageRect(r, placement);
    g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    if (!Zoom_.picture.isNull()) {
        const QRectF at = FitCentred(imageRect, Zoom_.picture.size(), ItemAppearance_.AspectRatio(), isAlways);
        const gdiplus::Bitmap picture(Zoom_.picture);
        g.DrawImage(&picture, gdiplus::RectF::FromQRectF(at));
    } else if (!DefaultImage_.Empty()) {
        DefaultImage_.GPDraw(&g, imageRect.toRect());
    }
    g.ResetClip();
}

} // namespace lumora
