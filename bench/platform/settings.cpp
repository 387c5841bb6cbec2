// SaveProfile followed by LoadProfile against a settings file in a
// temporary folder: one locked, fsynced, atomic replace and two reads.

#include "core/Profiles.h"
#include "platform/settings/SettingsData.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_SaveLoadProfile(benchmark::State& state)
{
    QTemporaryDir dir;
    lumora::TSettingsStore store(dir.filePath("LumoraBrightness.conf"));
    // A few other profiles, as a user would have.
    for (int i = 0; i < 8; ++i)
        lumora::SaveProfile(store, QStringLiteral("Profile %1").arg(i), lumora::TProfile{i, "desc", 10, true}, "");
    int level = 0;
    for (auto _ : state) {
        lumora::SaveProfile(store, "Night", lumora::TProfile{level % 11, "Reading late", 15, true}, "");
        lumora::TProfile loaded;
        QString active;
        benchmark::DoNotOptimize(lumora::LoadProfile(store, "Night", 11, loaded, active));
        ++level;
    }
}
BENCHMARK(BM_SaveLoadProfile)->Unit(benchmark::kMicrosecond);

void BM_LoadProfile(benchmark::State& state)
{
    QTemporaryDir dir;
    lumora::TSettingsStore store(dir.filePath("LumoraBrightness.conf"));
    for (int i = 0; i < 8; ++i)
        lumora::SaveProfile(store, QStringLiteral("Profile %1").arg(i), lumora::TProfile{i, "desc", 10, true}, "");
    for (auto _ : state) {
        lumora::TProfile loaded;
        QString active;
        benchmark::DoNotOptimize(lumora::LoadProfile(store, "Profile 3", 11, loaded, active));
    }
}
BENCHMARK(BM_LoadProfile)->Unit(benchmark::kMicrosecond);

// Parsing a file of n values in one key: the time per value should not
// grow with n.
void BM_ParseManyValues(benchmark::State& state)
{
    QByteArray text = "[Software\\Kestrelo\\LumoraBrightness]\n";
    for (int i = 0; i < state.range(0); ++i)
        text += "Value" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(lumora::TSettingsData::Parse(text, "bench"));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseManyValues)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

} // namespace
