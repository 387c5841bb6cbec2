#include "controls/imagelist/AdvSmoothImageListBoxLoader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace lumora;

namespace {

// Waits (without a timed assertion on speed) until `done` holds or a generous
// limit passes, so a slow sanitizer build still finishes.
template <typename Pred>
bool WaitFor(Pred done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

QString WritePicture(const QDir& dir, const QString& name, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(40, 120, 200));
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

struct ImageListLoader : ::testing::Test {
    QTemporaryDir dir;
    TAdvSmoothImageListBoxItems items;
    TImageLoaderShared shared;
    std::atomic<int> repaints{0};

    void SetUp() override
    {
        shared.width.store(600);
        shared.height.store(450);
        shared.target = {63, 63, true, isAlways};
    }

    void AddFiles(const QStringList& paths, bool inView)
    {
        items.BeginUpdate();
        int n = 0;
        for (const QString& p : paths) {
            TAdvSmoothImageListBoxItem* item = items.Add();
            item->SetLocation(p);
            item->SetLoadState(lsWaiting);
            std::lock_guard lock(items.SharedLock());
            item->SetDisplayRect(inView ? QRectF(10 + 80 * (n / 3), 60 + 80 * (n % 3), 70, 70)
                                        : QRectF(5000, 60, 70, 70));
            ++n;
        }
        items.EndUpdate();
    }

    TImageLoaderThread* Start()
    {
        auto* t = new TImageLoaderThread(items, shared, [this] { repaints.fetch_add(1); });
        t->start(QThread::LowestPriority);
        return t;
    }
};

} // namespace

TEST_F(ImageListLoader, MakesThumbnailsAtTheDrawnSizeAndSkipsNonPictures)
{
    const QString good = WritePicture(QDir(dir.path()), "wide.png", QSize(200, 100));
    const QString bad = dir.filePath("not-a-picture.png");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is text, not a picture");
    }
    const QString missing = dir.filePath("missing.png");
    const QString later = WritePicture(QDir(dir.path()), "later.png", QSize(40, 20));
    AddFiles({good, bad, missing, later}, true);

