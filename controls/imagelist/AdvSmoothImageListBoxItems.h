#pragma once

// The pictures of an image list box: items, their shared thumbnail state and
// the collection with its update bracket.
//
// Threads: the user-interface thread owns everything here. The thumbnail
// loader reads an item's Location and display rectangle and writes its load
// state and thumbnail. Those fields are guarded by the collection's lock (the
// load state is atomic), and the collection itself only changes while the
// loader is stopped: every change runs inside BeginUpdate/EndUpdate, and the
// list box stops the loader on BeginUpdate.

#include "controls/picture/AdvGDIP.h"
#include "controls/imagelist/AdvSmoothImageListBoxLayout.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Events.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"

#include <QDateTime>
#include <QImage>
#include <QRectF>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lumora {

class TAdvSmoothImageListBoxItems;

enum TSplitterState { stExpanded, stCollapsed };

// Load state of an item's thumbnail. A file that cannot be decoded stays in
// lsLoading for good, and the list box draws its default image for it.
enum TImageLoadState { lsNone = 0, lsWaiting = 1, lsLoading = 2, lsReady = 3 };

// Item captions and the caption template.
class TAdvSmoothImageListBoxHTMLText : public TObject {
public:
    TAdvSmoothImageListBoxHTMLText();

    const QString& Text() const { return Text_; }
    void SetText(const QString& v);
    TAdvSmoothImageListBoxLocation Location() const { return Location_; }
    void SetLocation(TAdvSmoothImageListBoxLocation v);
    int Left() const { return Left_; }
    void SetLeft(int v);
    int Top() const { return Top_; }
    void SetTop(int v);
    TColor URLColor() const { return URLColor_; }
    void SetURLColor(TColor v);
    TColor ShadowColor() const { return ShadowColor_; }
    void SetShadowColor(TColor v);
    int ShadowOffset() const { return ShadowOffset_; }
    void SetShadowOffset(int v);
    TFont& Font() { return Font_; }
    const TFont& Font() const { return Font_; }

    void Assign(const TAdvSmoothImageListBoxHTMLText& other);

    TNotifyEvent OnChange;

private:
    void Changed();
    template <typename T>
    void SetProperty(T& field, const T& v)
    {
        if (StoreIfDifferent(field, v))
            Changed();
    }
    QString Text_;
    TAdvSmoothImageListBoxLocation Location_ = cpCenterLeft;
    int Left_ = 0;
    int Top_ = 0;
    TColor URLColor_ = clBlue;
    TColor ShadowColor_ = clGray;
    int ShadowOffset_ = 5;
    TFont Font_;
};

// What the loader makes for an item, kept together under the collection's lock.
struct TThumbnailData {
    QImage thumbnail; // 32-bit ARGB, exactly the size it is drawn at
    QSizeF natural;   // the picture's own size, once measured
    int largestWidth = 0;
    int largestHeight = 0;
    int pixelFormat = 0; // the picture's drawing-layer pixel format number
    int bitsPerPixel = 0;
    bool hasAlpha = false;
    bool hasPalette = false;
};

class TAdvSmoothImageListBoxItem : public TObject {
public:
    explicit TAdvSmoothImageListBoxItem(TAdvSmoothImageListBoxItems* owner);

    TAdvSmoothImageListBoxItems* Collection() const { return Owner_; }
    int Index() const;

    QString Location() const;
    void SetLocation(const QString& v);
    const QString& FileName() const { return FileName_; }
    void SetFileName(const QString& v);
    qint64 FileSize() const { return FileSize_; }
    void SetFileSize(qint64 v);
    const QDateTime& FileDate() const { return FileDate_; }
    void SetFileDate(const QDateTime& v);

    // An image given directly instead of a file, owned by the item; its
    // thumbnail is made at once on the user-interface thread by the list box
    // whenever the image changes and is not empty.
    TAdvGDIPPicture& Image() { return Image_; }
    const TAdvGDIPPicture& Image() const { return Image_; }
    // Assigns a copy of `v`.
    void SetImage(const TAdvGDIPPicture& v) { Image_.Assign(&v); }
    void SetImage(const QImage& bitmap) { Image_.Assign(bitmap); }

