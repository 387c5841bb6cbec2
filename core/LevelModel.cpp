#include "core/LevelModel.h"

#include "controls/gauge/AdvSmoothGaugeGeometry.h"
#include "platform/framework/Application.h"
#include "platform/framework/Exception.h"
#include "platform/framework/SysUtils.h"

#include <algorithm>

namespace lumora {

namespace {

int Nearest(double value) { return int(Round(value)); }

double FadeStep(double value, double target, int factor) { return NextNeedleValue(value, target, factor); }

} // namespace

std::vector<int> FadeLevels(int from, int to, int factor)
{
    std::vector<int> levels;
    double value = from;
    int last = from;
    while (last != to) {
        value = FadeStep(value, to, factor);
        if (Nearest(value) != last) {
            last = Nearest(value);
            levels.push_back(last);
        }
    }
    return levels;
}

TLevelModel::TLevelModel(Write write, FadePace pace)
    : write_(std::move(write)), pace_(pace), fadeTimer_(std::make_unique<TTimer>())
{
    fadeTimer_->SetEnabled(false);
    fadeTimer_->SetInterval(pace_.IntervalMs);
    fadeTimer_->OnTimer = [this](TObject*) { RunGuarded([this] { Step(); }); };
}

TLevelModel::~TLevelModel() = default;

bool TLevelModel::Fading() const { return fadeTimer_->IsRunning(); }

void TLevelModel::Reset(int levelCount, int deviceLevel, LevelSource source)
{
    fadeTimer_->SetEnabled(false);
    levelCount_ = std::max(levelCount, 0);
    if (levelCount_ < 1 || deviceLevel < 0) {
        target_ = device_ = -1;
        return;
    }
    target_ = device_ = std::clamp(deviceLevel, 0, levelCount_ - 1);
    fadeValue_ = target_;
    source_ = source;
    Announce();
}

void TLevelModel::Request(int level, LevelSource source, bool fade)
{
    if (levelCount_ < 1)
        throw Exception("The brightness levels are not known yet.");
    if (level < 0 || level > levelCount_ - 1)
        throw Exception(QString("Level %1 is out of range: the levels are 0 to %2.").arg(level).arg(levelCount_ - 1));

    if (level == target_ && !Fading()) {
        WriteLevel(level, level, false);
        return;
    }
    if (!fade || device_ < 0) {
        fadeTimer_->SetEnabled(false);
        fadeValue_ = device_;
        WriteLevel(level, level, false);
        fadeValue_ = level;
    } else {
        // From where the device is, even half way through another fade. The
        // first level is written at once, so that a device that refuses it
        // leaves everything as it was.
        const auto writeFirst = [&](int first) {
            try {
                WriteLevel(first, level, false);
            } catch (...) {
                fadeTimer_->SetEnabled(false);
                fadeValue_ = device_;
                throw;
            }
        };
        double value = Fading() ? fadeValue_ : device_;
        bool written = false;
        for (;;) {
            value = FadeStep(value, level, pace_.Factor);
            if (Nearest(value) != device_) {
                writeFirst(Nearest(value));
                written = true;
                break;
            }
            if (value == level)
                break;
        }
        // A fade on its way passed the new level and the device holds it
        // already; it is written once all the same, so that a device that
        // takes only a move's end hears of the new one.
        if (!written && level != target_)
            writeFirst(level);
        fadeValue_ = value;
        // Started or kept running: a running fade keeps its pace.
        if (device_ != level && !fadeTimer_->Enabled())
            fadeTimer_->SetEnabled(true);
        else if (device_ == level)
            fadeTimer_->SetEnabled(false);
    }
    if (level == target_)
        return; // the move already under way: nothing new to show
    target_ = level;
    source_ = source;
    Announce();
}

void TLevelModel::Step()
{
    fadeValue_ = FadeStep(fadeValue_, target_, pace_.Factor);
    if (Nearest(fadeValue_) != device_) {
        try {
            WriteLevel(Nearest(fadeValue_), target_, true);
        } catch (...) {
            // The device stays where it was; the fade ends there.
            fadeTimer_->SetEnabled(false);
            fadeValue_ = device_;
            throw;
        }
    }
    if (device_ == target_)
        fadeTimer_->SetEnabled(false);
}

void TLevelModel::ChangedElsewhere(int level)
{
    if (levelCount_ < 1)
        return;
    level = std::clamp(level, 0, levelCount_ - 1);
    fadeTimer_->SetEnabled(false);
    device_ = level;
    fadeValue_ = level;
    if (level == target_)
        return;
    target_ = level;
    source_ = LevelSource::Elsewhere;
    Announce();
}

void TLevelModel::WriteAgain()
{
    // A fade on its way gets there by itself.
    if (target_ >= 0 && !Fading())
        WriteLevel(target_, target_, false);
}

void TLevelModel::WriteLevel(int level, int heading, bool fadeStep)
{
    heading_ = heading;
    fadeStep_ = fadeStep;
    write_(level);
    device_ = level;
}

void TLevelModel::Announce()
{
    if (OnChanged)
        OnChanged(target_, source_);
}

} // namespace lumora