    std::unique_ptr<TImageLoaderThread> t(Start());
    ASSERT_TRUE(WaitFor([&] { return items[3]->LoadState() == lsReady; }))
        << "a broken file before it never stops the loader";
    EXPECT_EQ(items[0]->LoadState(), lsReady);
    EXPECT_EQ(items[0]->Thumbnail().thumbnail.size(), QSize(63, 32));
    EXPECT_EQ(items[0]->Thumbnail().thumbnail.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(items[0]->Thumbnail().natural, QSizeF(200, 100));
    EXPECT_EQ(items[0]->Thumbnail().largestWidth, 63);
    // The picture is drawn into the thumbnail, and its file's pixel layout kept.
    EXPECT_EQ(items[0]->Thumbnail().thumbnail.pixelColor(31, 16), QColor(40, 120, 200));
    EXPECT_EQ(items[0]->Thumbnail().pixelFormat, 0x0026200A);
    EXPECT_TRUE(items[0]->Thumbnail().hasAlpha);
    EXPECT_EQ(items[0]->Thumbnail().bitsPerPixel, 32);
    EXPECT_EQ(items[1]->LoadState(), lsLoading) << "not a picture: stays loading, drawn with the default image";
    EXPECT_TRUE(items[1]->Thumbnail().thumbnail.isNull());
    EXPECT_EQ(items[2]->LoadState(), lsLoading);
    EXPECT_EQ(items[3]->Thumbnail().thumbnail.size(), QSize(63, 32));
    EXPECT_GE(repaints.load(), 1);
    t->Stop();
    EXPECT_TRUE(t->isFinished());
}

TEST_F(ImageListLoader, OnDemandLoadsOnlyWhatIsInViewAndWaitsForTheAnimation)
{
    const QString a = WritePicture(QDir(dir.path()), "a.png", QSize(64, 64));
    AddFiles({a, a}, true);
    {
        std::lock_guard lock(items.SharedLock());
        items[1]->SetDisplayRect(QRectF(5000, 60, 70, 70)); // scrolled out of view
    }
    shared.animating.store(true);
    std::unique_ptr<TImageLoaderThread> t(Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(items[0]->LoadState(), lsWaiting) << "nothing loads while the view moves";

    shared.animating.store(false);
    shared.RequestRestart(0); // the layout rebuild at the end of the animation
    ASSERT_TRUE(WaitFor([&] { return items[0]->LoadState() == lsReady; }));
    EXPECT_EQ(items[1]->LoadState(), lsWaiting);

    {
        std::lock_guard lock(items.SharedLock());
        items[1]->SetDisplayRect(QRectF(10, 60, 70, 70)); // scrolled into view
    }
    shared.RequestRestart(1);
    ASSERT_TRUE(WaitFor([&] { return items[1]->LoadState() == lsReady; })) << "a restart wakes an idle loader";
    t->Stop();
}

TEST_F(ImageListLoader, AllModeLoadsEverythingAndStopReturnsPromptlyMidway)
{
    QStringList many;
    const QString p = WritePicture(QDir(dir.path()), "big.png", QSize(512, 512));
    for (int i = 0; i < 200; ++i)
        many << p;
    AddFiles(many, false);
    shared.threadLoading.store(tlAll);

    std::unique_ptr<TImageLoaderThread> t(Start());
    ASSERT_TRUE(WaitFor([&] { return t->Loaded() >= 1; }));
    t->Stop(); // mid-way: must wait for the thread, never leave it running
    EXPECT_TRUE(t->isFinished());
    const int after = t->Loaded();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(t->Loaded(), after);

    // Every item is either untouched or complete, never half-made.
    for (int i = 0; i < items.Count(); ++i) {
        const TImageLoadState s = items[i]->LoadState();
        EXPECT_TRUE(s == lsWaiting || s == lsReady) << i;
        if (s == lsReady) {
            EXPECT_EQ(items[i]->Thumbnail().thumbnail.size(), QSize(63, 63));
        }
    }
}

TEST_F(ImageListLoader, NothingToDoWithoutItemsOrInAFixedGrid)
{
    std::unique_ptr<TImageLoaderThread> t(Start());
    ASSERT_TRUE(t->wait(5000)) << "an empty collection ends the thread at once";

    AddFiles({WritePicture(QDir(dir.path()), "x.png", QSize(8, 8))}, true);
    shared.fixedGrid.store(true);
    std::unique_ptr<TImageLoaderThread> grid(Start());
    ASSERT_TRUE(grid->wait(5000));
    EXPECT_EQ(items[0]->LoadState(), lsWaiting);
}

TEST(ImageListItems, CollectionLookupsAndUpdateBracket)
{
    TAdvSmoothImageListBoxItems items;
    int begins = 0;
    std::vector<bool> ends;
    items.OnBeginUpdate = [&] { ++begins; };
    items.OnEndUpdate = [&](bool outermost) { ends.push_back(outermost); };

    items.BeginUpdate();
    items.Add()->SetSplitter(true);
    items.Add()->Caption().SetText("Day");
    items.Add()->Caption().SetText("Night");
    items.EndUpdate();
    EXPECT_EQ(begins, 4) << "each Add brackets itself";
    EXPECT_EQ(ends, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(items.UpdateCount(), 0);
    items.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(items.UpdateCount(), 0);

    EXPECT_EQ(items.IndexOfCaption("Night"), 2);
    EXPECT_EQ(items.IndexOfCaption("night"), -1) << "exact match only";
    EXPECT_EQ(items.FirstNonSplitter(), 1);
    EXPECT_EQ(items.FirstNonSplitter(3), -1);
    EXPECT_EQ(items[2]->Index(), 2);

    int changes = 0;
    items.OnItemChange = [&](TAdvSmoothImageListBoxItem*) { ++changes; };
    items[1]->Caption().SetText("Day");
    items[1]->SetEnabled(true);
    EXPECT_EQ(changes, 0) << "same value twice notifies nothing";
    items[1]->SetHint("h");
    items[1]->Caption().SetText("Dawn");
    EXPECT_EQ(changes, 2);
}
