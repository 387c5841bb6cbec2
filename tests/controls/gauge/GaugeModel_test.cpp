#include "controls/gauge/AdvSmoothGauge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace lumora;

namespace {

// Records the gauge's notifications.
struct Recorder {
    int changes = 0;
    std::vector<double> values;

    explicit Recorder(TAdvSmoothGauge& gauge)
    {
        gauge.OnChange = [this](TObject*) { ++changes; };
        gauge.OnValueChanged = [this](TObject*, double v) { values.push_back(v); };
    }
    void Reset()
    {
        changes = 0;
        values.clear();
    }
};

void Click(QWidget& widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), Qt::LeftButton, {}, {});
    QApplication::sendEvent(&widget, &release);
}

} // namespace

TEST(GaugeModel, DefaultsOfANewControl)
{
    TAdvSmoothGauge gauge;
    EXPECT_EQ(gauge.width(), 200);
    EXPECT_EQ(gauge.MinimumValue(), 0);
    EXPECT_EQ(gauge.MaximumValue(), 100);
    EXPECT_EQ(gauge.Value(), 0);
    EXPECT_TRUE(gauge.Animation());
    EXPECT_EQ(gauge.AnimationFactor(), 5);
    EXPECT_EQ(gauge.ValueFormat(), "000.00");
    EXPECT_EQ(gauge.Version(), "1.3.5.0");
    EXPECT_TRUE(gauge.TabStop());
    EXPECT_EQ(gauge.DialMarginX(), 5);
    EXPECT_EQ(gauge.DialWidth(), 190);
    EXPECT_EQ(gauge.Font().Size(), 14);
    EXPECT_EQ(gauge.ValueFont().Size(), 11);
    EXPECT_EQ(gauge.InnerCircle().Color(), 0xFF0000);
    EXPECT_EQ(gauge.Arc().Threshold().Center(), 25.0);
    gauge.SetVersion("9.9.9.9");
    EXPECT_EQ(gauge.Version(), "1.3.5.0");
}

TEST(GaugeModel, ValueBeyondTheMaximumAnimatesToExactlyTheMaximum)
{
    TAdvSmoothGauge gauge;
    Recorder rec(gauge);

    gauge.SetValue(150);
    EXPECT_EQ(gauge.Value(), 0);
    EXPECT_EQ(gauge.DestinationValue(), 100);
    EXPECT_EQ(rec.changes, 1);
    EXPECT_TRUE(rec.values.empty());
    EXPECT_TRUE(gauge.Animating());

    // Each step covers a fifth of the remaining distance.
    gauge.AnimationStep();
    EXPECT_DOUBLE_EQ(gauge.Value(), 20);
    gauge.AnimationStep();
    EXPECT_DOUBLE_EQ(gauge.Value(), 36);
    EXPECT_EQ(rec.changes, 3);
    ASSERT_EQ(rec.values.size(), 2u);
    EXPECT_DOUBLE_EQ(rec.values[1], 36);

    int steps = 2;
    while (gauge.Animating() && steps < 1000) {
        gauge.AnimationStep();
        ++steps;
    }
    EXPECT_FALSE(gauge.Animating());
    EXPECT_EQ(gauge.Value(), 100.0);
    // Every step but the last (the silent arrival) reported.
    EXPECT_EQ(int(rec.values.size()), steps - 1);
    EXPECT_EQ(rec.changes, 1 + steps - 1);
    EXPECT_EQ(steps, 50);
    for (std::size_t i = 1; i < rec.values.size(); ++i)
        EXPECT_GT(rec.values[i], rec.values[i - 1]);
    EXPECT_GE(rec.values.back(), 100 - 0.001 - 1e-9);
    EXPECT_LT(rec.values.back(), 100.0);
}

