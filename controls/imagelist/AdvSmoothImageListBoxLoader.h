#pragma once

// The thumbnail loader of the image list box: one low-priority worker thread
// that decodes the pictures of the items and stores a thumbnail of exactly the
// size each is drawn at, so that painting never decodes a file.

#include "controls/picture/AdvGDIP.h"
#include "controls/imagelist/AdvSmoothImageListBoxItems.h"
#include "controls/imagelist/AdvSmoothImageListBoxLayout.h"

#include <QImage>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace lumora {

// The rectangle a thumbnail is made for and the rule that fits it.
struct TThumbnailTarget {
    double width = 0;
    double height = 0;
    bool aspectRatio = true;
    TImageStretch stretch = isAlways;
};

// The list box's fields that the loader reads. Atomics, except `target`,
// which is guarded by the item collection's lock.
struct TImageLoaderShared {
    std::atomic<bool> restart{false};
    std::atomic<int> restartIndex{0};
    std::atomic<bool> animating{false};
    std::atomic<int> threadLoading{tlOnDemandAfterAnimation};
    std::atomic<int> zoomed{-1};
    std::atomic<int> width{0};
    std::atomic<int> height{0};
    std::atomic<bool> fixedGrid{false};
    TThumbnailTarget target;

    // Asks a running loader to start its next pass at `index` and wakes it.
    void RequestRestart(int index);
    void ClearRestart();
    // Wakes a loader that waits for something to do.
    void Wake();

    std::mutex wakeLock;
    std::condition_variable wake;
};

// A thumbnail of a measured `picture` for `target`: a 32-bit ARGB bitmap of
// the fitted size that the picture is drawn into, with the picture's pixel
// layout copied. The result's largest size is the rounded target. `decoded`,
// when given, is the picture already decoded at the thumbnail's size.
TThumbnailData MakeThumbnail(TAdvGDIPPicture& picture, const TThumbnailTarget& target,
                             const gdiplus::Image* decoded = nullptr);

// Loads and decodes a picture file and makes its thumbnail; nothing when the
// file cannot be read, is not a picture, or measures 0 in either direction.
std::optional<TThumbnailData> MakeThumbnailFromFile(const QString& file, const TThumbnailTarget& target);

class TImageLoaderThread : public QThread {
public:
    // `requestRepaint` is called on the loader thread; it must only post a
    // repaint request to the user-interface thread.
    TImageLoaderThread(TAdvSmoothImageListBoxItems& items, TImageLoaderShared& shared,
                       std::function<void()> requestRepaint);
    ~TImageLoaderThread() override;

    // Asks the thread to end and wakes it; Stop() then waits for it.
    void RequestStop();
    void Stop();

    // Thumbnails made since the thread started (for tests and benchmarks).
    int Loaded() const { return Loaded_.load(); }

protected:
    void run() override;

private:
    bool Stopping() const;
    // One pass from `start`; true when it loaded at least one picture.
    bool Pass(int start);
    bool Qualifies(const QRectF& display) const;
    void WaitForWork(bool pollOnly);

    TAdvSmoothImageListBoxItems& Items_;
    TImageLoaderShared& Shared_;
    std::function<void()> RequestRepaint_;
    std::atomic<int> Loaded_{0};
};

} // namespace lumora
