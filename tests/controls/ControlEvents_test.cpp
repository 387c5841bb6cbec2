// The controls take Qt's events through TCustomControl, which hands them to
// each control's MouseDown, KeyDown, PaintTo ...; these tests send real
// events, so a handler that stops overriding the base's is caught.

#include "controls/chart/SPBEPC.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "platform/gdiplus/Graphics.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace lumora;

namespace {

bool Mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, at, w.mapToGlobal(at), button, held, {});
    QApplication::sendEvent(&w, &e);
    return e.isAccepted();
}

bool Key(QWidget& w, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent e(type, key, {}, QString(), autoRepeat);
    QApplication::sendEvent(&w, &e);
    return e.isAccepted();
}

void Focus(QWidget& w, QEvent::Type type)
{
    QFocusEvent e(type, Qt::TabFocusReason);
    QApplication::sendEvent(&w, &e);
}

// What a paint event draws.
QImage Rendered(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, {}, {}, QWidget::RenderFlags());
    return image;
}

} // namespace

TEST(ControlEvents, TrackBarDragsAndStepsByQtEvents)
{
    TAdvSmoothTrackBar bar;
    bar.resize(90, 403);
    bar.SetMaximum(100);
    bar.SetStep(10);
    bar.SetSnapMargin(10);
    std::vector<std::pair<char, double>> events;
    bar.OnPositionChanging = [&](TObject*, double p) { events.emplace_back('c', p); };
    bar.OnPositionChanged = [&](TObject*, double p) { events.emplace_back('d', p); };

    // Thumb at 0 covers y 362 ... 402; 47.3 of the scale snaps to 50.
    EXPECT_TRUE(Mouse(bar, QEvent::MouseButtonPress, {45, 380}));
    EXPECT_TRUE(bar.Dragging());
    EXPECT_TRUE(Mouse(bar, QEvent::MouseMove, {45, int(403 - 20 - 0.473 * 361)}));
    EXPECT_TRUE(Mouse(bar, QEvent::MouseButtonRelease, {45, int(403 - 20 - 0.473 * 361)}));
    EXPECT_FALSE(bar.Dragging());
    EXPECT_EQ(events, (std::vector<std::pair<char, double>>{{'c', 50}, {'d', 50}}));

    events.clear();
    EXPECT_TRUE(Key(bar, QEvent::KeyPress, Qt::Key_Up));
    // A held key repeats its press; its repeated releases are not key ups.
    Key(bar, QEvent::KeyRelease, Qt::Key_Up, true);
    EXPECT_TRUE(Key(bar, QEvent::KeyPress, Qt::Key_Up, true));
    Key(bar, QEvent::KeyRelease, Qt::Key_Up);
    EXPECT_EQ(events, (std::vector<std::pair<char, double>>{{'c', 60}, {'c', 70}, {'d', 70}}));
}

TEST(ControlEvents, SliderSwitchesByQtEvents)
{
    TAdvSmoothSlider slider;
    slider.resize(91, 30);
    std::vector<TAdvSmoothSliderState> states;
    slider.OnStateChanged = [&](TObject*, TAdvSmoothSliderState s, double) { states.push_back(s); };

    // Drag the knob 40 pixels to the left: off.
    EXPECT_TRUE(Mouse(slider, QEvent::MouseButtonPress, {70, 10}));
    EXPECT_TRUE(Mouse(slider, QEvent::MouseMove, {30, 10}));
    EXPECT_EQ(slider.KnobOffset(), -40);
    EXPECT_TRUE(Mouse(slider, QEvent::MouseButtonRelease, {30, 10}));
    EXPECT_TRUE(Key(slider, QEvent::KeyPress, Qt::Key_Right));
    EXPECT_EQ(states, (std::vector<TAdvSmoothSliderState>{ssOff, ssOn}));
}

TEST(ControlEvents, ChartTakesPressReleaseAndKeysByQtEvents)
{
    TSPBEPC chart;
    chart.SetPotentialVisible(false);
    chart.RefreshChart();
    EXPECT_TRUE(Mouse(chart, QEvent::MouseButtonPress, {290, 30})); // the column's heading
    EXPECT_TRUE(Mouse(chart, QEvent::MouseButtonRelease, {290, 30}));
    ASSERT_EQ(chart.SelectedColumn(), 2);
    EXPECT_TRUE(Key(chart, QEvent::KeyPress, Qt::Key_End));
    EXPECT_EQ(chart.Current(), 100);
}

TEST(ControlEvents, FocusEventsShowAndHideTheFocusMark)
{
    TAdvSmoothTrackBar bar;
    bar.resize(90, 250);
    TAdvSmoothSlider slider;
    slider.resize(91, 30);
    for (QWidget* control : std::initializer_list<QWidget*>{&bar, &slider}) {
        const QImage plain = Rendered(*control);
        Focus(*control, QEvent::FocusIn);
        const QImage focused = Rendered(*control);
        EXPECT_NE(focused, plain);
        Focus(*control, QEvent::FocusOut);
        EXPECT_EQ(Rendered(*control), plain);
    }
}

TEST(ControlEvents, LabelPaintEventDrawsWhatPaintToDraws)
{
    TAdvSmoothLabel label;
    label.resize(200, 40);
    label.Caption().SetText("Brightness");
    QImage direct(label.size(), QImage::Format_ARGB32_Premultiplied);
    direct.fill(Qt::transparent);
    gdiplus::Graphics graphics(&direct);
    std::as_const(label).PaintTo(graphics);
    QImage blank(label.size(), QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    ASSERT_NE(direct, blank); // the caption has ink

    EXPECT_EQ(Rendered(label), direct);
}
