#include "controls/imagelist/AdvSmoothImageListBoxItems.h"

#include <algorithm>

namespace lumora {

// ---------------------------------------------------------------- HTML text

TAdvSmoothImageListBoxHTMLText::TAdvSmoothImageListBoxHTMLText()
{
    Font_.OnChange = [this](TObject*) { Changed(); };
}

void TAdvSmoothImageListBoxHTMLText::Changed()
{
    Fire(OnChange, this);
}

void TAdvSmoothImageListBoxHTMLText::SetText(const QString& v) { SetProperty(Text_, v); }
void TAdvSmoothImageListBoxHTMLText::SetLocation(TAdvSmoothImageListBoxLocation v) { SetProperty(Location_, v); }
void TAdvSmoothImageListBoxHTMLText::SetLeft(int v) { SetProperty(Left_, v); }
void TAdvSmoothImageListBoxHTMLText::SetTop(int v) { SetProperty(Top_, v); }
void TAdvSmoothImageListBoxHTMLText::SetURLColor(TColor v) { SetProperty(URLColor_, v); }
void TAdvSmoothImageListBoxHTMLText::SetShadowColor(TColor v) { SetProperty(ShadowColor_, v); }
void TAdvSmoothImageListBoxHTMLText::SetShadowOffset(int v) { SetProperty(ShadowOffset_, v); }

void TAdvSmoothImageListBoxHTMLText::Assign(const TAdvSmoothImageListBoxHTMLText& o)
{
    Text_ = o.Text_;
    Location_ = o.Location_;
    Left_ = o.Left_;
    Top_ = o.Top_;
    URLColor_ = o.URLColor_;
    ShadowColor_ = o.ShadowColor_;
    ShadowOffset_ = o.ShadowOffset_;
    Font_.Assign(o.Font_);
    Changed();
}

// ---------------------------------------------------------------- item

TAdvSmoothImageListBoxItem::TAdvSmoothImageListBoxItem(TAdvSmoothImageListBoxItems* owner) : Owner_(owner)
{
    Caption_.OnChange = [this](TObject*) { Changed(); };
    Image_.OnChange = [this](TObject*) { ImageChanged(); };
}

int TAdvSmoothImageListBoxItem::Index() const
{
    for (int i = 0; i < Owner_->Count(); ++i)
        if (Owner_->Item(i) == this)
            return i;
    return -1;
}

void TAdvSmoothImageListBoxItem::Changed()
{
    if (Owner_)
        Owner_->ItemChanged(this);
}

QString TAdvSmoothImageListBoxItem::Location() const
{
    std::lock_guard lock(Owner_->SharedLock());
    return Location_;
}

void TAdvSmoothImageListBoxItem::SetLocation(const QString& v)
{
    {
        std::lock_guard lock(Owner_->SharedLock());
        if (Location_ == v)
            return;
        Location_ = v;
    }
    Changed();
}

void TAdvSmoothImageListBoxItem::SetFileName(const QString& v) { SetProperty(FileName_, v); }
void TAdvSmoothImageListBoxItem::SetFileSize(qint64 v) { SetProperty(FileSize_, v); }
void TAdvSmoothImageListBoxItem::SetFileDate(const QDateTime& v) { SetProperty(FileDate_, v); }
void TAdvSmoothImageListBoxItem::SetHint(const QString& v) { SetProperty(Hint_, v); }
void TAdvSmoothImageListBoxItem::SetEnabled(bool v) { SetProperty(Enabled_, v); }
void TAdvSmoothImageListBoxItem::SetVisible(bool v) { SetProperty(Visible_, v); }
void TAdvSmoothImageListBoxItem::SetSelected(bool v) { SetProperty(Selected_, v); }
void TAdvSmoothImageListBoxItem::SetSplitter(bool v) { SetProperty(Splitter_, v); }
void TAdvSmoothImageListBoxItem::SetSplitterText(const QString& v) { SetProperty(SplitterText_, v); }
void TAdvSmoothImageListBoxItem::SetSplitterState(TSplitterState v) { SetProperty(SplitterState_, v); }

void TAdvSmoothImageListBoxItem::ImageChanged()
{
    if (Owner_ && Owner_->OnItemImageChange)
        Owner_->OnItemImageChange(this);
    Changed();
}

QRectF TAdvSmoothImageListBoxItem::DisplayRect() const
{
    std::lock_guard lock(Owner_->SharedLock());
    return DisplayRect_;
}

void TAdvSmoothImageListBoxItem::SetDisplayRect(const QRectF& r)
{
    DisplayRect_ = r;
}

TThumbnailData TAdvSmoothImageListBoxItem::Thumbnail() const
{
    std::lock_guard lock(Owner_->SharedLock());
    return Thumb_;
}

void TAdvSmoothImageListBoxItem::StoreThumbnail(TThumbnailData data)
{
    {
        std::lock_guard lock(Owner_->SharedLock());
        data.largestWidth = std::max(data.largestWidth, Thumb_.largestWidth);
        data.largestHeight = std::max(data.largestHeight, Thumb_.largestHeight);
        Thumb_ = std::move(data);
    }
    SetLoadState(lsReady);
}

void TAdvSmoothImageListBoxItem::ClearThumbnail()
{
    std::lock_guard lock(Owner_->SharedLock());
    Thumb_.thumbnail = QImage();
}

// ---------------------------------------------------------------- collection

TAdvSmoothImageListBoxItem* TAdvSmoothImageListBoxItems::Add()
{
    BeginUpdate();
    Items_.push_back(std::make_unique<TAdvSmoothImageListBoxItem>(this));
    TAdvSmoothImageListBoxItem* item = Items_.back().get();
    EndUpdate();
    return item;
}

void TAdvSmoothImageListBoxItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    BeginUpdate();
    Items_.erase(Items_.begin() + index);
    EndUpdate();
}

void TAdvSmoothImageListBoxItems::Clear()
{
    BeginUpdate();
    Items_.clear();
    EndUpdate();
}

void TAdvSmoothImageListBoxItems::BeginUpdate()
{
    UpdateCount_.fetch_add(1, std::memory_order_acq_rel);
    if (OnBeginUpdate)
        OnBeginUpdate();
}

void TAdvSmoothImageListBoxItems::EndUpdate()
{
    if (UpdateCount() == 0)
        return; // an unbalanced EndUpdate must not drive the count negative
    const bool outermost = UpdateCount_.fetch_sub(1, std::memory_order_acq_rel) == 1;
    if (OnEndUpdate)
        OnEndUpdate(outermost);
}

int TAdvSmoothImageListBoxItems::IndexOfCaption(const QString& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items_[size_t(i)]->Caption().Text() == text)
            return i;
    return -1;
}

int TAdvSmoothImageListBoxItems::FirstNonSplitter(int from) const
{
    for (int i = std::max(0, from); i < Count(); ++i)
        if (!Items_[size_t(i)]->Splitter())
            return i;
    return -1;
}

void TAdvSmoothImageListBoxItems::ItemChanged(TAdvSmoothImageListBoxItem* item)
{
    if (OnItemChange)
        OnItemChange(item);
}

} // namespace lumora
