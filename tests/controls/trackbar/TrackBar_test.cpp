#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/MainWindowLook.h"

#include "platform/gdiplus/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>

#include <utility>
#include <vector>

using namespace lumora;

namespace {

// The main window's track bar.
void ConfigureAsMainWindow(TAdvSmoothTrackBar& bar)
{
    bar.resize(kMainWindowTrackBarSize);
    ApplyMainWindowTrackBarLook(bar);
}

struct Recorder {
    std::vector<std::pair<char, double>> events; // 'c' changing, 'd' changed
    void Attach(TAdvSmoothTrackBar& bar)
    {
        bar.OnPositionChanging = [this](TObject*, double p) { events.emplace_back('c', p); };
        bar.OnPositionChanged = [this](TObject*, double p) { events.emplace_back('d', p); };
    }
};

} // namespace

TEST(TrackBar, PositionSetterRules)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    Recorder r;
    r.Attach(bar);
    bar.SetPosition(150);
    bar.SetPosition(-1);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(40);
    bar.SetPosition(40);
    EXPECT_EQ(r.events, (std::vector<std::pair<char, double>>{{'d', 40}}));
    // Lowering the maximum below the position pulls it along, silently.
    bar.SetMaximum(30);
    EXPECT_EQ(bar.Position(), 30);
    bar.SetStep(0);
    bar.SetStep(-5);
    EXPECT_EQ(bar.Step(), 10);
    EXPECT_EQ(r.events.size(), 1u);
}

TEST(TrackBar, HomeThenKeyUp)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    bar.SetPosition(60);
    Recorder r;
    r.Attach(bar);
    bar.KeyDown(Qt::Key_Home);
    EXPECT_EQ(r.events, (std::vector<std::pair<char, double>>{{'c', 0}}));
    EXPECT_EQ(bar.Position(), 0);
    bar.KeyUp(Qt::Key_Home);
    EXPECT_EQ(r.events, (std::vector<std::pair<char, double>>{{'c', 0}, {'d', 0}}));
}

TEST(TrackBar, KeysStepAndStopAtTheEnds)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    bar.SetPosition(90);
    Recorder r;
    r.Attach(bar);
    bar.KeyDown(Qt::Key_Up);
    bar.KeyDown(Qt::Key_Up); // 110 is beyond Maximum: nothing
    EXPECT_EQ(bar.Position(), 100);
    bar.KeyUp(Qt::Key_Up);
    EXPECT_EQ(r.events, (std::vector<std::pair<char, double>>{{'c', 100}, {'d', 100}}));
    bar.SetTabStop(false);
    bar.KeyDown(Qt::Key_Down);
    EXPECT_EQ(bar.Position(), 100);
}

TEST(TrackBar, DragSnapsAndReportsOnRelease)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    Recorder r;
    r.Attach(bar);
    // Thumb at 0 covers y 362 ... 402.
    bar.MouseDown(Qt::LeftButton, 45, 380);
    ASSERT_TRUE(bar.Dragging());
    // Distance 403 - 20 - y; 0.473 of the 361-pixel scale is unsnapped 47.3.
    const int y = int(403 - 20 - 0.473 * 361);
    bar.MouseMove(45, y);
    EXPECT_EQ(bar.Position(), 50);
    bar.MouseMove(45, y + 1); // still 50: no second event
    bar.MouseUp(Qt::LeftButton, 45, y + 1);
    EXPECT_FALSE(bar.Dragging());
    EXPECT_EQ(r.events, (std::vector<std::pair<char, double>>{{'c', 50}, {'d', 50}}));
}

TEST(TrackBar, ClicksBesideTheThumbStepWithoutSnapping)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    bar.SetPosition(100);
    Recorder r;
    r.Attach(bar);
    bar.MouseDown(Qt::LeftButton, 45, 0); // above the thumb at 100: beyond Maximum
    bar.MouseUp(Qt::LeftButton, 45, 0);
    EXPECT_TRUE(r.events.empty());
    bar.MouseDown(Qt::LeftButton, 45, 300);
    bar.MouseUp(Qt::LeftButton, 45, 300);
    EXPECT_EQ(bar.Position(), 90);
    const int onThumb = int(bar.Geometry().Thumb(bar.Offset()).center().y());
    // On the thumb a click is a drag that went nowhere: the value stays, and
    // the release reports it like any drag's end.
    bar.MouseDown(Qt::LeftButton, 45, onThumb);
    bar.MouseUp(Qt::LeftButton, 45, onThumb);
    EXPECT_EQ(bar.Position(), 90);
    EXPECT_EQ(r.events, (std::vector<std::pair<char, double>>{{'d', 90}, {'d', 90}}));
}

