#include "controls/slider/AdvSmoothSlider.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace lumora;

namespace {

void ConfigureAsMainWindow(TAdvSmoothSlider& slider)
{
    slider.resize(91, 30);
    slider.ApplyColorStyle(4);
}

struct Recorder {
    std::vector<std::pair<TAdvSmoothSliderState, double>> events;
    void Attach(TAdvSmoothSlider& s)
    {
        s.OnStateChanged = [this](TObject*, TAdvSmoothSliderState st, double v) { events.emplace_back(st, v); };
    }
};

void Settle(TAdvSmoothSlider& s)
{
    for (int i = 0; i < 200 && s.Animating(); ++i)
        s.AnimationTick();
}

} // namespace

TEST(Slider, StateSetterMovesAtOnceAndFiresNothing)
{
    TAdvSmoothSlider slider;
    ConfigureAsMainWindow(slider);
    Recorder r;
    r.Attach(slider);
    slider.SetState(ssOff);
    EXPECT_EQ(slider.KnobOffset(), -51);
    EXPECT_FALSE(slider.AnimationTimerActive());
    slider.SetState(ssOff);
    EXPECT_TRUE(r.events.empty());
}

TEST(Slider, DragBy20StaysOnAndBy40SwitchesOff)
{
    TAdvSmoothSlider slider;
    ConfigureAsMainWindow(slider);
    slider.SetValueOff(7);
    Recorder r;
    r.Attach(slider);

    slider.MouseDown(Qt::LeftButton, 70, 10);
    slider.MouseMove(50, 10);
    EXPECT_EQ(slider.KnobOffset(), -20);
    slider.MouseUp(Qt::LeftButton, 50, 10);
    EXPECT_EQ(slider.State(), ssOn);
    EXPECT_TRUE(r.events.empty());
    Settle(slider);
    EXPECT_EQ(slider.KnobOffset(), 0);

    slider.MouseDown(Qt::LeftButton, 70, 10);
    slider.MouseMove(30, 10);
    slider.MouseUp(Qt::LeftButton, 30, 10);
    EXPECT_EQ(slider.State(), ssOff);
    EXPECT_EQ(r.events, (std::vector<std::pair<TAdvSmoothSliderState, double>>{{ssOff, 7}}));
    EXPECT_TRUE(slider.AnimationTimerActive());
    Settle(slider);
    EXPECT_EQ(slider.KnobOffset(), -51);
    EXPECT_FALSE(slider.AnimationTimerActive());
}

TEST(Slider, AnimationOffsetsFromOnToOff)
{
    TAdvSmoothSlider slider;
    ConfigureAsMainWindow(slider);
    slider.KeyDown(Qt::Key_Left);
    std::vector<double> offsets{slider.KnobOffset()};
    while (slider.Animating()) {
        slider.AnimationTick();
        if (slider.Animating())
            offsets.push_back(slider.KnobOffset());
        ASSERT_LT(offsets.size(), 100u);
    }
    EXPECT_EQ(std::vector<double>(offsets.begin(), offsets.begin() + 8),
              (std::vector<double>{0, -3, -6, -9, -12, -15, -17, -19}));
    EXPECT_EQ(offsets.size(), 35u);
    EXPECT_EQ(offsets.back(), -51);
}

TEST(Slider, KeysAndClicks)
{
    TAdvSmoothSlider slider;
    ConfigureAsMainWindow(slider);
    slider.SetValueOn(1);
    slider.SetValueOff(2);
    Recorder r;
    r.Attach(slider);
    slider.KeyDown(Qt::Key_Right); // already on: nothing
    slider.KeyDown(Qt::Key_F4);
    slider.KeyDown(Qt::Key_F4);
    EXPECT_EQ(slider.State(), ssOn);
    EXPECT_EQ(r.events, (std::vector<std::pair<TAdvSmoothSliderState, double>>{{ssOff, 2}, {ssOn, 1}}));
    Settle(slider);

    r.events.clear();
    slider.MouseDown(Qt::LeftButton, 10, 10); // left of the knob
    slider.MouseUp(Qt::LeftButton, 10, 10);
    EXPECT_EQ(slider.State(), ssOff);
    Settle(slider);
    slider.MouseDown(Qt::LeftButton, 60, 10); // right of the knob
    slider.MouseUp(Qt::LeftButton, 60, 10);
    EXPECT_EQ(slider.State(), ssOn);
    EXPECT_EQ(r.events.size(), 2u);
}

TEST(Slider, SettersRefuseAndCompare)
{
    TAdvSmoothSlider slider;
    slider.SetAnimationFactor(0);
    slider.SetAnimationFactor(-3);
    EXPECT_EQ(slider.AnimationFactor(), 15);
    int changes = 0;
    slider.AppearanceOn().OnChange = [&](TObject*) { ++changes; };
    slider.AppearanceOn().SetCaptionTop(5);
    slider.AppearanceOn().SetCaptionLeft(5);
    slider.AppearanceOn().SetCaptionLeft(5);
    EXPECT_EQ(slider.AppearanceOn().CaptionLeft(), 5);
    EXPECT_EQ(slider.AppearanceOn().CaptionTop(), 5);
    EXPECT_EQ(changes, 2);
}

TEST(Slider, Style4)
{
    TAdvSmoothSlider slider;
    slider.ApplyColorStyle(4);
    EXPECT_EQ(slider.AppearanceOn().Caption(), "On");
    EXPECT_EQ(slider.AppearanceOff().Caption(), "Off");
    EXPECT_EQ(slider.AppearanceOn().Fill().RoundingType(), rtLeft);
    EXPECT_EQ(slider.AppearanceOff().Fill().RoundingType(), rtRight);
    EXPECT_EQ(slider.ButtonAppearance().Fill().Color(), 0xFFEFE3);
    EXPECT_EQ(slider.AppearanceOff().Fill().BorderColor(), clNone);
    EXPECT_EQ(slider.AppearanceOn().Fill().BorderColor(), 0x42AEFE);
}