TEST(GaugeModel, AtRestNoTimerRuns)
{
    TAdvSmoothGauge gauge;
    EXPECT_FALSE(gauge.Animating());
    gauge.SetValue(0); // already there
    EXPECT_FALSE(gauge.Animating());
    gauge.SetValue(0.0005); // closer than a step ends: the next tick lands it silently
    EXPECT_TRUE(gauge.Animating());
    gauge.AnimationStep();
    EXPECT_FALSE(gauge.Animating());
    EXPECT_EQ(gauge.Value(), 0.0005);

    gauge.SetValue(40);
    EXPECT_TRUE(gauge.Animating());
    gauge.SetAnimation(false); // freezes the needle and the timer
    EXPECT_FALSE(gauge.Animating());
    EXPECT_EQ(gauge.Value(), 0.0005);
    gauge.SetAnimation(true); // continues towards the destination
    EXPECT_TRUE(gauge.Animating());

    while (gauge.Animating())
        gauge.AnimationStep();
    EXPECT_EQ(gauge.Value(), 40);
}

TEST(GaugeModel, ValueIsClampedAndDirectWritesReportEveryTime)
{
    TAdvSmoothGauge gauge;
    gauge.SetAnimation(false);
    Recorder rec(gauge);

    gauge.SetValue(30);
    gauge.SetValue(30); // the same value twice reports twice
    EXPECT_EQ(rec.changes, 2);
    EXPECT_EQ(rec.values, (std::vector<double>{30, 30}));

    gauge.SetValue(-5);
    EXPECT_EQ(gauge.Value(), 0);
    gauge.SetValue(1e9);
    EXPECT_EQ(gauge.Value(), 100);
    gauge.SetValue(std::nan(""));
    EXPECT_EQ(gauge.Value(), 100);
    EXPECT_FALSE(gauge.Animating());
}

TEST(GaugeModel, SameValueTwiceFiresNothingForPlainProperties)
{
    TAdvSmoothGauge gauge;
    Recorder rec(gauge);

    gauge.SetDivisionColor(clRed);
    gauge.SetDivisionColor(clRed);
    gauge.SetValueFormat("0.00");
    gauge.SetValueFormat("0.00");
    gauge.SetDialText("x");
    gauge.SetDialText("x");
    gauge.SetAnimationFactor(5);
    EXPECT_EQ(rec.changes, 3);

    rec.Reset();
    gauge.Needle().SetColor(clBlue);
    gauge.Needle().SetColor(clBlue);
    gauge.InnerCircle().Gloss().SetOpacity(10);
    gauge.InnerCircle().Gloss().SetOpacity(10);
    gauge.Arc().SetStartAngle(135);
    gauge.Arc().Threshold().SetSweepAngle(270);
    gauge.ValueFont().SetColor(clRed);
    gauge.ValueFont().SetColor(clRed);
    EXPECT_EQ(rec.changes, 3);

    // The threshold centre is announced even when equal, but not out of range.
    rec.Reset();
    gauge.Arc().Threshold().SetCenter(25);
    gauge.Arc().Threshold().SetCenter(101);
    gauge.Arc().Threshold().SetSpan(101);
    gauge.SetDivisionCount(1);
    gauge.SetDivisionCount(25);
    gauge.SetSubDivisionCount(0);
    gauge.SetSubDivisionCount(11);
    EXPECT_EQ(rec.changes, 1);
    EXPECT_EQ(gauge.Arc().Threshold().Center(), 25);
    EXPECT_EQ(gauge.DivisionCount(), 10);
    EXPECT_EQ(gauge.SubDivisionCount(), 3);

    // Sections: add, change and remove notify; a section compares exactly.
    rec.Reset();
    TAdvSmoothGaugeSection& section = gauge.Sections().Add();
    section.SetEndValue(100);
    section.SetEndValue(99.5);
    gauge.Sections().Delete(0);
    EXPECT_EQ(rec.changes, 3);
}

TEST(GaugeModel, EqualLimitsAreRefused)
{
    TAdvSmoothGauge gauge;
    Recorder rec(gauge);
    gauge.SetMaximumValue(0);
    EXPECT_EQ(gauge.MaximumValue(), 100);
    gauge.SetMinimumValue(100);
    EXPECT_EQ(gauge.MinimumValue(), 0);
    EXPECT_EQ(rec.changes, 0);

    // The main window's range for a display with one level stays unchanged.
    gauge.SetMaximumValue(1 - 1);
    EXPECT_EQ(gauge.MaximumValue(), 100);
}

