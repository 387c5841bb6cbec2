#include "controls/slider/AdvSmoothSlider.h"
#include "platform/framework/Exception.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

void MoveAppearance(TAdvSmoothSliderAppearance& a, const QString& caption, TColor color)
{
    a.SetCaption(caption);
    a.SetCaptionPosition(cpCustom);
    a.SetCaptionLeft(7);
    a.SetCaptionTop(-3);
    a.Font().SetName("Tahoma");
    a.Font().SetSize(13);
    a.Fill().SetColor(color);
}

} // namespace

TEST(SliderAssign, SliderAssignCopiesBothHalvesAndTheKnob)
{
    TAdvSmoothSlider source;
    MoveAppearance(source.AppearanceOn(), "Yes", clGreen);
    MoveAppearance(source.AppearanceOff(), "No", clRed);
    source.ButtonAppearance().SetSize(25);
    source.ButtonAppearance().Fill().SetColor(clBlue);

    TAdvSmoothSlider copy;
    copy.Assign(source);
    for (auto half : {&TAdvSmoothSlider::AppearanceOn, &TAdvSmoothSlider::AppearanceOff}) {
        TAdvSmoothSliderAppearance& from = (source.*half)();
        TAdvSmoothSliderAppearance& to = (copy.*half)();
        EXPECT_EQ(to.Values(), from.Values());
        EXPECT_EQ(to.Font().Name(), "Tahoma");
        EXPECT_EQ(to.Font().Size(), 13);
        EXPECT_EQ(to.Fill().Color(), from.Fill().Color());
    }
    EXPECT_EQ(copy.AppearanceOn().Caption(), "Yes");
    EXPECT_EQ(copy.ButtonAppearance().Values(), source.ButtonAppearance().Values());
    EXPECT_EQ(copy.ButtonAppearance().Fill().Color(), clBlue);
}

TEST(SliderAssign, AppearanceAssignNotifiesOnceAndCopiesFontAndFill)
{
    TAdvSmoothSliderAppearance source;
    MoveAppearance(source, "On", clYellow);
    TAdvSmoothSliderAppearance target;
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };

    target.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(target.Values(), source.Values());
    EXPECT_EQ(target.Font().Name(), "Tahoma");
    EXPECT_EQ(target.Fill().Color(), clYellow);
    // The fill and font still announce their own later changes.
    target.Fill().SetColor(clAqua);
    target.Font().SetSize(20);
    EXPECT_EQ(changes, 3);

    TAdvSmoothSliderButtonAppearance knob, knobSource;
    knobSource.SetSize(12);
    knobSource.Fill().SetColor(clFuchsia);
    int knobChanges = 0;
    knob.OnChange = [&](TObject*) { ++knobChanges; };
    knob.Assign(knobSource);
    EXPECT_EQ(knobChanges, 1);
    EXPECT_EQ(knob.Size(), 12);
    EXPECT_EQ(knob.Fill().Color(), clFuchsia);
    knob.SetSize(12); // same value: nothing
    EXPECT_EQ(knobChanges, 1);

    EXPECT_THROW(knob.Assign(source), EConvertError);
}
