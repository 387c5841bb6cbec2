#pragma once

// Top-layer items of the image list box: overlay panels drawn over the items,
// after the header and the footer, in collection order. Each is a filled box
// with an optional caption in the list box's caption markup, see-through by
// its Opacity.
//
// Placement: with Align none the box stands at Left, Top (control
// coordinates) with Width x Height; the other alignments place it inside the
// item area (the control less header, footer and borders): top, bottom, left
// and right stretch along that edge with the item's Height or Width, client
// fills the area and center keeps Width x Height in its middle.

#include "controls/imagelist/AdvSmoothImageListBoxItems.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Events.h"
#include "platform/framework/Persistent.h"

#include <QRectF>

#include <memory>
#include <vector>

namespace gdiplus {
class Graphics;
}

namespace lumora {

enum TAdvSmoothImageListBoxTopLayerAlign { tlNone, tlTop, tlBottom, tlLeft, tlRight, tlClient, tlCenter };

class TAdvSmoothImageListBoxTopLayerItems;

class TAdvSmoothImageListBoxTopLayerItem : public TObject {
public:
    explicit TAdvSmoothImageListBoxTopLayerItem(TAdvSmoothImageListBoxTopLayerItems* owner);

    bool Visible() const { return Visible_; }
    void SetVisible(bool v) { SetProperty(Visible_, v); }
    int Left() const { return Left_; }
    void SetLeft(int v) { SetProperty(Left_, v); }
    int Top() const { return Top_; }
    void SetTop(int v) { SetProperty(Top_, v); }
    int Width() const { return Width_; }
    void SetWidth(int v) { SetProperty(Width_, v); }
    int Height() const { return Height_; }
    void SetHeight(int v) { SetProperty(Height_, v); }
    TAdvSmoothImageListBoxTopLayerAlign Align() const { return Align_; }
    void SetAlign(TAdvSmoothImageListBoxTopLayerAlign v) { SetProperty(Align_, v); }
    int Opacity() const { return Opacity_; }
    void SetOpacity(int v) { SetProperty(Opacity_, std::clamp(v, 0, 255)); }
    TGDIPFill& Fill() { return Fill_; }
    const TGDIPFill& Fill() const { return Fill_; }
    TAdvSmoothImageListBoxHTMLText& HTMLText() { return HTMLText_; }
    const TAdvSmoothImageListBoxHTMLText& HTMLText() const { return HTMLText_; }

    // Where the item stands, given the control's item area.
    QRectF Bounds(const QRectF& itemArea) const;

private:
    void Changed();
    template <typename T>
    void SetProperty(T& field, const T& v)
    {
        if (StoreIfDifferent(field, v))
            Changed();
    }
    TAdvSmoothImageListBoxTopLayerItems* Owner_;
    bool Visible_ = true;
    int Left_ = 0;
    int Top_ = 0;
    int Width_ = 100;
    int Height_ = 100;
    TAdvSmoothImageListBoxTopLayerAlign Align_ = tlNone;
    int Opacity_ = 255;
    TGDIPFill Fill_;
    TAdvSmoothImageListBoxHTMLText HTMLText_;
};

class TAdvSmoothImageListBoxTopLayerItems : public TObject {
public:
    int Count() const { return int(Items_.size()); }
    TAdvSmoothImageListBoxTopLayerItem* operator[](int index) const { return Items_.at(size_t(index)).get(); }
    TAdvSmoothImageListBoxTopLayerItem* Add();
    void Delete(int index);
    void Clear();

    // Raised after any change of the collection or of one of its items.
    TNotifyEvent OnChange;

private:
    friend class TAdvSmoothImageListBoxTopLayerItem;
    void Changed();
    std::vector<std::unique_ptr<TAdvSmoothImageListBoxTopLayerItem>> Items_;
};

// The placement rule of the header comment as a plain function.
QRectF TopLayerBounds(TAdvSmoothImageListBoxTopLayerAlign align, const QRectF& custom, const QRectF& itemArea);

// Draws the visible items in order; `textRendering` is the list box's caption quality.
void PaintTopLayer(gdiplus::Graphics& g, const TAdvSmoothImageListBoxTopLayerItems& items, const QRectF& itemArea);

} // namespace lumora