TEST(GaugeModel, RangeChangeClampsTheValueOrItsDestination)
{
    TAdvSmoothGauge still;
    still.SetAnimation(false);
    still.SetValue(50);
    Recorder rec(still);
    still.SetMaximumValue(10);
    EXPECT_EQ(still.Value(), 10);
    EXPECT_EQ(rec.values, std::vector<double>{10});
    EXPECT_EQ(still.Arc().Threshold().Center(), 10);
    // With the value inside, the report still comes.
    still.SetMinimumValue(5);
    EXPECT_EQ(rec.values, (std::vector<double>{10, 10}));
    EXPECT_EQ(still.Arc().Threshold().Center(), 10);

    TAdvSmoothGauge moving;
    moving.SetAnimation(false);
    moving.SetValue(50);
    moving.SetAnimation(true);
    moving.SetMaximumValue(10);
    EXPECT_EQ(moving.Value(), 50);
    EXPECT_EQ(moving.DestinationValue(), 10);
    EXPECT_TRUE(moving.Animating());
    while (moving.Animating())
        moving.AnimationStep();
    EXPECT_EQ(moving.Value(), 10);

    // The tick table follows the range.
    EXPECT_DOUBLE_EQ(moving.TickMarks()[40].Value, 10);
}

TEST(GaugeModel, ResizeSetsTheMarginsAndNotifies)
{
    TAdvSmoothGauge gauge;
    Recorder rec(gauge);
    QResizeEvent event(QSize(200, 200), QSize(100, 100));
    QApplication::sendEvent(&gauge, &event);
    EXPECT_EQ(gauge.DialMarginX(), 4);
    EXPECT_EQ(gauge.DialRect(), QRectF(4, 4, 192, 192));
    EXPECT_EQ(gauge.ArcRect(), QRectF(10, 10, 180, 180));
    EXPECT_EQ(rec.changes, 1);
}

TEST(GaugeModel, KeysMoveByStepsFromTheShownValue)
{
    TAdvSmoothGauge gauge;
    gauge.SetAnimation(false);
    gauge.SetValue(50);
    auto press = [&](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&gauge, &event);
        return gauge.Value();
    };
    EXPECT_EQ(press(Qt::Key_PageUp), 60);
    EXPECT_EQ(press(Qt::Key_PageDown), 50);
    EXPECT_EQ(press(Qt::Key_Up), 51);
    EXPECT_EQ(press(Qt::Key_Right), 52);
    EXPECT_EQ(press(Qt::Key_Left), 51);
    EXPECT_EQ(press(Qt::Key_Down), 50);
    EXPECT_EQ(press(Qt::Key_End), 100);
    EXPECT_EQ(press(Qt::Key_Home), 0);
    EXPECT_EQ(press(Qt::Key_A), 0);

    gauge.SetTabStop(false);
    EXPECT_EQ(press(Qt::Key_End), 0);
}

TEST(GaugeModel, ClickPicksATickStepAndMissesChangeNothing)
{
    TAdvSmoothGauge gauge;
    gauge.SetAnimation(false);
    gauge.resize(200, 200);
    QResizeEvent resize(QSize(200, 200), QSize(200, 200));
    QApplication::sendEvent(&gauge, &resize);

    Click(gauge, QPoint(100, 40)); // straight up
    EXPECT_EQ(gauge.Value(), 50);
    Click(gauge, QPoint(100, 160)); // the gap
    EXPECT_EQ(gauge.Value(), 50);
    Click(gauge, QPoint(100, 100)); // the pivot
    EXPECT_EQ(gauge.Value(), 50);
    Click(gauge, QPoint(160, 100)); // 3 o'clock: 83.3, the step 82.5
    EXPECT_EQ(gauge.Value(), 82.5);

    gauge.setEnabled(false);
    Click(gauge, QPoint(100, 40));
    EXPECT_EQ(gauge.Value(), 82.5);
}

