// Brightness device access on a stand-in backlight folder: one SetBrightness
// end to end (connect, object path, Get of the methods object, in-parameters,
// ExecMethod, maximum read, file write) against the bare write() it comes down
// to, and the whole start-up query.

#include "core/BrightnessAccess.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/SysfsBrightnessWriter.h"
#include "platform/device/SysfsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

using namespace lumora;

namespace {

struct StandIn {
    QTemporaryDir dir;
    QString device;

    StandIn()
    {
        QDir(dir.path()).mkpath("intel_backlight");
        device = dir.path() + "/intel_backlight";
        auto write = [&](const char* name, const QByteArray& text) {
            QFile f(device + '/' + name);
            f.open(QIODevice::WriteOnly);
            f.write(text);
        };
        write("max_brightness", "937\n");
        write("brightness", "469\n");
        write("actual_brightness", "469\n");
        write("type", "raw\n");
    }

    TBrightnessAccess Access(int levels)
    {
        return TBrightnessAccess(std::make_shared<BacklightProvider>(BacklightOptions{dir.path(), levels},
                                                                     std::make_shared<SysfsBrightnessWriter>()));
    }
};

void BM_SetBrightnessEndToEnd(benchmark::State& state)
{
    StandIn s;
    TBrightnessAccess access = s.Access(101);
    access.QueryMonitor();
    const QString name = access.MonitorInstanceName;
    for (auto _ : state)
        access.SetBrightness(50, name);
}
BENCHMARK(BM_SetBrightnessEndToEnd);

// What the write comes down to: the same bytes into an already open file.
void BM_BareWrite(benchmark::State& state)
{
    StandIn s;
    const int fd = ::open(QFile::encodeName(s.device + "/brightness").constData(), O_WRONLY | O_CLOEXEC);
    for (auto _ : state) {
        const ssize_t n = ::pwrite(fd, "469\n", 4, 0);
        benchmark::DoNotOptimize(n);
    }
    ::close(fd);
}
BENCHMARK(BM_BareWrite);

// The same write with its own open and close, as any program writing the
// attribute once must do.
void BM_OpenWriteClose(benchmark::State& state)
{
    StandIn s;
    const QByteArray path = QFile::encodeName(s.device + "/brightness");
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        const ssize_t n = ::write(fd, "469\n", 4);
        benchmark::DoNotOptimize(n);
        ::close(fd);
    }
}
BENCHMARK(BM_OpenWriteClose);

// The two device steps of a SetBrightness on their own.
void BM_ReadMaximum(benchmark::State& state)
{
    StandIn s;
    const QString path = s.device + "/max_brightness";
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSysfsInteger(path));
}
BENCHMARK(BM_ReadMaximum);

void BM_WriteAttribute(benchmark::State& state)
{
    StandIn s;
    const QString path = s.device + "/brightness";
    for (auto _ : state)
        benchmark::DoNotOptimize(TryWriteSysfsInteger(path, 469));
}
BENCHMARK(BM_WriteAttribute);

// The write as a device found in its folder makes it: the path encoded and
// the file's kind known beforehand. A stand-in file is also looked at for a
// longer tail; a device attribute would be open, write, close alone.
void BM_WriteFoundStandIn(benchmark::State& state)
{
    StandIn s;
    const QByteArray path = QFile::encodeName(s.device + "/brightness");
    const TSysfsFileKind kind = SysfsFileKindOf(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(TryWriteSysfsInteger(path, 469, kind));
}
BENCHMARK(BM_WriteFoundStandIn);

void BM_StartUpQuery(benchmark::State& state)
{
    StandIn s;
    TBrightnessAccess access = s.Access(101);
    for (auto _ : state) {
        access.QueryMonitor();
        benchmark::DoNotOptimize(access.LevelCount);
    }
}
BENCHMARK(BM_StartUpQuery)->Unit(benchmark::kMicrosecond);

} // namespace