    TAdvSmoothImageListBoxHTMLText& Caption() { return Caption_; }
    const TAdvSmoothImageListBoxHTMLText& Caption() const { return Caption_; }
    const QString& Hint() const { return Hint_; }
    void SetHint(const QString& v);
    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return Visible_; }
    void SetVisible(bool v);
    bool Selected() const { return Selected_; }
    void SetSelected(bool v);
    bool Splitter() const { return Splitter_; }
    void SetSplitter(bool v);
    const QString& SplitterText() const { return SplitterText_; }
    void SetSplitterText(const QString& v);
    TSplitterState SplitterState() const { return SplitterState_; }
    void SetSplitterState(TSplitterState v);
    int Tag() const { return Tag_; }
    void SetTag(int v) { Tag_ = v; }

    // ---- state shared with the thumbnail loader
    TImageLoadState LoadState() const { return TImageLoadState(LoadState_.load(std::memory_order_acquire)); }
    void SetLoadState(TImageLoadState v) { LoadState_.store(v, std::memory_order_release); }
    QRectF DisplayRect() const;
    void SetDisplayRect(const QRectF& r); // caller holds the collection's lock
    TThumbnailData Thumbnail() const;
    // Stores a finished thumbnail, then marks the item ready: whoever sees
    // lsReady also sees the complete bitmap.
    void StoreThumbnail(TThumbnailData data);
    void ClearThumbnail();

private:
    friend class TAdvSmoothImageListBoxItems;
    friend class TImageLoaderThread;
    void Changed();
    template <typename T>
    void SetProperty(T& field, const T& v)
    {
        if (StoreIfDifferent(field, v))
            Changed();
    }
    void ImageChanged();
    TAdvSmoothImageListBoxItems* Owner_;
    QString Location_; // guarded
    QString FileName_;
    qint64 FileSize_ = 0;
    QDateTime FileDate_;
    TAdvGDIPPicture Image_;
    TAdvSmoothImageListBoxHTMLText Caption_;
    QString Hint_;
    bool Enabled_ = true;
    bool Visible_ = true;
    bool Selected_ = false;
    bool Splitter_ = false;
    QString SplitterText_;
    TSplitterState SplitterState_ = stExpanded;
    int Tag_ = 0;

    std::atomic<int> LoadState_{lsNone};
    QRectF DisplayRect_;      // guarded
    TThumbnailData Thumb_;    // guarded
};

class TAdvSmoothImageListBoxItems : public TObject {
public:
    TAdvSmoothImageListBoxItems() = default;
    TAdvSmoothImageListBoxItems(const TAdvSmoothImageListBoxItems&) = delete;
    TAdvSmoothImageListBoxItems& operator=(const TAdvSmoothImageListBoxItems&) = delete;

    int Count() const { return int(Items_.size()); }
    TAdvSmoothImageListBoxItem* operator[](int index) const { return Items_.at(size_t(index)).get(); }
    TAdvSmoothImageListBoxItem* Item(int index) const { return Items_.at(size_t(index)).get(); }

    // Each of these runs inside an update of its own when none is open, so the
    // collection never changes under a running loader.
    TAdvSmoothImageListBoxItem* Add();
    void Delete(int index);
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return UpdateCount_.load(std::memory_order_acquire); }

    // The first index whose caption text equals `text` exactly, -1 when none.
    int IndexOfCaption(const QString& text) const;
    // The first index at or after `from` that is not a splitter, -1 when none.
    int FirstNonSplitter(int from = 0) const;

    // Guards the fields the loader shares with the user-interface thread.
    std::mutex& SharedLock() const { return Lock_; }

    // Hooks for the owning list box.
    std::function<void()> OnBeginUpdate;        // after the count went up
    std::function<void(bool outermost)> OnEndUpdate; // after the count went down
    std::function<void(TAdvSmoothImageListBoxItem*)> OnItemChange;
    std::function<void(TAdvSmoothImageListBoxItem*)> OnItemImageChange;

private:
    friend class TAdvSmoothImageListBoxItem;
    void ItemChanged(TAdvSmoothImageListBoxItem* item);

    std::vector<std::unique_ptr<TAdvSmoothImageListBoxItem>> Items_;
    std::atomic<int> UpdateCount_{0};
    mutable std::mutex Lock_;
};

} // namespace lumora