TEST(GaugeModel, FocusChangesNotify)
{
    TAdvSmoothGauge gauge;
    Recorder rec(gauge);
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&gauge, &in);
    EXPECT_TRUE(gauge.Focused());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&gauge, &out);
    EXPECT_FALSE(gauge.Focused());
    EXPECT_EQ(rec.changes, 2);
}

TEST(GaugeModel, LoadingSetsValuesAtOnceAndDefersTheTimer)
{
    TAdvSmoothGauge gauge;
    gauge.BeginLoading();
    gauge.SetValue(70);
    EXPECT_EQ(gauge.Value(), 70);
    EXPECT_FALSE(gauge.Animating());
    gauge.AnimationStep(); // ignored while loading
    EXPECT_EQ(gauge.Value(), 70);
    gauge.EndLoading();
    EXPECT_FALSE(gauge.Animating());
}

TEST(GaugeModel, ColorStyles)
{
    TAdvSmoothGauge gauge;
    gauge.ApplyColorStyle(4);
    EXPECT_EQ(gauge.Arc().Color(), 0xFFEFE3);
    EXPECT_EQ(gauge.InnerCircle().Color(), 0xFFD2AF);
    EXPECT_EQ(gauge.Digit().BackGroundColor(), 0xFFEFE3);
    EXPECT_EQ(gauge.Digit().Color(), 0x962D00);
    EXPECT_EQ(gauge.Needle().Color(), 0xFFD2AF);
    EXPECT_EQ(gauge.Needle().OuterCenterColor(), 0xFFD1AD);
    EXPECT_EQ(gauge.Needle().ShineColor(), 0xFFEFE3);
    EXPECT_EQ(gauge.Font().Color(), 0x962D00);

    // A dash keeps the colour: style 0 leaves the inner hub's end colour.
    gauge.ApplyColorStyle(0);
    EXPECT_EQ(gauge.Needle().InnerCenterColorTo(), 0xFFD2AF);
    EXPECT_EQ(gauge.Needle().OuterCenterColor(), 0x933803);

    gauge.ApplyColorStyle(12);
    EXPECT_EQ(gauge.Arc().Color(), clBtnFace);
    EXPECT_EQ(gauge.Needle().ShineColor(), clNone);
    EXPECT_EQ(gauge.Needle().OuterCenterColor(), clHighlight);

    // 8 and numbers beyond 15 only copy the value font's colour.
    Recorder rec(gauge);
    gauge.ValueFont().SetColor(clGreen);
    rec.Reset();
    gauge.ApplyColorStyle(8);
    EXPECT_EQ(gauge.Font().Color(), clGreen);
    EXPECT_EQ(gauge.Arc().Color(), clBtnFace);
    EXPECT_EQ(rec.changes, 1);
    gauge.ApplyColorStyle(99);
    EXPECT_EQ(rec.changes, 1);

    gauge.ApplyColorStyle(15);
    EXPECT_EQ(gauge.ValueFont().Color(), 0xFFFFFF);
    EXPECT_EQ(gauge.Font().Color(), 0xFFFFFF);
}

TEST(GaugeModel, AssignCopiesTheGauge)
{
    TAdvSmoothGauge source;
    source.ApplyColorStyle(4);
    source.SetAnimation(false);
    source.SetMaximumValue(10);
    source.SetValue(7.5);
    source.SetDialText("lux");
    source.Arc().SetStartAngle(180);
    source.Sections().Add().SetColor(clRed);

    TAdvSmoothGauge copy;
    Recorder rec(copy);
    copy.Assign(source);
    EXPECT_EQ(copy.MaximumValue(), 10);
    EXPECT_EQ(copy.Value(), 7.5);
    EXPECT_EQ(copy.DestinationValue(), 7.5);
    EXPECT_FALSE(copy.Animating());
    EXPECT_EQ(copy.DialText(), "lux");
    EXPECT_EQ(copy.InnerCircle().Color(), 0xFFD2AF);
    EXPECT_EQ(copy.Sections().Count(), 1);
    EXPECT_EQ(copy.Sections().Items(0).Color(), clRed);
    EXPECT_DOUBLE_EQ(copy.TickMarks()[0].X1, source.TickMarks()[0].X1);
    EXPECT_GE(rec.changes, 1);
}