TEST(TrackBar, GlowRunsOnlyAfterAChangeAndStopsAtTheThumb)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    EXPECT_FALSE(bar.AnimationTimerActive()); // at rest nothing runs
    EXPECT_EQ(bar.GlowPosition(), -60);
    bar.SetPosition(10);
    EXPECT_TRUE(bar.AnimationTimerActive());
    EXPECT_TRUE(bar.GlowRunning());
    int ticks = 0;
    while (bar.GlowRunning() && ticks < 1000) {
        bar.AnimationTick();
        ++ticks;
    }
    // 3 pixels a tick from -60 until past the offset of 10 (36.1 pixels).
    EXPECT_EQ(ticks, 33);
    EXPECT_EQ(bar.GlowPosition(), -60);
    EXPECT_FALSE(bar.AnimationTimerActive());

    bar.SetGlowAnimation(false);
    bar.SetPosition(20);
    EXPECT_FALSE(bar.AnimationTimerActive());
}

TEST(TrackBar, ScaleNumbersAndToolTipText)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    EXPECT_EQ(bar.NumberText(40), "40 %");
    bar.SetValueFormat("%s");
    EXPECT_EQ(bar.NumberText(40), ""); // an invalid format shows nothing
    bar.SetValueFormat("%.1f db");
    EXPECT_EQ(bar.NumberText(2.5), "2.5 db");

    bar.SetPositionToolTip(true);
    double asked = -1;
    bar.OnGetToolTipText = [&](TObject*, double p, QString& text) {
        asked = p;
        text += "!";
    };
    bar.SetPosition(30);
    bar.MouseDown(Qt::LeftButton, 45, int(bar.Geometry().Thumb(bar.Offset()).center().y()));
    EXPECT_EQ(asked, 30);
    EXPECT_EQ(bar.ToolTipText(), "30.00!");
    bar.MouseUp(Qt::LeftButton, 45, 0);
    EXPECT_EQ(bar.ToolTipText(), "");
}

TEST(TrackBar, DirectionTurnsTheControl)
{
    TAdvSmoothTrackBar bar;
    bar.resize(90, 403);
    bar.SetDirection(dHorizontal);
    EXPECT_EQ(bar.size(), QSize(403, 90));
    bar.SetDirection(dVertical);
    EXPECT_EQ(bar.size(), QSize(90, 403));
    EXPECT_EQ(bar.Version(), "1.2.2.0");
}

TEST(TrackBar, StylesSetTheThumbFirst)
{
    TAdvSmoothTrackBar bar;
    bar.ApplyColorStyle(4);
    EXPECT_EQ(bar.ThumbFill().Rounding(), 10);
    EXPECT_EQ(bar.ThumbFill().GradientType(), gtForwardDiagonal);
    EXPECT_EQ(bar.ThumbFill().OpacityTo(), 0);
    EXPECT_EQ(bar.Fill().Color(), 0xFFD2AF);
    EXPECT_EQ(bar.ProgressFill().ColorMirror(), 0xFFD1AD);
    EXPECT_EQ(bar.ProgressFill().GradientMirrorType(), gtVertical);
    bar.ApplyColorStyle(12);
    EXPECT_EQ(bar.Fill().Color(), clBtnFace);
    EXPECT_EQ(bar.ProgressFill().ColorMirror(), clNone);
    bar.ApplyColorStyle(8);
    EXPECT_EQ(bar.Fill().Color(), clBtnFace); // style 8 touches the thumb only
}

TEST(TrackBarPixels, ProgressFillsBelowTheThumbOnly)
{
    TAdvSmoothTrackBar bar;
    ConfigureAsMainWindow(bar);
    bar.SetShowValues(false);
    bar.SetShowTickMarks(false);
    bar.SetGlowAnimation(false);
    bar.SetPosition(50);
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        gdiplus::Graphics g(&image);
        bar.PaintTo(g);
    }
    // Thumb centre at 21 + 361 - 180.5 = 201.5, so it covers y 181.5 ... 221.5
    // and the progress bar starts at 200.5. Probes at x = 30 lie inside the
    // groove (no white veil) and away from every edge, so anti-aliasing does
    // not reach them; a tolerance of 3 per channel covers gradient rounding.
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3
               && std::abs(qBlue(a) - qBlue(b)) <= 3;
    };
    const QRgb background = qRgb(0xAF, 0xD2, 0xFF); // 0xFFD2AF as RGB
    const QRgb above = image.pixel(30, 170);
    const QRgb below = image.pixel(30, 230);
    EXPECT_TRUE(near(above, background)) << std::hex << above;
    // The upper part of the progress runs 0xFFEFE3 -> 0xFFDDC4 over y 200.5
    // ... 300.75: at y 230 red is about 0xDD, far from the background's 0xAF.
    EXPECT_GE(qRed(below), 0xC4 - 3) << std::hex << below;
    EXPECT_LE(qRed(below), 0xE3 + 3) << std::hex << below;
    EXPECT_GE(qGreen(below), 0xDD - 3) << std::hex << below;
    EXPECT_EQ(qBlue(below), 0xFF);
}
