#include "controls/imagelist/AdvSmoothImageListBoxLoader.h"

#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/Image.h"

#include <chrono>

namespace lumora {

// ---------------------------------------------------------------- shared fields

void TImageLoaderShared::RequestRestart(int index)
{
    {
        // Taken so that a loader about to wait cannot miss the request.
        std::lock_guard lock(wakeLock);
        restartIndex.store(index);
        restart.store(true);
    }
    wake.notify_all();
}

void TImageLoaderShared::ClearRestart()
{
    std::lock_guard lock(wakeLock);
    restart.store(false);
    restartIndex.store(0);
}

void TImageLoaderShared::Wake()
{
    {
        std::lock_guard lock(wakeLock);
    }
    wake.notify_all();
}

// ---------------------------------------------------------------- thumbnails

TThumbnailData MakeThumbnail(TAdvGDIPPicture& picture, const TThumbnailTarget& target, const gdiplus::Image* decoded)
{
    TThumbnailData d;
    d.natural = QSizeF(picture.Width(), picture.Height());
    const QSize size = ThumbnailSize(picture.Width(), picture.Height(), target.width, target.height,
                                     target.aspectRatio, target.stretch);
    if (!size.isEmpty()) {
        d.thumbnail = QImage(size, QImage::Format_ARGB32_Premultiplied);
        d.thumbnail.fill(Qt::transparent);
        gdiplus::Graphics g(&d.thumbnail);
        // Thumbnails are mostly large pictures drawn small: average, do not sample.
        g.SetInterpolationMode(gdiplus::InterpolationModeHighQualityBicubic);
        if (decoded)
            g.DrawImage(decoded, gdiplus::RectF(0, 0, gdiplus::REAL(size.width()), gdiplus::REAL(size.height())));
        else
            picture.GPDraw(&g, QRect(QPoint(0, 0), size));
    }
    d.largestWidth = RoundEven(target.width);
    d.largestHeight = RoundEven(target.height);
    d.pixelFormat = picture.PixelFormat();
    d.bitsPerPixel = picture.BitsPerPixel();
    d.hasAlpha = picture.HasAlpha();
    d.hasPalette = picture.HasPalette();
    return d;
}

std::optional<TThumbnailData> MakeThumbnailFromFile(const QString& file, const TThumbnailTarget& target)
{
    TAdvGDIPPicture picture;
    picture.LoadFromFile(file);
    // A picture larger than its thumbnail is decoded straight at the
    // thumbnail's size where its format can.
    const std::unique_ptr<gdiplus::Image> small = picture.DecodeScaledDown([&](QSize natural) {
        return ThumbnailSize(natural.width(), natural.height(), target.width, target.height, target.aspectRatio,
                             target.stretch);
    });
    if (small)
        return MakeThumbnail(picture, target, small.get());
    // A file that is not a picture, or a picture that measures 0 in either
    // direction, gives no thumbnail: the item keeps showing the default image.
    if (picture.Empty() || !picture.Measure() || picture.Width() <= 0 || picture.Height() <= 0)
        return std::nullopt;
    return MakeThumbnail(picture, target);
}

// ---------------------------------------------------------------- thread

TImageLoaderThread::TImageLoaderThread(TAdvSmoothImageListBoxItems& items, TImageLoaderShared& shared,
                                       std::function<void()> requestRepaint)
    : Items_(items), Shared_(shared), RequestRepaint_(std::move(requestRepaint))
{
}

TImageLoaderThread::~TImageLoaderThread()
{
    Stop();
}

void TImageLoaderThread::RequestStop()
{
    {
        std::lock_guard lock(Shared_.wakeLock);
        requestInterruption();
    }
    Shared_.wake.notify_all();
}

void TImageLoaderThread::Stop()
{
    RequestStop();
    wait();
}

bool TImageLoaderThread::Stopping() const
{
    return isInterruptionRequested();
}

bool TImageLoaderThread::Qualifies(const QRectF& display) const
{
    switch (Shared_.threadLoading.load()) {
    case tlAll: return true;
    case tlOnDemand: return IntersectsControl(display, Shared_.width.load(), Shared_.height.load());
    default:
        return !Shared_.animating.load() && IntersectsControl(display, Shared_.width.load(), Shared_.height.load());
    }
}

void TImageLoaderThread::WaitForWork(bool pollOnly)
{
    std::unique_lock lock(Shared_.wakeLock);
    auto woken = [&] { return Stopping() || Shared_.restart.load(); };
    if (pollOnly)
        Shared_.wake.wait_for(lock, std::chrono::milliseconds(10), woken);
    else
        Shared_.wake.wait(lock, woken);
}

bool TImageLoaderThread::Pass(int start)
{
    bool loadedAny = false;
    const int last = Items_.Count() - 1;
    for (int i = start; i <= last && !Stopping(); ++i) {
        if (Shared_.restart.load())
            break;
        if (i >= Items_.Count())
            continue;
        TAdvSmoothImageListBoxItem* item = Items_.Item(i);
        QString location;
        QRectF display;
        TThumbnailTarget target;
        {
            std::lock_guard lock(Items_.SharedLock());
            location = item->Location_;
            display = item->DisplayRect_;
            target = Shared_.target;
        }
        if (!Qualifies(display) || item->LoadState() != lsWaiting || i == Shared_.zoomed.load() ||
            location.isEmpty())
            continue;

        item->ClearThumbnail();
        item->SetLoadState(lsLoading);
        if (std::optional<TThumbnailData> thumb = MakeThumbnailFromFile(location, target)) {
            item->StoreThumbnail(std::move(*thumb));
            Loaded_.fetch_add(1);
        }
        loadedAny = true;
        if (Stopping())
            break;
        if (IntersectsControl(item->DisplayRect(), Shared_.width.load(), Shared_.height.load()) && RequestRepaint_)
            RequestRepaint_();
    }
    return loadedAny;
}

void TImageLoaderThread::run()
{
    if (Shared_.fixedGrid.load() || Items_.Count() == 0)
        return;
    while (!Stopping()) {
        // The list box stops the loader before any change to the collection,
        // so this only guards against a caller that opened an update while
        // the thread was starting.
        if (Items_.UpdateCount() > 0) {
            WaitForWork(true);
            continue;
        }
        int start = 0;
        {
            std::lock_guard lock(Shared_.wakeLock);
            if (Shared_.restart.exchange(false))
                start = Shared_.restartIndex.load();
        }
        if (start >= Items_.Count())
            start = 0;
        // Passes repeat while they find work. A pass that finds nothing waits
        // for the next layout rebuild (scrolling, resizing, the end of an
        // animation) instead of polling, so the process stays quiet at rest.
        if (!Pass(start))
            WaitForWork(false);
    }
}

} // namespace lumora
