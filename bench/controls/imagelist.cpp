// Thumbnail throughput of the image list box's loader against a bare
// decode-and-scale loop over the same 500 generated 512 x 512 PNGs, and the
// longest stall of the user-interface thread while a list box loads them.
//
//   build/bench/bench_imagelist
//
// Counters: bare_per_s and loader_per_s (thumbnails per second), ratio
// (loader / bare; the target is at least 0.8), add_ms (adding the folder on
// the user-interface thread) and max_stall_ms (longest gap between two 1 ms
// timer ticks on the user-interface thread while loading; target under 16).

#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxLoader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>


using namespace lumora;

namespace {

constexpr int kPictures = 500;
constexpr int kSide = 512;

// 500 PNGs of one generated picture with gradients and noise, so that each
// decode does the work of a real photograph-sized file.
const QTemporaryDir& Folder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        QImage picture(kSide, kSide, QImage::Format_ARGB32);
        QRandomGenerator rng(7);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                picture.setPixel(x, y,
                                 qRgba(x / 2, y / 2, int(rng.bounded(256)), 255 - ((x + y) & 0x3F)));
        const QString first = dir.filePath("p0000.png");
        picture.save(first, "PNG");
        for (int i = 1; i < kPictures; ++i)
            QFile::copy(first, dir.filePath(QString("p%1.png").arg(i, 4, 10, QChar('0'))));
        return true;
    }();
    (void)made;
    return dir;
}

QStringList Files()
{
    QStringList files;
    for (int i = 0; i < kPictures; ++i)
        files << Folder().filePath(QString("p%1.png").arg(i, 4, 10, QChar('0')));
    return files;
}

const TThumbnailTarget kTarget{63, 63, true, isAlways};

double BareLoopSeconds(const QStringList& files)
{
    QElapsedTimer t;
    t.start();
    for (const QString& f : files) {
        QImageReader reader(f);
        QImage picture;
        reader.read(&picture);
        QImage thumb = picture.scaled(63, 63, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        benchmark::DoNotOptimize(thumb);
    }
    return t.nsecsElapsed() / 1e9;
}

double LoaderSeconds(const QStringList& files)
{
    TAdvSmoothImageListBoxItems items;
    TImageLoaderShared shared;
    shared.threadLoading.store(tlAll);
    shared.width.store(600);
    shared.height.store(450);
    shared.target = kTarget;
    items.BeginUpdate();
    for (const QString& f : files) {
        TAdvSmoothImageListBoxItem* item = items.Add();
        item->SetLocation(f);
        item->SetLoadState(lsWaiting);
    }
    items.EndUpdate();

    QElapsedTimer t;
    t.start();
    TImageLoaderThread loader(items, shared, {});
    loader.start(QThread::IdlePriority);
    while (loader.Loaded() < files.size())
        QThread::usleep(200);
    const double seconds = t.nsecsElapsed() / 1e9;
    loader.Stop();
    return seconds;
}

void BM_ThumbnailThroughput(benchmark::State& state)
{
    const QStringList files = Files();
    double bare = 0;
    double loader = 0;
    for (auto _ : state) {
        const double b = BareLoopSeconds(files);
        const double l = LoaderSeconds(files);
        bare += b;
        loader += l;
        state.SetIterationTime(l);
    }
    const double n = double(state.iterations()) * files.size();
    state.counters["bare_per_s"] = n / bare;
    state.counters["loader_per_s"] = n / loader;
    state.counters["ratio"] = bare / loader;
}
BENCHMARK(BM_ThumbnailThroughput)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UiStallWhileLoading(benchmark::State& state)
{
    double worstStall = 0;
    double addMs = 0;
    for (auto _ : state) {
        TAdvSmoothImageListBox box;
        box.resize(600, 450);
        box.SetThreadLoading(tlAll);
        box.show();

        QElapsedTimer clock;
        clock.start();
        box.AddImagesFromLocation(Folder().filePath("*.png"), false);
        addMs = std::max(addMs, clock.nsecsElapsed() / 1e6);

        auto allDone = [&] {
            for (int i = 0; i < box.Items().Count(); ++i)
                if (box.Items()[i]->LoadState() == lsWaiting)
                    return false;
            return true;
        };
        qint64 last = clock.nsecsElapsed();
        double stall = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            stall = std::max(stall, (now - last) / 1e6);
            last = now;
        });
        tick.start();
        while (!allDone())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        tick.stop();
        worstStall = std::max(worstStall, stall);
    }
    state.counters["add_ms"] = addMs;
    state.counters["max_stall_ms"] = worstStall;
}
BENCHMARK(BM_UiStallWhileLoading)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
